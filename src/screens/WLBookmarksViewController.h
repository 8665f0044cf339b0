#pragma once

#include "WLAddBookmarkViewController.h"
#include "WLNotificationCenter.h"
#include "WLTableViewController.h"

// The Bookmarks tab's screen: bookmark rows 50 points high, an Edit/Done
// toggle at the left, the info button at the right; the list follows the
// store's changes. In editing mode a tapped row opens the bookmark editor
// on that bookmark, whose Save replaces its note.
class WLBookmarksViewController : public WLTableViewController,
                                  public WLAddBookmarkViewControllerDelegate
{
    Q_OBJECT

public:
    static constexpr double kRowHeight = 50;

    ~WLBookmarksViewController() override;

    void tableViewDidSelectRowAtIndexPath(WLTableView *tableView,
                                          const WLIndexPath &indexPath) override;
    void addBookmarkWithController(WLAddBookmarkViewController *controller) override;

protected:
    friend class WLTableViewController;
    using WLTableViewController::WLTableViewController;

    void loadView() override;

private:
    WLBarButtonItem *mInfoButtonItem = nullptr;
    WLObserverToken mBookmarksObserver;
};

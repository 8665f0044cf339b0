#include "WLBookmarksViewController.h"

#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"

WLBookmarksViewController::~WLBookmarksViewController()
{
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    if (editor && editor->delegate() == this)
        editor->setDelegate(nullptr);
}

void WLBookmarksViewController::loadView()
{
    WLTableViewController::loadView();
    tableView()->setRowHeight(kRowHeight);
    tableView()->setAllowsSelectionDuringEditing(true);
    navigationItem()->setLeftBarButtonItem(editButtonItem());
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
    mBookmarksObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLBookmarksDidUpdateNotification, nullptr,
        [this](const WLNotification &) { tableView()->reloadData(); });
}

void WLBookmarksViewController::tableViewDidSelectRowAtIndexPath(WLTableView *table,
                                                                 const WLIndexPath &indexPath)
{
    if (!isEditing()) {
        WLTableViewController::tableViewDidSelectRowAtIndexPath(table, indexPath);
        return;
    }
    table->deselectRowAtIndexPath(indexPath, false);
    const auto *bookmarks = dynamic_cast<const WLBookmarksDataSource *>(dataSource());
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    QString word;
    QVariantList links;
    QString notes;
    QVariantList contentsIDs;
    if (!bookmarks || !editor ||
        !bookmarks->getBookmark(&word, &links, &notes, &contentsIDs, std::size_t(indexPath.row)))
        return;
    editor->setDelegate(this);
    editor->setWord(word);
    editor->setLinks(links);
    editor->setNotes(notes);
    editor->setContentsIDs(contentsIDs);
    editor->setNewBookmark(false);
    WLViewController *presenter = navigationController();
    (presenter ? presenter : this)->presentModalViewController(editor, true);
}

void WLBookmarksViewController::addBookmarkWithController(WLAddBookmarkViewController *controller)
{
    // The same word: the store replaces the bookmark where it stands.
    if (auto *bookmarks = dynamic_cast<WLBookmarksDataSource *>(dataSource()))
        bookmarks->addBookmark(controller->word(), controller->links(),
                               controller->notes().value_or(QString()), controller->contentsIDs());
}

#pragma once

#include "WLNotificationCenter.h"
#include "WLTableViewController.h"

#include <optional>

// The Search tab's screen: the results of the keyword in titled sections,
// reloaded whenever the worker hands over a snapshot. It can be given a
// keyword to show and search when it next comes on screen.
class WLSearchViewController : public WLTableViewController
{
    Q_OBJECT

public:
    std::optional<QString> initialKeyword() const { return mInitialKeyword; }
    void setInitialKeyword(const std::optional<QString> &keyword) { mInitialKeyword = keyword; }
    // The keyword still waiting to be applied, else the one searched.
    QString nextInitialKeyword() const;

    void searchResultDidUpdate(const WLNotification &notification);

protected:
    friend class WLTableViewController;
    explicit WLSearchViewController(std::unique_ptr<WLDataSourceProtocol> dataSource);

    void loadView() override;

private:
    WLBarButtonItem *mInfoButtonItem = nullptr;
    std::optional<QString> mCurrentKeyword;
    std::optional<QString> mSavedKeyword;
    std::optional<QString> mInitialKeyword;
    WLObserverToken mSearchObserver;
};

#include "WLSearchViewController.h"

#include "WLDatabase.h"
#include "WLNavigationItem.h"

WLSearchViewController::WLSearchViewController(std::unique_ptr<WLDataSourceProtocol> dataSource)
    : WLTableViewController(std::move(dataSource))
{
    mSearchObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, nullptr,
        [this](const WLNotification &notification) { searchResultDidUpdate(notification); });
}

QString WLSearchViewController::nextInitialKeyword() const
{
    if (mInitialKeyword)
        return *mInitialKeyword;
    return mCurrentKeyword.value_or(QString());
}

void WLSearchViewController::loadView()
{
    WLTableViewController::loadView();
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
}

void WLSearchViewController::searchResultDidUpdate(const WLNotification &)
{
    if (tableView())
        tableView()->reloadData();
}

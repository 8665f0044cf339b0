#include "WLBookmarksViewController.h"

#include "WLConstants.h"
#include "WLNavigationItem.h"

void WLBookmarksViewController::loadView()
{
    WLTableViewController::loadView();
    tableView()->setRowHeight(kRowHeight);
    navigationItem()->setLeftBarButtonItem(editButtonItem());
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
    mBookmarksObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLBookmarksDidUpdateNotification, nullptr,
        [this](const WLNotification &) { tableView()->reloadData(); });
}

void WLHistoryViewController::loadView()
{
    WLTableViewController::loadView();
    navigationItem()->setLeftBarButtonItem(editButtonItem());
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
    mHistoryObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLHistoryDidUpdateNotification, nullptr,
        [this](const WLNotification &) { tableView()->reloadData(); });
}

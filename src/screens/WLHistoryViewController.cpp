#include "WLHistoryViewController.h"

#include "WLConstants.h"
#include "WLNavigationItem.h"

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

#pragma once

#include "WLNotificationCenter.h"
#include "WLTableViewController.h"

// The History tab's screen: plain rows, an Edit/Done toggle, the info
// button; the list follows the store's additions.
class WLHistoryViewController : public WLTableViewController
{
    Q_OBJECT

protected:
    friend class WLTableViewController;
    using WLTableViewController::WLTableViewController;

    void loadView() override;

private:
    WLBarButtonItem *mInfoButtonItem = nullptr;
    WLObserverToken mHistoryObserver;
};

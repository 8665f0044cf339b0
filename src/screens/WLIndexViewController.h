#pragma once

#include "WLTableViewController.h"

// The Index tab's screen: the list with the dictionary's icon at the left
// of the bar and the info button at the right; entries opened from it
// offer "Index" as the way back.
class WLIndexViewController : public WLTableViewController
{
    Q_OBJECT

protected:
    friend class WLTableViewController;
    using WLTableViewController::WLTableViewController;

    void loadView() override;

private:
    WLBarButtonItem *mIconButtonItem = nullptr;
    WLBarButtonItem *mInfoButtonItem = nullptr;
};

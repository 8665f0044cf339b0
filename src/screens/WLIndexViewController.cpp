#include "WLIndexViewController.h"

#include "WLBarButtonItem.h"
#include "WLControl.h"
#include "WLDataSource.h"
#include "WLDatabase.h"
#include "WLImageView.h"
#include "WLLocalization.h"
#include "WLNavigationItem.h"
#include "WLResources.h"

void WLIndexViewController::loadView()
{
    WLTableViewController::loadView();
    const auto *indexDataSource = dynamic_cast<const WLDataSource *>(dataSource());
    const WLDatabase *database = indexDataSource ? indexDataSource->database() : nullptr;
    if (database && !database->iconImage().isEmpty()) {
        // A picture at its natural size, not a button.
        auto *iconImageView = new WLImageView(this);
        iconImageView->setImage(WLResources::imageURLNamed(database->iconImage()));
        mIconButtonItem = new WLBarButtonItem(iconImageView, this);
        navigationItem()->setLeftBarButtonItem(mIconButtonItem);
    }
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
    navigationItem()->setBackBarButtonItem(new WLBarButtonItem(
        WLLocalization::localizedString("Index"), WLBarButtonItem::Plain, {}, this));
}

#include "WLSettingsViewController.h"

#include "WLConstants.h"
#include "WLLocalization.h"
#include "WLSwitch.h"
#include "WLUserDefaults.h"

WLSettingsViewController::WLSettingsViewController(QObject *parent)
    : WLViewController(QStringLiteral("SettingsScreen"), parent)
{
}

WLSettingsViewController::~WLSettingsViewController()
{
    if (mTableView)
        mTableView->setDataSource(nullptr);
}

void WLSettingsViewController::loadView()
{
    mTableView = new WLTableView(WLTableViewStyle::Grouped, this);
    mTableView->setScrollEnabled(false);
    mTableView->setDataSource(this);
    mSwitchControl = new WLSwitch(this);
    mSwitchControl->setFrame({0, 0, kSwitchWidth, kSwitchHeight});
    mSwitchControl->setOn(WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
    mSwitchControl->addTarget(WLControlEvent::ValueChanged,
                              [this](WLControl *sender) { backgroundSwitchChanged(sender); });
    setTitle(WLLocalization::localizedString("Settings"));
    mTableView->reloadData();
}

void WLSettingsViewController::backgroundSwitchChanged(QObject *sender)
{
    if (const auto *control = qobject_cast<const WLSwitch *>(sender))
        WLUserDefaults::standardUserDefaults()->setBool(control->isOn(), WLPrefDisplayBackground);
}

qsizetype WLSettingsViewController::tableViewNumberOfRowsInSection(qsizetype section) const
{
    return section == 0 ? 1 : 0;
}

std::optional<WLTableViewCell> WLSettingsViewController::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = QStringLiteral("kWLSettingsTableViewCell");
    cell.selectionStyle = WLTableViewCellSelectionStyle::None;
    if (indexPath.section == 0 && indexPath.row == 0) {
        cell.text = WLLocalization::localizedString("Background");
        cell.view = mSwitchControl;
    }
    return cell;
}

#pragma once

#include "WLTableView.h"
#include "WLTableViewDataSource.h"
#include "WLViewController.h"

class WLSwitch;

// The settings: one grouped row, "Background", whose switch decides whether
// the lists show their background pictures. The lists follow it the next
// time they come on screen.
class WLSettingsViewController : public WLViewController, public WLTableViewDataSource
{
    Q_OBJECT
    Q_PROPERTY(WLTableView *tableView READ tableView NOTIFY viewLoadedChanged)

public:
    // The phone's switch.
    static constexpr double kSwitchWidth = 94;
    static constexpr double kSwitchHeight = 27;

    explicit WLSettingsViewController(QObject *parent = nullptr);
    ~WLSettingsViewController() override;

    WLTableView *tableView() const { return mTableView; }
    WLSwitch *switchControl() const { return mSwitchControl; }

    void backgroundSwitchChanged(QObject *sender);

    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;

protected:
    void loadView() override;

private:
    WLTableView *mTableView = nullptr;
    WLSwitch *mSwitchControl = nullptr;
};

#pragma once

#include "WLDictionaryInstaller.h"
#include "WLTableView.h"
#include "WLTableViewDataSource.h"
#include "WLViewController.h"

#include <QList>

class WLDictionaryHost;
class WLSwitch;

// The settings: a grouped row, "Background", whose switch decides whether
// the lists show their background pictures (the lists follow it the next
// time they come on screen), unless the dictionary hides it; then the
// dictionaries: every installed one (the demo and those installed for all
// users marked as such), the open one checked, and "Add a Dictionary…".
// Tapping another dictionary opens it; in editing mode tapping one asks
// whether to remove it, or says why it cannot be.
class WLSettingsViewController : public WLViewController,
                                 public WLTableViewDataSource,
                                 public WLTableViewDelegate
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
    // Who opens and adds dictionaries; without one the list is not shown.
    void setDictionaryHost(WLDictionaryHost *host) { mDictionaryHost = host; }
    // The dictionaries listed, in their order.
    const QList<WLDictionaryInstaller::Installed> &dictionaries() const { return mDictionaries; }
    // Reads the installed dictionaries again.
    void reloadDictionaries();
    void setEditing(bool editing, bool animated) override;

    void backgroundSwitchChanged(QObject *sender);

    qsizetype numberOfSectionsInTableView() const override;
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    QString tableViewTitleForHeaderInSection(qsizetype section) const override;
    void tableViewDidSelectRowAtIndexPath(WLTableView *tableView, const WLIndexPath &indexPath) override;

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    // The sections shown: the Background row's (unless hidden) and the
    // dictionaries' (with a host).
    bool showsBackground() const;
    qsizetype dictionariesSection() const;
    void askToRemove(const WLDictionaryInstaller::Installed &dictionary);

    WLTableView *mTableView = nullptr;
    WLSwitch *mSwitchControl = nullptr;
    WLDictionaryHost *mDictionaryHost = nullptr;
    QList<WLDictionaryInstaller::Installed> mDictionaries;
};

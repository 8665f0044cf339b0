#include "WLSettingsViewController.h"

#include "WLAlertView.h"
#include "WLBarButtonItem.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLDictionaryHost.h"
#include "WLLocalization.h"
#include "WLNavigationItem.h"
#include "WLSwitch.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString canonical(const QString &path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : real;
}

QString titleOf(const WLDictionaryInstaller::Installed &dictionary)
{
    return dictionary.title.isEmpty() ? dictionary.name : dictionary.title;
}

} // namespace

WLSettingsViewController::WLSettingsViewController(QObject *parent)
    : WLViewController(QStringLiteral("SettingsScreen"), parent)
{
}

WLSettingsViewController::~WLSettingsViewController()
{
    if (mTableView) {
        mTableView->setDataSource(nullptr);
        mTableView->setDelegate(nullptr);
    }
}

void WLSettingsViewController::loadView()
{
    mTableView = new WLTableView(WLTableViewStyle::Grouped, this);
    mTableView->setScrollEnabled(mDictionaryHost != nullptr);
    mTableView->setDataSource(this);
    mTableView->setDelegate(this);
    mTableView->setAllowsSelectionDuringEditing(true);
    mSwitchControl = new WLSwitch(this);
    mSwitchControl->setFrame({0, 0, kSwitchWidth, kSwitchHeight});
    mSwitchControl->setOn(WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
    mSwitchControl->addTarget(WLControlEvent::ValueChanged,
                              [this](WLControl *sender) { backgroundSwitchChanged(sender); });
    setTitle(WLLocalization::localizedString("Settings"));
    if (mDictionaryHost)
        navigationItem()->setRightBarButtonItem(editButtonItem());
    reloadDictionaries();
}

void WLSettingsViewController::viewWillAppear(bool)
{
    // Dictionaries may have come and gone meanwhile.
    reloadDictionaries();
}

void WLSettingsViewController::setEditing(bool editing, bool animated)
{
    WLViewController::setEditing(editing, animated);
    if (mTableView)
        mTableView->setEditing(editing, animated);
}

void WLSettingsViewController::reloadDictionaries()
{
    mDictionaries.clear();
    if (mDictionaryHost) {
        QStringList listed;
        for (const WLDictionaryInstaller::Installed &dictionary : WLDictionaryInstaller::installed()) {
            if (dictionary.shadowed)
                continue;
            mDictionaries.append(dictionary);
            listed.append(canonical(dictionary.path));
        }
        // The demo that comes with the reader, and the one open (a folder
        // given on the command line), when they are not installed.
        for (const QString &path : {WLBundle::defaultBundlePath(), mDictionaryHost->openDictionaryPath()}) {
            if (path.isEmpty() || listed.contains(canonical(path)) ||
                !QFileInfo(QDir(path).filePath(QStringLiteral("DatabaseInfo.plist"))).isFile())
                continue;
            mDictionaries.append(WLDictionaryInstaller::describe(path));
            listed.append(canonical(path));
        }
    }
    if (mTableView)
        mTableView->reloadData();
}

void WLSettingsViewController::backgroundSwitchChanged(QObject *sender)
{
    if (const auto *control = qobject_cast<const WLSwitch *>(sender))
        WLUserDefaults::standardUserDefaults()->setBool(control->isOn(), WLPrefDisplayBackground);
}

bool WLSettingsViewController::showsBackground() const
{
    const WLDatabase *database = WLDatabase::sharedDatabase();
    return !database || !database->settingsHidden();
}

qsizetype WLSettingsViewController::dictionariesSection() const
{
    if (!mDictionaryHost)
        return -1;
    return showsBackground() ? 1 : 0;
}

qsizetype WLSettingsViewController::numberOfSectionsInTableView() const
{
    return (showsBackground() ? 1 : 0) + (mDictionaryHost ? 1 : 0);
}

qsizetype WLSettingsViewController::tableViewNumberOfRowsInSection(qsizetype section) const
{
    if (section == dictionariesSection())
        return mDictionaries.size() + 1;
    return section == 0 && showsBackground() ? 1 : 0;
}

QString WLSettingsViewController::tableViewTitleForHeaderInSection(qsizetype section) const
{
    return section == dictionariesSection() ? WLLocalization::localizedString("Dictionaries") : QString();
}

std::optional<WLTableViewCell> WLSettingsViewController::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = QStringLiteral("kWLSettingsTableViewCell");
    cell.selectionStyle = WLTableViewCellSelectionStyle::None;
    cell.editable = false;
    if (indexPath.section == dictionariesSection()) {
        cell.selectionStyle = WLTableViewCellSelectionStyle::Blue;
        if (indexPath.row == mDictionaries.size()) {
            cell.text = WLLocalization::localizedString("Dictionaries.Add");
            return cell;
        }
        if (indexPath.row < 0 || indexPath.row > mDictionaries.size())
            return std::nullopt;
        const WLDictionaryInstaller::Installed &dictionary = mDictionaries.at(indexPath.row);
        cell.text = titleOf(dictionary);
        if (dictionary.demo)
            cell.detailText = WLLocalization::localizedString("Dictionaries.Demo");
        else if (!dictionary.installed)
            cell.detailText = WLLocalization::localizedString("Dictionaries.NotInstalled")
                                  .arg(QDir::toNativeSeparators(dictionary.path));
        else if (!dictionary.user)
            cell.detailText = WLLocalization::localizedString("Dictionaries.ForAllUsers");
        const bool open = canonical(dictionary.path) == canonical(mDictionaryHost->openDictionaryPath());
        // A tap in editing mode still says why those without the mark stay.
        cell.editable = !open && WLDictionaryInstaller::whyNotRemovable(dictionary).isEmpty();
        if (open)
            cell.accessoryType = WLTableViewCellAccessoryType::Checkmark;
        return cell;
    }
    if (indexPath.section == 0 && indexPath.row == 0 && showsBackground()) {
        cell.text = WLLocalization::localizedString("Background");
        cell.view = mSwitchControl;
    }
    return cell;
}

void WLSettingsViewController::tableViewDidSelectRowAtIndexPath(WLTableView *tableView,
                                                                const WLIndexPath &indexPath)
{
    if (tableView)
        tableView->deselectRowAtIndexPath(indexPath, true);
    if (!mDictionaryHost || indexPath.section != dictionariesSection() || indexPath.row < 0)
        return;
    if (indexPath.row == mDictionaries.size()) {
        mDictionaryHost->chooseDictionaryToAdd();
        return;
    }
    if (indexPath.row > mDictionaries.size())
        return;
    const WLDictionaryInstaller::Installed dictionary = mDictionaries.at(indexPath.row);
    if (isEditing()) {
        askToRemove(dictionary);
        return;
    }
    if (canonical(dictionary.path) != canonical(mDictionaryHost->openDictionaryPath()))
        mDictionaryHost->openDictionary(dictionary.path);
}

void WLSettingsViewController::askToRemove(const WLDictionaryInstaller::Installed &dictionary)
{
    const QString title = titleOf(dictionary);
    // The installer's reasons, in the window's language.
    QString why;
    if (dictionary.demo)
        why = WLLocalization::localizedString("Dictionaries.Fixed.Demo");
    else if (!dictionary.installed)
        why = WLLocalization::localizedString("Dictionaries.Fixed.NotInstalled")
                  .arg(title, QDir::toNativeSeparators(QFileInfo(dictionary.path).absolutePath()));
    else if (!WLDictionaryInstaller::whyNotRemovable(dictionary).isEmpty())
        why = WLLocalization::localizedString("Dictionaries.Fixed.ForAllUsers")
                  .arg(title, QFileInfo(dictionary.path).absolutePath());
    else if (canonical(dictionary.path) == canonical(mDictionaryHost->openDictionaryPath()))
        why = WLLocalization::localizedString("Dictionaries.IsOpen").arg(title);
    const QString ok = WLLocalization::localizedString("OK");
    if (!why.isEmpty()) {
        (new WLAlertView(WLLocalization::localizedString("Dictionaries.CannotRemove"), why, {ok}, 0, {}))
            ->show(this);
        return;
    }
    const QStringList buttons{WLLocalization::localizedString("Cancel"),
                              WLLocalization::localizedString("Dictionaries.Remove.Keep"),
                              WLLocalization::localizedString("Dictionaries.Remove.Forget")};
    auto *alert = new WLAlertView(
        WLLocalization::localizedString("Dictionaries.Remove.Title").arg(title),
        WLLocalization::localizedString("Dictionaries.Remove.Message"), buttons, 0,
        [this, dictionary, ok](int button) {
            if (button == 0)
                return;
            const WLDictionaryInstaller::Result result = WLDictionaryInstaller::remove(dictionary, button == 2);
            reloadDictionaries();
            if (!result.ok)
                (new WLAlertView(WLLocalization::localizedString("Dictionaries.CannotRemove"), result.error,
                                 {ok}, 0, {}))
                    ->show(this);
        });
    alert->show(this);
}

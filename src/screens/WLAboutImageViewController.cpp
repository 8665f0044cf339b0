#include "WLAboutImageViewController.h"

#include "WLAboutWebViewController.h"
#include "WLAboutPresenter.h"
#include "WLBarButtonItem.h"
#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLImageView.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLReport.h"
#include "WLResources.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"

#include <QFileInfo>

namespace {
constexpr char kAboutPage[] = "about/index.html";

// A page of the dictionary bundle, only if it is a file.
QString bundlePage(const QString &name)
{
    const QString path = WLBundle::pathForResource(name);
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}
} // namespace

WLAboutImageViewController::WLAboutImageViewController(QObject *parent)
    : WLViewController(QStringLiteral("AboutImageScreen"), parent)
{
}

void WLAboutImageViewController::loadView()
{
    mImageView = new WLImageView(this);
    // The page and the settings offer "Back" as their way back.
    navigationItem()->setBackBarButtonItem(
        new WLBarButtonItem(WLLocalization::localizedString("Back"), WLBarButtonItem::Plain, {}, this));
    navigationItem()->setLeftBarButtonItem(
        new WLBarButtonItem(WLLocalization::localizedString("Done"), WLBarButtonItem::Bordered,
                            [this](WLBarButtonItem *) { backButtonPressed(this); }, this));
    navigationItem()->setRightBarButtonItem(rightBarButtonItem(!aboutHTMLBasePath().isEmpty()));
}

WLBarButtonItem *WLAboutImageViewController::rightBarButtonItem(bool offerAbout)
{
    QStringList items;
    const WLDatabase *database = WLDatabase::sharedDatabase();
    // A dictionary may hide its settings, but not the way to another one.
    if (!database || !database->settingsHidden() || mDictionaryHost)
        items.append(WLLocalization::localizedString("Settings"));
    if (offerAbout)
        items.append(WLLocalization::localizedString("About"));
    if (items.isEmpty())
        return nullptr;
    auto *control = new WLSegmentedControl(items, {}, this);
    control->setSegmentedControlStyle(WLSegmentedControl::Bar);
    control->setMomentary(true);
    control->addTarget(WLControlEvent::ValueChanged,
                       [this](WLControl *sender) { segmentedButtonPressed(sender); });
    return new WLBarButtonItem(control, this);
}

QString WLAboutImageViewController::aboutHTMLBasePath()
{
    // A language may name a page of its own; the plain name is the
    // fallback, in the dictionary and then in the reader.
    const QString localized = WLLocalization::localizedString(kAboutPage);
    const QString plain = QLatin1String(kAboutPage);
    for (const QString &path : {bundlePage(localized), bundlePage(plain),
                                WLResources::pathForResource(localized),
                                WLResources::pathForResource(plain)}) {
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QUrl WLAboutImageViewController::urlForPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    return path.startsWith(u':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
}

void WLAboutImageViewController::backButtonPressed(QObject *)
{
    if (mAboutPresenter)
        mAboutPresenter->hideAbout(this);
}

bool WLAboutImageViewController::keyCommand(const WLKeyCommand &command)
{
    if (command.key != Qt::Key_Escape || (command.modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    backButtonPressed(this);
    return true;
}

void WLAboutImageViewController::aboutButtonPressed(QObject *)
{
    static constexpr char kFn[] = "-[WLAboutImageViewController aboutButtonPressed:]";
    if (!mAboutWebViewController)
        mAboutWebViewController = new WLAboutWebViewController(this);
    const QUrl url = urlForPath(aboutHTMLBasePath());
    if (url.isEmpty()) {
        WL_REPORT(kFn, "url == nil");
        return;
    }
    mAboutWebViewController->loadViewIfNeeded();
    mAboutWebViewController->webView()->loadRequest(url);
    if (WLNavigationController *navigation = navigationController())
        navigation->pushViewController(mAboutWebViewController, true);
}

void WLAboutImageViewController::settingsButtonPressed(QObject *)
{
    if (!mSettingsViewController) {
        mSettingsViewController = new WLSettingsViewController(this);
        mSettingsViewController->setDictionaryHost(mDictionaryHost);
    }
    if (WLNavigationController *navigation = navigationController())
        navigation->pushViewController(mSettingsViewController, true);
}

void WLAboutImageViewController::segmentedButtonPressed(QObject *control)
{
    const auto *segments = qobject_cast<const WLSegmentedControl *>(control);
    if (!segments) {
        WL_REPORT("-[WLAboutImageViewController segmentedButtonPressed:]",
                  "![control isKindOfClass:[UISegmentedControl class]]");
        return;
    }
    const QString title = segments->titleForSegmentAtIndex(segments->selectedSegmentIndex());
    if (title == WLLocalization::localizedString("Settings"))
        settingsButtonPressed(control);
    else if (title == WLLocalization::localizedString("About"))
        aboutButtonPressed(control);
}

#include "WLReaderShell.h"

#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLAppDelegate.h"
#include "WLApplication.h"
#include "WLBarButtonItem.h"
#include "WLBookmarkListCell.h"
#include "WLBundle.h"
#include "WLControl.h"
#include "WLDisplayCell.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLScreen.h"
#include "WLScreenViews.h"
#include "WLSearchBar.h"
#include "WLSearchViewController.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"
#include "WLSignalWatcher.h"
#include "WLSwitch.h"
#include "WLTabBarController.h"
#include "WLTableView.h"
#include "WLTableViewController.h"
#include "WLWebView.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <cstdio>
#include <unistd.h>

namespace {
constexpr char kUri[] = "WLReader.Kit";

// Time for a tab's list (and any page on it) to settle before its picture.
constexpr int kScreenshotSettleMs = 1500;
} // namespace

void WLReaderShell::prepareWebEngine()
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fprintf(stderr, "wlreader: running as root, so the web engine's sandbox is off\n");
    }
    // Without a display there is no GPU to ask for.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" &&
        !qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QtWebEngineQuick::initialize();
}

WLReaderShell::WLReaderShell(QObject *parent) : QObject(parent)
{
    mClock.start();
}

WLReaderShell::~WLReaderShell()
{
    WLApplication::setOpenURLHandler({});
    // Views first: they read the controllers the delegate owns.
    if (mScreenViews)
        mScreenViews->clear();
    mEngine.reset();
    mScreenViews.reset();
    mAppDelegate.reset();
}

void WLReaderShell::registerTypes()
{
    const QString reason = QStringLiteral("made by the controllers");
    qmlRegisterUncreatableType<WLViewController>(kUri, 1, 0, "WLViewController", reason);
    qmlRegisterUncreatableType<WLNavigationController>(kUri, 1, 0, "WLNavigationController", reason);
    qmlRegisterUncreatableType<WLTabBarController>(kUri, 1, 0, "WLTabBarController", reason);
    qmlRegisterUncreatableType<WLNavigationItem>(kUri, 1, 0, "WLNavigationItem", reason);
    qmlRegisterUncreatableType<WLBarButtonItem>(kUri, 1, 0, "WLBarButtonItem", reason);
    qmlRegisterUncreatableType<WLControl>(kUri, 1, 0, "WLControl", reason);
    qmlRegisterUncreatableType<WLButton>(kUri, 1, 0, "WLButton", reason);
    qmlRegisterUncreatableType<WLImageView>(kUri, 1, 0, "WLImageView", reason);
    qmlRegisterUncreatableType<WLSegmentedControl>(kUri, 1, 0, "WLSegmentedControl", reason);
    qmlRegisterUncreatableType<WLSwitch>(kUri, 1, 0, "WLSwitch", reason);
    qmlRegisterUncreatableType<WLWebView>(kUri, 1, 0, "WLWebView", reason);
    qmlRegisterUncreatableType<WLTableView>(kUri, 1, 0, "WLTableView", reason);
    qmlRegisterUncreatableType<WLTableViewController>(kUri, 1, 0, "WLTableViewController", reason);
    qmlRegisterUncreatableType<WLWebViewController>(kUri, 1, 0, "WLWebViewController", reason);
    qmlRegisterUncreatableType<WLWindow>(kUri, 1, 0, "WLWindow", reason);
    qmlRegisterUncreatableType<WLContainerView>(kUri, 1, 0, "WLContainerView", reason);
    qmlRegisterUncreatableType<WLAppDelegate>(kUri, 1, 0, "WLAppDelegate", reason);
    qmlRegisterType<WLBookmarkListCell>(kUri, 1, 0, "WLBookmarkListCell");
    qmlRegisterSingletonInstance(kUri, 1, 0, "MainScreen", WLScreen::mainScreen());
    qmlRegisterSingletonInstance<WLScreenViews>(kUri, 1, 0, "Views", mScreenViews.get());
    qmlRegisterSingletonInstance<WLAppDelegate>(kUri, 1, 0, "App", mAppDelegate.get());
    qmlRegisterUncreatableType<WLSearchBar>(kUri, 1, 0, "WLSearchBar", reason);
    qmlRegisterUncreatableType<WLSearchViewController>(kUri, 1, 0, "WLSearchViewController", reason);
    qmlRegisterUncreatableType<WLAboutImageViewController>(kUri, 1, 0, "WLAboutImageViewController", reason);
    qmlRegisterUncreatableType<WLAboutWebViewController>(kUri, 1, 0, "WLAboutWebViewController", reason);
    qmlRegisterUncreatableType<WLSettingsViewController>(kUri, 1, 0, "WLSettingsViewController", reason);
    qmlRegisterType<WLDisplayCell>(kUri, 1, 0, "WLDisplayCell");
}

bool WLReaderShell::start(const Options &options)
{
    mOptions = options;
    WLBundle::setResourcePath(QDir(options.dictionaryPath).absolutePath());

    // Links that leave the reader open in the desktop's browser.
    WLApplication::setOpenURLHandler([](const QUrl &url) { return QDesktopServices::openUrl(url); });
    mAppDelegate = std::make_unique<WLAppDelegate>();
    mAppDelegate->applicationDidFinishLaunching();
    milestone("controllers ready");

    mEngine = std::make_unique<QQmlApplicationEngine>();
    mScreenViews = std::make_unique<WLScreenViews>(mEngine.get());
    registerTypes();
    mEngine->load(QUrl(QStringLiteral("qrc:/WLReader/qml/Main.qml")));
    if (mEngine->rootObjects().isEmpty())
        return false;
    mWindow = qobject_cast<QQuickWindow *>(mEngine->rootObjects().constFirst());
    if (!mWindow)
        return false;

    mSignalWatcher = std::make_unique<WLSignalWatcher>();
    connect(mSignalWatcher.get(), &WLSignalWatcher::terminationRequested, this,
            &WLReaderShell::terminate);
    mWindow->installEventFilter(this);
    connect(
        mWindow, &QQuickWindow::frameSwapped, this,
        [this] {
            milestone("first frame");
            Q_EMIT firstFrameShown();
            // The web engine starts after the list is on screen, so the first
            // entry does not wait for it.
            QTimer::singleShot(0, this, &WLReaderShell::warmUpWebEngine);
            if (!mOptions.screenshotDirectory.isEmpty())
                QTimer::singleShot(kScreenshotSettleMs, this, &WLReaderShell::takeScreenshots);
        },
        Qt::SingleShotConnection);
    return true;
}

bool WLReaderShell::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mWindow && event->type() == QEvent::Close)
        QTimer::singleShot(0, this, &WLReaderShell::terminate);
    // Keys reach the screens before the item with the focus (a list, a
    // field, the web page) sees them.
    if (watched == mWindow && event->type() == QEvent::KeyPress && mAppDelegate) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (mAppDelegate->handleKeyCommand({key->key(), key->modifiers(), key->text()}))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void WLReaderShell::warmUpWebEngine()
{
    if (WLWebViewController *viewer = WLWebViewController::sharedWebViewController())
        mScreenViews->viewFor(viewer);
}

void WLReaderShell::milestone(const char *what)
{
    if (mOptions.verbose)
        std::fprintf(stderr, "wlreader: %s after %lld ms\n", what, qint64(mClock.elapsed()));
}

void WLReaderShell::takeScreenshots()
{
    if (!QDir().mkpath(mOptions.screenshotDirectory)) {
        std::fprintf(stderr, "wlreader: cannot make %s\n", qPrintable(mOptions.screenshotDirectory));
        terminate();
        return;
    }
    WLTabBarController *tabBar = mAppDelegate ? mAppDelegate->tabBarController() : nullptr;
    if (tabBar && tabBar->selectedIndex() > 0) {
        tabBar->selectTab(0);
        QTimer::singleShot(kScreenshotSettleMs, this, [this] { takeScreenshot(0); });
        return;
    }
    takeScreenshot(0);
}

void WLReaderShell::takeScreenshot(int index)
{
    WLTabBarController *tabBar = mAppDelegate ? mAppDelegate->tabBarController() : nullptr;
    const QVariantList tabs = tabBar ? tabBar->tabs() : QVariantList();
    const QString name = index < tabs.size()
                             ? tabs.at(index).toMap().value(QStringLiteral("title")).toString()
                             : QStringLiteral("window");
    const QString path = QDir(mOptions.screenshotDirectory)
                             .filePath(QStringLiteral("%1-%2.png")
                                           .arg(index + 1)
                                           .arg(name.toLower().replace(u' ', u'-')));
    if (mWindow && mWindow->grabWindow().save(path))
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    else
        std::fprintf(stderr, "wlreader: cannot save %s\n", qPrintable(path));
    std::fflush(stdout);
    if (index + 1 >= tabs.size()) {
        terminate();
        return;
    }
    tabBar->selectTab(index + 1);
    QTimer::singleShot(kScreenshotSettleMs, this, [this, index] { takeScreenshot(index + 1); });
}

void WLReaderShell::terminate()
{
    if (mTerminated)
        return;
    mTerminated = true;
    milestone("stopping");
    // The views go first: they draw the controllers the stop sequence
    // tears down.
    if (mWindow)
        mWindow->hide();
    if (mScreenViews)
        mScreenViews->clear();
    if (mAppDelegate)
        mAppDelegate->applicationWillTerminate();
    if (mOptions.quitWhenStopped)
        QCoreApplication::exit(0);
}

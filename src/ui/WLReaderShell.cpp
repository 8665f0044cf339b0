#include "WLReaderShell.h"

#include "WLAppDelegate.h"
#include "WLApplication.h"
#include "WLBundle.h"
#include "WLColorScheme.h"
#include "WLDescriptionReader.h"
#include "WLFileChooser.h"
#include "WLInputMode.h"
#include "WLInstanceChannel.h"
#include "WLLocalization.h"
#include "WLPageSchemeHandler.h"
#include "WLQmlTypes.h"
#include "WLReaderApp.h"
#include "WLReaderHandOver.h"
#include "WLReaderSettings.h"
#include "WLScreenViews.h"
#include "WLSignalWatcher.h"
#include "WLTabBarController.h"
#include "WLUserDefaults.h"
#include "WLWebView.h"
#include "WLWebViewController.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <cstdio>
#include <unistd.h>

// Made by qmltyperegistrar with the module.
void qml_register_types_WLReader_Kit();

namespace {
// Time for a tab's list (and any page on it) to settle before its picture.
constexpr int kScreenshotSettleMs = 1500;

QtMessageHandler &previousMessageHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

// Set when the reader itself turned OpenGL off.
bool &openGLSwitchedOff()
{
    static bool off = false;
    return off;
}

// Set when the web engine's flags are the reader's, not the user's.
bool &chromiumFlagsOurs()
{
    static bool ours = false;
    return ours;
}

// Lines Qt 6.4's web engine prints at every start that tell a user nothing:
// its own QML types it registers wrongly, the sandbox we already named, and
// the OpenGL context it cannot make once we have turned OpenGL off.
bool isWebEngineStartNoise(const QString &message)
{
    if (message.startsWith(QLatin1String("QWebEngine")) &&
        message.endsWith(QLatin1String("You should not use it as a QML type.")))
        return true;
    if (message == QLatin1String("Sandboxing disabled by user."))
        return true;
    const QString line = message.trimmed();
    return openGLSwitchedOff() &&
           (line == QLatin1String("No suitable graphics backend found") ||
            line == QLatin1String("QXcbIntegration: Cannot create platform OpenGL context, "
                                  "neither GLX nor EGL are enabled"));
}

void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (isWebEngineStartNoise(message))
        return;
    if (QtMessageHandler previous = previousMessageHandler())
        previous(type, context, message);
}
} // namespace

void WLReaderShell::prepareApplication()
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fprintf(stderr, "wlreader: running as root, so the web engine's sandbox is off\n");
    }
    // Lists and text draw fast enough in software (docs/PERFORMANCE.md).
    // QT_QUICK_BACKEND or QSG_RHI_BACKEND choose otherwise.
    const bool software =
        !qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    if (software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        // Then nothing draws with OpenGL: the web engine composites in
        // software behind a software scene graph. It still makes an OpenGL
        // context at start, which loads the GPU driver for nothing; on a
        // machine without a GPU that is Mesa's llvmpipe with LLVM, some 55 MB
        // and 30 ms before the window. On X11 this keeps it from being made.
        if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
            qputenv("QT_XCB_GL_INTEGRATION", "none");
            openGLSwitchedOff() = true;
        }
    }
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        // Chromium's own error lines (a zygote it cannot reach while the
        // reader ends, and the like) are for its developers, not a reader's
        // terminal; a failed page still reaches the viewer.
        QByteArray flags = "--log-level=3";
        // No GPU to ask for without a display, nor with the scene graph in
        // software.
        if (software || qgetenv("QT_QPA_PLATFORM") == "offscreen")
            flags += " --disable-gpu";
        // Chromium's renderer as threads of the reader rather than a zygote,
        // a renderer and a utility process of their own: some 20 MiB of PSS
        // (140 MiB of RSS) less, and the first entry sooner, most of all on
        // a busy machine (docs/PERFORMANCE.md). The
        // renderer loses its sandbox; what that leaves exposed, with page
        // script and the network already off, is in docs/SECURITY.md.
        flags += " --single-process";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        chromiumFlagsOurs() = true;
    }
    // Pages reach a screen reader only with this (Qt 6.4 keeps the web
    // engine's accessibility off on Linux otherwise). It costs nothing while
    // no screen reader is listening: the engine builds its accessibility
    // tree only once Qt's accessibility is active (docs/PERFORMANCE.md).
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    // The engine's start-up summary is for debugging it; QT_LOGGING_RULES
    // still turns it back on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                    "qt.webenginecontext.info=false"));
    if (!previousMessageHandler())
        previousMessageHandler() = qInstallMessageHandler(filterMessage);
    // Pages are served under a scheme of the reader's own.
    WLPageSchemeHandler::registerScheme();
    QtWebEngineQuick::initialize();
}

bool WLReaderShell::webEngineInOneProcess()
{
    const QList<QByteArray> flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ');
    return flags.contains("--single-process");
}

WLReaderShell::WLReaderShell(QObject *parent) : QObject(parent)
{
    mClock.start();
    // The platform read it when the application was made; a program the
    // reader starts (a browser for an About link) keeps its OpenGL.
    if (openGLSwitchedOff())
        qunsetenv("QT_XCB_GL_INTEGRATION");
}

WLReaderShell::~WLReaderShell()
{
    // The window goes with the engine; it is no longer watched from here on.
    if (mWindow)
        mWindow->removeEventFilter(this);
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
    // The module's types are registered when QML first imports it; naming
    // the registration keeps the linker from dropping it from the static
    // library.
    volatile auto registration = &qml_register_types_WLReader_Kit;
    Q_UNUSED(registration);
    WLQmlInstances::set(mApp.get(), mScreenViews.get(), mColorScheme.get(), mInputMode.get());
}

bool WLReaderShell::start(const Options &options)
{
    mOptions = options;
    mSettings = std::make_unique<WLReaderSettings>();
    mApp = std::make_unique<WLReaderApp>();
    mApp->setAddHandler([this](const QString &path) {
        if (mAppDelegate)
            mAppDelegate->addDictionary(path);
    });
    // Links that leave the reader open in the desktop's browser.
    WLApplication::setOpenURLHandler([](const QUrl &url) { return QDesktopServices::openUrl(url); });
    openBundle(QDir(mSettings->dictionaryToOpen(options.dictionaryPath)).absolutePath());
    milestone("controllers ready");

    mColorScheme = std::make_unique<WLColorScheme>();
    mInputMode = std::make_unique<WLInputMode>();
    // Pages learn the scheme (prefers-color-scheme) when the web engine
    // starts, which is after this: at the first touch or entry.
    if (mColorScheme->isDark() && chromiumFlagsOurs()) {
        const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--force-dark-mode"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --force-dark-mode");
    }

    mEngine = std::make_unique<QQmlApplicationEngine>();
    mScreenViews = std::make_unique<WLScreenViews>(mEngine.get());
    registerTypes();
    mEngine->load(QUrl(QStringLiteral("qrc:/WLReader/Kit/Main.qml")));
    if (mEngine->rootObjects().isEmpty())
        return false;
    mWindow = qobject_cast<QQuickWindow *>(mEngine->rootObjects().constFirst());
    if (!mWindow)
        return false;
    restoreWindowFrame();
    if (!options.windowSize.isEmpty())
        mWindow->resize(options.windowSize);
    fitWindowToScreen();

    listen();
    if (!options.word.isEmpty())
        mAppDelegate->lookUpWord(options.word);

    if (mOptions.verbose) {
        if (WLWebViewController *viewer = WLWebViewController::sharedWebViewController(); viewer && viewer->webView())
            connect(viewer->webView(), &WLWebView::loadedSerialChanged, this,
                    [this] { milestone("entry painted"); });
    }

    mSignalWatcher = std::make_unique<WLSignalWatcher>();
    connect(mSignalWatcher.get(), &WLSignalWatcher::terminationRequested, this,
            &WLReaderShell::terminate);
    mWindowObject = mWindow;
    mWindow->installEventFilter(this);
    connect(
        mWindow, &QQuickWindow::frameSwapped, this,
        [this] {
            milestone("first frame");
            Q_EMIT firstFrameShown();
            if (!mOptions.screenshotDirectory.isEmpty())
                QTimer::singleShot(kScreenshotSettleMs, this, &WLReaderShell::takeScreenshots);
        },
        Qt::SingleShotConnection);
    return true;
}

void WLReaderShell::openBundle(const QString &bundle)
{
    mBundle = bundle;
    WLBundle::setResourcePath(bundle);
    // Bookmarks, history and the last state are this dictionary's own.
    WLUserDefaults::setDictionary(
        wlDictionaryIdentifier(QDir(bundle).filePath(QStringLiteral("DatabaseInfo.plist"))), bundle);
    // What wldict or another reader stores meanwhile shows here.
    WLUserDefaults::standardUserDefaults()->watchForChanges();
    mAppDelegate = std::make_unique<WLAppDelegate>();
    mAppDelegate->setDictionaryHost(this);
    mAppDelegate->applicationDidFinishLaunching();
    if (mAppDelegate->database())
        mSettings->setLastDictionary(bundle);
    mApp->setDelegate(mAppDelegate.get());
}

void WLReaderShell::listen()
{
    // Later starts on this dictionary hand their word to this reader.
    mChannel.reset();
    if (!mOptions.screenshotDirectory.isEmpty())
        return;
    mChannel = std::make_unique<WLInstanceChannel>();
    if (mChannel->listen(WLReaderHandOver::socketPathFor(mBundle)))
        connect(mChannel.get(), &WLInstanceChannel::wordReceived, this, &WLReaderShell::lookUp);
}

void WLReaderShell::openDictionary(const QString &bundlePath)
{
    QTimer::singleShot(0, this, [this, bundlePath] { switchDictionary(bundlePath); });
}

void WLReaderShell::switchDictionary(const QString &bundlePath)
{
    const QString bundle = QDir(bundlePath).absolutePath();
    if (mTerminated || !mAppDelegate || bundle == mBundle)
        return;
    // A reader that shows it already comes to the front instead.
    if (WLInstanceChannel::handOver(WLReaderHandOver::socketPathFor(bundle), QString()))
        return;
    // The stop sequence for the one open: its views first, which draw its
    // controllers; the window stays.
    if (mScreenViews)
        mScreenViews->clear();
    mAppDelegate->applicationWillTerminate();
    mApp->setDelegate(nullptr);
    mAppDelegate.reset();
    WLUserDefaults::resetStandardUserDefaults();
    openBundle(bundle);
    listen();
    // The web engine runs already; the new viewer is ready for the first tap.
    if (mWebEngineStarted)
        warmUpWebEngine();
}

void WLReaderShell::chooseDictionaryToAdd()
{
    if (!mApp)
        return;
    // The desktop's own dialog through its portal, else the window's.
    if (!mFileChooser) {
        mFileChooser = std::make_unique<WLFileChooser>();
        connect(mFileChooser.get(), &WLFileChooser::chosen, mApp.get(), &WLReaderApp::addDictionary);
        connect(mFileChooser.get(), &WLFileChooser::unavailable, mApp.get(), &WLReaderApp::chooseDictionary);
    }
    QString parent;
    if (mWindow && QGuiApplication::platformName() == QLatin1String("xcb"))
        parent = QStringLiteral("x11:%1").arg(mWindow->winId(), 0, 16);
    const QList<WLFileChooser::Filter> filters{
        {WLLocalization::localizedString("Dictionaries.Files"),
         {QStringLiteral("*.ifo"), QStringLiteral("*.index"), QStringLiteral("*.dict"), QStringLiteral("*.dz"),
          QStringLiteral("*.idx"), QStringLiteral("DatabaseInfo.plist")}},
        {WLLocalization::localizedString("AllFiles"), {QStringLiteral("*")}},
    };
    mFileChooser->open(WLLocalization::localizedString("Dictionaries.Add"), filters,
                       WLReaderApp::chooserFolder().toLocalFile(), parent);
}

bool WLReaderShell::eventFilter(QObject *watched, QEvent *event)
{
    // Compared as objects: a window being destroyed is no QQuickWindow any more.
    if (watched != static_cast<QObject *>(mWindowObject))
        return QObject::eventFilter(watched, event);
    // The web engine (some 150 MB in processes of its own) starts at the
    // first touch of the window rather than at start-up: a reader waiting
    // in the background stays small, and the engine is ready by the time
    // the tap or the typing it began opens an entry.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        if (!mWebEngineStarted)
            QTimer::singleShot(0, this, &WLReaderShell::warmUpWebEngine);
        mWebEngineStarted = true;
        break;
    default:
        break;
    }
    if (mInputMode) {
        if (event->type() == QEvent::KeyPress)
            mInputMode->setKeyboard(true);
        else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::TouchBegin)
            mInputMode->setKeyboard(false);
    }
    if (event->type() == QEvent::Close)
        QTimer::singleShot(0, this, &WLReaderShell::terminate);
    // Keys reach the screens before the item with the focus (a list, a
    // field, the web page) sees them.
    if (event->type() == QEvent::KeyPress && mAppDelegate) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (mAppDelegate->handleKeyCommand({key->key(), key->modifiers(), key->text()}))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void WLReaderShell::lookUp(const QString &word)
{
    if (mWindow) {
        mWindow->show();
        mWindow->raise();
        mWindow->requestActivate();
    }
    if (mAppDelegate && !word.isEmpty())
        mAppDelegate->lookUpWord(word);
}

void WLReaderShell::warmUpWebEngine()
{
    mWebEngineStarted = true;
    if (WLWebViewController *viewer = WLWebViewController::sharedWebViewController())
        mScreenViews->viewFor(viewer);
}

namespace {
// Offscreen windows have no place worth keeping.
bool onRealScreens()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
} // namespace

void WLReaderShell::restoreWindowFrame()
{
    if (!mWindow || !mWindow->screen() || !onRealScreens())
        return;
    const QRect frame = mSettings->windowFrame(mWindow->screen()->name());
    // Only a place still on that screen, at a size the window allows.
    if (frame.isValid() && mWindow->screen()->availableGeometry().intersects(frame) &&
        frame.width() >= mWindow->minimumWidth() && frame.height() >= mWindow->minimumHeight())
        mWindow->setGeometry(frame);
}

void WLReaderShell::fitWindowToScreen()
{
    // At a large scale (QT_SCALE_FACTOR, the desktop's text scale) the
    // phone's height may be more than the screen has: the window is made
    // to fit rather than cut off at the screen's edge.
    if (!mWindow || !mWindow->screen() || !onRealScreens())
        return;
    const QRect available = mWindow->screen()->availableGeometry();
    const QSize fitted = mWindow->size().boundedTo(available.size()).expandedTo(mWindow->minimumSize());
    if (fitted != mWindow->size())
        mWindow->resize(fitted);
}

void WLReaderShell::saveWindowFrame()
{
    if (!mWindow || !mWindow->screen() || !mWindow->isVisible() || !onRealScreens())
        return;
    mSettings->setWindowFrame(mWindow->screen()->name(), mWindow->geometry());
    mSettings->synchronize();
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
    // The views go first, with the window and its scene graph: they draw
    // the controllers the stop sequence tears down.
    saveWindowFrame();
    if (mWindow)
        mWindow->removeEventFilter(this);
    if (mScreenViews)
        mScreenViews->clear();
    mEngine.reset();
    if (mAppDelegate)
        mAppDelegate->applicationWillTerminate();
    if (mApp)
        mApp->setDelegate(nullptr);
    if (mOptions.quitWhenStopped)
        QCoreApplication::exit(0);
}

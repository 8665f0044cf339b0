#include "WLAppDelegate.h"

#include "WLAboutImageViewController.h"
#include "WLAddBookmarkViewController.h"
#include "WLBookmarksDataSource.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLContainerView.h"
#include "WLDatabase.h"
#include "WLDictionaryAdding.h"
#include "WLDictionaryHost.h"
#include "WLHistoryDataSource.h"
#include "WLKeyRouter.h"
#include "WLLastState.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLResources.h"
#include "WLSearchSession.h"
#include "WLSearchViewController.h"
#include "WLTabBuilder.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"
#include "WLWordLookUp.h"

#include <QDir>
#include <QFileInfo>

WLAppDelegate::WLAppDelegate(QObject *parent) : QObject(parent) {}

WLAppDelegate::~WLAppDelegate()
{
    cleanupUserInterface();
    cleanupDatabase();
}

void WLAppDelegate::applicationDidFinishLaunching()
{
    prepareDatabase();
    prepareUserInterface();
    registerPreference();
    readPreference();
    showUserInterface();
}

void WLAppDelegate::applicationWillTerminate()
{
    if (mTerminated)
        return;
    mTerminated = true;
    if (WLBookmarksDataSource *bookmarks = WLBookmarksDataSource::sharedBookmarks())
        bookmarks->writePreference();
    if (WLHistoryDataSource *history = WLHistoryDataSource::sharedHistory())
        history->writePreference();
    writePreference();
    cleanupUserInterface();
    cleanupDatabase();
    // Written now rather than at exit, where a signal may cut it short.
    WLUserDefaults::standardUserDefaults()->synchronize();
}

bool WLAppDelegate::prepareDatabase()
{
    static constexpr char kFn[] = "-[WLAppDelegate prepareDatabase]";
    const QString bundle = WLBundle::resourcePath();
    const QString path = WLBundle::pathForResource(QStringLiteral("DatabaseInfo.plist"));
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        WL_REPORT(kFn, "path == nil");
        mOpeningFailure = bundle.isEmpty() || !QFileInfo(bundle).isDir()
                              ? tr("There is no dictionary at %1.").arg(QDir::toNativeSeparators(bundle))
                              : tr("%1 is not a dictionary: it has no DatabaseInfo.plist.")
                                    .arg(QDir::toNativeSeparators(bundle));
        return false;
    }
    WLReportCapture reports;
    mDatabase = WLDatabase::initWithPropertyListFile(path);
    if (!mDatabase) {
        WL_REPORT(kFn, "mDatabase == nil");
        QString why;
        if (!reports.lines().empty())
            why = QString::fromUtf8(reports.lines().front()).trimmed();
        mOpeningFailure = tr("The dictionary at %1 could not be opened.")
                              .arg(QDir::toNativeSeparators(bundle));
        if (!why.isEmpty())
            mOpeningFailure += u'\n' + tr("First problem: %1").arg(why);
        return false;
    }
    return true;
}

void WLAppDelegate::cleanupDatabase()
{
    if (mDatabase)
        mDatabase->invalidate();
    mDatabase.reset();
}

bool WLAppDelegate::prepareUserInterface()
{
    static constexpr char kFn[] = "-[WLAppDelegate prepareUserInterface]";
    mWindow = std::make_unique<WLWindow>();
    Q_EMIT windowChanged();
    mContainerView = std::make_unique<WLContainerView>();
    mTabBarController = std::make_unique<WLTabBarController>();
    mTabBarController->setDelegate(this);

    QList<WLViewController *> viewControllers;
    viewControllers.reserve(4);
    using Factory = std::unique_ptr<WLNavigationController> (WLAppDelegate::*)();
    for (Factory create : {&WLAppDelegate::createIndexNavigationController,
                           &WLAppDelegate::createSearchNavigationController,
                           &WLAppDelegate::createBookmarksNavigationController,
                           &WLAppDelegate::createHistoryNavigationController}) {
        std::unique_ptr<WLNavigationController> navigationController = (this->*create)();
        if (!navigationController) {
            WL_REPORT(kFn, "navigationController == nil");
            qDeleteAll(viewControllers);
            return false;
        }
        // The last entry is kept whenever it changes, not only at the end.
        connect(navigationController.get(), &WLNavigationController::stackChanged, this,
                [this] { mLastState->writeLastEntry(); });
        viewControllers.append(navigationController.release());
    }
    mTabBarController->setViewControllers(viewControllers);
    mLastState = std::make_unique<WLLastState>(mTabBarController.get(), searchScreen());
    mWordLookUp = std::make_unique<WLWordLookUp>(searchTab(), searchScreen(),
                                                 mDatabase ? WLSearchSession::of(*mDatabase) : nullptr);
    mKeyRouter = std::make_unique<WLKeyRouter>(mWindow.get(), mContainerView.get(), searchTab(),
                                               searchScreen());

    mWebViewController = std::make_unique<WLWebViewController>();
    mWebViewController->loadViewIfNeeded();
    mWebViewController->setDatabase(mDatabase.get());
    connect(mWebViewController.get(), &WLWebViewController::currentEntryChanged, this,
            [this] { mLastState->writeLastEntry(); });
    mAddBookmarkViewController = std::make_unique<WLAddBookmarkViewController>();

    mContainerView->addSubview(mTabBarController.get());
    mWindow->addSubview(mContainerView.get());
    return true;
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createIndexNavigationController()
{
    return WLTabBuilder(mDatabase.get(), this).indexTab();
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createSearchNavigationController()
{
    return WLTabBuilder(mDatabase.get(), this).searchTab();
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createBookmarksNavigationController()
{
    return WLTabBuilder(mDatabase.get(), this).bookmarksTab();
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createHistoryNavigationController()
{
    return WLTabBuilder(mDatabase.get(), this).historyTab();
}

WLNavigationController *WLAppDelegate::searchTab() const
{
    if (!mTabBarController)
        return nullptr;
    for (WLViewController *viewController : mTabBarController->viewControllers()) {
        if (viewController->tabBarItem().tag == kSearchTabTag)
            return qobject_cast<WLNavigationController *>(viewController);
    }
    return nullptr;
}

WLSearchViewController *WLAppDelegate::searchScreen() const
{
    WLNavigationController *tab = searchTab();
    return tab ? qobject_cast<WLSearchViewController *>(tab->viewControllers().value(0)) : nullptr;
}

void WLAppDelegate::registerPreference()
{
    WLUserDefaults::standardUserDefaults()->registerDefaults(
        {{WLPrefDisplayBackground, true}, {WLPrefDisplayLargeFont, false}});
}

void WLAppDelegate::readPreference()
{
    if (mLastState)
        mLastState->restore();
}

void WLAppDelegate::writePreference()
{
    if (mLastState)
        mLastState->write();
}

QString WLAppDelegate::title() const
{
    return mDatabase ? mDatabase->title() : QString();
}

void WLAppDelegate::showUserInterface()
{
    if (mWindow)
        mWindow->makeKeyAndVisible();
}

void WLAppDelegate::cleanupUserInterface()
{
    mDictionaryAdding.reset();
    mKeyRouter.reset();
    mWordLookUp.reset();
    mLastState.reset();
    if (mWebViewController)
        mWebViewController->disconnect(this);
    mWebViewController.reset();
    mAddBookmarkViewController.reset();
    mAboutNavigationController.reset();
    if (mTabBarController) {
        mTabBarController->disconnect(this);
        mTabBarController->setDelegate(nullptr);
    }
    mTabBarController.reset();
    mWindow.reset();
    mContainerView.reset();
}

void WLAppDelegate::tabBarControllerDidSelectViewController(WLTabBarController *,
                                                            WLViewController *)
{
    // Kept at once, so a crash does not lose it.
    if (mLastState)
        mLastState->writeLastTab();
    WLWebViewController *viewer = mWebViewController.get();
    if (!viewer)
        return;
    if (auto *navigationController =
            qobject_cast<WLNavigationController *>(viewer->parentViewController())) {
        // Down to the screen under the viewer: a picture pushed over it goes too,
        // or the viewer would stay on this tab's stack.
        const QList<WLViewController *> stack = navigationController->viewControllers();
        const qsizetype index = stack.indexOf(viewer);
        if (index > 0)
            navigationController->popToViewController(stack.at(index - 1), false);
        viewer->clearContents();
    }
}

bool WLAppDelegate::handleKeyCommand(const WLKeyCommand &command)
{
    if (mKeyRouter && mKeyRouter->route(command))
        return true;
    // Ctrl+O: a dictionary to add, as the settings' last row asks; not
    // while a modal screen waits for an answer.
    if (command.key == Qt::Key_O && command.modifiers == Qt::ControlModifier && mDictionaryHost && mWindow
        && mWindow->modalViewControllers().isEmpty()) {
        mDictionaryHost->chooseDictionaryToAdd();
        return true;
    }
    return false;
}

void WLAppDelegate::addDictionary(const QString &path)
{
    if (!mDictionaryAdding)
        mDictionaryAdding = std::make_unique<WLDictionaryAdding>(mDictionaryHost);
    // Over whatever the window shows: the tabs or the About screen.
    WLViewController *presenter = mContainerView ? mContainerView->content() : nullptr;
    if (!presenter && mWindow)
        presenter = mTabBarController.get();
    mDictionaryAdding->add(path, presenter);
}

void WLAppDelegate::lookUpWord(const QString &word)
{
    WLNavigationController *tab = searchTab();
    if (!mTabBarController || !mDatabase || !mWordLookUp || !tab || word.isEmpty())
        return;
    mTabBarController->selectTab(int(mTabBarController->viewControllers().indexOf(tab)));
    mWordLookUp->lookUp(word);
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createAboutNavigationController()
{
    auto viewController = std::make_unique<WLAboutImageViewController>();
    viewController->setAboutPresenter(this);
    viewController->setDictionaryHost(mDictionaryHost);
    viewController->loadViewIfNeeded();
    viewController->imageView()->setImage(WLResources::imageURLNamed(QStringLiteral("About.png")));
    auto navigationController = std::make_unique<WLNavigationController>(viewController.get());
    viewController.release()->setParent(navigationController.get());
    return navigationController;
}

void WLAppDelegate::showAbout(QObject *)
{
    if (!mAboutNavigationController) {
        mAboutNavigationController = createAboutNavigationController();
        if (!mAboutNavigationController) {
            WL_REPORT("-[WLAppDelegate showAbout:]", "mAboutNavigationController == nil");
            return;
        }
    }
    // Shown already, or nothing to flip from.
    if (!mContainerView || !mContainerView->contains(mTabBarController.get()))
        return;
    if (WLViewController *top = mAboutNavigationController->topViewController())
        top->setTitle(QString());
    mContainerView->transition(mTabBarController.get(), mAboutNavigationController.get(),
                               WLContainerView::FlipFromLeft, kFlipDuration);
}

void WLAppDelegate::hideAbout(QObject *)
{
    static constexpr char kFn[] = "-[WLAppDelegate hideAbout:]";
    if (!mAboutNavigationController) {
        WL_REPORT(kFn, "mAboutNavigationController == nil");
        return;
    }
    if (!mAboutNavigationController->isViewLoaded()) {
        WL_REPORT(kFn, "navigationView == nil");
        return;
    }
    if (!mContainerView || !mContainerView->contains(mAboutNavigationController.get())) {
        WL_REPORT(kFn, "[navigationView superview] == nil");
        return;
    }
    mContainerView->transition(mAboutNavigationController.get(), mTabBarController.get(),
                               WLContainerView::FlipFromRight, kFlipDuration);
}

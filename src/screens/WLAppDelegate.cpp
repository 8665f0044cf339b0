#include "WLAppDelegate.h"

#include "WLAboutImageViewController.h"
#include "WLAddBookmarkViewController.h"
#include "WLBookmarksDataSource.h"
#include "WLBookmarksViewController.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLEntryReference.h"
#include "WLHistoryDataSource.h"
#include "WLIndexDataSource.h"
#include "WLIndexViewController.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLResources.h"
#include "WLSearchDataSource.h"
#include "WLSearchResult.h"
#include "WLSearchViewController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QDir>
#include <QFileInfo>

namespace {

WLAppDelegate *gSharedAppDelegate = nullptr;

// A tab's own appearance value, else the general one.
template <typename T>
T either(const T &own, const T &general)
{
    return own.has_value() ? own : general;
}

QString either(const QString &own, const QString &general)
{
    return own.isEmpty() ? general : own;
}

// What a list tab takes from the dictionary's appearance.
struct TabAppearance {
    QString backgroundImage;
    std::optional<WLColor> backgroundColor;
};

// A tab's own background, else the general one.
TabAppearance tabAppearance(const WLDatabase *database, QString (WLDatabase::*image)() const,
                            std::optional<WLColor> (WLDatabase::*color)() const)
{
    if (!database)
        return {};
    return {either((database->*image)(), database->backgroundImage()),
            either((database->*color)(), database->backgroundColor())};
}

// The pattern every list tab is made with; the tab differs in its data
// source, screen class and appearance.
template <typename Screen>
std::unique_ptr<WLNavigationController> makeListTab(const char *function, WLDatabase *database,
                                                    std::unique_ptr<WLDataSourceProtocol> dataSource,
                                                    const TabAppearance &appearance)
{
    if (!database) {
        WL_REPORT(function, "mDatabase == nil");
        return nullptr;
    }
    if (!dataSource) {
        WL_REPORT(function, "dataSource == nil");
        return nullptr;
    }
    std::unique_ptr<Screen> viewController =
        WLTableViewController::initWithDataSource<Screen>(std::move(dataSource));
    if (!viewController) {
        WL_REPORT(function, "viewController == nil");
        return nullptr;
    }
    viewController->setBackgroundImage(WLResources::imageURLNamed(appearance.backgroundImage));
    viewController->setBackgroundColor(appearance.backgroundColor);
    auto navigationController = std::make_unique<WLNavigationController>(viewController.get());
    viewController.release()->setParent(navigationController.get());
    return navigationController;
}

// A tab's screen with its data source; T a data source made on a dictionary.
template <typename T>
std::unique_ptr<WLDataSourceProtocol> dataSourceWithColor(WLDatabase *database,
                                                          const std::optional<WLColor> &color)
{
    std::unique_ptr<T> dataSource = WLDataSource::initWithDatabase<T>(database);
    if (dataSource && color)
        dataSource->setTextColor(color);
    return dataSource;
}

} // namespace

WLAppDelegate *WLAppDelegate::sharedAppDelegate()
{
    return gSharedAppDelegate;
}

WLAppDelegate::WLAppDelegate(QObject *parent) : QObject(parent)
{
    gSharedAppDelegate = this;
}

WLAppDelegate::~WLAppDelegate()
{
    cleanupUserInterface();
    cleanupDatabase();
    if (gSharedAppDelegate == this)
        gSharedAppDelegate = nullptr;
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
                &WLAppDelegate::writeLastEntry);
        viewControllers.append(navigationController.release());
    }
    mTabBarController->setViewControllers(viewControllers);

    mWebViewController = std::make_unique<WLWebViewController>();
    mWebViewController->loadViewIfNeeded();
    mWebViewController->setDatabase(mDatabase.get());
    connect(mWebViewController.get(), &WLWebViewController::currentEntryChanged, this,
            &WLAppDelegate::writeLastEntry);
    mAddBookmarkViewController = std::make_unique<WLAddBookmarkViewController>();

    mContainerView->addSubview(mTabBarController.get());
    mWindow->addSubview(mContainerView.get());
    return true;
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createIndexNavigationController()
{
    WLDatabase *db = mDatabase.get();
    return makeListTab<WLIndexViewController>(
        "-[WLAppDelegate createIndexNavigationController]", db,
        db ? dataSourceWithColor<WLIndexDataSource>(db, either(db->indexTextColor(), db->textColor()))
           : nullptr,
        tabAppearance(db, &WLDatabase::indexBackgroundImage, &WLDatabase::indexBackgroundColor));
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createSearchNavigationController()
{
    WLDatabase *db = mDatabase.get();
    return makeListTab<WLSearchViewController>(
        "-[WLAppDelegate createSearchNavigationController]", db,
        db ? dataSourceWithColor<WLSearchDataSource>(db, either(db->searchTextColor(), db->textColor()))
           : nullptr,
        tabAppearance(db, &WLDatabase::searchBackgroundImage, &WLDatabase::searchBackgroundColor));
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createBookmarksNavigationController()
{
    static constexpr char kFn[] = "-[WLAppDelegate createBookmarksNavigationController]";
    WLDatabase *db = mDatabase.get();
    if (!db) {
        WL_REPORT(kFn, "mDatabase == nil");
        return nullptr;
    }
    std::unique_ptr<WLBookmarksDataSource> bookmarks = WLBookmarksDataSource::init();
    if (bookmarks) {
        if (const auto color = either(db->bookmarksTextColor(), db->textColor()))
            bookmarks->setTextColor(color);
        // The notes have no general fallback.
        if (const auto color = db->bookmarksNotesTextColor())
            bookmarks->setNotesTextColor(color);
    }
    return makeListTab<WLBookmarksViewController>(
        kFn, db, std::move(bookmarks),
        tabAppearance(db, &WLDatabase::bookmarksBackgroundImage, &WLDatabase::bookmarksBackgroundColor));
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createHistoryNavigationController()
{
    static constexpr char kFn[] = "-[WLAppDelegate createHistoryNavigationController]";
    WLDatabase *db = mDatabase.get();
    if (!db) {
        WL_REPORT(kFn, "mDatabase == nil");
        return nullptr;
    }
    std::unique_ptr<WLHistoryDataSource> history = WLHistoryDataSource::init();
    if (history) {
        if (const auto color = either(db->historyTextColor(), db->textColor()))
            history->setTextColor(color);
    }
    return makeListTab<WLHistoryViewController>(
        kFn, db, std::move(history),
        tabAppearance(db, &WLDatabase::historyBackgroundImage, &WLDatabase::historyBackgroundColor));
}

void WLAppDelegate::registerPreference()
{
    WLUserDefaults::standardUserDefaults()->registerDefaults(
        {{WLPrefDisplayBackground, true}, {WLPrefDisplayLargeFont, false}});
}

void WLAppDelegate::readPreference()
{
    static constexpr char kFn[] = "-[WLAppDelegate readPreference]";
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    if (!mTabBarController)
        return;
    const QList<WLViewController *> viewControllers = mTabBarController->viewControllers();

    if (ud->objectForKey(WLPrefLastTabTag).isValid()) {
        const qint64 tag = ud->integerForKey(WLPrefLastTabTag);
        for (WLViewController *viewController : viewControllers) {
            if (viewController->tabBarItem().tag == tag) {
                mTabBarController->setSelectedViewController(viewController);
                break;
            }
        }
    }

    const QVariant word = ud->objectForKey(WLPrefLastWord);
    const QVariant links = ud->objectForKey(WLPrefLastLinks);
    const QVariant contentsIDs = ud->objectForKey(WLPrefLastContentsIDs);
    if (word.isValid() && links.isValid() && contentsIDs.isValid()) {
        auto *navigationController =
            qobject_cast<WLNavigationController *>(mTabBarController->selectedViewController());
        auto *viewController = navigationController
                                   ? qobject_cast<WLTableViewController *>(
                                         navigationController->topViewController())
                                   : nullptr;
        if (contentsIDs.typeId() != QMetaType::QVariantList)
            WL_REPORT(kFn, "![contentsIDs isKindOfClass:[NSArray class]]");
        else if (!navigationController)
            WL_REPORT(kFn, "![navigationController isKindOfClass:[UINavigationController class]]");
        else if (!viewController)
            WL_REPORT(kFn, "![viewController isKindOfClass:[WLTableViewController class]]");
        else
            viewController->showWord(word.toString(), links.toList(), contentsIDs.toList(), false);
    }

    const QString keyword = ud->stringForKey(WLPrefLastSearchKeyword);
    if (keyword.isEmpty())
        return;
    for (WLViewController *viewController : viewControllers) {
        if (viewController->tabBarItem().tag != kSearchTabTag)
            continue;
        auto *navigationController = qobject_cast<WLNavigationController *>(viewController);
        if (!navigationController)
            continue;
        for (WLViewController *screen : navigationController->viewControllers()) {
            if (auto *search = qobject_cast<WLSearchViewController *>(screen)) {
                search->setInitialKeyword(keyword);
                return;
            }
        }
        return;
    }
}

void WLAppDelegate::writePreference()
{
    writeLastEntry();
    if (!mTabBarController) {
        WL_REPORT("-[WLAppDelegate writePreference]", "mTabBarController == nil");
    } else {
        writeLastTab();
    }
    writeLastSearchKeyword();
}

void WLAppDelegate::writeLastEntry()
{
    static constexpr char kFn[] = "-[WLAppDelegate writePreference]";
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    ud->removeObjectForKey(WLPrefLastWord);
    ud->removeObjectForKey(WLPrefLastLinks);
    ud->removeObjectForKey(WLPrefLastContentsIDs);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    if (!viewer || !viewer->webView() || !viewer->parentViewController())
        return;
    const std::optional<QString> word = viewer->currentWord();
    const std::optional<QVariantList> links = viewer->currentLinks();
    const std::optional<QVariantList> contentsIDs = viewer->currentContentsIDs();
    if (!wlCheckEntryReference(kFn, word, links, contentsIDs))
        return;
    ud->setObject(*word, WLPrefLastWord);
    ud->setObject(*links, WLPrefLastLinks);
    ud->setObject(*contentsIDs, WLPrefLastContentsIDs);
}

void WLAppDelegate::writeLastTab()
{
    if (!mTabBarController)
        return;
    WLViewController *selected = mTabBarController->selectedViewController();
    const int selectedTabTag = selected ? selected->tabBarItem().tag : 0;
    if (selectedTabTag == 0) {
        WL_REPORT("-[WLAppDelegate writePreference]", "selectedTabTag == 0");
        return;
    }
    WLUserDefaults::standardUserDefaults()->setInteger(selectedTabTag, WLPrefLastTabTag);
}

void WLAppDelegate::writeLastSearchKeyword()
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    ud->removeObjectForKey(WLPrefLastSearchKeyword);
    if (!mTabBarController)
        return;
    for (WLViewController *viewController : mTabBarController->viewControllers()) {
        if (viewController->tabBarItem().tag != kSearchTabTag)
            continue;
        auto *navigationController = qobject_cast<WLNavigationController *>(viewController);
        if (!navigationController)
            continue;
        for (WLViewController *screen : navigationController->viewControllers()) {
            if (auto *search = qobject_cast<WLSearchViewController *>(screen)) {
                const QString keyword = search->nextInitialKeyword();
                if (!keyword.isEmpty())
                    ud->setObject(keyword, WLPrefLastSearchKeyword);
                return;
            }
        }
        return;
    }
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
    writeLastTab();
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
    if (!mWindow || !mWindow->isVisible())
        return false;
    const QList<WLViewController *> modals = mWindow->modalViewControllers();
    if (!modals.isEmpty())
        return modals.last()->keyCommand(command);
    WLViewController *content = mContainerView ? mContainerView->content() : nullptr;
    if (auto *tabBar = qobject_cast<WLTabBarController *>(content)) {
        if (tabBar->keyCommand(command))
            return true;
        content = tabBar->selectedViewController();
    }
    if (!content)
        return false;
    if (auto *navigation = qobject_cast<WLNavigationController *>(content)) {
        if (WLViewController *top = navigation->topViewController(); top && top->keyCommand(command))
            return true;
    }
    return content->keyCommand(command);
}

namespace {
// The Search tab's stack and its list screen.
std::pair<WLNavigationController *, WLSearchViewController *> searchTab(WLTabBarController *tabBar)
{
    for (WLViewController *viewController : tabBar->viewControllers()) {
        auto *navigationController = qobject_cast<WLNavigationController *>(viewController);
        if (!navigationController || viewController->tabBarItem().tag != WLAppDelegate::kSearchTabTag)
            continue;
        const QList<WLViewController *> stack = navigationController->viewControllers();
        return {navigationController,
                stack.isEmpty() ? nullptr : qobject_cast<WLSearchViewController *>(stack.first())};
    }
    return {nullptr, nullptr};
}
} // namespace

void WLAppDelegate::lookUpWord(const QString &word)
{
    if (!mTabBarController || !mDatabase || word.isEmpty())
        return;
    const auto [navigationController, search] = searchTab(mTabBarController.get());
    if (!navigationController || !search)
        return;
    mTabBarController->selectTab(int(mTabBarController->viewControllers().indexOf(navigationController)));
    navigationController->popToRootViewControllerAnimated(false);
    mLookUpWord = word;
    // The list's data source hears each update first and shows its rows;
    // the first whole-word row, once there, is opened.
    mLookUpObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, mDatabase.get(),
        [this](const WLNotification &notification) { lookUpResultsDidUpdate(notification); });
    search->searchKeyword(word);
}

void WLAppDelegate::lookUpResultsDidUpdate(const WLNotification &notification)
{
    const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
    const auto [navigationController, search] =
        mTabBarController ? searchTab(mTabBarController.get()) : std::pair{nullptr, nullptr};
    if (!search || update.keyword != mLookUpWord) {
        if (update.finished || !search)
            mLookUpObserver.reset();
        return;
    }
    const WLDataSourceProtocol *results = search->dataSource();
    const bool wholeWords = results->numberOfSectionsInTableView() > 0 &&
                            results->tableViewTitleForHeaderInSection(0) ==
                                WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords") &&
                            results->tableViewNumberOfRowsInSection(0) > 0;
    if (wholeWords) {
        mLookUpObserver.reset();
        QString word;
        QVariantList links;
        QVariantList contentsIDs;
        if (results->getWord(&word, &links, &contentsIDs, {0, 0}) &&
            navigationController->topViewController() == search)
            search->showWord(word, links, contentsIDs, false);
        return;
    }
    // No whole word: the list of partial matches stays.
    if (update.finished)
        mLookUpObserver.reset();
}

std::unique_ptr<WLNavigationController> WLAppDelegate::createAboutNavigationController()
{
    auto viewController = std::make_unique<WLAboutImageViewController>();
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

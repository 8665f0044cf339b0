#include "WLAboutImageViewController.h"
#include "WLAppDelegate.h"
#include "WLBarButtonItem.h"
#include "WLBookmarksDataSource.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLContainerView.h"
#include "WLDatabase.h"
#include "WLDictionaryHost.h"
#include "WLHistoryDataSource.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLSearchBar.h"
#include "WLSearchViewController.h"
#include "WLSettingsViewController.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QVariantList kLinks{u"about#1"_s, u"about#2"_s};
const QVariantList kContentsIDs{u"6"_s, u"7"_s};
} // namespace

// The start and stop sequences and the restoring of the last state, on the
// demo dictionary, without a window.
class TestWLAppDelegate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstLaunch();
    void restoring_data();
    void restoring();
    void stoppingKeepsTheTabEntryAndKeyword();
    void stoppingWithTheViewerOffScreenForgetsTheEntry();
    void stoppingTwiceIsHarmless();
    void changingTabTakesTheViewerOffItsStack();
    void theLastTabAndEntryAreKeptBeforeTheEnd();
    void aDictionaryThatDoesNotOpen();
    void lookingUpAWord_data();
    void lookingUpAWord();
    void aboutFlipsInAndOut();
    void controlOAsksForADictionaryToAdd();

private:
    void launch(const QString &bundle = qEnvironmentVariable("WL_DEMO_BUNDLE"));
    WLNavigationController *tab(int index) const
    {
        return qobject_cast<WLNavigationController *>(
            mDelegate->tabBarController()->viewControllers().value(index));
    }
    static WLUserDefaults *defaults() { return WLUserDefaults::standardUserDefaults(); }
    // The state a run left, read afresh from its file.
    static QVariant stored(const QString &key)
    {
        WLUserDefaults::resetStandardUserDefaults();
        return defaults()->objectForKey(key);
    }
    void showEntryOnTab(int index);

    std::unique_ptr<WLAppDelegate> mDelegate;
};

void TestWLAppDelegate::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLAppDelegate::cleanup()
{
    mDelegate.reset();
    WLUserDefaults::resetStandardUserDefaults();
}

void TestWLAppDelegate::launch(const QString &bundle)
{
    WLBundle::setResourcePath(bundle);
    mDelegate = std::make_unique<WLAppDelegate>();
    mDelegate->applicationDidFinishLaunching();
}

void TestWLAppDelegate::showEntryOnTab(int index)
{
    mDelegate->tabBarController()->selectTab(index);
    auto *screen = qobject_cast<WLTableViewController *>(tab(index)->topViewController());
    QVERIFY(screen->showWord(u"about"_s, kLinks, kContentsIDs, false));
}

void TestWLAppDelegate::firstLaunch()
{
    launch();
    QCOMPARE(mDelegate->tabBarController()->selectedIndex(), 0);
    QCOMPARE(tab(0)->viewControllers().size(), 1);
    QVERIFY(!WLWebViewController::sharedWebViewController()->parentViewController());
    QVERIFY(defaults()->boolForKey(WLPrefDisplayBackground));
    QVERIFY(!defaults()->boolForKey(WLPrefDisplayLargeFont));
    auto *search = qobject_cast<WLSearchViewController *>(tab(1)->topViewController());
    QCOMPARE(search->nextInitialKeyword(), QString());
    // The four tabs and their tags.
    QList<int> tags;
    for (WLViewController *viewController : mDelegate->tabBarController()->viewControllers())
        tags << viewController->tabBarItem().tag;
    QCOMPARE(tags, (QList<int>{100, 101, 102, 103}));
}

void TestWLAppDelegate::restoring_data()
{
    QTest::addColumn<QVariant>("tag");
    QTest::addColumn<QVariant>("contentsIDs");
    QTest::addColumn<QVariant>("keyword");
    QTest::addColumn<int>("selectedTab");
    QTest::addColumn<bool>("entryShown");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("bookmarks with an entry")
        << QVariant(102) << QVariant(kContentsIDs) << QVariant() << 2 << true << QStringList();
    QTest::newRow("a tag of no tab")
        << QVariant(999) << QVariant(kContentsIDs) << QVariant() << 0 << true << QStringList();
    QTest::newRow("no entry keys") << QVariant(103) << QVariant() << QVariant() << 3 << false
                                   << QStringList();
    QTest::newRow("contents IDs not a list")
        << QVariant(102) << QVariant(u"6"_s) << QVariant() << 2 << false
        << QStringList{u"-[WLAppDelegate readPreference]: (![contentsIDs isKindOfClass:[NSArray class]])"_s};
    QTest::newRow("a keyword on another tab")
        << QVariant(100) << QVariant() << QVariant(u"abc"_s) << 0 << false << QStringList();
}

void TestWLAppDelegate::restoring()
{
    QFETCH(QVariant, tag);
    QFETCH(QVariant, contentsIDs);
    QFETCH(QVariant, keyword);
    QFETCH(int, selectedTab);
    QFETCH(bool, entryShown);
    QFETCH(QStringList, reports);
    defaults()->setObject(tag, WLPrefLastTabTag);
    if (contentsIDs.isValid()) {
        defaults()->setObject(u"about"_s, WLPrefLastWord);
        defaults()->setObject(kLinks, WLPrefLastLinks);
        defaults()->setObject(contentsIDs, WLPrefLastContentsIDs);
    }
    defaults()->setObject(keyword, WLPrefLastSearchKeyword);
    QVERIFY(defaults()->synchronize());
    WLUserDefaults::resetStandardUserDefaults();

    StderrCapture capture;
    launch();
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(mDelegate->tabBarController()->selectedIndex(), selectedTab);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QCOMPARE(viewer->parentViewController() == tab(selectedTab), entryShown);
    if (entryShown)
        QCOMPARE(viewer->currentWord(), std::optional(u"about"_s));
    auto *search = qobject_cast<WLSearchViewController *>(tab(1)->topViewController());
    QCOMPARE(search->initialKeyword(), keyword.isValid() ? std::optional(keyword.toString()) : std::nullopt);
}

void TestWLAppDelegate::stoppingKeepsTheTabEntryAndKeyword()
{
    launch();
    showEntryOnTab(2);
    qobject_cast<WLSearchViewController *>(tab(1)->topViewController())->setInitialKeyword(u"hou"_s);
    const QString pageDirectory = mDelegate->database()->htmlBaseURL().toLocalFile();
    QVERIFY(QDir(pageDirectory).exists());
    mDelegate->applicationWillTerminate();

    // Everything went, the page directory with it.
    QVERIFY(!WLWebViewController::sharedWebViewController());
    QVERIFY(!WLBookmarksDataSource::sharedBookmarks());
    QVERIFY(!mDelegate->database());
    QVERIFY(!QDir(pageDirectory).exists());
    QCOMPARE(stored(WLPrefLastTabTag).toInt(), 102);
    QCOMPARE(stored(WLPrefLastWord).toString(), u"about"_s);
    QCOMPARE(stored(WLPrefLastLinks).toList(), kLinks);
    QCOMPARE(stored(WLPrefLastContentsIDs).toList(), kContentsIDs);
    QCOMPARE(stored(WLPrefLastSearchKeyword).toString(), u"hou"_s);
    QCOMPARE(stored(u"WLBookmarksVersion"_s).toInt(), 1);
    QCOMPARE(stored(u"WLHistory"_s).toList().size(), 1);
}

void TestWLAppDelegate::stoppingWithTheViewerOffScreenForgetsTheEntry()
{
    defaults()->setObject(u"old"_s, WLPrefLastWord);
    defaults()->setObject(kLinks, WLPrefLastLinks);
    defaults()->setObject(QVariantList{u"999"_s}, WLPrefLastContentsIDs);
    launch();
    tab(0)->popToRootViewControllerAnimated(false);
    mDelegate->applicationWillTerminate();
    QVERIFY(!stored(WLPrefLastWord).isValid());
    QVERIFY(!stored(WLPrefLastLinks).isValid());
    QVERIFY(!stored(WLPrefLastContentsIDs).isValid());
    QCOMPARE(stored(WLPrefLastTabTag).toInt(), 100);
}

void TestWLAppDelegate::stoppingTwiceIsHarmless()
{
    launch();
    mDelegate->applicationWillTerminate();
    mDelegate->applicationWillTerminate();
    mDelegate->cleanupUserInterface();
    QVERIFY(!mDelegate->tabBarController());
}

void TestWLAppDelegate::changingTabTakesTheViewerOffItsStack()
{
    launch();
    showEntryOnTab(0);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    // A picture shown over the entry leaves with it.
    WLViewController picture;
    tab(0)->pushViewController(&picture, false);
    const int serial = viewer->webView()->contentSerial();
    mDelegate->tabBarController()->selectTab(3);
    QVERIFY(!viewer->parentViewController());
    QVERIFY(!picture.parentViewController());
    QCOMPARE(tab(0)->viewControllers().size(), 1);
    // Blanked, but the entry is still the current one.
    QCOMPARE(viewer->webView()->contentSerial(), serial + 1);
    QVERIFY(viewer->webView()->html().contains(u"<body"_s));
    QVERIFY(!viewer->webView()->html().contains(u"about"_s));
    QCOMPARE(viewer->currentWord(), std::optional(u"about"_s));
    // The list of the new tab can push it again.
    auto *history = qobject_cast<WLTableViewController *>(tab(3)->topViewController());
    QVERIFY(history->showWord(u"about"_s, kLinks, kContentsIDs, false));
}

void TestWLAppDelegate::theLastTabAndEntryAreKeptBeforeTheEnd()
{
    launch();
    showEntryOnTab(3);
    // No stop sequence: what a crash would leave.
    QCOMPARE(stored(WLPrefLastTabTag).toInt(), 103);
    QCOMPARE(stored(WLPrefLastWord).toString(), u"about"_s);
}

void TestWLAppDelegate::aDictionaryThatDoesNotOpen()
{
    QTemporaryDir empty;
    StderrCapture capture;
    launch(empty.path());
    QVERIFY(capture.reports().contains(u"-[WLAppDelegate prepareDatabase]: (path == nil)"_s));
    QVERIFY(capture.reports().contains(u"-[WLAppDelegate createIndexNavigationController]: (mDatabase == nil)"_s));
    QVERIFY(capture.reports().contains(u"-[WLAppDelegate prepareUserInterface]: (navigationController == nil)"_s));
    // The window shows, white, with why.
    QVERIFY(mDelegate->window()->isVisible());
    QVERIFY(!mDelegate->containerView()->content());
    QVERIFY(mDelegate->openingFailure().contains(empty.path()));
    mDelegate->applicationWillTerminate();
}

void TestWLAppDelegate::aboutFlipsInAndOut()
{
    launch();
    WLContainerView *container = mDelegate->containerView();
    StderrCapture capture;
    mDelegate->hideAbout(nullptr);
    QCOMPARE(capture.reports(), QStringList{u"-[WLAppDelegate hideAbout:]: (mAboutNavigationController == nil)"_s});

    // The info button of any list asks for it.
    auto *index = qobject_cast<WLTableViewController *>(tab(0)->topViewController());
    index->showAbout(index);
    WLNavigationController *about = mDelegate->aboutNavigationController();
    QCOMPARE(container->content(), about);
    QCOMPARE(container->transition(), int(WLContainerView::FlipFromLeft));
    QCOMPARE(container->transitionDuration(), 1.0);
    QVERIFY(about->topViewController()->title().isEmpty());
    auto *aboutScreen = qobject_cast<WLAboutImageViewController *>(about->topViewController());
    QCOMPARE(aboutScreen->imageView()->image(), u"qrc:/wlreader/About.png"_s);
    // The tab bar's screens hear of it when the flip ends.
    QVERIFY(!mDelegate->tabBarController()->isOnScreen());
    aboutScreen->settingsButtonPressed(nullptr);

    // "Done" flips back; the settings pushed stay for the next time.
    aboutScreen->navigationItem()->leftBarButtonItem()->trigger();
    QCOMPARE(container->content(), mDelegate->tabBarController());
    QCOMPARE(container->transition(), int(WLContainerView::FlipFromRight));
    mDelegate->hideAbout(nullptr);
    QCOMPARE(capture.reports().last(), u"-[WLAppDelegate hideAbout:]: ([navigationView superview] == nil)"_s);
    index->showAbout(index);
    QCOMPARE(mDelegate->aboutNavigationController(), about);
    QCOMPARE(about->topViewController(), aboutScreen->settingsViewController());
}

void TestWLAppDelegate::controlOAsksForADictionaryToAdd()
{
    struct Host : WLDictionaryHost {
        QString openDictionaryPath() const override { return {}; }
        void openDictionary(const QString &) override {}
        void chooseDictionaryToAdd() override { ++asked; }
        int asked = 0;
    } host;
    WLBundle::setResourcePath(qEnvironmentVariable("WL_DEMO_BUNDLE"));
    mDelegate = std::make_unique<WLAppDelegate>();
    mDelegate->setDictionaryHost(&host);
    mDelegate->applicationDidFinishLaunching();
    const WLKeyCommand controlO{Qt::Key_O, Qt::ControlModifier, u"\x0f"_s};
    QVERIFY(mDelegate->handleKeyCommand(controlO));
    QCOMPARE(host.asked, 1);
    // A plain o over the Index list searches instead; nothing is asked
    // while the bookmark editor is up.
    QVERIFY(mDelegate->handleKeyCommand({Qt::Key_O, Qt::NoModifier, u"o"_s}));
    mDelegate->tabBarController()->selectTab(0);
    showEntryOnTab(0);
    WLWebViewController::sharedWebViewController()->addButtonPressed(nullptr);
    QVERIFY(!mDelegate->window()->modalViewControllers().isEmpty());
    QVERIFY(!mDelegate->handleKeyCommand(controlO));
    QCOMPARE(host.asked, 1);
}

void TestWLAppDelegate::lookingUpAWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("entry");
    QTest::newRow("a whole word") << u"houses"_s << u"house"_s;
    QTest::newRow("partial matches only") << u"hou"_s << QString();
    QTest::newRow("nothing") << u"qqqq"_s << QString();
}

void TestWLAppDelegate::lookingUpAWord()
{
    QFETCH(QString, word);
    QFETCH(QString, entry);
    launch();
    // An entry open elsewhere leaves its tab.
    showEntryOnTab(3);
    mDelegate->lookUpWord(word);
    QCOMPARE(mDelegate->tabBarController()->selectedIndex(), 1);
    auto *search = qobject_cast<WLSearchViewController *>(tab(1)->viewControllers().first());
    QTRY_COMPARE(search->currentKeyword(), std::optional(word));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    if (entry.isEmpty()) {
        // The whole search runs, and the list stays.
        QTest::qWait(300);
        QCOMPARE(tab(1)->topViewController(), search);
        QVERIFY(!viewer->parentViewController());
    } else {
        QTRY_COMPARE(tab(1)->topViewController(), viewer);
        QCOMPARE(viewer->currentWord(), std::optional(entry));
    }
    QCOMPARE(search->searchBar()->text(), word);
}

QTEST_GUILESS_MAIN(TestWLAppDelegate)
#include "tst_wlappdelegate.moc"

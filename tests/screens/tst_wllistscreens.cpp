#include "WLBookmarkListCell.h"
#include "WLBookmarksDataSource.h"
#include "WLBookmarksViewController.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLIndexDataSource.h"
#include "WLIndexViewController.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLNotificationCenter.h"
#include "WLSearchDataSource.h"
#include "WLSourceFixture.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The list screens, their data sources and cells, without a window.
class TestWLListScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showWordChecks_data();
    void showWordChecks();
    void aRowWithoutAnEntryOpensNothing();
    void theBackgroundFollowsThePreference_data();
    void theBackgroundFollowsThePreference();
    void indexStartPoint_data();
    void indexStartPoint();
    void indexRowsAndBarItems();
    void bookmarkCellLayout_data();
    void bookmarkCellLayout();
    void bookmarkRowsEditAndFollowTheStore();

private:
    // Opens a dictionary compiled from headwords (each its own entry).
    WLDatabase *open(const QStringList &headwords, bool icon = false);
    template <typename Screen>
    Screen *listScreen(std::unique_ptr<WLDataSourceProtocol> dataSource);

    QTemporaryDir mDir;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLWebViewController> mViewer;
    std::unique_ptr<WLNavigationController> mNavigation;
};

void TestWLListScreens::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
    WLIndexDataSource::setFirstShowing(true);
}

void TestWLListScreens::cleanup()
{
    mNavigation.reset();
    mViewer.reset();
    mDatabase.reset();
}

WLDatabase *TestWLListScreens::open(const QStringList &headwords, bool icon)
{
    static int count = 0;
    const QString source = mDir.filePath(u"source%1"_s.arg(++count));
    const QString bundle = mDir.filePath(u"bundle%1"_s.arg(count));
    QByteArray entries;
    for (const QString &headword : headwords)
        entries += WLSourceFixture::entry(headword, {u"<p>"_s + headword + u"</p>"_s});
    QJsonObject manifest = WLSourceFixture::manifest();
    QDir().mkpath(source);
    if (icon) {
        QFile::copy(QFINDTESTDATA("../../dictionaries/demo/icon.png"), source + u"/icon.png"_s);
        manifest.insert(u"icon"_s, u"icon.png"_s);
    }
    QString error;
    if (!WLSourceFixture::write(source, manifest, entries) ||
        !WLDictionaryCompiler::build(source, bundle, &error)) {
        qWarning("%s", qPrintable(error));
        return nullptr;
    }
    WLBundle::setResourcePath(bundle);
    mDatabase = WLDatabase::initWithPropertyListFile(bundle + u"/DatabaseInfo.plist"_s);
    mViewer = std::make_unique<WLWebViewController>();
    mViewer->loadViewIfNeeded();
    mViewer->setDatabase(mDatabase.get());
    return mDatabase.get();
}

template <typename Screen>
Screen *TestWLListScreens::listScreen(std::unique_ptr<WLDataSourceProtocol> dataSource)
{
    std::unique_ptr<Screen> screen = WLTableViewController::initWithDataSource<Screen>(std::move(dataSource));
    mNavigation = std::make_unique<WLNavigationController>(screen.get());
    screen.release()->setParent(mNavigation.get());
    auto *result = qobject_cast<Screen *>(mNavigation->topViewController());
    result->loadViewIfNeeded();
    return result;
}

void TestWLListScreens::showWordChecks_data()
{
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("links");
    QTest::addColumn<bool>("contentsIDs");
    QTest::addColumn<bool>("viewerElsewhere");
    QTest::addColumn<QString>("report");
    QTest::newRow("no word") << false << true << true << false << u"word == nil"_s;
    QTest::newRow("no links") << true << false << true << false << u"links == nil"_s;
    QTest::newRow("no contents IDs") << true << true << false << false << u"contentsIDs == nil"_s;
    QTest::newRow("viewer on another tab")
        << true << true << true << true << u"webViewController.parentViewController != nil"_s;
    QTest::newRow("pushed") << true << true << true << false << QString();
}

void TestWLListScreens::showWordChecks()
{
    QFETCH(bool, word);
    QFETCH(bool, links);
    QFETCH(bool, contentsIDs);
    QFETCH(bool, viewerElsewhere);
    QFETCH(QString, report);
    QVERIFY(open({u"apple"_s}));
    auto *screen = listScreen<WLIndexViewController>(
        WLDataSource::initWithDatabase<WLIndexDataSource>(mDatabase.get()));
    WLViewController other;
    WLNavigationController otherTab(&other);
    if (viewerElsewhere)
        otherTab.pushViewController(mViewer.get(), false);

    StderrCapture capture;
    const bool shown = screen->showWord(word ? std::optional(u"apple"_s) : std::nullopt,
                                        links ? std::optional(QVariantList{u"apple#1"_s}) : std::nullopt,
                                        contentsIDs ? std::optional(QVariantList{1}) : std::nullopt, false);
    QCOMPARE(shown, report.isEmpty());
    QCOMPARE(capture.reports(),
             report.isEmpty() ? QStringList()
                              : QStringList{u"-[WLTableViewController showWord:links:contentsIDs:animated:]: ("_s
                                            + report + u')'});
    QCOMPARE(mNavigation->topViewController() == mViewer.get(), report.isEmpty());
    if (viewerElsewhere)
        otherTab.popToRootViewControllerAnimated(false);
}

void TestWLListScreens::aRowWithoutAnEntryOpensNothing()
{
    QVERIFY(open({u"apple"_s}));
    // No search has run, so the search list's row has no entry.
    auto *screen = listScreen<WLTableViewController>(
        WLDataSource::initWithDatabase<WLSearchDataSource>(mDatabase.get()));
    WLTableView *table = screen->tableView();
    StderrCapture capture;
    screen->tableViewDidSelectRowAtIndexPath(table, {0, 0});
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLSearchDataSource getWord:links:contentsIDs:atIndexPath:]: (wordString == nil)"_s,
                          u"-[WLTableViewController tableView:didSelectRowAtIndexPath:]: (![mDataSource getWord:&wordString links:&links contentsIDs:&contentsIDs atIndexPath:indexPath])"_s}));
    QCOMPARE(mNavigation->viewControllers().size(), 1);
}

void TestWLListScreens::theBackgroundFollowsThePreference_data()
{
    QTest::addColumn<bool>("image");
    QTest::addColumn<bool>("preference");
    QTest::addColumn<QString>("shown");
    QTest::newRow("image, on") << true << true << u"file:///paper.png"_s;
    QTest::newRow("image, off") << true << false << QString();
    QTest::newRow("no image") << false << true << QString();
}

void TestWLListScreens::theBackgroundFollowsThePreference()
{
    QFETCH(bool, image);
    QFETCH(bool, preference);
    QFETCH(QString, shown);
    QVERIFY(open({u"apple"_s}));
    std::unique_ptr<WLTableViewController> screen = WLTableViewController::initWithDataSource(
        WLDataSource::initWithDatabase<WLIndexDataSource>(mDatabase.get()));
    if (image)
        screen->setBackgroundImage(u"file:///paper.png"_s);
    screen->loadViewIfNeeded();
    QCOMPARE(screen->backgroundView() != nullptr, image);
    QCOMPARE(screen->tableView()->hasClearBackground(), image);
    WLUserDefaults::standardUserDefaults()->setBool(preference, WLPrefDisplayBackground);
    screen->beginAppearanceTransition(true, false);
    if (screen->backgroundView())
        QCOMPARE(screen->backgroundView()->image(), shown);
    // The switch takes effect the next time the list shows.
    WLUserDefaults::standardUserDefaults()->setBool(!preference, WLPrefDisplayBackground);
    screen->beginAppearanceTransition(false, false);
    screen->beginAppearanceTransition(true, false);
    if (screen->backgroundView())
        QCOMPARE(screen->backgroundView()->image().isEmpty(), preference);
}

void TestWLListScreens::indexStartPoint_data()
{
    QTest::addColumn<QStringList>("headwords");
    QTest::addColumn<int>("section");
    QTest::newRow("after #") << QStringList{u"42"_s, u"apple"_s, u"zoo"_s} << 1;
    QTest::newRow("capital A") << QStringList{u"Apple"_s, u"Zoo"_s} << 0;
    QTest::newRow("no a") << QStringList{u"bee"_s, u"zoo"_s} << -1;
}

void TestWLListScreens::indexStartPoint()
{
    QFETCH(QStringList, headwords);
    QFETCH(int, section);
    QVERIFY(open(headwords));
    auto *screen = listScreen<WLIndexViewController>(
        WLDataSource::initWithDatabase<WLIndexDataSource>(mDatabase.get()));
    auto *index = static_cast<WLIndexDataSource *>(screen->dataSource());
    const std::optional<WLIndexPath> start = index->indexPathAtStartPoint();
    QCOMPARE(start.has_value(), section >= 0);
    if (start)
        QCOMPARE(*start, (WLIndexPath{section, 0}));
    // Only the first showing of the run positions the list.
    screen->beginAppearanceTransition(true, false);
    QCOMPARE(screen->tableView()->scrollSerial(), section >= 0 ? 1 : 0);
    if (section >= 0)
        QCOMPARE(screen->tableView()->scrollRow(), screen->tableView()->rowForIndexPath(section, 0));
    QVERIFY(!WLIndexDataSource::isFirstShowing());
    screen->beginAppearanceTransition(false, false);
    screen->beginAppearanceTransition(true, false);
    QCOMPARE(screen->tableView()->scrollSerial(), section >= 0 ? 1 : 0);
}

void TestWLListScreens::indexRowsAndBarItems()
{
    QVERIFY(open({u"apple"_s, u"avocado"_s, u"banana"_s}, true));
    auto dataSource = WLDataSource::initWithDatabase<WLIndexDataSource>(mDatabase.get());
    dataSource->setTextColor(WLColor{1, 0, 0});
    auto *screen = listScreen<WLIndexViewController>(std::move(dataSource));
    WLTableView *table = screen->tableView();
    table->reloadData();
    QCOMPARE(table->sectionIndexTitles(), (QStringList{u"A"_s, u"B"_s}));
    QCOMPARE(table->model()->index(1, 0).data().toString(), u"avocado"_s);
    QCOMPARE(table->model()->index(1, 0).data(WLTableModel::TextColorRole).toString(), u"#ffff0000"_s);
    QString word;
    QVariantList links;
    QVariantList contentsIDs;
    QVERIFY(screen->dataSource()->getWord(&word, &links, &contentsIDs, {1, 0}));
    QCOMPARE(word, u"banana"_s);
    QCOMPARE(links, QVariantList{u"banana#1"_s});
    QCOMPARE(contentsIDs.size(), 1);
    // Past the section: item ID 0, nothing opens.
    StderrCapture capture;
    QVERIFY(!screen->dataSource()->getWord(&word, nullptr, nullptr, {1, 5}));
    QCOMPARE(capture.reports(),
             QStringList{u"-[WLIndexDataSource getWord:links:contentsIDs:atIndexPath:]: (itemID == 0)"_s});

    WLNavigationItem *item = screen->navigationItem();
    QVERIFY(item->leftBarButtonItem() && item->leftBarButtonItem()->customView());
    QVERIFY(item->rightBarButtonItem() && item->rightBarButtonItem()->customView());
    QCOMPARE(item->backBarButtonItem()->title(), u"Index"_s);
    QCOMPARE(item->title(), u"Test Dictionary"_s);
}

void TestWLListScreens::bookmarkCellLayout_data()
{
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<bool>("notes");
    QTest::addColumn<QRectF>("word");
    QTest::addColumn<QRectF>("note");
    QTest::newRow("word only") << QRectF(0, 0, 320, 50) << false << QRectF(10, 0, 300, 50) << QRectF();
    QTest::newRow("with a note") << QRectF(0, 0, 320, 50) << true << QRectF(10, 0, 300, 34)
                                 << QRectF(10, 30, 300, 16);
    QTest::newRow("moved over for editing")
        << QRectF(38, 0, 282, 50) << true << QRectF(48, 0, 262, 34) << QRectF(48, 30, 262, 16);
}

void TestWLListScreens::bookmarkCellLayout()
{
    QFETCH(QRectF, bounds);
    QFETCH(bool, notes);
    QFETCH(QRectF, word);
    QFETCH(QRectF, note);
    WLBookmarkListCell cell;
    cell.setContentBounds(bounds);
    cell.setHasNotes(notes);
    QCOMPARE(cell.wordLabelFrame(), word);
    QCOMPARE(cell.notesLabelFrame(), note);
}

void TestWLListScreens::bookmarkRowsEditAndFollowTheStore()
{
    QVERIFY(open({u"apple"_s}));
    std::unique_ptr<WLBookmarksDataSource> store = WLBookmarksDataSource::init();
    WLBookmarksDataSource *bookmarks = store.get();
    bookmarks->setNotesTextColor(WLColor{0, 0, 1});
    auto *screen = listScreen<WLBookmarksViewController>(std::move(store));
    WLTableView *table = screen->tableView();
    QCOMPARE(table->rowHeight(), 50.0);
    table->reloadData();
    QCOMPARE(table->model()->rowCount(), 0);

    // The store's changes reach the list at once.
    bookmarks->addBookmark(u"banana"_s, QVariantList{}, QString(), QVariantList{2});
    bookmarks->addBookmark(u"apple"_s, QVariantList{}, u"red"_s, QVariantList{1});
    QCOMPARE(table->model()->rowCount(), 2);
    const QModelIndex first = table->model()->index(0, 0);
    QCOMPARE(first.data(WLTableModel::ReuseIdentifierRole).toString(), u"kWLDataSourceBookmarkNotesCell"_s);
    QCOMPARE(first.data(WLTableModel::DetailTextRole).toString(), u"red"_s);
    QCOMPARE(first.data(WLTableModel::DetailTextColorRole).toString(), u"#ff0000ff"_s);
    QCOMPARE(table->model()->index(1, 0).data(WLTableModel::ReuseIdentifierRole).toString(),
             u"kWLDataSourceBookmarkCell"_s);

    // Edit shows the delete controls; a deletion goes through the store
    // without a notification.
    QCOMPARE(screen->navigationItem()->leftBarButtonItem()->title(), u"Edit"_s);
    screen->navigationItem()->leftBarButtonItem()->trigger();
    QVERIFY(table->isEditing());
    QCOMPARE(screen->navigationItem()->leftBarButtonItem()->title(), u"Done"_s);
    int notifications = 0;
    const WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
        WLBookmarksDidUpdateNotification, nullptr, [&](const WLNotification &) { ++notifications; });
    table->commitDeleteRow(0);
    QCOMPARE(notifications, 0);
    QCOMPARE(bookmarks->bookmarkCount(), 1u);
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(table->model()->index(0, 0).data().toString(), u"banana"_s);
    table->commitDeleteRow(0);
    QCOMPARE(table->model()->rowCount(), 0);
    QVERIFY(table->isEditing());
    screen->navigationItem()->leftBarButtonItem()->trigger();
    QVERIFY(!table->isEditing());
}

QTEST_GUILESS_MAIN(TestWLListScreens)
#include "tst_wllistscreens.moc"

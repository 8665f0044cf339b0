#include "WLHistoryDataSource.h"

#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLNotificationCenter.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWLHistoryDataSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void showingAnEntryAgainMovesItToTheTop();
    void keepsTheHundredMostRecent();
    void cutsAStoredHistoryToAHundred();
    void refusesMissingArguments_data();
    void refusesMissingArguments();
    void readsRowsAndRefusesOutOfRange();
    void postsNotificationsOnlyForAdditions();
    void ignoresStoredHistoryOfTheWrongShape_data();
    void ignoresStoredHistoryOfTheWrongShape();
    void writesItselfAfterEveryChange();
    void sharedInstanceIsTheFirstMadeUntilDestroyed();

private:
    QTemporaryDir mDir;
};

namespace {

QVariantMap storedRecord(const QString &word)
{
    return {{u"word"_s, word},
            {u"links"_s, QVariantList{word + u"#1"_s}},
            {u"contentsIDs"_s, QVariantList{u"1"_s}}};
}

bool add(WLHistoryDataSource &store, const QString &word, const QString &link = {})
{
    return store.addHistory(word, QVariantList{link.isNull() ? word + u"#1"_s : link},
                            QVariantList{u"1"_s});
}

QStringList words(const WLHistoryDataSource &store)
{
    QStringList result;
    for (qsizetype row = 0; row < store.tableViewNumberOfRowsInSection(0); ++row) {
        QString word;
        store.getWord(&word, nullptr, nullptr, {0, row});
        result << word;
    }
    return result;
}

WLUserDefaults *ud()
{
    return WLUserDefaults::standardUserDefaults();
}

} // namespace

void TestWLHistoryDataSource::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WL_DEFAULTS_FILE"))
        qputenv("WL_DEFAULTS_FILE", mDir.filePath(u"defaults.plist"_s).toUtf8());
}

void TestWLHistoryDataSource::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLHistoryDataSource::cleanup()
{
    WLUserDefaults::resetStandardUserDefaults();
}

void TestWLHistoryDataSource::showingAnEntryAgainMovesItToTheTop()
{
    auto store = WLHistoryDataSource::init();
    QVERIFY(add(*store, u"A"_s, u"A#old"_s));
    QVERIFY(add(*store, u"B"_s));
    QVERIFY(add(*store, u"a"_s));
    QVERIFY(add(*store, u"A"_s, u"A#new"_s));
    QCOMPARE(words(*store), (QStringList{u"A"_s, u"a"_s, u"B"_s}));

    QVariantList links;
    QVERIFY(store->getWord(nullptr, &links, nullptr, {0, 0}));
    QCOMPARE(links, QVariantList{u"A#new"_s});
}

void TestWLHistoryDataSource::keepsTheHundredMostRecent()
{
    auto store = WLHistoryDataSource::init();
    for (int i = 0; i <= 100; ++i)
        QVERIFY(add(*store, u"w%1"_s.arg(i)));
    const QStringList listed = words(*store);
    QCOMPARE(listed.size(), 100);
    QCOMPARE(listed.first(), u"w100"_s);
    QCOMPARE(listed.last(), u"w1"_s);
    QVERIFY(!listed.contains(u"w0"_s));

    // Showing an entry already listed does not drop another one.
    QVERIFY(add(*store, u"w50"_s));
    QCOMPARE(store->historyCount(), std::size_t(100));
    QCOMPARE(words(*store).last(), u"w1"_s);
}

void TestWLHistoryDataSource::cutsAStoredHistoryToAHundred()
{
    QVariantList stored;
    for (int i = 0; i < 150; ++i)
        stored.append(storedRecord(u"w%1"_s.arg(i)));
    ud()->setObject(stored, u"WLHistory"_s);
    ud()->setInteger(1, u"WLHistoryVersion"_s);

    auto store = WLHistoryDataSource::init();
    const QStringList listed = words(*store);
    QCOMPARE(listed.size(), 100);
    QCOMPARE(listed.first(), u"w0"_s);
    QCOMPARE(listed.last(), u"w99"_s);
}

void TestWLHistoryDataSource::refusesMissingArguments_data()
{
    QTest::addColumn<bool>("hasWord");
    QTest::addColumn<bool>("hasLinks");
    QTest::addColumn<bool>("hasContentsIDs");
    QTest::addColumn<QString>("report");

    const QString name = u"-[WLHistoryDataSource addHistory:links:contentsIDs:]: "_s;
    QTest::newRow("word") << false << true << true << name + u"(word == nil)"_s;
    QTest::newRow("links") << true << false << true << name + u"(links == nil)"_s;
    QTest::newRow("contentsIDs") << true << true << false << name + u"(contentsIDs == nil)"_s;
    QTest::newRow("links first") << true << false << false << name + u"(links == nil)"_s;
}

void TestWLHistoryDataSource::refusesMissingArguments()
{
    QFETCH(bool, hasWord);
    QFETCH(bool, hasLinks);
    QFETCH(bool, hasContentsIDs);
    QFETCH(QString, report);

    auto store = WLHistoryDataSource::init();
    QVERIFY(add(*store, u"kept"_s));
    int posted = 0;
    const auto token = WLNotificationCenter::defaultCenter().addObserver(
        WLHistoryDidUpdateNotification, nullptr, [&](auto &) { ++posted; });
    StderrCapture capture;
    QVERIFY(!store->addHistory(hasWord ? std::optional(u"new"_s) : std::nullopt,
                               hasLinks ? std::optional(QVariantList{}) : std::nullopt,
                               hasContentsIDs ? std::optional(QVariantList{}) : std::nullopt));
    QCOMPARE(capture.reports(), QStringList{report});
    QCOMPARE(words(*store), QStringList{u"kept"_s});
    QCOMPARE(posted, 0);
}

void TestWLHistoryDataSource::readsRowsAndRefusesOutOfRange()
{
    auto store = WLHistoryDataSource::init();
    QVERIFY(add(*store, u"a"_s));

    QString word;
    QVariantList contentsIDs;
    QVERIFY(store->getWord(&word, nullptr, &contentsIDs, {0, 0}));
    QCOMPARE(word, u"a"_s);
    QCOMPARE(contentsIDs, QVariantList{u"1"_s});

    StderrCapture capture;
    QVERIFY(!store->getWord(&word, nullptr, nullptr, {0, 1}));
    QVERIFY(!store->getWord(&word, nullptr, nullptr, {0, -1}));
    QVERIFY(!store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 1}));
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLHistoryDataSource getWord:links:contentsIDs:atIndexPath:]: "
                          "([mHistoryArray count] <= indexPath.row)"_s,
                          u"-[WLHistoryDataSource getWord:links:contentsIDs:atIndexPath:]: "
                          "([mHistoryArray count] <= indexPath.row)"_s,
                          u"-[WLHistoryDataSource tableView:commitEditingStyle:forRowAtIndexPath:]: "
                          "([mHistoryArray count] <= indexPath.row)"_s}));
    QCOMPARE(store->historyCount(), std::size_t(1));
}

void TestWLHistoryDataSource::postsNotificationsOnlyForAdditions()
{
    auto store = WLHistoryDataSource::init();
    auto other = WLHistoryDataSource::init();
    int posted = 0;
    const auto token = WLNotificationCenter::defaultCenter().addObserver(
        WLHistoryDidUpdateNotification, store.get(), [&](auto &) { ++posted; });

    QVERIFY(add(*store, u"a"_s));
    QVERIFY(add(*store, u"b"_s));
    QVERIFY(add(*other, u"c"_s));
    QCOMPARE(posted, 2);

    // Deleting a row tells nobody; showing an entry afterwards does.
    QVERIFY(store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 0}));
    QVERIFY(!store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::None, {0, 0}));
    store->writePreference();
    store->readPreference();
    QCOMPARE(posted, 2);
    QVERIFY(add(*store, u"d"_s));
    QCOMPARE(posted, 3);
}

void TestWLHistoryDataSource::ignoresStoredHistoryOfTheWrongShape_data()
{
    QTest::addColumn<QVariant>("version");
    QTest::addColumn<QVariant>("history");
    QTest::addColumn<qsizetype>("loaded");
    QTest::addColumn<QStringList>("reports");

    const QVariantList two{storedRecord(u"a"_s), storedRecord(u"b"_s)};
    const QString name = u"-[WLHistoryDataSource readPreference]: "_s;
    QVariantMap noLinks = storedRecord(u"c"_s);
    noLinks.remove(u"links"_s);

    QTest::newRow("version 1") << QVariant(qint64(1)) << QVariant(two) << qsizetype(2)
                               << QStringList();
    QTest::newRow("version true") << QVariant(true) << QVariant(two) << qsizetype(2)
                                  << QStringList();
    QTest::newRow("version 0") << QVariant(qint64(0)) << QVariant(two) << qsizetype(0)
                               << QStringList();
    QTest::newRow("version 0.5") << QVariant(0.5) << QVariant(two) << qsizetype(0) << QStringList();
    QTest::newRow("version as data")
        << QVariant(QByteArray("1")) << QVariant(two) << qsizetype(0)
        << QStringList{name + u"(![number isKindOfClass:[NSNumber class]])"_s};
    QTest::newRow("not an array") << QVariant(qint64(1)) << QVariant(u"a"_s) << qsizetype(0)
                                  << QStringList();
    QTest::newRow("record without links")
        << QVariant(qint64(1)) << QVariant(two + QVariantList{noLinks}) << qsizetype(0)
        << QStringList{name + u"(!isHistoryRecord(info))"_s};
}

void TestWLHistoryDataSource::ignoresStoredHistoryOfTheWrongShape()
{
    QFETCH(QVariant, version);
    QFETCH(QVariant, history);
    QFETCH(qsizetype, loaded);
    QFETCH(QStringList, reports);

    ud()->setObject(version, u"WLHistoryVersion"_s);
    ud()->setObject(history, u"WLHistory"_s);
    StderrCapture capture;
    auto store = WLHistoryDataSource::init();
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(store->tableViewNumberOfRowsInSection(0), loaded);
}

void TestWLHistoryDataSource::writesItselfAfterEveryChange()
{
    {
        auto store = WLHistoryDataSource::init();
        QVERIFY(add(*store, u"a"_s));
        QVERIFY(add(*store, u"b"_s));
        QCOMPARE(ud()->objectForKey(u"WLHistory"_s),
                 QVariant(QVariantList{storedRecord(u"b"_s), storedRecord(u"a"_s)}));
        QCOMPARE(ud()->objectForKey(u"WLHistoryVersion"_s), QVariant(qint64(1)));
        QVERIFY(store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 1}));
    }
    WLUserDefaults::resetStandardUserDefaults();
    auto reopened = WLHistoryDataSource::init();
    QCOMPARE(words(*reopened), QStringList{u"b"_s});
}

// The rule itself is tested with the bookmarks; here, that each store
// class has a shared instance of its own.
void TestWLHistoryDataSource::sharedInstanceIsTheFirstMadeUntilDestroyed()
{
    auto bookmarks = WLBookmarksDataSource::init();
    QCOMPARE(WLHistoryDataSource::sharedHistory(), nullptr);
    auto history = WLHistoryDataSource::init();
    QCOMPARE(WLHistoryDataSource::sharedHistory(), history.get());
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), bookmarks.get());
    history.reset();
    QCOMPARE(WLHistoryDataSource::sharedHistory(), nullptr);
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), bookmarks.get());
}

QTEST_GUILESS_MAIN(TestWLHistoryDataSource)
#include "tst_wlhistorydatasource.moc"

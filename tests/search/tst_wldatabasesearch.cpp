#include "WLSearchSession.h"
#include "WLBundle.h"
#include "WLDictionaryCompiler.h"
#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLSearchTestSupport.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kWhole = u"Whole Words"_s;
const QString kPartial = u"Partial Matches"_s;
const QString kEqualFn = u"-[WLDatabase searchEqualInThread:]"_s;
const QString kKeywordFn = u"-[WLDatabase searchKeywordInThread:]"_s;
const QString kEqualReceiver = u"setSearchEqualResultsOnMainThread:"_s;
const QString kKeywordReceiver = u"setSearchKeywordResultsOnMainThread:"_s;
const QString kClearReceiver = u"setSearchResultsOnMainThread:"_s;

WLSearchRow row(const QString &look, const QString &link, const QString &ids = u"1"_s)
{
    return {look, look, link, ids};
}

// Looks that test the escapes and the letter ranges. The whole-word table
// lacks "%off" and "axb", so those two can only be partial matches.
QList<WLSearchRow> escapeRows(bool whole)
{
    QList<WLSearchRow> rows{row(u"%off"_s, u"%off#1"_s),  row(u"50%"_s, u"50%#1"_s),
                            row(u"50%x"_s, u"50%x#1"_s),  row(u"500"_s, u"500#1"_s),
                            row(u"51"_s, u"51#1"_s),      row(u"5_"_s, u"5_#1"_s),
                            row(u"a\\b"_s, u"a\\b#1"_s),  row(u"axb"_s, u"axb#1"_s),
                            row(u"über"_s, u"über#1"_s)};
    if (whole) {
        rows.removeAt(7);
        rows.removeAt(0);
    }
    return rows;
}

QList<WLSearchRow> generatedRows(int count)
{
    QList<WLSearchRow> rows;
    for (int i = 0; i < count; ++i) {
        const QString look = u"a%1"_s.arg(i, 4, 10, QChar(u'0'));
        rows.append(row(look, look + u"#1"_s, QString::number(i + 1)));
    }
    return rows;
}

} // namespace

class TestWLDatabaseSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void patternsMatchAsTyped_data();
    void patternsMatchAsTyped();
    void dropsWhatWholeWordsShowAndRepeats();
    void listsEachEntryOnceInASection_data();
    void listsEachEntryOnceInASection();
    void sameResultsInEitherTableLayout_data();
    void sameResultsInEitherTableLayout();
    void handsBackGrowingSnapshots_data();
    void handsBackGrowingSnapshots();
    void emptyKeywordClearsEverythingOnce();
    void newerKeywordsWin();
    void badRowEndsWholeWordsButIsSkippedInPartials();
    void sectionsAndItems();
    void contentsIDsOfWholeWordItems();
    void queryThatCannotRunClearsItsHalf();
    void stopsWhileWaiting();
    void opensWithoutWholeWordTable();
    void searchFileNameMustBeText();
    void missingSearchFileFailsAndIsNotCreated();

private:
    std::unique_ptr<WLDatabase> openOrFail();

    std::unique_ptr<WLStoreFixture> m_fixture;
    std::unique_ptr<WLDatabase> m_database;
    std::unique_ptr<WLSearchRecorder> m_recorder;
};

void TestWLDatabaseSearch::initTestCase()
{
    QVERIFY(WLLocalization::install());
}

void TestWLDatabaseSearch::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
}

void TestWLDatabaseSearch::cleanup()
{
    m_recorder.reset();
    m_database.reset();
    m_fixture.reset();
}

std::unique_ptr<WLDatabase> TestWLDatabaseSearch::openOrFail()
{
    auto database = m_fixture->open();
    if (database)
        m_recorder = std::make_unique<WLSearchRecorder>(database.get());
    return database;
}

void TestWLDatabaseSearch::patternsMatchAsTyped_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("whole");
    QTest::addColumn<QStringList>("partial");

    QTest::newRow("typed percent") << u"50%"_s << QStringList{u"50%"_s} << QStringList{u"50%x"_s};
    QTest::newRow("typed underscore") << u"5_"_s << QStringList{u"5_"_s} << QStringList{};
    QTest::newRow("question mark") << u"5?"_s << QStringList{u"51"_s, u"5_"_s} << QStringList{};
    QTest::newRow("prefix") << u"50"_s << QStringList{} << QStringList{u"50%"_s, u"50%x"_s, u"500"_s};
    QTest::newRow("backslash") << u"a\\b"_s << QStringList{u"a\\b"_s} << QStringList{};
    QTest::newRow("backslash prefix") << u"a\\"_s << QStringList{} << QStringList{u"a\\b"_s};
    // Every row of both tables is a candidate.
    QTest::newRow("lone star") << u"*"_s
                               << QStringList{u"50%"_s, u"50%x"_s, u"500"_s, u"51"_s, u"5_"_s,
                                              u"a\\b"_s, u"über"_s}
                               << QStringList{u"%off"_s, u"axb"_s};
    QTest::newRow("wildcard first") << u"*b"_s << QStringList{u"a\\b"_s} << QStringList{u"axb"_s};
    QTest::newRow("typed percent first") << u"%o"_s << QStringList{} << QStringList{u"%off"_s};
    QTest::newRow("ascii case") << u"AXB"_s << QStringList{} << QStringList{u"axb"_s};
    QTest::newRow("non-ascii case") << u"ÜBER"_s << QStringList{u"über"_s} << QStringList{};
    QTest::newRow("no letter") << u"zz"_s << QStringList{} << QStringList{};
}

void TestWLDatabaseSearch::patternsMatchAsTyped()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, whole);
    QFETCH(QStringList, partial);

    writeSearchTable(*m_fixture, escapeRows(false));
    writeEqualSearchTable(*m_fixture, escapeRows(true));
    m_database = openOrFail();
    QVERIFY(m_database);
    StderrCapture capture;
    QVERIFY(m_recorder->search(keyword));
    QCOMPARE(m_recorder->words(kWhole), whole);
    QCOMPARE(m_recorder->words(kPartial), partial);
}

void TestWLDatabaseSearch::dropsWhatWholeWordsShowAndRepeats()
{
    writeEqualSearchTable(*m_fixture, {row(u"pea"_s, u"pea#1"_s, u"10"_s),
                                       row(u"pear"_s, u"pear#1\tpear#2"_s, u"11\t12"_s)});
    writeSearchTable(*m_fixture,
                     {row(u"pea"_s, u"pea#1"_s, u"10"_s), {u"peach"_s, u"peach"_s, u"peach#1"_s, u"13"_s},
                      {u"peachy"_s, u"peach"_s, u"peach#1"_s, u"13"_s},
                      row(u"pear"_s, u"pear#1"_s, u"11"_s), row(u"pear"_s, u"pear#2"_s, u"12"_s),
                      {u"pears"_s, u"pear"_s, u"pear#2"_s, u"12"_s}});
    m_database = openOrFail();
    QVERIFY(m_database);

    QVERIFY(m_recorder->search(u"pea"_s));
    QCOMPARE(m_recorder->sections(),
             (QStringList{kWhole, u"pea|pea#1|10"_s, kPartial, u"peach|peach#1|13"_s,
                          u"pear|pear#1|11"_s, u"pear|pear#2|12"_s}));

    // Every piece of the whole-word links counts.
    QVERIFY(m_recorder->search(u"pear"_s));
    QCOMPARE(m_recorder->sections(), (QStringList{kWhole, u"pear|pear#1\tpear#2|11,12"_s}));
}

void TestWLDatabaseSearch::listsEachEntryOnceInASection_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QList<int>>("wholeWordCounts");

    // hour/hours and house/houses are one entry each.
    QTest::newRow("one letter run") << u"hou*"_s
                                    << QStringList{kWhole, u"hour|hour#1|162"_s,
                                                   u"house|house#1|163"_s}
                                    << QList<int>{1, 2};
    QTest::newRow("four looks") << u"bu*"_s
                                << QStringList{kWhole, u"build|build#1|50"_s, u"bus|bus#1|51"_s,
                                               u"busy|busy#1\tbusy#2|52,53"_s,
                                               u"buy|buy#1|54"_s}
                                << QList<int>{1, 2, 4};
    // Without a wildcard nothing changes: one look, one row.
    QTest::newRow("look") << u"hours"_s << QStringList{kWhole, u"hour|hour#1|162"_s}
                          << QList<int>{1};
    QTest::newRow("prefix") << u"hou"_s
                            << QStringList{kPartial, u"hour|hour#1|162"_s, u"house|house#1|163"_s}
                            << QList<int>{-1};
    // Repeats far apart in the table: every entry ending in "s" once.
    QTest::newRow("leading wildcard") << u"*s"_s << QStringList{} << QList<int>{};
}

// The demo dictionary as built, searched over several looks of one entry.
void TestWLDatabaseSearch::listsEachEntryOnceInASection()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, sections);
    QFETCH(QList<int>, wholeWordCounts);
    const QString demo = qEnvironmentVariable("WL_DEMO_BUNDLE");
    if (!QFileInfo(demo).isDir())
        QSKIP("needs the demo bundle");
    WLBundle::setResourcePath(demo);
    m_database = WLDatabase::initWithPropertyListFile(QDir(demo).filePath(u"DatabaseInfo.plist"_s));
    QVERIFY(m_database);
    m_recorder = std::make_unique<WLSearchRecorder>(m_database.get());

    QVERIFY(m_recorder->search(keyword));
    const QStringList found = m_recorder->sections();
    if (!sections.isEmpty())
        QCOMPARE(found, sections);
    QCOMPARE(QSet<QString>(found.cbegin(), found.cend()).size(), found.size());

    // The snapshots count the rows listed: 1, 2, 4, … and the last one.
    QList<int> counts;
    for (const WLSearchRecorder::Snapshot &snapshot : std::as_const(m_recorder->snapshots)) {
        if (snapshot.receiver == kEqualReceiver)
            counts.append(snapshot.count);
    }
    if (!wholeWordCounts.isEmpty()) {
        QCOMPARE(counts, wholeWordCounts);
    } else {
        const int listed = int(WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(0));
        QVERIFY(listed > 4);
        for (qsizetype i = 0; i + 1 < counts.size(); ++i)
            QCOMPARE(counts[i], 1 << i);
        QCOMPARE(counts.last(), listed);
    }
}

// The demo's source built in both table layouts: every kind of keyword
// finds the same rows, in the same order, with the same links and IDs.
void TestWLDatabaseSearch::sameResultsInEitherTableLayout_data()
{
    QTest::addColumn<QString>("keyword");
    // Letters (whole ranges), prefixes, whole words with several looks or
    // fragments, other case, accents, escapes and wildcards.
    for (const char *keyword :
         {"a", "b", "h", "s", "t", "ho", "hou", "house", "houses", "Bank", "bank", "BANK",
          "run", "é", "e-a", "cafe", "café", "naïve", "b?nk", "hou*", "*ing", "*s", "?a*", "h?u*", "*"})
        QTest::newRow(keyword) << QString::fromUtf8(keyword);
}

void TestWLDatabaseSearch::sameResultsInEitherTableLayout()
{
    QFETCH(QString, keyword);
    static QTemporaryDir built;
    const auto bundle = [](WLTableLayout tables) {
        const QString out =
            built.filePath(tables == WLTableLayout::Shared ? u"shared"_s : u"separate"_s);
        QString error;
        if (!QFileInfo(out).isDir() &&
            !WLDictionaryCompiler::build(QStringLiteral(WL_DEMO_SOURCE), out, &error, nullptr,
                                         nullptr, {tables}))
            qWarning("%s", qPrintable(error));
        return out;
    };
    QStringList found[2];
    for (const WLTableLayout tables : {WLTableLayout::Separate, WLTableLayout::Shared}) {
        const QString dir = bundle(tables);
        WLBundle::setResourcePath(dir);
        std::unique_ptr<WLDatabase> database =
            WLDatabase::initWithPropertyListFile(QDir(dir).filePath(u"DatabaseInfo.plist"_s));
        QVERIFY(database);
        WLSearchRecorder recorder(database.get());
        QVERIFY(recorder.search(keyword));
        found[tables == WLTableLayout::Shared] = recorder.sections();
    }
    WLBundle::setResourcePath(QString());
    QVERIFY(!found[0].isEmpty());
    QCOMPARE(found[1], found[0]);
}

void TestWLDatabaseSearch::handsBackGrowingSnapshots_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("1000") << 1000 << QList<int>{1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1000};
    QTest::newRow("exactly 512") << 512 << QList<int>{1, 2, 4, 8, 16, 32, 64, 128, 256, 512};
    QTest::newRow("3") << 3 << QList<int>{1, 2, 3};
}

void TestWLDatabaseSearch::handsBackGrowingSnapshots()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, counts);
    writeSearchTable(*m_fixture, generatedRows(rows));
    writeEqualSearchTable(*m_fixture, generatedRows(rows));
    m_database = openOrFail();
    QVERIFY(m_database);

    // Whole words: the pattern "a*" matches every row; partial matches are
    // then all repeats. The other way round with a prefix of no whole word.
    QVERIFY(m_recorder->search(u"a*"_s));
    QList<WLSearchRecorder::Snapshot> expected;
    for (int count : counts)
        expected.append({kEqualReceiver, count});
    expected.append({kKeywordReceiver, -1});
    QCOMPARE(m_recorder->snapshots, expected);
    // The empty partial-match half is the keyword's last update.
    QCOMPARE(m_recorder->notifications, int(expected.size()));

    m_recorder->clear();
    QVERIFY(m_recorder->search(u"a"_s));
    expected = {{kEqualReceiver, -1}};
    for (int count : counts)
        expected.append({kKeywordReceiver, count});
    QCOMPARE(m_recorder->snapshots, expected);
    // A last snapshot of 512 rows went out before the worker knew it was
    // the last: one more update says the keyword is finished.
    QCOMPARE(m_recorder->notifications, int(expected.size()) + (rows == 512 ? 1 : 0));
    QCOMPARE(m_recorder->finished, QStringList{u"a"_s});
}

void TestWLDatabaseSearch::emptyKeywordClearsEverythingOnce()
{
    m_database = openOrFail();
    QVERIFY(m_database);
    QVERIFY(m_recorder->search(u"a"_s));
    QCOMPARE(WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(0), 3u);

    m_recorder->clear();
    QVERIFY(m_recorder->search(QString()));
    QCOMPARE(m_recorder->snapshots, (QList<WLSearchRecorder::Snapshot>{{kClearReceiver, -1}}));
    QCOMPARE(m_recorder->notifications, 1);
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionCount(), 1u);
    QVERIFY(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(0).isNull());
    QCOMPARE(WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(0), 0u);

    QVERIFY(m_recorder->search(u"a"_s));
    m_recorder->clear();
    QVERIFY(m_recorder->search(u""_s));
    QCOMPARE(m_recorder->notifications, 1);
    QCOMPARE(m_recorder->sections(), QStringList{QString()});
}

// Handed over faster than the worker can finish them: each cancels the
// partial matches of the one before, and the list ends on the last.
void TestWLDatabaseSearch::newerKeywordsWin()
{
    QList<WLSearchRow> rows;
    const QString letters = u"abc"_s;
    for (int i = 0; i < 3 * 3 * 3 * 3 * 3 * 3; ++i) {
        QString look = u"a"_s;
        for (int n = i, k = 0; k < 6; ++k, n /= 3)
            look += letters.at(n % 3);
        rows.append(row(look, look + u"#1"_s, QString::number(i + 1)));
    }
    std::sort(rows.begin(), rows.end(),
              [](const WLSearchRow &x, const WLSearchRow &y) { return x.look < y.look; });
    writeSearchTable(*m_fixture, rows);
    m_database = openOrFail();
    QVERIFY(m_database);

    QVERIFY(m_recorder->search(u"abc"_s));
    const QStringList alone = m_recorder->sections();
    QVERIFY(alone.size() > 1);
    QVERIFY(m_recorder->search(QString()));
    m_recorder->clear();

    WLSearchSession::of(*m_database)->setSearchKeywordOnThread(u"a"_s);
    WLSearchSession::of(*m_database)->setSearchKeywordOnThread(u"ab"_s);
    WLSearchSession::of(*m_database)->setSearchKeywordOnThread(u"abc"_s);
    QVERIFY(m_recorder->waitForFinished(u"abc"_s));
    QCOMPARE(m_recorder->sections(), alone);
    // Cancelled keywords are finished too, each once and in order.
    QCOMPARE(m_recorder->finished, (QStringList{u"a"_s, u"ab"_s, u"abc"_s}));
}

void TestWLDatabaseSearch::badRowEndsWholeWordsButIsSkippedInPartials()
{
    writeEqualSearchTable(*m_fixture, {row(u"b1"_s, u"eb1"_s), {u"b2"_s, QString(), u"eb2"_s, u"2"_s},
                                       row(u"b3"_s, u"eb3"_s)});
    writeSearchTable(*m_fixture, {row(u"b1"_s, u"pb1"_s), {u"b2"_s, u"b2"_s, QString(), u"2"_s},
                                  row(u"b3"_s, u"pb3"_s)});
    m_database = openOrFail();
    QVERIFY(m_database);

    StderrCapture capture;
    QVERIFY(m_recorder->search(u"b*"_s));
    QCOMPARE(m_recorder->words(kWhole), QStringList{u"b1"_s});
    QCOMPARE(m_recorder->words(kPartial), (QStringList{u"b1"_s, u"b3"_s}));
    QCOMPARE(capture.reports(), (QStringList{kEqualFn + u": (stringPtr == NULL)"_s,
                                             kKeywordFn + u": (stringPtr == NULL)"_s}));
}

void TestWLDatabaseSearch::sectionsAndItems()
{
    writeEqualSearchTable(*m_fixture, {row(u"kiwi"_s, u"kiwi#1\tkiwi#2"_s, u"4\t5"_s)});
    writeSearchTable(*m_fixture, {row(u"kiwi"_s, u"kiwi#1"_s, u"4"_s),
                                  row(u"kiwis"_s, u"kiwis#1"_s, u"3"_s)});
    m_database = openOrFail();
    QVERIFY(m_database);

    // Nothing yet: one untitled, empty section; everything else nothing.
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionCount(), 1u);
    QVERIFY(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(0).isNull());
    QVERIFY(!WLSearchSession::of(*m_database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(0, 0));

    QVERIFY(m_recorder->search(u"kiwi"_s));
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionCount(), 2u);
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(0), kWhole);
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(1), kPartial);
    QVERIFY(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(2).isNull());
    QCOMPARE(WLSearchSession::of(*m_database)->itemLinksAtIndexOfSearchSectionAtIndex(0, 0), u"kiwi#1\tkiwi#2"_s);
    QCOMPARE(*WLSearchSession::of(*m_database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(0, 0), (QVariantList{4, 5}));
    QCOMPARE(*WLSearchSession::of(*m_database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(0, 1), QVariantList{3});
    QCOMPARE(WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(2), 0u);
    QVERIFY(WLSearchSession::of(*m_database)->itemNameAtIndexOfSearchSectionAtIndex(1, 1).isNull());
    QVERIFY(WLSearchSession::of(*m_database)->itemLinksAtIndexOfSearchSectionAtIndex(1, 1).isNull());
    QVERIFY(!WLSearchSession::of(*m_database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(1, 1));

    // Only partial matches: they move up to section 0.
    QVERIFY(m_recorder->search(u"kiwis"_s));
    QCOMPARE(m_recorder->sections(), (QStringList{kPartial, u"kiwis|kiwis#1|3"_s}));
    QVERIFY(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(1).isNull());
    QCOMPARE(WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(1), 0u);
}

void TestWLDatabaseSearch::contentsIDsOfWholeWordItems()
{
    writeEqualSearchTable(*m_fixture, {row(u"c1"_s, u"c1#1"_s, u"12\t7"_s),
                                       row(u"c2"_s, u"c2#1"_s, u"12\t"_s),
                                       row(u"c3"_s, u"c3#1"_s, u"0"_s),
                                       row(u"c4"_s, u"c4#1\tc4#2"_s, u"7\t7"_s)});
    m_database = openOrFail();
    QVERIFY(m_database);
    StderrCapture capture;
    QVERIFY(m_recorder->search(u"c*"_s));
    // Parsed once on the worker: the reports come with the search, and
    // reading the rows again reports nothing more.
    QCOMPARE(capture.reports(),
             (QStringList{u"contentsIDArrayFromString: (contentsID <= 0)"_s,
                          u"contentsIDArrayFromString: (component != nil)"_s,
                          u"contentsIDArrayFromString: (contentsID <= 0)"_s,
                          u"contentsIDArrayFromString: (component != nil)"_s}));
    // A list that does not parse still shows its row.
    for (int reading = 0; reading < 2; ++reading) {
        QCOMPARE(m_recorder->sections(),
                 (QStringList{kWhole, u"c1|c1#1|12,7"_s, u"c2|c2#1|nil"_s, u"c3|c3#1|nil"_s,
                              u"c4|c4#1\tc4#2|7,7"_s, kPartial, u"cherry|cherry#1|5"_s}));
    }
    QCOMPARE(capture.reports().size(), 4);
}

// A keyword outside every letter range: the query cannot run, and the
// results of the keyword before must not stay on show as if they matched.
void TestWLDatabaseSearch::queryThatCannotRunClearsItsHalf()
{
    writeSearchTable(*m_fixture, escapeRows(false));
    writeEqualSearchTable(*m_fixture, escapeRows(true));
    m_database = openOrFail();
    QVERIFY(m_database);
    QVERIFY(m_recorder->search(u"a"_s));
    QCOMPARE(m_recorder->words(kPartial), (QStringList{u"a\\b"_s, u"axb"_s}));

    // "b" lies between the letters "a" and "ü" of both tables.
    StderrCapture capture;
    m_recorder->clear();
    QVERIFY(m_recorder->search(u"b"_s));
    QCOMPARE(m_recorder->snapshots,
             (QList<WLSearchRecorder::Snapshot>{{kEqualReceiver, -1}, {kKeywordReceiver, -1}}));
    QCOMPARE(m_recorder->sections(), QStringList{QString()});
    QCOMPARE(capture.reports(), (QStringList{kEqualFn + u": (range.location == NSNotFound)"_s,
                                             kKeywordFn + u": (range.location == NSNotFound)"_s}));
}

void TestWLDatabaseSearch::stopsWhileWaiting()
{
    m_database = openOrFail();
    QVERIFY(m_database);
    QVERIFY(m_recorder->search(u"a"_s));
    QElapsedTimer timer;
    timer.start();
    m_database->invalidate();
    // A hang check with room to spare, not a timing claim.
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(WLSearchSession::of(*m_database)->searchSectionCount(), 1u);

    // Nobody takes keywords any more: handing one over must not block.
    StderrCapture capture;
    WLSearchSession::of(*m_database)->setSearchKeywordOnThread(u"a"_s);
    QCOMPARE(capture.reports().size(), 1);
}

void TestWLDatabaseSearch::opensWithoutWholeWordTable()
{
    for (const QString &key : m_fixture->info.keys()) {
        if (key.startsWith(u"KXPropEqualSearch"_s))
            m_fixture->info.remove(key);
    }
    StderrCapture capture;
    m_database = openOrFail();
    QVERIFY(m_database);
    QCOMPARE(capture.reports(),
             QStringList{u"-[WLDatabase prepareEqualSearchDatabase:]: "
                         "(![name isKindOfClass:[NSString class]])"_s});
    QVERIFY(m_recorder->search(u"a"_s));
    QCOMPARE(m_recorder->sections(),
             (QStringList{kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s,
                          u"avocado|avocado#1|3"_s}));
}

void TestWLDatabaseSearch::searchFileNameMustBeText()
{
    m_fixture->info.insert(u"KXPropSearchDatabaseFileName"_s, 7);
    StderrCapture capture;
    QVERIFY(!m_fixture->open());
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLDatabase prepareSearchDatabase:]: "
                          "(![name isKindOfClass:[NSString class]])"_s,
                          u"-[WLDatabase initWithPropertyListFile:]: "
                          "(![self prepareSearchDatabase:info])"_s}));
}

// Dictionary files are only read: a missing one fails the opening and is
// not created on the way.
void TestWLDatabaseSearch::missingSearchFileFailsAndIsNotCreated()
{
    m_fixture->info.insert(u"KXPropSearchDatabaseFileName"_s, u"missing.db"_s);
    StderrCapture capture;
    QVERIFY(!m_fixture->open());
    QVERIFY(!QFileInfo::exists(m_fixture->filePath(u"missing.db"_s)));
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLDatabase prepareSearchDatabase:]: (retval != SQLITE_OK)"_s,
                          u"-[WLDatabase initWithPropertyListFile:]: "
                          "(![self prepareSearchDatabase:info])"_s}));
}

QTEST_GUILESS_MAIN(TestWLDatabaseSearch)
#include "tst_wldatabasesearch.moc"

#include "WLDamagedBundle.h"
#include "WLDatabase.h"
#include "WLSearchTestSupport.h"
#include "WLTestSupport.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kEqualFn = u"-[WLDatabase searchEqualInThread:]: "_s;
const QString kKeywordFn = u"-[WLDatabase searchKeywordInThread:]: "_s;
const QString kWhole = u"MainView.SearchMode.Section.WholeWords"_s;
const QString kPartial = u"MainView.SearchMode.Section.PartialMatches"_s;

} // namespace

// Search tables damaged after the compiler wrote them: the search still
// finishes, with the reports of what it met and the results it could read.
class TestDamagedSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedSearch_data();
    void damagedSearch();
};

void TestDamagedSearch::damagedSearch_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("sections");

    const auto firstRow = [](const QString &table, const QString &assignment) {
        return WLDamagedBundle::loosened(table) +
               u" UPDATE %1 SET %2 WHERE rowid = (SELECT min(rowid) FROM %1);"_s.arg(table,
                                                                                     assignment);
    };
    const auto row = [](const char *name, const QString &file, const QString &how,
                        const QString &keyword, const QStringList &reports,
                        const QStringList &sections) {
        QTest::newRow(name) << file << how << keyword << reports << sections;
    };

    // The first two show the undamaged bundle's answers.
    row("undamaged apple", u"search.db"_s, u"SELECT 1;"_s, u"apple"_s, {},
        {kWhole, u"apple|apple#1\tapple#2|1,2"_s});
    row("undamaged a", u"search.db"_s, u"SELECT 1;"_s, u"a"_s, {},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("search table page", u"search.db"_s, u"scramble:2"_s, u"a"_s,
        {kKeywordFn + u"(retval != SQLITE_OK)"_s}, {u""_s});
    row("whole-word table page", u"equal.db"_s, u"scramble:2"_s, u"apple"_s,
        {kEqualFn + u"(retval != SQLITE_OK)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("whole-word file garbage", u"equal.db"_s, u"random"_s, u"apple"_s,
        {u"-[WLDatabase prepareEqualSearchDatabase:]: (retval != SQLITE_OK)"_s,
         u"createIndexRangeArray: (retval != SQLITE_OK)"_s,
         u"-[WLDatabase prepareEqualSearchIndex:]: (indexRangeArray == nil)"_s,
         kEqualFn + u"(range.location == NSNotFound)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("whole-word table missing", u"equal.db"_s, u"DROP TABLE equal_search;"_s, u"apple"_s,
        {u"-[WLDatabase prepareEqualSearchDatabase:]: (retval != SQLITE_OK)"_s,
         kEqualFn + u"(retval != SQLITE_OK)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("search index missing", u"search.db"_s, u"DROP TABLE search_index;"_s, u"apple"_s,
        {u"createIndexRangeArray: (retval != SQLITE_OK)"_s,
         u"-[WLDatabase prepareSearchIndex:]: (indexRangeArray == nil)"_s,
         kKeywordFn + u"(range.location == NSNotFound)"_s},
        {kWhole, u"apple|apple#1\tapple#2|1,2"_s});
    row("search index page", u"search.db"_s, u"scramble:3"_s, u"apple"_s,
        {u"createIndexRangeArray: (retval != SQLITE_OK)"_s,
         kKeywordFn + u"(range.location == NSNotFound)"_s},
        {kWhole, u"apple|apple#1\tapple#2|1,2"_s});
    row("NULL search word", u"search.db"_s, firstRow(u"search"_s, u"word = NULL"_s), u"a"_s,
        {kKeywordFn + u"(stringPtr == NULL)"_s}, {kPartial, u"apple|apple#2|2"_s});
    row("NULL search link", u"search.db"_s, firstRow(u"search"_s, u"link = NULL"_s), u"a"_s,
        {kKeywordFn + u"(stringPtr == NULL)"_s}, {kPartial, u"apple|apple#2|2"_s});
    row("NULL search look", u"search.db"_s, firstRow(u"search"_s, u"look = NULL"_s), u"a"_s, {},
        {kPartial, u"apple|apple#2|2"_s});
    row("NULL search id", u"search.db"_s, firstRow(u"search"_s, u"id = NULL"_s), u"a"_s, {},
        {kPartial, u"apple|apple#2|2"_s});
    row("NULL search contents_id", u"search.db"_s, firstRow(u"search"_s, u"contents_id = NULL"_s),
        u"a"_s, {}, {kPartial, u"apple|apple#1|0"_s, u"apple|apple#2|2"_s});
    row("search contents_id text", u"search.db"_s, firstRow(u"search"_s, u"contents_id = 'abc'"_s),
        u"a"_s, {}, {kPartial, u"apple|apple#1|0"_s, u"apple|apple#2|2"_s});
    row("search contents_id beyond 32 bits", u"search.db"_s,
        firstRow(u"search"_s, u"contents_id = 4294967299"_s), u"a"_s, {},
        {kPartial, u"apple|apple#1|2147483647"_s, u"apple|apple#2|2"_s});
    row("NULL whole-word word", u"equal.db"_s, firstRow(u"equal_search"_s, u"word = NULL"_s),
        u"apple"_s, {kEqualFn + u"(stringPtr == NULL)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("NULL whole-word links", u"equal.db"_s, firstRow(u"equal_search"_s, u"links = NULL"_s),
        u"apple"_s, {kEqualFn + u"(stringPtr == NULL)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("NULL whole-word contents_ids", u"equal.db"_s,
        firstRow(u"equal_search"_s, u"contents_ids = NULL"_s), u"apple"_s,
        {kEqualFn + u"(stringPtr == NULL)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("whole-word contents_ids not numbers", u"equal.db"_s,
        firstRow(u"equal_search"_s, u"contents_ids = 'x'"_s), u"apple"_s,
        {u"contentsIDArrayFromString: (contentsID <= 0)"_s,
         u"contentsIDArrayFromString: (component != nil)"_s},
        {kWhole, u"apple|apple#1\tapple#2|nil"_s});
    row("NULL search index letter", u"search.db"_s, firstRow(u"search_index"_s, u"letter = NULL"_s),
        u"a"_s,
        {u"createIndexRangeArray: (stringPtr == NULL)"_s,
         kKeywordFn + u"(range.location == NSNotFound)"_s},
        {u""_s});
    row("NULL search index offset", u"search.db"_s, firstRow(u"search_index"_s, u"offset = NULL"_s),
        u"a"_s, {}, {kPartial, u"apple|apple#1|1"_s});
    // Letter index tables that point past the table, backwards, everywhere
    // or out of order narrow the query wrongly, and that is all.
    row("search index past the table", u"search.db"_s,
        u"UPDATE search_index SET offset = 100 WHERE letter = 'a';"_s, u"a"_s, {}, {u""_s});
    row("search index negative", u"search.db"_s,
        u"UPDATE search_index SET offset = -5 WHERE letter = 'a';"_s, u"a"_s, {}, {u""_s});
    row("search index count huge", u"search.db"_s,
        u"UPDATE search_index SET count = 2147483647 WHERE letter = 'a';"_s, u"a"_s, {},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("search index unsorted", u"search.db"_s,
        u"UPDATE search_index SET id = id + 10; UPDATE search_index SET id = 1 WHERE letter = 'c';"_s,
        u"a"_s, {}, {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("search index overlapping", u"search.db"_s,
        u"UPDATE search_index SET offset = 1, count = 5;"_s, u"b"_s, {},
        {kPartial, u"banana|banana#1|3"_s});
    row("whole-word index past the table", u"equal.db"_s,
        u"UPDATE equal_search_index SET offset = 2147483647, count = 2147483647;"_s, u"apple"_s,
        {kEqualFn + u"(range.location == NSNotFound)"_s},
        {kPartial, u"apple|apple#1|1"_s, u"apple|apple#2|2"_s});
    row("wildcard over damaged index", u"search.db"_s,
        u"UPDATE search_index SET offset = -1, count = -1;"_s, u"*rr*"_s, {},
        {kWhole, u"cherry|cherry#1|4"_s});
}

void TestDamagedSearch::damagedSearch()
{
    QFETCH(QString, file);
    QFETCH(QString, how);
    QFETCH(QString, keyword);
    QFETCH(QStringList, reports);
    QFETCH(QStringList, sections);

    WLDamagedBundle bundle;
    QVERIFY(bundle.isValid());
    bundle.damage(file, how);
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = bundle.open();
    QVERIFY(database);
    WLSearchRecorder recorder(database.get());
    QVERIFY2(recorder.search(keyword), "the search did not finish");
    const QStringList shown = recorder.sections();
    database.reset();
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(shown, sections);
    QVERIFY(bundle.untouched());
}

QTEST_GUILESS_MAIN(TestDamagedSearch)
#include "tst_damagedsearch.moc"

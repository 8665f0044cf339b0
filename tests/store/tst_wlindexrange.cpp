#include "WLBundle.h"
#include "WLIndexRange.h"
#include "WLSqlite.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(WLIndexRangeArray)
Q_DECLARE_METATYPE(WLRange)

namespace {

const QString kFile = u"letters.db"_s;

WLIndexRangeArray abc()
{
    return {{u"a"_s, 1, 100}, {u"b"_s, 101, 50}, {u"c"_s, 151, 20}};
}

} // namespace

class TestWLIndexRange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void loadsRowsInIdOrder();
    void keepsRowsBeforeABadLetter_data();
    void keepsRowsBeforeABadLetter();
    void emptyTableGivesEmptyList();
    void absentFileNameIsSilent();
    void checksNamesInOrder_data();
    void checksNamesInOrder();
    void reportsUnreadableTables_data();
    void reportsUnreadableTables();
    void readsThroughAnOpenConnectionOnlyToTheSameFile_data();
    void readsThroughAnOpenConnectionOnlyToTheSameFile();

    void rangeForKeyword_data();
    void rangeForKeyword();

private:
    std::optional<WLIndexRangeArray> load(const QString &table = u"idx"_s)
    {
        return createIndexRangeArray(kFile, table, u"id"_s, u"letter"_s, u"offset"_s, u"count"_s);
    }

    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLIndexRange::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
    m_fixture->exec(kFile, u"CREATE TABLE idx (id INTEGER PRIMARY KEY, letter TEXT, "
                           "offset INTEGER, count INTEGER);"_s);
}

void TestWLIndexRange::cleanup()
{
    m_fixture.reset();
}

void TestWLIndexRange::loadsRowsInIdOrder()
{
    // Stored out of order and with a letter in upper case: read by ID, kept as stored.
    m_fixture->exec(kFile, u"INSERT INTO idx VALUES (3, 'c', 151, 20), (1, 'A', 1, 100), "
                           "(2, 'b', 101, 50);"_s);
    StderrCapture capture;
    const std::optional<WLIndexRangeArray> table = load();
    QCOMPARE(capture.reports(), QStringList());
    QVERIFY(table);
    QCOMPARE(*table, (WLIndexRangeArray{{u"A"_s, 1, 100}, {u"b"_s, 101, 50}, {u"c"_s, 151, 20}}));
}

void TestWLIndexRange::keepsRowsBeforeABadLetter_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("report");
    QTest::newRow("not UTF-8") << u"CAST(X'FF' AS TEXT)"_s
                               << u"createIndexRangeArray: (letterString == nil)"_s;
}

void TestWLIndexRange::keepsRowsBeforeABadLetter()
{
    QFETCH(QString, letter);
    QFETCH(QString, report);
    m_fixture->exec(kFile, u"INSERT INTO idx VALUES (1, 'a', 1, 100), (2, %1, 101, 50), "
                           "(3, 'c', 151, 20);"_s.arg(letter));
    StderrCapture capture;
    const std::optional<WLIndexRangeArray> table = load();
    QCOMPARE(capture.reports(), QStringList{report});
    QVERIFY(table);
    QCOMPARE(*table, (WLIndexRangeArray{{u"a"_s, 1, 100}}));
}

void TestWLIndexRange::emptyTableGivesEmptyList()
{
    StderrCapture capture;
    const std::optional<WLIndexRangeArray> table = load();
    QCOMPARE(capture.reports(), QStringList());
    QVERIFY(table);
    QVERIFY(table->isEmpty());
}

void TestWLIndexRange::absentFileNameIsSilent()
{
    StderrCapture capture;
    QVERIFY(
        !createIndexRangeArray(QString(), u"idx"_s, u"id"_s, u"letter"_s, u"offset"_s, u"count"_s));
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLIndexRange::checksNamesInOrder_data()
{
    // Each row leaves out one name and every name checked after it.
    QTest::addColumn<int>("missingFrom");
    QTest::addColumn<QString>("report");
    QTest::newRow("table") << 0 << u"createIndexRangeArray: (tableName == nil)"_s;
    QTest::newRow("id") << 1 << u"createIndexRangeArray: (idColumn == nil)"_s;
    QTest::newRow("letter") << 2 << u"createIndexRangeArray: (letterColumn == nil)"_s;
    QTest::newRow("offset") << 3 << u"createIndexRangeArray: (offsetColumn == nil)"_s;
}

void TestWLIndexRange::checksNamesInOrder()
{
    QFETCH(int, missingFrom);
    QFETCH(QString, report);
    QStringList names{u"idx"_s, u"id"_s, u"letter"_s, u"offset"_s};
    for (int i = missingFrom; i < names.size(); ++i)
        names[i] = QString();
    StderrCapture capture;
    QVERIFY(!createIndexRangeArray(kFile, names[0], names[1], names[2], names[3], u"count"_s));
    QCOMPARE(capture.reports(), QStringList{report});
}

void TestWLIndexRange::reportsUnreadableTables_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("table");
    QTest::newRow("missing file") << u"missing.db"_s << u"idx"_s;
}

void TestWLIndexRange::reportsUnreadableTables()
{
    QFETCH(QString, fileName);
    QFETCH(QString, table);
    StderrCapture capture;
    QVERIFY(!createIndexRangeArray(fileName, table, u"id"_s, u"letter"_s, u"offset"_s, u"count"_s));
    QCOMPARE(capture.reports(), QStringList{u"createIndexRangeArray: (retval != SQLITE_OK)"_s});
    // Reading never creates a file.
    QVERIFY(!QFile::exists(m_fixture->filePath(u"missing.db"_s)));
}

void TestWLIndexRange::readsThroughAnOpenConnectionOnlyToTheSameFile_data()
{
    QTest::addColumn<QString>("openFile");
    QTest::addColumn<bool>("shared");
    QTest::newRow("none") << QString() << false;
    QTest::newRow("the same file") << kFile << true;
    QTest::newRow("another file") << u"other.db"_s << false;
    QTest::newRow("a file that failed to open") << u"missing.db"_s << false;
}

void TestWLIndexRange::readsThroughAnOpenConnectionOnlyToTheSameFile()
{
    QFETCH(QString, openFile);
    QFETCH(bool, shared);
    m_fixture->exec(kFile, u"INSERT INTO idx VALUES (1, 'a', 1, 100), (2, 'b', 101, 50), "
                           "(3, 'c', 151, 20);"_s);
    m_fixture->exec(u"other.db"_s, u"CREATE TABLE t (x);"_s);
    // A temporary table of the connection hides the file's: rows read
    // through the connection come from it.
    WLSqliteConnection connection;
    if (!openFile.isEmpty()) {
        const bool opens = openFile != u"missing.db"_s;
        QCOMPARE(connection.openReadOnly(WLBundle::pathForResource(openFile)) == SQLITE_OK, opens);
        if (opens) {
            QCOMPARE(sqlite3_exec(connection.handle(),
                                  "CREATE TEMP TABLE idx (id INTEGER PRIMARY KEY, letter TEXT, "
                                  "offset INTEGER, count INTEGER);"
                                  "INSERT INTO idx VALUES (1, 'z', 7, 1);",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
        }
    }
    StderrCapture capture;
    const std::optional<WLIndexRangeArray> table = createIndexRangeArray(
        kFile, u"idx"_s, u"id"_s, u"letter"_s, u"offset"_s, u"count"_s, &connection);
    QCOMPARE(capture.reports(), QStringList());
    QVERIFY(table);
    QCOMPARE(*table, shared ? (WLIndexRangeArray{{u"z"_s, 7, 1}}) : abc());
    // A shared connection stays open for its owner.
    if (shared)
        QCOMPARE(sqlite3_exec(connection.handle(), "SELECT 1;", nullptr, nullptr, nullptr), SQLITE_OK);
}

void TestWLIndexRange::rangeForKeyword_data()
{
    QTest::addColumn<WLIndexRangeArray>("table");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<WLRange>("range");
    QTest::addColumn<QStringList>("reports");

    const WLRange notFound = kWLRangeNotFound;
    const QStringList none;
    QTest::newRow("first letter, folded") << abc() << u"Apple"_s << WLRange{1, 100} << none;
    QTest::newRow("middle letter") << abc() << u"b"_s << WLRange{101, 50} << none;
    QTest::newRow("after the last letter")
        << abc() << u"d"_s << WLRange{171, 0x7FFFFFFF - 171} << none;
    QTest::newRow("underscore wildcard") << abc() << u"_x"_s << WLRange{1, 0x7FFFFFFE} << none;
    QTest::newRow("percent wildcard") << abc() << u"%"_s << WLRange{1, 0x7FFFFFFE} << none;
    QTest::newRow("before the first letter")
        << WLIndexRangeArray{{u"b"_s, 10, 5}} << u"a"_s << WLRange{1, 9} << none;
    QTest::newRow("before a first letter at 1")
        << WLIndexRangeArray{{u"b"_s, 1, 5}, {u"c"_s, 6, 5}} << u"a"_s << WLRange{1, 0} << none;
    QTest::newRow("between two letters")
        << WLIndexRangeArray{{u"a"_s, 1, 5}, {u"c"_s, 6, 5}} << u"b"_s << notFound << none;
    QTest::newRow("only the first character counts")
        << WLIndexRangeArray{{u"a"_s, 1, 5}, {u"ba"_s, 6, 2}, {u"bb"_s, 8, 3}, {u"c"_s, 11, 1}}
        << u"bz"_s << WLRange{6, 2} << none;
    QTest::newRow("upper-case letters never match")
        << WLIndexRangeArray{{u"A"_s, 1, 5}, {u"B"_s, 6, 5}} << u"a"_s
        << WLRange{11, 0x7FFFFFFF - 11} << none;
    // Code units compare unsigned: a Hangul keyword comes after every Latin letter.
    QTest::newRow("above 0x8000 after the last letter")
        << abc() << u"\uD55C"_s << WLRange{171, 0x7FFFFFFF - 171} << none;
    QTest::newRow("below a last letter above 0x8000")
        << WLIndexRangeArray{{u"a"_s, 1, 5}, {u"\uD55C"_s, 6, 5}} << u"b"_s << notFound << none;
    QTest::newRow("empty table") << WLIndexRangeArray() << u"a"_s << notFound << none;
    QTest::newRow("empty keyword") << abc() << QString() << notFound
                                   << QStringList{u"rangeForKeyword: ([keyword length] == 0)"_s};
    QTest::newRow("empty first letter")
        << WLIndexRangeArray{{QString(), 1, 5}, {u"c"_s, 6, 5}} << u"b"_s << notFound
        << QStringList{u"rangeForKeyword: ([letterString length] == 0)"_s};
    QTest::newRow("empty last letter")
        << WLIndexRangeArray{{u"a"_s, 1, 5}, {QString(), 6, 5}} << u"b"_s << notFound
        << QStringList{u"rangeForKeyword: ([letterString length] == 0)"_s};
    QTest::newRow("empty letter on the walk")
        << WLIndexRangeArray{{u"a"_s, 1, 1}, {QString(), 2, 1}, {u"c"_s, 3, 1}} << u"c"_s
        << notFound << QStringList{u"rangeForKeyword: ([letterString length] == 0)"_s};
}

void TestWLIndexRange::rangeForKeyword()
{
    QFETCH(WLIndexRangeArray, table);
    QFETCH(QString, keyword);
    QFETCH(WLRange, range);
    QFETCH(QStringList, reports);
    StderrCapture capture;
    const WLRange found = ::rangeForKeyword(keyword, table);
    QCOMPARE(found.location, range.location);
    QCOMPARE(found.length, range.length);
    QCOMPARE(capture.reports(), reports);
}

QTEST_GUILESS_MAIN(TestWLIndexRange)
#include "tst_wlindexrange.moc"

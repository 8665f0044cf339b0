#include "WLDatabase.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QList<int>>)

namespace {

const QString kPrepare = u"-[WLDatabase prepareHeadwordDatabase2:]: "_s;
const QString kGetName = u"-[WLDatabase getName:atItemID:]: "_s;
const QString kGetAll = u"-[WLDatabase getName:links:contentsIDs:atItemID:]: "_s;
const QString kItemName = u"-[WLDatabase itemNameAtIndex:ofHeadwordSectionAtIndex:]: "_s;

// Typed empty out arguments: a bare nullptr would also fit the link lookup.
QStringList *const kNoList = nullptr;

} // namespace

class TestWLDatabaseHeadwords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sectionsAndPositions();
    void badSectionRowsAreLeftOut();
    void emptySectionTable();
    void entryReference();
    void lookupsSurviveFailures();
    void textThatIsNotUtf8();
    void itemNameReportsBothLevels();
    void contentsIDArrayFromString_data();
    void contentsIDArrayFromString();

private:
    void replaceSections(const QString &rows)
    {
        m_fixture->exec(u"headword.db"_s, WLStoreFixture::loosened(u"headword_index"_s) +
                                              u"DELETE FROM headword_index;"_s + rows);
    }

    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLDatabaseHeadwords::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
}

void TestWLDatabaseHeadwords::cleanup()
{
    m_fixture.reset();
}

void TestWLDatabaseHeadwords::sectionsAndPositions()
{
    // Stored out of ID order: sections follow the ID column.
    replaceSections(u"INSERT INTO headword_index VALUES (2, 'b', 3, 2), (1, 'a', 1, 2);"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QVERIFY(database->supportsSectionMode());
    QCOMPARE(database->sectionCount(), 2u);
    QCOMPARE(database->sectionNameAtIndex(0), u"A"_s);
    QCOMPARE(database->sectionNameAtIndex(1), u"B"_s);
    QCOMPARE(database->sectionNameAtIndex(2), QString());
    QCOMPARE(database->itemCountOfHeadwordSectionAtIndex(1), 2u);
    QCOMPARE(database->itemCountOfHeadwordSectionAtIndex(2), 0u);

    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(0, 0), 1);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(1, 0), 2);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(0, 1), 3);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(2, 1), 0);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(0, 2), 0);

    StderrCapture capture;
    QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(1, 0), u"avocado"_s);
    QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(1, 1), u"cherry"_s);
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseHeadwords::badSectionRowsAreLeftOut()
{
    replaceSections(u"INSERT INTO headword_index VALUES (1, 'a', 0, 3), (2, 'b', -5, 1), "
                    "(3, NULL, 4, 1), (4, 'c', 5, 0), (5, 'ß', 6, 1), (6, '', 7, 1), "
                    "(7, NULL, 0, -1), (8, 'd', 8, -2), (9, 'é', 9, 1);"_s);
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(
        capture.reports(),
        (QStringList{kPrepare + u"(offset == 0)"_s, kPrepare + u"(stringPtr == NULL)"_s,
                     kPrepare + u"(count == 0)"_s, kPrepare + u"([letterString length] == 0)"_s,
                     kPrepare + u"(stringPtr == NULL)"_s, kPrepare + u"(offset == 0)"_s}));
    QCOMPARE(database->sectionCount(), 2u);
    QCOMPARE(database->sectionNameAtIndex(0), u"SS"_s);
    QCOMPARE(database->sectionNameAtIndex(1), u"É"_s);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(0, 0), 6);
}

void TestWLDatabaseHeadwords::emptySectionTable()
{
    replaceSections(QString());
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(capture.reports(), QStringList());
    QVERIFY(!database->supportsSectionMode());
    QCOMPARE(database->sectionCount(), 0u);
    QCOMPARE(database->itemIDAtIndexOfHeadwordSectionAtIndex(0, 0), 0);
}

void TestWLDatabaseHeadwords::entryReference()
{
    m_fixture->exec(u"headword.db"_s, u"INSERT INTO headword VALUES (5, 'e', 'empty', '', '7');"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QString word;
    QStringList links;
    QStringList contentsIDs;
    QVERIFY(database->getName(&word, &links, &contentsIDs, 1));
    QCOMPARE(word, u"apple"_s);
    QCOMPARE(links, (QStringList{u"apple#1"_s, u"apple#2"_s}));
    QCOMPARE(contentsIDs, (QStringList{u"1"_s, u"2"_s}));

    // Only the out arguments given are written.
    QVERIFY(database->getName(nullptr, &links, kNoList, 5));
    QCOMPARE(links, QStringList{QString()});
    QCOMPARE(word, u"apple"_s);
    QVERIFY(database->getName(nullptr, kNoList, kNoList, 3));
    QVERIFY(database->getName(&word, 3));
    QCOMPARE(word, u"banana"_s);
    QVERIFY(database->getName(nullptr, 4));
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseHeadwords::lookupsSurviveFailures()
{
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QString word = u"untouched"_s;
    QStringList links{u"untouched"_s};
    QVERIFY(!database->getName(&word, 0));
    QVERIFY(!database->getName(&word, &links, kNoList, 0));
    QVERIFY(!database->getName(&word, 99));
    QVERIFY(!database->getName(&word, &links, kNoList, 99));
    QCOMPARE(word, u"untouched"_s);
    QCOMPARE(links, QStringList{u"untouched"_s});
    QCOMPARE(capture.reports(),
             (QStringList{kGetName + u"(itemID == 0)"_s, kGetAll + u"(itemID == 0)"_s,
                          kGetName + u"(retval != SQLITE_ROW)"_s,
                          kGetAll + u"(retval != SQLITE_ROW)"_s}));
    // The statements were reset: the next lookups work.
    QVERIFY(database->getName(&word, 2));
    QCOMPARE(word, u"avocado"_s);
    QVERIFY(database->getName(&word, &links, kNoList, 2));
    QCOMPARE(links, QStringList{u"avocado#1"_s});
}

void TestWLDatabaseHeadwords::textThatIsNotUtf8()
{
    m_fixture->exec(u"headword.db"_s,
                    u"UPDATE headword SET word = CAST(X'61FF62' AS TEXT) WHERE id = 2;"
                    "UPDATE headword SET links = CAST(X'C0' AS TEXT) WHERE id = 3;"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QVERIFY(!database->getName(nullptr, 2));
    QVERIFY(!database->getName(nullptr, kNoList, kNoList, 2));
    QVERIFY(!database->getName(nullptr, kNoList, kNoList, 3));
    QCOMPARE(capture.reports(),
             (QStringList{kGetName + u"(name == nil)"_s, kGetAll + u"(wordString == nil)"_s,
                          kGetAll + u"(linksString == nil)"_s}));
}

void TestWLDatabaseHeadwords::itemNameReportsBothLevels()
{
    // A section that promises more headwords than the table holds.
    replaceSections(u"INSERT INTO headword_index VALUES (1, 'a', 1, 9);"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(9, 0), QString());
    QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(5, 0), QString());
    QCOMPARE(
        capture.reports(),
        (QStringList{kItemName + u"(headwordID == 0)"_s, kGetName + u"(retval != SQLITE_ROW)"_s,
                     kItemName + u"(![self getName:&name atItemID:headwordID])"_s}));
    QCOMPARE(database->itemNameAtIndexOfHeadwordSectionAtIndex(3, 0), u"cherry"_s);
}

void TestWLDatabaseHeadwords::contentsIDArrayFromString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<QList<int>>>("ids");

    QTest::newRow("two") << u"12\t30"_s << std::optional(QList<int>{12, 30});
    QTest::newRow("one") << u"7"_s << std::optional(QList<int>{7});
    QTest::newRow("trailing text") << u"7abc"_s << std::optional(QList<int>{7});
    QTest::newRow("white space and sign") << u" 5\t+6"_s << std::optional(QList<int>{5, 6});
    QTest::newRow("saturates") << u"99999999999"_s
                               << std::optional(QList<int>{std::numeric_limits<int>::max()});
    QTest::newRow("empty last piece") << u"12\t"_s << std::optional<QList<int>>();
    QTest::newRow("empty") << u""_s << std::optional<QList<int>>();
    QTest::newRow("negative") << u"4\t-3\t5"_s << std::optional<QList<int>>();
    QTest::newRow("no digits") << u"abc"_s << std::optional<QList<int>>();
}

void TestWLDatabaseHeadwords::contentsIDArrayFromString()
{
    QFETCH(QString, text);
    QFETCH(std::optional<QList<int>>, ids);
    StderrCapture capture;
    QCOMPARE(::contentsIDArrayFromString(text), ids);
    const QStringList reports =
        ids ? QStringList()
            : QStringList{u"contentsIDArrayFromString: (contentsID <= 0)"_s,
                          u"contentsIDArrayFromString: (component != nil)"_s};
    QCOMPARE(capture.reports(), reports);
}

QTEST_GUILESS_MAIN(TestWLDatabaseHeadwords)
#include "tst_wldatabaseheadwords.moc"

#include "WLDatabase.h"
#include "WLSearchTestSupport.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QTest>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString kInit = u"-[WLDatabase initWithPropertyListFile:]: "_s;
const QString kHeadword = u"-[WLDatabase prepareHeadwordDatabase2:]: "_s;
const QString kLink = u"-[WLDatabase prepareContentsLinkDatabase:]: "_s;
const QString kContents = u"-[WLDatabase prepareContentsDatabase:]: "_s;
const QString kContentsIndex = u"-[WLDatabase prepareContentsIndex:]: "_s;
const QString kSearch = u"-[WLDatabase prepareSearchDatabase:]: "_s;
const QString kSearchIndex = u"-[WLDatabase prepareSearchIndex:]: "_s;
const QString kEqual = u"-[WLDatabase prepareEqualSearchDatabase:]: "_s;
const QString kEqualIndex = u"-[WLDatabase prepareEqualSearchIndex:]: "_s;
const QString kIndex = u"createIndexRangeArray: "_s;
const QString kAdditional = u"-[WLDatabase prepareAdditionalDatabase:]: "_s;
const QString kMediaTable = u"-[WLAdditionDatabase initWithAttributes:]: "_s;
const QString kByName = u"-[WLAdditionDatabase getData:forName:]: "_s;
const QString kExtract = u"-[WLDatabase readDataForAdditionNamed:]: "_s;
const QString kGetName = u"-[WLDatabase getName:atItemID:]: "_s;
const QString kGetAll = u"-[WLDatabase getName:links:contentsIDs:atItemID:]: "_s;
const QString kItemName = u"-[WLDatabase itemNameAtIndex:ofHeadwordSectionAtIndex:]: "_s;
const QString kGetLink = u"-[WLDatabase getName:link:contentsID:atContentsLinkID:]: "_s;
const QString kPage = u"-[WLDatabase newHtmlDataForIDs:headerData:]: "_s;
const QString kDecrypt = u"-[WLDatabase decryptDataBytes:length:]: "_s;
const QString kSqlite = u"(retval != SQLITE_OK)"_s;
const QString kEqualFn = u"-[WLDatabase searchEqualInThread:]: "_s;
const QString kKeywordFn = u"-[WLDatabase searchKeywordInThread:]: "_s;
const QString kWhole = u"MainView.SearchMode.Section.WholeWords"_s;
const QString kPartial = u"MainView.SearchMode.Section.PartialMatches"_s;

} // namespace

// Bundles whose files were damaged after the compiler wrote them: each gives
// its reports and its outcome (the opening fails, a feature is absent, or
// one lookup fails) and nothing else, and no file of the bundle is written.
// Rows with a keyword also search: the search finishes, with the reports of
// what it met and the results it could read.
class TestDamagedBundles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void undamagedBundle();
    void damaged_data();
    void damaged();
    void damagedSharedTables_data();
    void damagedSharedTables();
    void sameFileForEveryRole_data();
    void sameFileForEveryRole();
    void namesHoldingSql_data();
    void namesHoldingSql();
};

void TestDamagedBundles::undamagedBundle()
{
    const QMap<QString, QString> walk = pristineWalkWith({});
    QCOMPARE(walk.value(u"sections"_s), u"A 1 2, B 3 1, C 4 1"_s);
    QCOMPARE(walk.value(u"index"_s), u"apple avocado banana cherry"_s);
    QCOMPARE(walk.value(u"entry 1"_s), u"apple | apple#1 apple#2 | 1 2"_s);
    QCOMPARE(walk.value(u"page 1"_s), u"<html><body><p>apple one</p><hr><p>apple two <a "
                                      "href=\"#4\">banana</a></p></body></html>"_s);
    QCOMPARE(walk.value(u"link 5"_s), u"cherry cherry#1 5"_s);
    QCOMPARE(walk.value(u"media"_s), u"picture bytes"_s);
}

void TestDamagedBundles::damaged_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("keyword");

    const auto row = [](const char *name, const QString &file, const QString &how, bool opens,
                        const QStringList &reports, const QStringList &changes = {}) {
        QTest::newRow(name) << file << how << opens << reports << changes << QString();
    };
    // A search after the walk; "search" in the changes is what it shows.
    const auto search = [](const char *name, const QString &file, const QString &how,
                           const QString &keyword, const QStringList &reports,
                           const QStringList &changes) {
        QTest::newRow(name) << file << how << true << reports << changes << keyword;
    };
    const auto times = [](int count, const QStringList &reports) {
        QStringList repeated;
        for (int i = 0; i < count; ++i)
            repeated += reports;
        return repeated;
    };
    // One row that is not what the table says: SQL that makes the table
    // take anything first.
    const auto firstRow = [](const QString &table, const QString &assignment) {
        return WLStoreFixture::loosened(table) +
               u" UPDATE %1 SET %2 WHERE rowid = (SELECT min(rowid) FROM %1);"_s.arg(table,
                                                                                     assignment);
    };

    const QStringList headwordFails = {kHeadword + kSqlite,
                                       kInit + u"(![self prepareHeadwordDatabase2:info])"_s};
    const QStringList linkIndexFails = {kIndex + kSqlite,
                                        kLink + u"(mContentsLinkIndexRangeArray == nil)"_s,
                                        kInit + u"(![self prepareContentsLinkDatabase:info])"_s};
    const QStringList linkFails = {kLink + kSqlite,
                                   kInit + u"(![self prepareContentsLinkDatabase:info])"_s};
    const QStringList contentsFails = {kContents + kSqlite,
                                       kInit + u"(![self prepareContentsDatabase:info])"_s};
    const QStringList searchFails = {kSearch + kSqlite,
                                     kInit + u"(![self prepareSearchDatabase:info])"_s};
    const QStringList equalAbsent = {kEqual + kSqlite, kIndex + kSqlite,
                                     kEqualIndex + u"(indexRangeArray == nil)"_s};
    const QStringList mediaAbsent = {kMediaTable + kSqlite,
                                     kAdditional + u"(additionDatabase == nil)"_s,
                                     kExtract + u"(gotData == NO)"_s};
    const QStringList noRow = {u"(retval != SQLITE_ROW)"_s};
    const auto failedStep = [](const QString &function) {
        // A step that meets a damaged page fails, and so does its reset.
        return QStringList{function + u"(retval != SQLITE_ROW)"_s, function + kSqlite};
    };
    const QStringList pageFails = {kPage + u"(!succeed)"_s, kPage + u"(object != nil)"_s};
    QStringList noHeadwords = {u"index=- - - -"_s, u"media=-"_s};
    for (const char *key : {"word", "entry", "page"}) {
        for (int id = 1; id <= 4; ++id)
            noHeadwords.append(u"%1 %2=-"_s.arg(QLatin1String(key)).arg(id));
    }

    // Whole files: a file that is no database fails its role as a table
    // that is missing would.
    for (const char *kind : {"empty", "truncate:100", "truncate:4096", "random", "text"}) {
        const QString how = QString::fromLatin1(kind);
        QTest::addRow("headword.db %s", kind)
            << u"headword.db"_s << how << false << headwordFails << QStringList() << QString();
        QTest::addRow("link.db %s", kind)
            << u"link.db"_s << how << false << linkIndexFails << QStringList() << QString();
        QTest::addRow("contents.db %s", kind)
            << u"contents.db"_s << how << false << contentsFails << QStringList() << QString();
        QTest::addRow("search.db %s", kind)
            << u"search.db"_s << how << false << searchFails << QStringList() << QString();
        // The whole words are missed; the partial matches still come.
        QTest::addRow("equal.db %s", kind)
            << u"equal.db"_s << how << true
            << equalAbsent + QStringList{kEqualFn + u"(range.location == NSNotFound)"_s}
            << QStringList{u"search="_s + kPartial + u" / apple|apple#1|1 / apple|apple#2|2"_s}
            << u"apple"_s;
        QTest::addRow("media.db %s", kind) << u"media.db"_s << how << true << mediaAbsent
                                           << QStringList{u"media=-"_s} << QString();
    }

    // A damaged page under a table: the lookups that reach it fail.
    row("headword.db table page", u"headword.db"_s, u"scramble:2"_s, true,
        times(4, failedStep(kGetName) +
                     QStringList{kItemName + u"(![self getName:&name atItemID:headwordID])"_s}) +
            times(4, failedStep(kGetName) + failedStep(kGetAll)),
        noHeadwords);
    // Only the finalize tells: the rows before the damage are the sections.
    row("headword.db section page", u"headword.db"_s, u"scramble:3"_s, true, {kHeadword + kSqlite},
        {u"sections="_s, u"index="_s});
    row("link.db table page", u"link.db"_s, u"scramble:2"_s, true, times(5, failedStep(kGetLink)),
        {u"link 1=-"_s, u"link 2=-"_s, u"link 3=-"_s, u"link 4=-"_s, u"link 5=-"_s});
    row("link.db index page", u"link.db"_s, u"scramble:3"_s, true, {kIndex + kSqlite});
    row("contents.db table page", u"contents.db"_s, u"scramble:2"_s, true,
        times(4, failedStep(kPage) + pageFails),
        {u"page 1=-"_s, u"page 2=-"_s, u"page 3=-"_s, u"page 4=-"_s, u"media=-"_s});
    row("contents.db index page", u"contents.db"_s, u"scramble:3"_s, true, {kIndex + kSqlite});
    row("search.db index page", u"search.db"_s, u"scramble:3"_s, true, {kIndex + kSqlite});
    row("equal.db index page", u"equal.db"_s, u"scramble:3"_s, true, {kIndex + kSqlite});
    row("media.db table page", u"media.db"_s, u"scramble:2"_s, true,
        failedStep(kByName) +
            QStringList{kExtract +
                            u"(![additionDatabase getData:&additionData forName:fileName])"_s,
                        kExtract + u"(gotData == NO)"_s},
        {u"media=-"_s});

    // Tables and columns missing: required ones fail the opening, optional
    // ones leave their feature absent; a column no statement reads is not
    // missed.
    row("headword table missing", u"headword.db"_s, u"DROP TABLE headword;"_s, false,
        headwordFails);
    row("section table missing", u"headword.db"_s, u"DROP TABLE headword_index;"_s, false,
        headwordFails);
    row("headword links column missing", u"headword.db"_s,
        u"ALTER TABLE headword DROP COLUMN links;"_s, false, headwordFails);
    row("headword look column missing", u"headword.db"_s,
        u"ALTER TABLE headword DROP COLUMN look;"_s, true, {});
    row("section count column missing", u"headword.db"_s,
        u"ALTER TABLE headword_index DROP COLUMN count;"_s, false, headwordFails);
    row("link table missing", u"link.db"_s, u"DROP TABLE link;"_s, false, linkFails);
    row("link index missing", u"link.db"_s, u"DROP TABLE link_index;"_s, false, linkIndexFails);
    row("link contents ID column missing", u"link.db"_s,
        u"ALTER TABLE link DROP COLUMN contents_id;"_s, false, linkFails);
    row("contents table missing", u"contents.db"_s, u"DROP TABLE contents;"_s, false,
        contentsFails);
    row("contents additions column missing", u"contents.db"_s,
        u"ALTER TABLE contents DROP COLUMN additions;"_s, false, contentsFails);
    row("contents index missing", u"contents.db"_s, u"DROP TABLE contents_index;"_s, true,
        {kIndex + kSqlite, kContentsIndex + u"(indexRangeArray == nil)"_s});
    row("contents index letter column missing", u"contents.db"_s,
        u"ALTER TABLE contents_index DROP COLUMN letter;"_s, true,
        {kIndex + kSqlite, kContentsIndex + u"(indexRangeArray == nil)"_s});
    row("search table missing", u"search.db"_s, u"DROP TABLE search;"_s, false, searchFails);
    row("search look column missing", u"search.db"_s, u"ALTER TABLE search DROP COLUMN look;"_s,
        false, searchFails);
    row("whole-word contents IDs column missing", u"equal.db"_s,
        u"ALTER TABLE equal_search DROP COLUMN contents_ids;"_s, true, {kEqual + kSqlite});
    row("whole-word index missing", u"equal.db"_s, u"DROP TABLE equal_search_index;"_s, true,
        {kIndex + kSqlite, kEqualIndex + u"(indexRangeArray == nil)"_s});

    // Wrong types.
    row("link contents ID text", u"link.db"_s, firstRow(u"link"_s, u"contents_id = 'abc'"_s), true,
        {kGetLink + u"(contentsID <= 0)"_s}, {u"link 1=-"_s});
    // Beyond 32 bits the ID saturates, as everywhere, instead of wrapping
    // round to entry 3.
    row("link contents ID beyond 32 bits", u"link.db"_s,
        firstRow(u"link"_s, u"contents_id = 4294967299"_s), true, {},
        {u"link 1=apple apple#1 2147483647"_s});
    row("link word not UTF-8", u"link.db"_s, firstRow(u"link"_s, u"word = X'FFFE'"_s), true,
        {kGetLink + u"(wordString == nil)"_s}, {u"link 1=-"_s});
    row("headword word not UTF-8", u"headword.db"_s, firstRow(u"headword"_s, u"word = X'C0'"_s),
        true,
        {kGetName + u"(name == nil)"_s,
         kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kGetName + u"(name == nil)"_s, kGetAll + u"(wordString == nil)"_s},
        {u"index=- avocado banana cherry"_s, u"word 1=-"_s, u"entry 1=-"_s, u"page 1=-"_s, u"media=-"_s});
    row("headword contents IDs not numbers", u"headword.db"_s,
        firstRow(u"headword"_s, u"contents_ids = 'x'"_s), true,
        QStringList{kPage + noRow.first()} + pageFails,
        {u"entry 1=apple | apple#1 apple#2 | x"_s, u"page 1=-"_s, u"media=-"_s});
    row("section offset text", u"headword.db"_s, firstRow(u"headword_index"_s, u"offset = 'x'"_s),
        true, {kHeadword + u"(offset == 0)"_s},
        {u"sections=B 3 1, C 4 1"_s, u"index=banana cherry"_s});
    row("contents data integer", u"contents.db"_s, firstRow(u"contents"_s, u"data = 12345"_s), true,
        QStringList{kDecrypt + u"((dataLength % 8) != 0)"_s, kPage + u"(decryptedData == nil)"_s} +
            pageFails,
        {u"page 1=-"_s, u"media=-"_s});
    row("contents data text", u"contents.db"_s, firstRow(u"contents"_s, u"data = 'abc'"_s), true,
        QStringList{kDecrypt + u"((dataLength % 8) != 0)"_s, kPage + u"(decryptedData == nil)"_s} +
            pageFails,
        {u"page 1=-"_s, u"media=-"_s});
    row("contents data not whole blocks", u"contents.db"_s,
        firstRow(u"contents"_s, u"data = substr(data, 1, length(data) - 3)"_s), true,
        QStringList{kDecrypt + u"((dataLength % 8) != 0)"_s, kPage + u"(decryptedData == nil)"_s} +
            pageFails,
        {u"page 1=-"_s, u"media=-"_s});
    row("contents data empty", u"contents.db"_s, firstRow(u"contents"_s, u"data = X''"_s), true,
        QStringList{kPage + u"(dataLength == 0)"_s} + pageFails, {u"page 1=-"_s, u"media=-"_s});
    row("contents additions integer", u"contents.db"_s, firstRow(u"contents"_s, u"additions = 7"_s),
        true, {kExtract + u"((pathCount != 2) && (pathCount != 3))"_s}, {u"media=-"_s});

    // NULLs, in the first row of each table.
    row("NULL headword id", u"headword.db"_s, firstRow(u"headword"_s, u"id = NULL"_s), true,
        {kGetName + noRow.first(), kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kGetName + noRow.first(), kGetAll + noRow.first()},
        {u"index=- avocado banana cherry"_s, u"word 1=-"_s, u"entry 1=-"_s, u"page 1=-"_s, u"media=-"_s});
    row("NULL headword look", u"headword.db"_s, firstRow(u"headword"_s, u"look = NULL"_s), true,
        {});
    row("NULL headword word", u"headword.db"_s, firstRow(u"headword"_s, u"word = NULL"_s), true,
        {kGetName + u"(stringPtr == NULL)"_s,
         kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kGetName + u"(stringPtr == NULL)"_s, kGetAll + u"(stringPtr == NULL)"_s},
        {u"index=- avocado banana cherry"_s, u"word 1=-"_s, u"entry 1=-"_s, u"page 1=-"_s, u"media=-"_s});
    for (const char *column : {"links", "contents_ids"})
        QTest::addRow("NULL headword %s", column)
            << u"headword.db"_s
            << firstRow(u"headword"_s, QString::fromLatin1(column) + u" = NULL"_s) << true
            << QStringList{kGetAll + u"(stringPtr == NULL)"_s}
            << QStringList{u"entry 1=-"_s, u"page 1=-"_s, u"media=-"_s} << QString();
    row("NULL section id", u"headword.db"_s, firstRow(u"headword_index"_s, u"id = NULL"_s), true,
        {});
    row("NULL section letter", u"headword.db"_s, firstRow(u"headword_index"_s, u"letter = NULL"_s),
        true, {kHeadword + u"(stringPtr == NULL)"_s},
        {u"sections=B 3 1, C 4 1"_s, u"index=banana cherry"_s});
    row("NULL section offset", u"headword.db"_s, firstRow(u"headword_index"_s, u"offset = NULL"_s),
        true, {kHeadword + u"(offset == 0)"_s},
        {u"sections=B 3 1, C 4 1"_s, u"index=banana cherry"_s});
    row("NULL section count", u"headword.db"_s, firstRow(u"headword_index"_s, u"count = NULL"_s),
        true, {kHeadword + u"(count == 0)"_s},
        {u"sections=B 3 1, C 4 1"_s, u"index=banana cherry"_s});
    row("NULL link id", u"link.db"_s, firstRow(u"link"_s, u"id = NULL"_s), true,
        {kGetLink + noRow.first()}, {u"link 1=-"_s});
    for (const char *column : {"word", "link"})
        QTest::addRow("NULL link %s", column)
            << u"link.db"_s << firstRow(u"link"_s, QString::fromLatin1(column) + u" = NULL"_s)
            << true << QStringList{kGetLink + u"(stringPtr == NULL)"_s}
            << QStringList{u"link 1=-"_s} << QString();
    row("NULL link contents_id", u"link.db"_s, firstRow(u"link"_s, u"contents_id = NULL"_s), true,
        {kGetLink + u"(contentsID <= 0)"_s}, {u"link 1=-"_s});
    // An index that no lookup consults keeps the rows before a bad one.
    for (const char *column : {"id", "offset", "count"}) {
        QTest::addRow("NULL link index %s", column)
            << u"link.db"_s << firstRow(u"link_index"_s, QString::fromLatin1(column) + u" = NULL"_s)
            << true << QStringList() << QStringList() << QString();
        QTest::addRow("NULL contents index %s", column)
            << u"contents.db"_s
            << firstRow(u"contents_index"_s, QString::fromLatin1(column) + u" = NULL"_s) << true
            << QStringList() << QStringList() << QString();
    }
    row("NULL link index letter", u"link.db"_s, firstRow(u"link_index"_s, u"letter = NULL"_s), true,
        {kIndex + u"(stringPtr == NULL)"_s});
    row("NULL contents index letter", u"contents.db"_s,
        firstRow(u"contents_index"_s, u"letter = NULL"_s), true,
        {kIndex + u"(stringPtr == NULL)"_s});
    row("NULL contents id", u"contents.db"_s, firstRow(u"contents"_s, u"id = NULL"_s), true,
        QStringList{kPage + noRow.first()} + pageFails, {u"page 1=-"_s, u"media=-"_s});
    row("NULL contents data", u"contents.db"_s, firstRow(u"contents"_s, u"data = NULL"_s), true,
        QStringList{kPage + u"(dataLength == 0)"_s} + pageFails, {u"page 1=-"_s, u"media=-"_s});
    row("NULL contents additions", u"contents.db"_s, firstRow(u"contents"_s, u"additions = NULL"_s),
        true, {}, {u"media=-"_s});

    // Media: the one lookup fails and the page shows all the same.
    row("media table missing", u"media.db"_s, u"DROP TABLE pictures;"_s, true, mediaAbsent,
        {u"media=-"_s});
    row("media name column missing", u"media.db"_s, u"ALTER TABLE pictures DROP COLUMN name;"_s,
        true, mediaAbsent, {u"media=-"_s});
    const QStringList mediaLookupFails = {
        kExtract + u"(![additionDatabase getData:&additionData forName:fileName])"_s,
        kExtract + u"(gotData == NO)"_s};
    row("NULL media id", u"media.db"_s, firstRow(u"pictures"_s, u"id = NULL"_s), true, {});
    row("NULL media name", u"media.db"_s, firstRow(u"pictures"_s, u"name = NULL"_s), true,
        QStringList{kByName + noRow.first()} + mediaLookupFails, {u"media=-"_s});
    row("NULL media data", u"media.db"_s, firstRow(u"pictures"_s, u"data = NULL"_s), true,
        QStringList{kByName + u"(dataLength == 0)"_s} + mediaLookupFails, {u"media=-"_s});
    row("media data empty", u"media.db"_s, firstRow(u"pictures"_s, u"data = X''"_s), true,
        QStringList{kByName + u"(dataLength == 0)"_s} + mediaLookupFails, {u"media=-"_s});

    // Section tables that point past the headword table, or overlap.
    row("section past the table", u"headword.db"_s,
        u"UPDATE headword_index SET offset = 100 WHERE letter = 'c';"_s, true,
        {kGetName + noRow.first(), kItemName + u"(![self getName:&name atItemID:headwordID])"_s},
        {u"sections=A 1 2, B 3 1, C 100 1"_s, u"index=apple avocado banana -"_s});
    row("section count past the table", u"headword.db"_s,
        u"UPDATE headword_index SET count = 2147483647 WHERE letter = 'c';"_s, true,
        times(2, {kGetName + noRow.first(),
                  kItemName + u"(![self getName:&name atItemID:headwordID])"_s}),
        {u"sections=A 1 2, B 3 1, C 4 2147483647"_s, u"index=apple avocado banana cherry - -"_s});
    row("section offset negative", u"headword.db"_s,
        u"UPDATE headword_index SET offset = -5 WHERE letter = 'c';"_s, true, {},
        {u"sections=A 1 2, B 3 1"_s, u"index=apple avocado banana"_s});
    row("section count negative", u"headword.db"_s,
        u"UPDATE headword_index SET count = -1 WHERE letter = 'c';"_s, true, {},
        {u"sections=A 1 2, B 3 1"_s, u"index=apple avocado banana"_s});
    row("sections overlapping", u"headword.db"_s,
        u"UPDATE headword_index SET count = 3 WHERE letter = 'a';"_s, true, {},
        {u"sections=A 1 3, B 3 1, C 4 1"_s, u"index=apple avocado banana banana cherry"_s});
    row("sections unsorted", u"headword.db"_s,
        u"UPDATE headword_index SET id = id + 10; UPDATE headword_index SET id = 1 WHERE letter = 'c';"_s,
        true, {}, {u"sections=C 4 1, A 1 2, B 3 1"_s, u"index=cherry apple avocado banana"_s});
    // No headword ID lies beyond 32 bits: the rows past the last one are
    // none, not some row with a negative ID.
    row("section at the end of the IDs", u"headword.db"_s,
        WLStoreFixture::loosened(u"headword"_s) +
            u" INSERT INTO headword VALUES (-2147483648, 'wrapped', 'wrapped', 'w#1', '1');"
            u" UPDATE headword_index SET offset = 2147483647, count = 2 WHERE letter = 'c';"_s,
        true,
        {kGetName + noRow.first(), kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kItemName + u"(headwordID == 0)"_s},
        {u"sections=A 1 2, B 3 1, C 2147483647 2"_s, u"index=apple avocado banana - -"_s});
    row("section offset beyond 32 bits", u"headword.db"_s,
        u"UPDATE headword_index SET offset = 4294967298 WHERE letter = 'c';"_s, true,
        {kGetName + noRow.first(), kItemName + u"(![self getName:&name atItemID:headwordID])"_s},
        {u"sections=A 1 2, B 3 1, C 2147483647 1"_s, u"index=apple avocado banana -"_s});

    // Search tables: the search finishes with what it could read.
    const QString aMatches = u" / apple|apple#1|1 / apple|apple#2|2 / avocado|avocado#1|3"_s;
    const QString appleWhole = u"search="_s + kWhole + u" / apple|apple#1\tapple#2|1,2"_s;
    search("undamaged whole word", u"search.db"_s, u"SELECT 1;"_s, u"apple"_s, {}, {appleWhole});
    search("undamaged partial", u"search.db"_s, u"SELECT 1;"_s, u"a"_s, {},
           {u"search="_s + kPartial + aMatches});
    search("search table page", u"search.db"_s, u"scramble:2"_s, u"a"_s,
           {kKeywordFn + kSqlite}, {u"search="_s});
    search("whole-word table page", u"equal.db"_s, u"scramble:2"_s, u"apple"_s,
           {kEqualFn + kSqlite},
           {u"search="_s + kPartial + u" / apple|apple#1|1 / apple|apple#2|2"_s});
    search("whole-word table missing", u"equal.db"_s, u"DROP TABLE equal_search;"_s,
           u"apple"_s, {kEqual + kSqlite, kEqualFn + kSqlite},
           {u"search="_s + kPartial + u" / apple|apple#1|1 / apple|apple#2|2"_s});
    search("search index missing", u"search.db"_s, u"DROP TABLE search_index;"_s,
           u"apple"_s,
           {kIndex + kSqlite, kSearchIndex + u"(indexRangeArray == nil)"_s,
            kKeywordFn + u"(range.location == NSNotFound)"_s},
           {appleWhole});
    for (const char *column : {"word", "link"})
        QTest::addRow("NULL search %s", column)
            << u"search.db"_s << firstRow(u"search"_s, QString::fromLatin1(column) + u" = NULL"_s)
            << true << QStringList{kKeywordFn + u"(stringPtr == NULL)"_s}
            << QStringList{u"search="_s + kPartial +
                           u" / apple|apple#2|2 / avocado|avocado#1|3"_s}
            << u"a"_s;
    for (const char *column : {"look", "id"})
        QTest::addRow("NULL search %s", column)
            << u"search.db"_s << firstRow(u"search"_s, QString::fromLatin1(column) + u" = NULL"_s)
            << true << QStringList()
            << QStringList{u"search="_s + kPartial +
                           u" / apple|apple#2|2 / avocado|avocado#1|3"_s}
            << u"a"_s;
    const QString firstIDZero =
        u"search="_s + kPartial + u" / apple|apple#1|0 / apple|apple#2|2 / avocado|avocado#1|3"_s;
    search("NULL search contents_id", u"search.db"_s,
           firstRow(u"search"_s, u"contents_id = NULL"_s), u"a"_s, {}, {firstIDZero});
    search("search contents_id text", u"search.db"_s,
           firstRow(u"search"_s, u"contents_id = 'abc'"_s), u"a"_s, {}, {firstIDZero});
    search("search contents_id beyond 32 bits", u"search.db"_s,
           firstRow(u"search"_s, u"contents_id = 4294967299"_s), u"a"_s, {},
           {u"search="_s + kPartial +
            u" / apple|apple#1|2147483647 / apple|apple#2|2 / avocado|avocado#1|3"_s});
    const QString partialApple =
        u"search="_s + kPartial + u" / apple|apple#1|1 / apple|apple#2|2"_s;
    for (const char *column : {"word", "links", "contents_ids"})
        QTest::addRow("NULL whole-word %s", column)
            << u"equal.db"_s
            << firstRow(u"equal_search"_s, QString::fromLatin1(column) + u" = NULL"_s) << true
            << QStringList{kEqualFn + u"(stringPtr == NULL)"_s} << QStringList{partialApple}
            << u"apple"_s;
    search("whole-word contents_ids not numbers", u"equal.db"_s,
           firstRow(u"equal_search"_s, u"contents_ids = 'x'"_s), u"apple"_s,
           {u"contentsIDArrayFromString: (contentsID <= 0)"_s,
            u"contentsIDArrayFromString: (component != nil)"_s},
           {u"search="_s + kWhole + u" / apple|apple#1\tapple#2|nil"_s});
    search("NULL search index letter", u"search.db"_s,
           firstRow(u"search_index"_s, u"letter = NULL"_s), u"a"_s,
           {kIndex + u"(stringPtr == NULL)"_s, kKeywordFn + u"(range.location == NSNotFound)"_s},
           {u"search="_s});
    search("NULL search index offset", u"search.db"_s,
           firstRow(u"search_index"_s, u"offset = NULL"_s), u"a"_s, {}, {partialApple});
    // Letter index tables that point past the table, backwards, everywhere
    // or out of order narrow the query wrongly, and that is all.
    search("search index past the table", u"search.db"_s,
           u"UPDATE search_index SET offset = 100 WHERE letter = 'a';"_s, u"a"_s, {},
           {u"search="_s});
    search("search index negative", u"search.db"_s,
           u"UPDATE search_index SET offset = -5 WHERE letter = 'a';"_s, u"a"_s, {},
           {u"search="_s});
    search("search index count huge", u"search.db"_s,
           u"UPDATE search_index SET count = 2147483647 WHERE letter = 'a';"_s, u"a"_s, {},
           {u"search="_s + kPartial + aMatches});
    search("search index unsorted", u"search.db"_s,
           u"UPDATE search_index SET id = id + 10; UPDATE search_index SET id = 1 WHERE letter = 'c';"_s,
           u"a"_s, {}, {u"search="_s + kPartial + aMatches});
    search("search index overlapping", u"search.db"_s,
           u"UPDATE search_index SET offset = 1, count = 5;"_s, u"b"_s, {},
           {u"search="_s + kPartial + u" / banana|banana#1|4"_s});
    search("whole-word index past the table", u"equal.db"_s,
           u"UPDATE equal_search_index SET offset = 2147483647, count = 2147483647;"_s, u"apple"_s,
           {kEqualFn + u"(range.location == NSNotFound)"_s}, {partialApple});
    search("wildcard over damaged index", u"search.db"_s,
           u"UPDATE search_index SET offset = -1, count = -1;"_s, u"*rr*"_s, {},
           {u"search="_s + kWhole + u" / cherry|cherry#1|5"_s});
}

namespace {

// Damages a fresh fixture of that layout as the row says and checks the
// reports, the outcome and the walk (and search) against the pristine one.
void checkDamaged(WLTableLayout tables)
{
    QFETCH(QString, file);
    QFETCH(QString, how);
    QFETCH(bool, opens);
    QFETCH(QStringList, reports);
    QFETCH(QStringList, changes);
    QFETCH(QString, keyword);

    const QMap<QString, QString> expected = pristineWalkWith(changes);
    WLStoreFixture bundle(tables);
    bundle.damage(file, how);
    QStringList actualReports;
    QMap<QString, QString> walk;
    bool opened = false;
    {
        StderrCapture capture;
        std::unique_ptr<WLDatabase> database = bundle.open();
        opened = database != nullptr;
        if (database) {
            walk = walkDictionary(*database);
            if (!keyword.isEmpty()) {
                WLSearchRecorder recorder(database.get());
                QVERIFY2(recorder.search(keyword), "the search did not finish");
                walk.insert(u"search"_s, recorder.sections().join(u" / "_s));
            }
        }
        database.reset();
        actualReports = capture.reports();
    }
    QCOMPARE(actualReports, reports);
    QCOMPARE(opened, opens);
    if (opens)
        QCOMPARE(walk, expected);
    QVERIFY(bundle.untouched());
}

} // namespace

void TestDamagedBundles::damaged()
{
    checkDamaged(WLTableLayout::Separate);
}

// The shared layout: the views the description names over the entry, link
// and search rows of headword.db. Undamaged it reads as the separate one;
// rows that point nowhere or hold the wrong things are lost or reported
// as the separate tables' would be, and views that cannot be read fail
// their roles.
void TestDamagedBundles::damagedSharedTables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("keyword");

    const auto row = [](const char *name, const QString &how, bool opens,
                        const QStringList &reports, const QStringList &changes = {},
                        const QString &keyword = {}) {
        QTest::newRow(name) << u"headword.db"_s << how << opens << reports << changes << keyword;
    };
    // The views name the tables: the table made again must not be checked
    // against them while it is away.
    const auto firstRow = [](const QString &table, const QString &assignment) {
        return u"PRAGMA legacy_alter_table = ON;"_s + WLStoreFixture::loosened(table) +
               u" UPDATE %1 SET %2 WHERE rowid = (SELECT min(rowid) FROM %1);"_s.arg(table,
                                                                                     assignment);
    };
    const QStringList linkFails = {kLink + kSqlite,
                                   kInit + u"(![self prepareContentsLinkDatabase:info])"_s};
    const QStringList headwordFails = {kHeadword + kSqlite,
                                       kInit + u"(![self prepareHeadwordDatabase2:info])"_s};
    const QStringList searchFails = {kSearch + kSqlite,
                                     kInit + u"(![self prepareSearchDatabase:info])"_s};
    const QString aMatches = u" / apple|apple#1|1 / apple|apple#2|2 / avocado|avocado#1|3"_s;
    const QString appleWhole = u"search="_s + kWhole + u" / apple|apple#1\tapple#2|1,2"_s;
    const QString partialApple =
        u"search="_s + kPartial + u" / apple|apple#1|1 / apple|apple#2|2"_s;

    row("undamaged whole word", u"SELECT 1;"_s, true, {}, {appleWhole}, u"apple"_s);
    row("undamaged partial", u"SELECT 1;"_s, true, {}, {u"search="_s + kPartial + aMatches},
        u"a"_s);
    row("undamaged wildcard", u"SELECT 1;"_s, true, {},
        {u"search="_s + kWhole + u" / cherry|cherry#1|5"_s}, u"*rr*"_s);

    // Rows the views are made of, missing: the roles over them fail.
    row("entry rows missing", u"DROP TABLE entry;"_s, false, linkFails);
    row("link rows missing", u"DROP TABLE link_row;"_s, false, linkFails);
    row("search rows missing", u"DROP TABLE search_row;"_s, false, searchFails);
    row("headword view missing", u"DROP VIEW headword;"_s, false, headwordFails);
    row("whole-word view missing", u"DROP VIEW equal_search;"_s, true,
        {kEqual + kSqlite, kEqualFn + kSqlite}, {partialApple}, u"apple"_s);
    // A view made of itself cannot be read.
    row("link view circular", u"DROP VIEW link; CREATE VIEW link AS SELECT * FROM link;"_s, false,
        linkFails);
    row("search view circular",
        u"DROP VIEW search; CREATE VIEW search AS SELECT * FROM search;"_s, false, searchFails);

    // Rows that name no entry drop out of every view that joins them.
    row("search row of no entry", firstRow(u"search_row"_s, u"entry = 99"_s), true, {},
        {u"search="_s + kPartial + u" / apple|apple#2|2 / avocado|avocado#1|3"_s}, u"a"_s);
    row("link row of no entry", firstRow(u"link_row"_s, u"entry = 99"_s), true,
        {kGetLink + u"(retval != SQLITE_ROW)"_s}, {u"link 1=-"_s});
    row("whole-word row of no entry", firstRow(u"equal_row"_s, u"entry = 99"_s), true, {},
        {partialApple}, u"apple"_s);

    // Wrong things in the entry rows reach the reader as the separate
    // tables' would.
    row("entry word NULL", firstRow(u"entry"_s, u"word = NULL"_s), true,
        {kGetName + u"(stringPtr == NULL)"_s,
         kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kGetName + u"(stringPtr == NULL)"_s, kGetAll + u"(stringPtr == NULL)"_s,
         kGetLink + u"(stringPtr == NULL)"_s, kGetLink + u"(stringPtr == NULL)"_s,
         kEqualFn + u"(stringPtr == NULL)"_s, kKeywordFn + u"(stringPtr == NULL)"_s,
         kKeywordFn + u"(stringPtr == NULL)"_s},
        {u"index=- avocado banana cherry"_s, u"word 1=-"_s, u"entry 1=-"_s, u"page 1=-"_s,
         u"media=-"_s, u"link 1=-"_s, u"link 2=-"_s, u"search="_s},
        u"apple"_s);
    row("entry word not UTF-8", firstRow(u"entry"_s, u"word = X'C0'"_s), true,
        {kGetName + u"(name == nil)"_s,
         kItemName + u"(![self getName:&name atItemID:headwordID])"_s,
         kGetName + u"(name == nil)"_s, kGetAll + u"(wordString == nil)"_s,
         kGetLink + u"(wordString == nil)"_s, kGetLink + u"(wordString == nil)"_s},
        {u"index=- avocado banana cherry"_s, u"word 1=-"_s, u"entry 1=-"_s, u"page 1=-"_s,
         u"media=-"_s, u"link 1=-"_s, u"link 2=-"_s});
    row("entry contents IDs not numbers", firstRow(u"entry"_s, u"contents_ids = 'x'"_s), true,
        {kPage + u"(retval != SQLITE_ROW)"_s, kPage + u"(!succeed)"_s,
         kPage + u"(object != nil)"_s, u"contentsIDArrayFromString: (contentsID <= 0)"_s,
         u"contentsIDArrayFromString: (component != nil)"_s},
        {u"entry 1=apple | apple#1 apple#2 | x"_s, u"page 1=-"_s, u"media=-"_s,
         u"search="_s + kWhole + u" / apple|apple#1\tapple#2|nil"_s},
        u"apple"_s);
    row("link row fragment NULL", firstRow(u"link_row"_s, u"fragment = NULL"_s), true,
        {kGetLink + u"(stringPtr == NULL)"_s}, {u"link 1=-"_s});
    row("link row contents ID text", firstRow(u"link_row"_s, u"contents_id = 'abc'"_s), true,
        {kGetLink + u"(contentsID <= 0)"_s}, {u"link 1=-"_s});

    // A damaged page under the entry rows: every lookup through them fails,
    // and the search ends with what it could read.
    const auto failedStep = [](const QString &function) {
        return QStringList{function + u"(retval != SQLITE_ROW)"_s, function + kSqlite};
    };
    QStringList pageReports;
    for (int id = 1; id <= 4; ++id)
        pageReports += failedStep(kGetName) +
                       QStringList{kItemName + u"(![self getName:&name atItemID:headwordID])"_s};
    for (int id = 1; id <= 4; ++id)
        pageReports += failedStep(kGetName) + failedStep(kGetAll);
    QStringList nothingRead = {u"index=- - - -"_s, u"media=-"_s, u"search="_s};
    for (int id = 1; id <= 5; ++id) {
        pageReports += failedStep(kGetLink);
        nothingRead.append(u"link %1=-"_s.arg(id));
        for (const char *key : {"word", "entry", "page"}) {
            if (id <= 4)
                nothingRead.append(u"%1 %2=-"_s.arg(QLatin1String(key)).arg(id));
        }
    }
    row("entry rows page", u"scramble:2"_s, true, pageReports + QStringList{kKeywordFn + kSqlite},
        nothingRead, u"a"_s);
}

void TestDamagedBundles::damagedSharedTables()
{
    checkDamaged(WLTableLayout::Shared);
}

void TestDamagedBundles::sameFileForEveryRole_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("reports");

    // The link index is read first of all, and this file has none.
    QTest::newRow("the headword file")
        << u"headword.db"_s << false
        << QStringList{kIndex + kSqlite, kLink + u"(mContentsLinkIndexRangeArray == nil)"_s,
                       kInit + u"(![self prepareContentsLinkDatabase:info])"_s};
    // Each role opens a connection of its own on the one file.
    QTest::newRow("one file with every table") << u"all.db"_s << true << QStringList();
}

void TestDamagedBundles::sameFileForEveryRole()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    QFETCH(QStringList, reports);

    const QMap<QString, QString> expected = pristineWalkWith({});
    WLStoreFixture bundle;
    QString merge;
    for (const auto &[database, tables] :
         {std::pair{u"headword"_s, QStringList{u"headword"_s, u"headword_index"_s}},
          {u"link"_s, {u"link"_s, u"link_index"_s}},
          {u"contents"_s, {u"contents"_s, u"contents_index"_s}},
          {u"search"_s, {u"search"_s, u"search_index"_s}},
          {u"equal"_s, {u"equal_search"_s, u"equal_search_index"_s}},
          {u"media"_s, {u"pictures"_s}}}) {
        merge += u"ATTACH '%1' AS %2;"_s.arg(bundle.filePath(database + u".db"_s), database);
        for (const QString &table : tables)
            merge += u"CREATE TABLE %1 AS SELECT * FROM %2.%1;"_s.arg(table, database);
        merge += u"DETACH %1;"_s.arg(database);
    }
    bundle.damage(u"all.db"_s, merge);
    for (auto it = bundle.info.begin(); it != bundle.info.end(); ++it) {
        if (it.key().endsWith(u"DatabaseFileName"_s))
            it.value() = file;
    }
    QVariantList media = bundle.info.value(u"KXPropAdditionsTableArray"_s).toList();
    QCOMPARE(media.size(), 1);
    QVariantMap pictures = media.first().toMap();
    pictures.insert(u"KXPropAdditionsDatabaseFileName"_s, file);
    bundle.info.insert(u"KXPropAdditionsTableArray"_s, QVariantList{pictures});

    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = bundle.open();
    QCOMPARE(database != nullptr, opens);
    if (database)
        QCOMPARE(walkDictionary(*database), expected);
    database.reset();
    QCOMPARE(capture.reports(), reports);
    QVERIFY(bundle.untouched());
}

void TestDamagedBundles::namesHoldingSql_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("reports");

    const auto quoted = [](QString name) { return u'"' + name.replace(u'"', u"\"\""_s) + u'"'; };
    // A name with a quote, spaces, a semicolon and SQL that would end the
    // statement: the dictionary reads as before under it.
    const auto crafted = [](const QString &name) {
        return name + u"\"; DROP TABLE x; --"_s;
    };
    const std::tuple<const char *, const char *, const char *> tables[] = {
        {"headword.db", "headword", "KXPropHeadwordTableName"},
        {"headword.db", "headword_index", "KXPropHeadwordIndexTableName"},
        {"link.db", "link", "KXPropContentsLinkTableName"},
        {"link.db", "link_index", "KXPropContentsLinkIndexTableName"},
        {"contents.db", "contents", "KXPropContentsTableName"},
        {"contents.db", "contents_index", "KXPropContentsIndexTableName"},
        {"search.db", "search", "KXPropSearchTableName"},
        {"search.db", "search_index", "KXPropSearchIndexTableName"},
        {"equal.db", "equal_search", "KXPropEqualSearchTableName"},
        {"equal.db", "equal_search_index", "KXPropEqualSearchIndexTableName"},
    };
    for (const auto &[file, table, key] : tables) {
        const QString name = crafted(QString::fromLatin1(table));
        QTest::addRow("table %s", table)
            << QString::fromLatin1(file)
            << u"ALTER TABLE %1 RENAME TO %2;"_s.arg(QString::fromLatin1(table), quoted(name))
            << QString::fromLatin1(key) << name << QStringList();
    }
    const std::tuple<const char *, const char *, const char *, const char *> columns[] = {
        {"headword.db", "headword", "word", "KXPropHeadwordWordColumn"},
        {"contents.db", "contents_index", "letter", "KXPropContentsIndexLetterColumn"},
        {"media.db", "pictures", "data", "KXPropAdditionsDataColumn"},
    };
    for (const auto &[file, table, column, key] : columns) {
        const QString name = crafted(QString::fromLatin1(column));
        QTest::addRow("column %s", column)
            << QString::fromLatin1(file)
            << u"ALTER TABLE %1 RENAME COLUMN %2 TO %3;"_s.arg(QString::fromLatin1(table),
                                                                QString::fromLatin1(column),
                                                                quoted(name))
            << QString::fromLatin1(key) << name << QStringList();
    }
    // Pasted into the statement, these would make a query of their own:
    // each is one name, which no table has.
    const QStringList headwordFails = {kHeadword + kSqlite,
                                       kInit + u"(![self prepareHeadwordDatabase2:info])"_s};
    QTest::newRow("column ending the statement")
        << u"headword.db"_s << u"SELECT 1;"_s << u"KXPropHeadwordWordColumn"_s
        << u"word FROM headword WHERE 0; --"_s << headwordFails;
    QTest::newRow("table with a union")
        << u"contents.db"_s << u"SELECT 1;"_s << u"KXPropContentsTableName"_s
        << u"contents UNION SELECT data, additions FROM contents"_s
        << QStringList{kContents + kSqlite, kInit + u"(![self prepareContentsDatabase:info])"_s};
    QTest::newRow("name with an open quote")
        << u"headword.db"_s << u"SELECT 1;"_s << u"KXPropHeadwordTableName"_s << u"headword\""_s
        << headwordFails;
    QTest::newRow("name of spaces") << u"headword.db"_s << u"SELECT 1;"_s
                                    << u"KXPropHeadwordIDColumn"_s << u"  "_s << headwordFails;
}

void TestDamagedBundles::namesHoldingSql()
{
    QFETCH(QString, file);
    QFETCH(QString, how);
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QStringList, reports);

    WLStoreFixture bundle;
    bundle.damage(file, how);
    if (key.startsWith(u"KXPropAdditions"_s)) {
        QVariantList media = bundle.info.value(u"KXPropAdditionsTableArray"_s).toList();
        QVariantMap pictures = media.first().toMap();
        pictures.insert(key, name);
        bundle.info.insert(u"KXPropAdditionsTableArray"_s, QVariantList{pictures});
    } else {
        QVERIFY(bundle.info.contains(key));
        bundle.info.insert(key, name);
    }
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = bundle.open();
    QCOMPARE(database != nullptr, reports.isEmpty());
    if (database)
        QCOMPARE(walkDictionary(*database), pristineWalkWith({}));
    database.reset();
    QCOMPARE(capture.reports(), reports);
    QVERIFY(bundle.untouched());
}

QTEST_GUILESS_MAIN(TestDamagedBundles)
#include "tst_damagedbundles.moc"

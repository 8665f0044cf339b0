#include "WLSearchSession.h"
#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLPropertyList.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <filesystem>
#include <iterator>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<WLColor>)

namespace {

const QString kInit = u"-[WLDatabase initWithPropertyListFile:]"_s;
const QString kLink = u"-[WLDatabase prepareContentsLinkDatabase:]"_s;
const QString kHeadword = u"-[WLDatabase prepareHeadwordDatabase2:]"_s;
const QString kContents = u"-[WLDatabase prepareContentsDatabase:]"_s;
const QString kContentsIndex = u"-[WLDatabase prepareContentsIndex:]"_s;

QString report(const QString &function, const QString &condition)
{
    return function + u": ("_s + condition + u')';
}

struct RequiredKey
{
    QString key;
    QString condition;
};

// One group of required keys in the order they are checked, with the
// method that reads them and the line the opening adds when it fails.
struct RequiredGroup
{
    QString function;
    QString step;
    QList<RequiredKey> keys;
};

QList<RequiredGroup> requiredGroups()
{
    const QString number = u"![number isKindOfClass:[NSNumber class]]"_s;
    return {
        {kLink,
         u"![self prepareContentsLinkDatabase:info]"_s,
         {{u"KXPropContentsLinkDatabaseFileName"_s, u"databaseFileName == nil"_s},
          {u"KXPropContentsLinkIndexTableName"_s, u"tableName == nil"_s},
          {u"KXPropContentsLinkIndexIDColumn"_s, u"idColumn == nil"_s},
          {u"KXPropContentsLinkIndexLetterColumn"_s, u"letterColumn == nil"_s},
          {u"KXPropContentsLinkIndexOffsetColumn"_s, u"offsetColumn == nil"_s},
          {u"KXPropContentsLinkIndexCountColumn"_s, u"countColumn == nil"_s},
          {u"KXPropContentsLinkTableName"_s, u"tableName == nil"_s},
          {u"KXPropContentsLinkIDColumn"_s, u"idColumn == nil"_s},
          {u"KXPropContentsLinkWordColumn"_s, u"wordColumn == nil"_s},
          {u"KXPropContentsLinkLinkColumn"_s, u"linkColumn == nil"_s},
          {u"KXPropContentsLinkContentsIDColumn"_s, u"contentsIDColumn == nil"_s}}},
        {kHeadword,
         u"![self prepareHeadwordDatabase2:info]"_s,
         {{u"KXPropHeadwordDatabaseFileName"_s, u"name == nil"_s},
          {u"KXPropHeadwordTableName"_s, u"tableName == nil"_s},
          {u"KXPropHeadwordIDColumn"_s, u"idColumn == nil"_s},
          {u"KXPropHeadwordLookColumn"_s, u"lookColumn == nil"_s},
          {u"KXPropHeadwordWordColumn"_s, u"wordColumn == nil"_s},
          {u"KXPropHeadwordLinksColumn"_s, u"linksColumn == nil"_s},
          {u"KXPropHeadwordContentsIDsColumn"_s, u"contentsIDsColumn == nil"_s},
          {u"KXPropHeadwordIndexTableName"_s, u"tableName == nil"_s},
          {u"KXPropHeadwordIndexIDColumn"_s, u"idColumn == nil"_s},
          {u"KXPropHeadwordIndexLetterColumn"_s, u"letterColumn == nil"_s},
          {u"KXPropHeadwordIndexOffsetColumn"_s, u"offsetColumn == nil"_s},
          {u"KXPropHeadwordIndexCountColumn"_s, u"countColumn == nil"_s}}},
        {kContents,
         u"![self prepareContentsDatabase:info]"_s,
         {{u"KXPropContentsStorageType"_s, number},
          {u"KXPropContentsDatabaseFileName"_s, u"![name isKindOfClass:[NSString class]]"_s},
          {u"KXPropContentsTableName"_s, u"tableName == nil"_s},
          {u"KXPropContentsDataColumn"_s, u"dataColumn == nil"_s},
          {u"KXPropContentsAdditionColumn"_s, u"additionsColumn == nil"_s},
          {u"KXPropContentsIDColumn"_s, u"idColumn == nil"_s}}},
        // Read by the opening itself: only its own line.
        {kInit,
         QString(),
         {{u"KXPropDatabaseTitle"_s, u"mTitle == nil"_s},
          {u"KXPropContentsRepresentationType"_s, number},
          {u"KXPropHTMLCharset"_s, u"mHTMLCharset == nil"_s},
          {u"KXPropHTMLHeaderString"_s, u"name == nil"_s},
          {u"KXPropHTMLFooterString"_s, u"name == nil"_s}}},
    };
}

// Files of the directory that this process holds open.
int openFilesUnder(const QString &directory)
{
    const std::string root = QDir(directory).canonicalPath().toStdString();
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (!error && target.starts_with(root))
            ++count;
    }
    return count;
}

// Threads of this process.
int threadCount()
{
    return int(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                             std::filesystem::directory_iterator()));
}

} // namespace

class TestWLDatabaseOpening : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void opens();
    void requiredKeys_data();
    void requiredKeys();
    void damagedDescriptions_data();
    void damagedDescriptions();
    void failedOpeningReleasesEverything_data();
    void failedOpeningReleasesEverything();
    void needsResourceDirectory();
    void optionalGroups_data();
    void optionalGroups();
    void settingsHidden_data();
    void settingsHidden();
    void appearance();
    void colorWithString_data();
    void colorWithString();
    void firstOpeningIsShared();
    void cleanupTwice();
    void cleanupStopsTheWorker();

private:
    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLDatabaseOpening::initTestCase()
{
    // SQLite sets up its process-wide state on first use; the leak checks
    // below compare against memory in use after that.
    WLStoreFixture fixture;
    QVERIFY(fixture.open());
}

void TestWLDatabaseOpening::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
}

void TestWLDatabaseOpening::cleanup()
{
    m_fixture.reset();
}

void TestWLDatabaseOpening::opens()
{
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(capture.reports(), QStringList());
    QCOMPARE(database->title(), u"Fixture Dictionary"_s);
    QCOMPARE(database->htmlEncoding(), u"UTF-8"_s);
    QCOMPARE(database->contentsRepType(), 0u);
    QVERIFY(database->isSupportLargeFont());
    QVERIFY(!database->settingsHidden());
    QVERIFY(database->contentsIndexRangeArray());
    QCOMPARE(database->contentsIndexRangeArray()->size(), 3);
    QVERIFY(database->contentsLinkIndexRangeArray());
    QCOMPARE(database->contentsLinkIndexRangeArray()->first(), (WLIndexRangeRecord{u"a"_s, 1, 3}));
}

void TestWLDatabaseOpening::requiredKeys_data()
{
    // Each row takes out one key and every key checked after it in its
    // group, so the report also shows the order of checking.
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("reports");
    for (const RequiredGroup &group : requiredGroups()) {
        for (qsizetype i = 0; i < group.keys.size(); ++i) {
            QStringList removed;
            for (qsizetype j = i; j < group.keys.size(); ++j)
                removed << group.keys[j].key;
            QStringList reports{report(group.function, group.keys[i].condition)};
            if (!group.step.isEmpty())
                reports << report(kInit, group.step);
            QTest::addRow("%s", qPrintable(group.keys[i].key)) << removed << reports;
        }
    }
}

void TestWLDatabaseOpening::requiredKeys()
{
    QFETCH(QStringList, removed);
    QFETCH(QStringList, reports);
    for (const QString &key : removed)
        m_fixture->info.remove(key);
    StderrCapture capture;
    QVERIFY(!m_fixture->open());
    QCOMPARE(capture.reports(), reports);
}

void TestWLDatabaseOpening::damagedDescriptions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("reports");

    const QString contentsStep = report(kInit, u"![self prepareContentsDatabase:info]"_s);
    const QString number = u"![number isKindOfClass:[NSNumber class]]"_s;
    QTest::newRow("representation as text")
        << u"KXPropContentsRepresentationType"_s << QVariant(u"0"_s)
        << QStringList{report(kInit, number)};
    QTest::newRow("TEXT representation")
        << u"KXPropContentsRepresentationType"_s << QVariant(qint64(1))
        << QStringList{kInit + u": Unsupport TEXT contents representation"_s};
    QTest::newRow("XML representation")
        << u"KXPropContentsRepresentationType"_s << QVariant(qint64(2))
        << QStringList{kInit + u": Unsupport XML contents representation"_s};
    QTest::newRow("unknown representation")
        << u"KXPropContentsRepresentationType"_s << QVariant(qint64(7))
        << QStringList{kInit + u": Invalid contents representation type (7)"_s};
    QTest::newRow("storage type 3")
        << u"KXPropContentsStorageType"_s << QVariant(qint64(3))
        << QStringList{kContents + u": Invalid storage type (3)"_s, contentsStep};
    QTest::newRow("storage type as text") << u"KXPropContentsStorageType"_s << QVariant(u"0"_s)
                                          << QStringList{report(kContents, number), contentsStep};
    QTest::newRow("contents file name as number")
        << u"KXPropContentsDatabaseFileName"_s << QVariant(qint64(5))
        << QStringList{report(kContents, u"![name isKindOfClass:[NSString class]]"_s),
                       contentsStep};
    QTest::newRow("missing contents file")
        << u"KXPropContentsDatabaseFileName"_s << QVariant(u"missing.db"_s)
        << QStringList{report(kContents, u"retval != SQLITE_OK"_s), contentsStep};
    // Values that are not text count as missing.
    QTest::newRow("title as number") << u"KXPropDatabaseTitle"_s << QVariant(qint64(5))
                                     << QStringList{report(kInit, u"mTitle == nil"_s)};
    QTest::newRow("charset as number") << u"KXPropHTMLCharset"_s << QVariant(qint64(5))
                                       << QStringList{report(kInit, u"mHTMLCharset == nil"_s)};
    QTest::newRow("header as number") << u"KXPropHTMLHeaderString"_s << QVariant(qint64(5))
                                      << QStringList{report(kInit, u"name == nil"_s)};
    QTest::newRow("footer as array") << u"KXPropHTMLFooterString"_s << QVariant(QVariantList{})
                                     << QStringList{report(kInit, u"name == nil"_s)};
    QTest::newRow("unknown charset")
        << u"KXPropHTMLCharset"_s << QVariant(u"no-such-charset"_s)
        << QStringList{report(kInit, u"cfStringEncoding == kCFStringEncodingInvalidId"_s)};
    QTest::newRow("header not in charset")
        << u"KXPropHTMLHeaderString"_s << QVariant(u"<p>café"_s)
        << QStringList{report(kInit, u"mHTMLHeaderData == nil"_s)};
    QTest::newRow("large header not in charset")
        << u"KXPropHTMLHeaderString2"_s << QVariant(u"<p>café"_s)
        << QStringList{report(kInit, u"mHTMLHeaderData2 == nil"_s)};
    QTest::newRow("footer not in charset")
        << u"KXPropHTMLFooterString"_s << QVariant(u"café</p>"_s)
        << QStringList{report(kInit, u"mHTMLFooterData == nil"_s)};
    QTest::newRow("separator not in charset")
        << u"KXPropHTMLSeparatorString"_s << QVariant(u"<hr>–"_s)
        << QStringList{report(kInit, u"mHTMLSeparatorData == nil"_s)};
    QTest::newRow("missing link file")
        << u"KXPropContentsLinkDatabaseFileName"_s << QVariant(u"missing.db"_s)
        << QStringList{u"createIndexRangeArray: (retval != SQLITE_OK)"_s,
                       report(kLink, u"mContentsLinkIndexRangeArray == nil"_s),
                       report(kInit, u"![self prepareContentsLinkDatabase:info]"_s)};
    const QString headwordStep = report(kInit, u"![self prepareHeadwordDatabase2:info]"_s);
    QTest::newRow("missing headword file")
        << u"KXPropHeadwordDatabaseFileName"_s << QVariant(u"missing.db"_s)
        << QStringList{report(kHeadword, u"![fm fileExistsAtPath:path isDirectory:&isDirectory]"_s),
                       headwordStep};
    QTest::newRow("headword file is a directory")
        << u"KXPropHeadwordDatabaseFileName"_s << QVariant(u"folder"_s)
        << QStringList{report(kHeadword, u"isDirectory"_s), headwordStep};
}

void TestWLDatabaseOpening::damagedDescriptions()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QStringList, reports);
    QVERIFY(QDir(m_fixture->directory()).mkdir(u"folder"_s));
    m_fixture->info.insert(key, value);
    if (key.startsWith(u"KXPropHTML"_s) && key != u"KXPropHTMLCharset"_s)
        m_fixture->info.insert(u"KXPropHTMLCharset"_s, u"US-ASCII"_s);
    StderrCapture capture;
    QVERIFY(!m_fixture->open());
    QCOMPARE(capture.reports(), reports);
    // Dictionary files are only read: a missing one is never created.
    QVERIFY(!QFile::exists(m_fixture->filePath(u"missing.db"_s)));
}

void TestWLDatabaseOpening::failedOpeningReleasesEverything_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("opened") << QString() << QVariant();
    QTest::newRow("link table") << u"KXPropContentsLinkWordColumn"_s << QVariant(u"x"_s);
    QTest::newRow("headword list") << u"KXPropHeadwordWordColumn"_s << QVariant(u"x"_s);
    QTest::newRow("section table") << u"KXPropHeadwordIndexTableName"_s << QVariant(u"x"_s);
    QTest::newRow("contents") << u"KXPropContentsDataColumn"_s << QVariant(u"x"_s);
    QTest::newRow("representation") << u"KXPropContentsRepresentationType"_s << QVariant(qint64(1));
    QTest::newRow("charset") << u"KXPropHTMLCharset"_s << QVariant(u"no-such-charset"_s);
    QTest::newRow("footer") << u"KXPropHTMLFooterString"_s << QVariant(qint64(1));
}

// A failed opening (or the end of a good one) leaves no connection open and
// no statement alive: SQLite's memory in use returns to where it was.
void TestWLDatabaseOpening::failedOpeningReleasesEverything()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    if (!key.isEmpty())
        m_fixture->info.insert(key, value);
    const QString path = m_fixture->writeInfo();
    const sqlite3_int64 memoryBefore = sqlite3_memory_used();
    StderrCapture capture;
    {
        std::unique_ptr<WLDatabase> database = WLDatabase::initWithPropertyListFile(path);
        QCOMPARE(bool(database), key.isEmpty());
        if (database)
            QVERIFY(openFilesUnder(m_fixture->directory()) > 0);
    }
    // Statements went before their connections: no close failed.
    QCOMPARE(capture.reports().filter(u"cleanup"_s), QStringList());
    QCOMPARE(openFilesUnder(m_fixture->directory()), 0);
    QCOMPARE(sqlite3_memory_used(), memoryBefore);
}

void TestWLDatabaseOpening::needsResourceDirectory()
{
    const QString path = m_fixture->writeInfo();
    WLBundle::setResourcePath(QString());
    StderrCapture capture;
    QVERIFY(!WLDatabase::initWithPropertyListFile(path));
    QVERIFY(!WLDatabase::initWithPropertyListFile(m_fixture->filePath(u"none.plist"_s)));
    WLBundle::setResourcePath(m_fixture->directory());
    QVERIFY(!WLDatabase::initWithPropertyListFile(m_fixture->filePath(u"none.plist"_s)));
    QFile array(m_fixture->filePath(u"array.plist"_s));
    QVERIFY(array.open(QIODevice::WriteOnly));
    array.write(WLPropertyList::toData(QVariantList{u"a"_s}));
    array.close();
    QVERIFY(!WLDatabase::initWithPropertyListFile(array.fileName()));
    QCOMPARE(capture.reports(),
             (QStringList{report(kInit, u"resourcePath == nil"_s),
                          report(kInit, u"resourcePath == nil"_s), report(kInit, u"data == nil"_s),
                          report(kInit, u"![info isKindOfClass:[NSDictionary class]]"_s)}));
}

void TestWLDatabaseOpening::optionalGroups_data()
{
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<bool>("contentsIndex");
    QTest::addColumn<bool>("largeFont");
    QTest::addColumn<bool>("separator");

    const QStringList contentsIndex{
        u"KXPropContentsIndexDatabaseFileName"_s, u"KXPropContentsIndexTableName"_s,
        u"KXPropContentsIndexIDColumn"_s,         u"KXPropContentsIndexLetterColumn"_s,
        u"KXPropContentsIndexOffsetColumn"_s,     u"KXPropContentsIndexCountColumn"_s};
    QTest::newRow("no contents index")
        << contentsIndex << QString() << QVariant() << QStringList() << false << true << true;
    QTest::newRow("contents index without a table name")
        << QStringList{u"KXPropContentsIndexTableName"_s} << QString() << QVariant()
        << QStringList{report(kContentsIndex, u"tableName == nil"_s)} << false << true << true;
    QTest::newRow("contents index without a count column")
        << QStringList{u"KXPropContentsIndexCountColumn"_s} << QString() << QVariant()
        << QStringList{report(kContentsIndex, u"countColumn == nil"_s)} << false << true << true;
    QTest::newRow("unreadable contents index")
        << QStringList() << u"KXPropContentsIndexDatabaseFileName"_s << QVariant(u"missing.db"_s)
        << QStringList{u"createIndexRangeArray: (retval != SQLITE_OK)"_s,
                       report(kContentsIndex, u"indexRangeArray == nil"_s)}
        << false << true << true;
    QTest::newRow("no large header") << QStringList{u"KXPropHTMLHeaderString2"_s} << QString()
                                     << QVariant() << QStringList() << true << false << true;
    QTest::newRow("large header as number")
        << QStringList() << u"KXPropHTMLHeaderString2"_s << QVariant(qint64(1)) << QStringList()
        << true << false << true;
    QTest::newRow("empty large header")
        << QStringList() << u"KXPropHTMLHeaderString2"_s << QVariant(QString(u""_s))
        << QStringList() << true << true << true;
    QTest::newRow("no separator") << QStringList{u"KXPropHTMLSeparatorString"_s} << QString()
                                  << QVariant() << QStringList() << true << true << false;
    QTest::newRow("separator as number")
        << QStringList() << u"KXPropHTMLSeparatorString"_s << QVariant(qint64(1)) << QStringList()
        << true << true << false;
}

void TestWLDatabaseOpening::optionalGroups()
{
    QFETCH(QStringList, removed);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QStringList, reports);
    QFETCH(bool, contentsIndex);
    QFETCH(bool, largeFont);
    QFETCH(bool, separator);
    for (const QString &name : removed)
        m_fixture->info.remove(name);
    if (!key.isEmpty())
        m_fixture->info.insert(key, value);
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(database->contentsIndexRangeArray().has_value(), contentsIndex);
    QCOMPARE(database->isSupportLargeFont(), largeFont);
    const std::optional<QByteArray> page = database->newHtmlDataForIDs(QVariantList{1, 2}, false);
    QVERIFY(page);
    QCOMPARE(page->contains("<hr>"), separator);
}

void TestWLDatabaseOpening::settingsHidden_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("absent") << QVariant() << false;
    QTest::newRow("true") << QVariant(true) << true;
    QTest::newRow("false") << QVariant(false) << false;
    QTest::newRow("number 1") << QVariant(qint64(1)) << true;
    QTest::newRow("number 0") << QVariant(qint64(0)) << false;
    QTest::newRow("text YES") << QVariant(u"YES"_s) << false;
}

void TestWLDatabaseOpening::settingsHidden()
{
    QFETCH(QVariant, value);
    QFETCH(bool, hidden);
    if (value.isValid())
        m_fixture->info.insert(u"KXPropSettingsHidden"_s, value);
    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(database->settingsHidden(), hidden);
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseOpening::appearance()
{
    QFile image(m_fixture->filePath(u"paper.png"_s));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write("png");
    image.close();
    const QString paper = image.fileName();
    const QString missing = u"missing.png"_s;
    QVariantMap &info = m_fixture->info;
    info.insert(u"KXPropDatabaseIconFileName"_s, u"paper.png"_s);
    info.insert(u"KXPropUIBackgroundImageFileName"_s, missing);
    info.insert(u"KXPropUIBackgroundColor"_s, u"0.1, 0.2, 0.3"_s);
    info.insert(u"KXPropUITextColor"_s, u"0.5, 0.5"_s); // bad: reported first
    info.insert(u"KXPropUIIndexBackgroundImageFileName"_s, u"paper.png"_s);
    info.insert(u"KXPropUIIndexBackgroundColor"_s, u"1,1,1"_s);
    info.insert(u"KXPropUISearchTextColor"_s, u"0,0,1"_s);
    info.insert(u"KXPropUIBookmarksBackgroundImageFileName"_s, u"paper.png"_s);
    info.insert(u"KXPropUIBookmarksNotesTextColor"_s, u"0.25,0.5,0.75"_s);
    info.insert(u"KXPropUIHistoryBackgroundImageFileName"_s, u"paper.png"_s);
    info.insert(u"KXPropUIHistoryTextColor"_s, u"#FF0000"_s); // bad: reported second

    StderrCapture capture;
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    const QString color = u"-[WLDatabase colorWithString:]"_s;
    QCOMPARE(capture.reports(),
             (QStringList{report(color, u"![scanner scanString:@\",\" intoString:nil]"_s),
                          report(color, u"![scanner scanFloat:&r]"_s)}));
    QCOMPARE(database->iconImage(), paper);
    QCOMPARE(database->backgroundImage(), QString());
    QCOMPARE(database->backgroundColor(), (WLColor{0.1, 0.2, 0.3, 1}));
    QCOMPARE(database->textColor(), std::nullopt);
    QCOMPARE(database->indexBackgroundImage(), paper);
    QCOMPARE(database->indexBackgroundColor(), (WLColor{1, 1, 1, 1}));
    QCOMPARE(database->indexTextColor(), std::nullopt);
    QCOMPARE(database->searchBackgroundImage(), QString());
    QCOMPARE(database->searchBackgroundColor(), std::nullopt);
    QCOMPARE(database->searchTextColor(), (WLColor{0, 0, 1, 1}));
    QCOMPARE(database->bookmarksBackgroundImage(), paper);
    QCOMPARE(database->bookmarksBackgroundColor(), std::nullopt);
    QCOMPARE(database->bookmarksTextColor(), std::nullopt);
    QCOMPARE(database->bookmarksNotesTextColor(), (WLColor{0.25, 0.5, 0.75, 1}));
    QCOMPARE(database->historyBackgroundImage(), paper);
    QCOMPARE(database->historyBackgroundColor(), std::nullopt);
    QCOMPARE(database->historyTextColor(), std::nullopt);

    database->cleanup();
    QCOMPARE(database->iconImage(), QString());
    QCOMPARE(database->backgroundColor(), std::nullopt);
    QCOMPARE(database->bookmarksNotesTextColor(), std::nullopt);
    QCOMPARE(database->title(), QString());
}

void TestWLDatabaseOpening::colorWithString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<WLColor>>("color");
    QTest::addColumn<QString>("condition");

    const std::optional<WLColor> none;
    QTest::newRow("commas") << u"0.2,0.4,0.6"_s << std::optional(WLColor{0.2, 0.4, 0.6, 1})
                            << QString();
    QTest::newRow("white space and trailing text")
        << u" 0.2 ,\t0.4\n, 0.6 and more"_s << std::optional(WLColor{0.2, 0.4, 0.6, 1})
        << QString();
    QTest::newRow("signs, exponents, bare points")
        << u"+1e-1,.5,-2."_s << std::optional(WLColor{0.1, 0.5, -2, 1}) << QString();
    QTest::newRow("not divided") << u"255, 0, 128"_s << std::optional(WLColor{255, 0, 128, 1})
                                 << QString();
    QTest::newRow("absent") << QString() << none << QString();
    QTest::newRow("empty") << u""_s << none << u"![scanner scanFloat:&r]"_s;
    QTest::newRow("hexadecimal") << u"#FF0000"_s << none << u"![scanner scanFloat:&r]"_s;
    QTest::newRow("semicolons") << u"0.2;0.4;0.6"_s << none
                                << u"![scanner scanString:@\",\" intoString:nil]"_s;
    QTest::newRow("no green") << u"0.2, x"_s << none << u"![scanner scanFloat:&g]"_s;
    QTest::newRow("second comma missing")
        << u"0.2, 0.4 0.6"_s << none << u"![scanner scanString:@\",\" intoString:nil]"_s;
    QTest::newRow("nothing after the second comma")
        << u"0.2,0.4,"_s << none << u"![scanner scanFloat:&b]"_s;
    QTest::newRow("beyond a double")
        << u"1e999, 0, 1e-999"_s << std::optional(WLColor{qInf(), 0, 0, 1}) << QString();
}

void TestWLDatabaseOpening::colorWithString()
{
    QFETCH(QString, text);
    QFETCH(std::optional<WLColor>, color);
    QFETCH(QString, condition);
    StderrCapture capture;
    QCOMPARE(WLDatabase::colorWithString(text), color);
    const QStringList reports =
        condition.isEmpty() ? QStringList()
                            : QStringList{report(u"-[WLDatabase colorWithString:]"_s, condition)};
    QCOMPARE(capture.reports(), reports);
}

void TestWLDatabaseOpening::firstOpeningIsShared()
{
    QCOMPARE(WLDatabase::sharedDatabase(), nullptr);
    std::unique_ptr<WLDatabase> first = m_fixture->open();
    QVERIFY(first);
    QCOMPARE(WLDatabase::sharedDatabase(), first.get());
    std::unique_ptr<WLDatabase> second = m_fixture->open();
    QVERIFY(second);
    QCOMPARE(WLDatabase::sharedDatabase(), first.get());
    first.reset();
    QCOMPARE(WLDatabase::sharedDatabase(), nullptr);
    second.reset();
    // A failed opening never becomes the shared one.
    m_fixture->info.remove(u"KXPropDatabaseTitle"_s);
    StderrCapture capture;
    QVERIFY(!m_fixture->open());
    QCOMPARE(WLDatabase::sharedDatabase(), nullptr);
}

void TestWLDatabaseOpening::cleanupTwice()
{
    std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    database->invalidate();
    database->cleanup();
    QCOMPARE(openFilesUnder(m_fixture->directory()), 0);
    QCOMPARE(database->sectionCount(), 0u);
    QVERIFY(!database->contentsLinkIndexRangeArray());
    QVERIFY(!database->isSupportLargeFont());
    database.reset();
    QCOMPARE(capture.reports(), QStringList());
}

// Releasing the search statements and the lock under a running worker
// would leave it using freed handles: cleanup stops it first.
void TestWLDatabaseOpening::cleanupStopsTheWorker()
{
    const int threads = threadCount();
    std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(threadCount(), threads + 1);
    StderrCapture capture;
    WLSearchSession::of(*database)->setSearchKeywordOnThread(u"a"_s);
    database->cleanup();
    QCOMPARE(threadCount(), threads);
    QCOMPARE(openFilesUnder(m_fixture->directory()), 0);
    database.reset();
    QCOMPARE(capture.reports(), QStringList());
}

QTEST_GUILESS_MAIN(TestWLDatabaseOpening)
#include "tst_wldatabaseopening.moc"

#include "WLDatabaseMedia.h"
#include "WLDatabase.h"
#include "WLFileSystem.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kExtract = u"-[WLDatabase readDataForAdditionNamed:]"_s;
const QString kInit = u"-[WLDatabase initWithPropertyListFile:]"_s;
const QString kHTMLDirectory = u"-[WLDatabase prepareHTMLDirectory]"_s;
const QString kDataLoader = u"-[WLDatabase prepareDataLoader:]"_s;
const QString kAdditional = u"-[WLDatabase prepareAdditionalDatabase:]"_s;
const QString kTable = u"-[WLAdditionDatabase initWithAttributes:]"_s;
const QString kByName = u"-[WLAdditionDatabase getData:forName:]"_s;
const QString kByID = u"-[WLAdditionDatabase getData:name:forID:]"_s;

QString report(const QString &function, const QString &condition)
{
    return function + u": ("_s + condition + u')';
}

QVariantMap mediaTable(const QString &file, const QString &table)
{
    return {{u"KXPropAdditionsDatabaseFileName"_s, file},
            {u"KXPropAdditionsTableName"_s, table},
            {u"KXPropAdditionsIDColumn"_s, u"id"_s},
            {u"KXPropAdditionsNameColumn"_s, u"name"_s},
            {u"KXPropAdditionsDataColumn"_s, u"data"_s}};
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesBelow(const QString &directory)
{
    QStringList files;
    const QDir base(directory);
    const std::function<void(const QString &)> walk = [&](const QString &path) {
        const QFileInfoList entries = QDir(path).entryInfoList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir() && !entry.isSymLink())
                walk(entry.filePath());
            else
                files.append(base.relativeFilePath(entry.filePath()));
        }
    };
    walk(directory);
    return files;
}

// Removes whatever stands at a path, a link as a link.
void removeAnything(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        QFile::remove(path);
    else if (info.isDir())
        QDir(path).removeRecursively();
}

} // namespace

class TestWLDatabaseMedia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void pageDirectoryIsPrivateAndGoesAtShutdown();
    void directoriesLeftBehind_data();
    void directoriesLeftBehind();
    void pageDirectoryPerOpening();
    void refusesAnUnsafePageDirectory_data();
    void refusesAnUnsafePageDirectory();
    void extractsReferences_data();
    void extractsReferences();
    void secondRequestLeavesTheTableAlone();
    void listTriesEveryPiece_data();
    void listTriesEveryPiece();
    void pageAssemblyExtractsTheRowsMedia();
    void refusesReferencesLeavingTheDirectory_data();
    void refusesReferencesLeavingTheDirectory();
    void mediaSwitchedOff_data();
    void mediaSwitchedOff();
    void mediaOnWithoutTablesFailsTheOpening();
    void badTableEntriesAreLeftOut();
    void preloadsFiles();
    void refusesPreloadDestinationsOutside_data();
    void refusesPreloadDestinationsOutside();
    void preparesPathsByHand();

private:
    std::unique_ptr<WLDatabase> openWithMedia();
    QString privateDirectory() const;
    // The page directory of the one opening there is; empty without one.
    QString pageDirectory() const
    {
        const QStringList directories = QDir(privateDirectory()).entryList(
                {u"html-*"_s}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        return directories.size() == 1 ? privateDirectory() + u'/' + directories.first()
                                       : QString();
    }
    // Files named "escape..." anywhere in the temporary directory.
    QStringList escapedFiles() const
    {
        return filesBelow(m_tmp->path()).filter(QRegularExpression(u"(^|/)escape"_s));
    }

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLDatabaseMedia::initTestCase()
{
    // The page directory lives in the temporary directory: keep it ours.
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    qputenv("TMPDIR", QFile::encodeName(m_tmp->path()));
}

void TestWLDatabaseMedia::init()
{
    removeAnything(privateDirectory());
    m_fixture = std::make_unique<WLStoreFixture>();
    m_fixture->exec(u"media.db"_s, uR"(
        DROP TABLE pictures;
        CREATE TABLE pictures (id INTEGER PRIMARY KEY, name TEXT, data BLOB);
        INSERT INTO pictures VALUES (1, 'a.png', X'89504E4741'), (2, 'b.png', X'89504E4742'),
                                    (3, 'empty.png', X''), (4, NULL, X'4E4F4E414D45'),
                                    (12, 'twelve.png', X'3132');
        CREATE TABLE sounds (id INTEGER PRIMARY KEY, name TEXT, data BLOB);
        INSERT INTO sounds VALUES (1, 'a.aiff', X'464F524D');)"_s);
    m_fixture->info.insert(u"KXPropAdditionsDatabaseSupport"_s, true);
    m_fixture->info.insert(u"KXPropAdditionsTableArray"_s,
                           QVariantList{mediaTable(u"media.db"_s, u"pictures"_s),
                                        mediaTable(u"media.db"_s, u"sounds"_s)});
}

void TestWLDatabaseMedia::cleanup()
{
    m_fixture.reset();
    removeAnything(privateDirectory());
    removeAnything(m_tmp->path() + u"/elsewhere"_s);
}

QString TestWLDatabaseMedia::privateDirectory() const
{
    return m_tmp->path() + u"/wlreader-%1"_s.arg(::getuid());
}

std::unique_ptr<WLDatabase> TestWLDatabaseMedia::openWithMedia()
{
    return m_fixture->open();
}

void TestWLDatabaseMedia::pageDirectoryIsPrivateAndGoesAtShutdown()
{
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QCOMPARE(database->htmlBaseURL(), QUrl::fromLocalFile(pageDirectory() + u'/'));
    struct stat info;
    QCOMPARE(::lstat(QFile::encodeName(privateDirectory()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
    QVERIFY(database->readDataForAdditions(u"pictures/a.png\tsounds/a.aiff"_s));
    QCOMPARE(filesBelow(pageDirectory()), (QStringList{u"pictures/a.png"_s, u"sounds/a.aiff"_s}));
    database.reset();
    QVERIFY(!QFileInfo::exists(pageDirectory()));
    QVERIFY(QFileInfo(privateDirectory()).isDir());
}

void TestWLDatabaseMedia::directoriesLeftBehind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("removed");

    const quint64 ns = *WLFileSystem::processNamespace();
    const qint64 self = ::getpid();
    const quint64 start = *WLFileSystem::processStartTime(self);
    const auto name = [](quint64 space, qint64 pid, quint64 time) {
        return u"html-%1-%2-%3-aB3dE9"_s.arg(space).arg(pid).arg(time);
    };
    // No process has this ID: Linux never hands out IDs above 2^22.
    const QString ended = name(ns, 99999999, 1);
    QTest::newRow("ended process") << ended << u"directory"_s << true;
    QTest::newRow("ended process, a link") << ended << u"link"_s << true;
    QTest::newRow("ended process, a file") << ended << u"file"_s << true;
    QTest::newRow("this process") << name(ns, self, start) << u"directory"_s << false;
    // The same ID again, for a process started at another time.
    QTest::newRow("ID used again") << name(ns, self, start + 1) << u"directory"_s << true;
    const qint64 parent = ::getppid();
    QTest::newRow("another living process")
        << name(ns, parent, *WLFileSystem::processStartTime(parent)) << u"directory"_s << false;
    QTest::newRow("another namespace") << name(ns + 1, 99999999, 1) << u"directory"_s << false;
    QTest::newRow("not a page directory") << u"html"_s << u"directory"_s << false;
    QTest::newRow("name not ours") << u"html-%1-99999999-x-aB3dE9"_s.arg(ns) << u"directory"_s
                                   << false;
}

void TestWLDatabaseMedia::directoriesLeftBehind()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, removed);
    const QString elsewhere = m_tmp->path() + u"/elsewhere"_s;
    QVERIFY(QDir().mkpath(elsewhere + u"/pictures"_s));
    QVERIFY(QDir().mkpath(privateDirectory()));
    QVERIFY(QFile::setPermissions(privateDirectory(), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner));
    const QString left = privateDirectory() + u'/' + name;
    if (kind == u"directory") {
        QVERIFY(QDir().mkpath(left + u"/pictures"_s));
        QFile file(left + u"/pictures/a.png"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == u"link") {
        QVERIFY(QFile::link(elsewhere, left));
    } else {
        QFile file(left);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QCOMPARE(QFileInfo::exists(left) || QFileInfo(left).isSymLink(), !removed);
    QVERIFY(QFileInfo(elsewhere + u"/pictures"_s).isDir());
    QVERIFY(database->htmlBaseURL().toLocalFile() != left + u'/');
    QCOMPARE(capture.reports(), QStringList());
    removeAnything(left);
}

// Real processes: each opening has its own page directory, whatever the
// others do.
void TestWLDatabaseMedia::pageDirectoryPerOpening()
{
    // Two bundles whose pictures/a.png differ.
    const auto copyBundle = [this](const QString &name, const QByteArray &bytes) {
        m_fixture->exec(u"media.db"_s,
                        u"UPDATE pictures SET data = X'%1' WHERE name = 'a.png';"_s.arg(
                                QString::fromLatin1(bytes.toHex())));
        m_fixture->writeInfo();
        const QString directory = m_tmp->path() + u'/' + name;
        QDir().mkpath(directory);
        for (const QString &file : QDir(m_fixture->directory()).entryList(QDir::Files))
            QFile::copy(m_fixture->filePath(file), directory + u'/' + file);
        return directory + u"/DatabaseInfo.plist"_s;
    };
    const QString first = copyBundle(u"first"_s, "first bytes");
    const QString second = copyBundle(u"second"_s, "second bytes");
    const auto start = [](QProcess &child, const QString &description) {
        child.start(QStringLiteral(WL_PAGE_CHILD), {description, u"pictures/a.png"_s});
        if (!child.waitForReadyRead(60000))
            return QString();
        return QString::fromLocal8Bit(child.readLine()).trimmed();
    };
    QProcess one, two;
    const QString oneDirectory = start(one, first);
    const QString twoDirectory = start(two, second);
    QVERIFY2(!oneDirectory.isEmpty() && !twoDirectory.isEmpty(),
             (one.readAllStandardError() + two.readAllStandardError()).constData());
    QVERIFY(oneDirectory != twoDirectory);
    QCOMPARE(fileContents(oneDirectory + u"pictures/a.png"_s), QByteArray("first bytes"));
    QCOMPARE(fileContents(twoDirectory + u"pictures/a.png"_s), QByteArray("second bytes"));

    // One ends normally: its directory goes, the other's stays whole.
    one.closeWriteChannel();
    QVERIFY(one.waitForFinished(60000));
    QCOMPARE(one.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(oneDirectory));
    QCOMPARE(filesBelow(twoDirectory), QStringList{u"pictures/a.png"_s});
    QCOMPARE(fileContents(twoDirectory + u"pictures/a.png"_s), QByteArray("second bytes"));

    // The other is killed: what it left goes at the next opening.
    two.kill();
    QVERIFY(two.waitForFinished(60000));
    QVERIFY(QFileInfo::exists(twoDirectory));
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QVERIFY(!QFileInfo::exists(twoDirectory));
}

void TestWLDatabaseMedia::refusesAnUnsafePageDirectory_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("condition");
    QTest::newRow("private directory is a link") << u"link"_s << u"S_ISLNK(info.st_mode)"_s;
    QTest::newRow("private directory is a file") << u"file"_s << u"!S_ISDIR(info.st_mode)"_s;
    QTest::newRow("private directory writable by others")
            << u"open"_s << u"(info.st_mode & (S_IWGRP | S_IWOTH)) != 0"_s;
    QTest::newRow("private directory of another user")
            << u"foreign"_s << u"info.st_uid != getuid()"_s;
}

void TestWLDatabaseMedia::refusesAnUnsafePageDirectory()
{
    QFETCH(QString, setup);
    QFETCH(QString, condition);
    const QString elsewhere = m_tmp->path() + u"/elsewhere"_s;
    QVERIFY(QDir().mkpath(elsewhere));
    const QByteArray privatePath = QFile::encodeName(privateDirectory());
    if (setup == u"link") {
        QVERIFY(QFile::link(elsewhere, privateDirectory()));
    } else if (setup == u"file") {
        QFile file(privateDirectory());
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (setup == u"open") {
        QCOMPARE(::mkdir(privatePath.constData(), 0700), 0);
        QCOMPARE(::chmod(privatePath.constData(), 0777), 0);
    } else if (setup == u"foreign") {
        if (::getuid() != 0)
            QSKIP("only root can give a directory to another user");
        QCOMPARE(::mkdir(privatePath.constData(), 0700), 0);
        QCOMPARE(::chown(privatePath.constData(), 65534, 65534), 0);
    }
    m_fixture->info.insert(u"KXPropHTMLPreloadFiles"_s,
                           QVariantList{QVariantMap{{u"KXPropHTMLPreloadFileName"_s, u"media.db"_s},
                                                    {u"KXPropHTMLPreloadDestination"_s, u"x"_s}}});
    StderrCapture capture;
    QVERIFY(!openWithMedia());
    QCOMPARE(capture.reports(), (QStringList{report(kHTMLDirectory, condition),
                                             report(kInit, u"![self prepareHTMLDirectory]"_s)}));
    QVERIFY(QDir(elsewhere).isEmpty());
}

void TestWLDatabaseMedia::extractsReferences_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("written"); // relative path, empty: nothing
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("reports");

    const QStringList none;
    const QStringList pathCount{report(kExtract, u"(pathCount != 2) && (pathCount != 3)"_s)};
    const QString byName = u"![additionDatabase getData:&additionData forName:fileName]"_s;
    const QString byID = u"![additionDatabase getData:&additionData name:NULL forID:contentsID]"_s;
    const QString gotNothing = report(kExtract, u"gotData == NO"_s);

    QTest::newRow("by name") << u"pictures/a.png"_s << true << u"pictures/a.png"_s
                             << QByteArray("\x89PNGA") << none;
    QTest::newRow("second table") << u"sounds/a.aiff"_s << true << u"sounds/a.aiff"_s
                                  << QByteArray("FORM") << none;
    QTest::newRow("ID 12 under the reference's name")
            << u"pictures/x.png/12"_s << true << u"pictures/x.png"_s << QByteArray("12") << none;
    QTest::newRow("ID 0 looks up the name") << u"pictures/b.png/0"_s << true << u"pictures/b.png"_s
                                            << QByteArray("\x89PNGB") << none;
    QTest::newRow("ID without digits looks up the name")
            << u"pictures/b.png/abc"_s << true << u"pictures/b.png"_s << QByteArray("\x89PNGB")
            << none;
    QTest::newRow("one component") << u"pictures"_s << false << QString() << QByteArray()
                                   << pathCount;
    QTest::newRow("four components") << u"pictures/a.png/1/x"_s << false << QString()
                                     << QByteArray() << pathCount;
    QTest::newRow("unknown table") << u"drawings/a.png"_s << false << QString() << QByteArray()
                                   << QStringList{gotNothing};
    QTest::newRow("table names are case-sensitive")
            << u"Pictures/a.png"_s << false << QString() << QByteArray() << QStringList{gotNothing};
    QTest::newRow("unknown name") << u"pictures/none.png"_s << false << QString() << QByteArray()
                                  << QStringList{report(kByName, u"retval != SQLITE_ROW"_s),
                                                 report(kExtract, byName), gotNothing};
    QTest::newRow("unknown ID") << u"pictures/x.png/99"_s << false << QString() << QByteArray()
                                << QStringList{report(kByID, u"retval != SQLITE_ROW"_s),
                                               report(kExtract, byID), gotNothing};
    QTest::newRow("row without a name") << u"pictures/x.png/4"_s << false << QString()
                                        << QByteArray()
                                        << QStringList{report(kByID, u"stringPtr == NULL"_s),
                                                       report(kExtract, byID), gotNothing};
    QTest::newRow("empty table name") << u"/a.png"_s << false << QString() << QByteArray()
                                      << QStringList{report(kExtract, u"[tableName length] == 0"_s)};
    QTest::newRow("empty file name") << u"pictures//12"_s << false << QString() << QByteArray()
                                     << QStringList{report(kExtract, u"[fileName length] == 0"_s)};
}

void TestWLDatabaseMedia::extractsReferences()
{
    QFETCH(QString, reference);
    QFETCH(bool, result);
    QFETCH(QString, written);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, reports);
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    StderrCapture capture;
    QCOMPARE(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(reference), result);
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(filesBelow(pageDirectory()), written.isEmpty() ? QStringList() : QStringList{written});
    if (!written.isEmpty())
        QCOMPARE(fileContents(pageDirectory() + u'/' + written), bytes);
}

void TestWLDatabaseMedia::secondRequestLeavesTheTableAlone()
{
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QVERIFY(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/a.png"_s));
    QVERIFY(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/x.png/12"_s));
    m_fixture->exec(u"media.db"_s, u"UPDATE pictures SET data = X'4348414E474544';"_s);
    StderrCapture capture;
    QVERIFY(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/a.png"_s));
    QVERIFY(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/x.png/12"_s));
    QCOMPARE(capture.reports(), QStringList());
    QCOMPARE(fileContents(pageDirectory() + u"/pictures/a.png"_s), QByteArray("\x89PNGA"));
    QCOMPARE(fileContents(pageDirectory() + u"/pictures/x.png"_s), QByteArray("12"));
    QCOMPARE(WLDatabaseMedia::of(*database)->dataLoader()->cacheFileArray().size(), 2);
    // A reference not yet extracted does see the change.
    QVERIFY(WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/b.png"_s));
    QCOMPARE(fileContents(pageDirectory() + u"/pictures/b.png"_s), QByteArray("CHANGED"));
}

void TestWLDatabaseMedia::listTriesEveryPiece_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("all good") << u"pictures/a.png\tsounds/a.aiff"_s << true
                              << QStringList{u"pictures/a.png"_s, u"sounds/a.aiff"_s}
                              << QStringList();
    QTest::newRow("first fails, second still extracted")
            << u"drawings/a.png\tpictures/a.png"_s << false << QStringList{u"pictures/a.png"_s}
            << QStringList{report(kExtract, u"gotData == NO"_s)};
    QTest::newRow("trailing tab")
            << u"pictures/a.png\tsounds/a.aiff\t"_s << false
            << QStringList{u"pictures/a.png"_s, u"sounds/a.aiff"_s}
            << QStringList{report(kExtract, u"(pathCount != 2) && (pathCount != 3)"_s)};
}

void TestWLDatabaseMedia::listTriesEveryPiece()
{
    QFETCH(QString, list);
    QFETCH(bool, result);
    QFETCH(QStringList, written);
    QFETCH(QStringList, reports);
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    StderrCapture capture;
    QCOMPARE(database->readDataForAdditions(list), result);
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(filesBelow(pageDirectory()), written);
}

void TestWLDatabaseMedia::pageAssemblyExtractsTheRowsMedia()
{
    m_fixture->exec(u"contents.db"_s, u"DELETE FROM contents WHERE id IN (1, 3);"_s);
    m_fixture->insertContents(1, "<img src=\"pictures/a.png\">", u"pictures/a.png"_s);
    m_fixture->insertContents(3, "<a href=\"sounds/a.aiff\">", u"sounds/a.aiff\tdrawings/x"_s);
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    StderrCapture capture;
    // A failing reference does not spoil the page.
    QVERIFY(database->newHtmlDataForIDs({1, 2, 3}, false).has_value());
    QCOMPARE(capture.reports(), QStringList{report(kExtract, u"gotData == NO"_s)});
    QCOMPARE(filesBelow(pageDirectory()), (QStringList{u"pictures/a.png"_s, u"sounds/a.aiff"_s}));
}

void TestWLDatabaseMedia::refusesReferencesLeavingTheDirectory_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("report");
    const QString unsafe = report(kExtract, u"!isSafeRelativePath(additionName)"_s);
    QTest::newRow("parent as file name") << u"pictures/.."_s << unsafe;
    QTest::newRow("parent as table name") << u"../escape.png"_s << unsafe;
    QTest::newRow("dot") << u"./escape.png"_s << unsafe;
    QTest::newRow("empty ID") << u"pictures/a.png/"_s << unsafe;
    // A row of a hostile dictionary whose name decodes to "../../escape".
    QTest::newRow("escaped parent")
            << u"pictures/%2E%2E%2F%2E%2E%2Fescape.png"_s
            << report(u"-[WLDataLoader cacheData:relativePath:]"_s,
                      u"!isInsideBaseDirectory(outputPath)"_s);
}

void TestWLDatabaseMedia::refusesReferencesLeavingTheDirectory()
{
    QFETCH(QString, reference);
    QFETCH(QString, report);
    m_fixture->exec(u"media.db"_s,
                    u"INSERT INTO pictures (name, data) VALUES ('..', X'45'), ('escape.png', X'45'),"
                    " ('%2E%2E%2F%2E%2E%2Fescape.png', X'45');"_s);
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    StderrCapture capture;
    QVERIFY(!WLDatabaseMedia::of(*database)->readDataForAdditionNamed(reference));
    QVERIFY2(capture.reports().contains(report), qPrintable(capture.reports().join(u'\n')));
    QCOMPARE(filesBelow(privateDirectory()), QStringList());
    QCOMPARE(escapedFiles(), QStringList());
}

void TestWLDatabaseMedia::mediaSwitchedOff_data()
{
    QTest::addColumn<QVariant>("support");
    QTest::newRow("absent") << QVariant();
    QTest::newRow("false") << QVariant(false);
    QTest::newRow("zero") << QVariant(qint64(0));
    QTest::newRow("a string") << QVariant(u"YES"_s);
}

void TestWLDatabaseMedia::mediaSwitchedOff()
{
    QFETCH(QVariant, support);
    if (support.isValid())
        m_fixture->info.insert(u"KXPropAdditionsDatabaseSupport"_s, support);
    else
        m_fixture->info.remove(u"KXPropAdditionsDatabaseSupport"_s);
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QVERIFY(!WLDatabaseMedia::of(*database)->additionSupport());
    QVERIFY(!WLDatabaseMedia::of(*database)->additionArray());
    QVERIFY(!WLDatabaseMedia::of(*database)->readDataForAdditionNamed(u"pictures/a.png"_s));
    QCOMPARE(capture.reports(), QStringList{report(kExtract, u"gotData == NO"_s)});
}

void TestWLDatabaseMedia::mediaOnWithoutTablesFailsTheOpening()
{
    m_fixture->info.insert(u"KXPropAdditionsTableArray"_s, QVariantList());
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QVERIFY(WLDatabaseMedia::of(*database)->additionSupport());
    QVERIFY(WLDatabaseMedia::of(*database)->additionArray() && WLDatabaseMedia::of(*database)->additionArray()->empty());
    database.reset();

    m_fixture->info.remove(u"KXPropAdditionsTableArray"_s);
    StderrCapture capture;
    QVERIFY(!openWithMedia());
    QCOMPARE(capture.reports(),
             (QStringList{report(kAdditional, u"additionInfoArray == nil"_s),
                          report(kInit, u"![self prepareAdditionalDatabase:info]"_s)}));
    // The page directory made before the failure is gone with the object.
    QVERIFY(!QFileInfo::exists(pageDirectory()));
}

void TestWLDatabaseMedia::badTableEntriesAreLeftOut()
{
    QVariantMap noData = mediaTable(u"media.db"_s, u"pictures"_s);
    noData.remove(u"KXPropAdditionsDataColumn"_s);
    m_fixture->info.insert(u"KXPropAdditionsTableArray"_s,
                           QVariantList{mediaTable(u"missing.db"_s, u"pictures"_s), noData,
                                        mediaTable(u"media.db"_s, u"no_such_table"_s),
                                        mediaTable(u"media.db"_s, u"sounds"_s)});
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    const QString leftOut = report(kAdditional, u"additionDatabase == nil"_s);
    QCOMPARE(capture.reports(),
             (QStringList{report(kTable, u"retval != SQLITE_OK"_s), leftOut,
                          report(kTable, u"dataColumn == nil"_s), leftOut,
                          report(kTable, u"retval != SQLITE_OK"_s), leftOut}));
    QCOMPARE(WLDatabaseMedia::of(*database)->additionArray()->size(), size_t(1));
    QCOMPARE(WLDatabaseMedia::of(*database)->additionArray()->front()->tableName(), u"sounds"_s);
    // Read-only: naming a missing file does not create it.
    QVERIFY(!QFileInfo::exists(m_fixture->filePath(u"missing.db"_s)));
}

void TestWLDatabaseMedia::preloadsFiles()
{
    for (const QString &name : {u"style.css"_s, u"print.css"_s}) {
        QFile file(m_fixture->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
    auto preload = [](const QVariant &fileName, const QVariant &destination) {
        QVariantMap entry;
        if (fileName.isValid())
            entry.insert(u"KXPropHTMLPreloadFileName"_s, fileName);
        if (destination.isValid())
            entry.insert(u"KXPropHTMLPreloadDestination"_s, destination);
        return entry;
    };
    m_fixture->info.insert(u"KXPropHTMLPreloadFiles"_s,
                           QVariantList{preload(u"style.css"_s, u"style.css"_s),
                                        preload(u"missing.css"_s, u"missing.css"_s),
                                        preload(QVariant(), u"x.css"_s),
                                        preload(u"style.css"_s, QVariant()),
                                        preload(u"print.css"_s, u"css/print.css"_s)});
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QCOMPARE(capture.reports(), (QStringList{report(kDataLoader, u"fileData == nil"_s),
                                             report(kDataLoader, u"fileName == nil"_s),
                                             report(kDataLoader, u"destinationPath == nil"_s)}));
    QCOMPARE(filesBelow(pageDirectory()), (QStringList{u"css/print.css"_s, u"style.css"_s}));
    QCOMPARE(fileContents(pageDirectory() + u"/css/print.css"_s), QByteArray("print.css"));
    database.reset();

    // Without the key the page directory starts empty.
    m_fixture->info.remove(u"KXPropHTMLPreloadFiles"_s);
    database = openWithMedia();
    QVERIFY(database);
    QCOMPARE(filesBelow(pageDirectory()), QStringList());
}

void TestWLDatabaseMedia::refusesPreloadDestinationsOutside_data()
{
    QTest::addColumn<QString>("destination");
    QTest::newRow("parent") << u"../escape.css"_s;
    QTest::newRow("parent of a subdirectory") << u"css/../../escape.css"_s;
    QTest::newRow("absolute") << u"TMP/escape.css"_s;
    QTest::newRow("escaped parent") << u"%2E%2E/escape.css"_s;
}

void TestWLDatabaseMedia::refusesPreloadDestinationsOutside()
{
    QFETCH(QString, destination);
    destination.replace(u"TMP"_s, m_tmp->path());
    QFile file(m_fixture->filePath(u"style.css"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("body {}");
    file.close();
    m_fixture->info.insert(
            u"KXPropHTMLPreloadFiles"_s,
            QVariantList{QVariantMap{{u"KXPropHTMLPreloadFileName"_s, u"style.css"_s},
                                     {u"KXPropHTMLPreloadDestination"_s, destination}},
                         QVariantMap{{u"KXPropHTMLPreloadFileName"_s, u"style.css"_s},
                                     {u"KXPropHTMLPreloadDestination"_s, u"style.css"_s}}});
    StderrCapture capture;
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QVERIFY(capture.reports().contains(
            report(kDataLoader, u"![mDataLoader storeData:fileData relativePath:destinationPath]"_s)));
    QCOMPARE(filesBelow(pageDirectory()), QStringList{u"style.css"_s});
    QCOMPARE(escapedFiles(), QStringList());
}

void TestWLDatabaseMedia::preparesPathsByHand()
{
    std::unique_ptr<WLDatabase> database = openWithMedia();
    QVERIFY(database);
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareDirectoryPathForTable(u"pictures"_s), pageDirectory() + u"/pictures"_s);
    QVERIFY(QFileInfo(pageDirectory() + u"/pictures"_s).isDir());
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareWritingPathForAdditionNamed(u"x.png"_s), pageDirectory() + u"/x.png"_s);
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareWritingPathForAdditionNamed(u"a/b/x.png"_s),
             pageDirectory() + u"/a/b/x.png"_s);
    QVERIFY(QFileInfo(pageDirectory() + u"/a/b"_s).isDir());

    StderrCapture capture;
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareDirectoryPathForTable(u".."_s), QString());
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareWritingPathForAdditionNamed(u"/etc/x"_s), QString());
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareWritingPathForAdditionNamed(u"../x"_s), QString());
    QCOMPARE(WLDatabaseMedia::of(*database)->prepareWritingPathForAdditionNamed(QString()), QString());
    QCOMPARE(capture.reports(),
             (QStringList{
                     report(u"-[WLDatabase prepareDirectoryPathForTable:]"_s,
                            u"!isSafePathComponent(tableName)"_s),
                     report(u"-[WLDatabase prepareWritingPathForAdditionNamed:]"_s,
                            u"[pathComponent isEqualToString:@\"/\"]"_s),
                     report(u"-[WLDatabase prepareWritingPathForAdditionNamed:]"_s,
                            u"!isSafeRelativePath(relativePath)"_s),
                     report(u"-[WLDatabase prepareWritingPathForAdditionNamed:]"_s, u"count == 0"_s)}));
    QCOMPARE(filesBelow(privateDirectory()), QStringList());
}

QTEST_GUILESS_MAIN(TestWLDatabaseMedia)
#include "tst_wldatabasemedia.moc"

#include "WLDataLoader.h"

#include "WLTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestWLDataLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void unboundedCacheKeepsEverything();
    void evictsOldestFirst_data();
    void evictsOldestFirst();
    void storedFilesNeverCountNorGo();
    void createsDirectoriesOnTheWay_data();
    void createsDirectoriesOnTheWay();
    void fileWhereDirectoryMustBe();
    void resolvesLikeAPage_data();
    void resolvesLikeAPage();
    void streamsInPieces_data();
    void streamsInPieces();
    void streamThatCannotOpen();
    void atomicWriteReplacesWhole();
    void refusesPathsLeavingTheBase_data();
    void refusesPathsLeavingTheBase();
    void refusesWritingThroughALink();
    void fileExistsAsksTheDisk();
    void teardownRemovesTheTree();
    void teardownCanKeepTheTree();
    void cleanupNeverFollowsLinks();
    void cleanupRefusesWhatIsNotADirectory();

private:
    QString basePath() const { return m_dir->filePath(QStringLiteral("html")); }
    QString outsidePath() const { return m_dir->filePath(QStringLiteral("outside")); }
    QStringList outsideEntries() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WLDataLoader> m_loader;
};

static QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestWLDataLoader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("html")));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("outside")));
    m_loader = WLDataLoader::initWithBaseURL(QUrl::fromLocalFile(basePath()));
    QVERIFY(m_loader);
}

void TestWLDataLoader::cleanup()
{
    m_loader.reset();
    m_dir.reset();
}

QStringList TestWLDataLoader::outsideEntries() const
{
    return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TestWLDataLoader::unboundedCacheKeepsEverything()
{
    for (int i = 0; i < 5; ++i)
        QVERIFY(m_loader->cacheData(QByteArray(1000, 'x'), QStringLiteral("t/%1").arg(i)));
    QCOMPARE(m_loader->usedCacheSize(), quint64(5000));
    QCOMPARE(m_loader->cacheFileArray().size(), 5);
    QCOMPARE(QDir(basePath() + QStringLiteral("/t")).entryList(QDir::Files).size(), 5);
}

void TestWLDataLoader::evictsOldestFirst_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<int>("vanished"); // index of a file deleted behind the loader's back
    QTest::addColumn<quint64>("used");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("reports");

    QTest::newRow("third of 40 evicts the first")
            << QList<int>{40, 40, 40} << -1 << quint64(80)
            << QStringList{QStringLiteral("1"), QStringLiteral("2")} << QStringList();
    QTest::newRow("larger than the budget is written anyway")
            << QList<int>{40, 40, 150} << -1 << quint64(150) << QStringList{QStringLiteral("2")}
            << QStringList();
    QTest::newRow("empty data evicts nothing")
            << QList<int>{40, 40, 0} << -1 << quint64(80)
            << QStringList{QStringLiteral("0"), QStringLiteral("1")}
            << QStringList{QStringLiteral("-[WLDataLoader cacheData:relativePath:]: (dataLength == 0)")};
    // The first record goes but its 40 bytes stay counted, so the second
    // must go too: 40 bytes on disk, 80 counted.
    QTest::newRow("vanished file keeps its bytes counted")
            << QList<int>{40, 40, 40} << 0 << quint64(80) << QStringList{QStringLiteral("2")}
            << QStringList{QStringLiteral("-[WLDataLoader prepareCacheSpace:]: "
                                          "(![fm fileExistsAtPath:removeFilePath "
                                          "isDirectory:&isDirectory])")};
}

void TestWLDataLoader::evictsOldestFirst()
{
    QFETCH(QList<int>, sizes);
    QFETCH(int, vanished);
    QFETCH(quint64, used);
    QFETCH(QStringList, left);
    QFETCH(QStringList, reports);

    m_loader->setMaxCacheSize(100);
    StderrCapture capture;
    for (int i = 0; i < sizes.size(); ++i) {
        if (i == sizes.size() - 1 && vanished >= 0)
            QVERIFY(QFile::remove(basePath() + QStringLiteral("/media/%1").arg(vanished)));
        m_loader->cacheData(QByteArray(sizes.at(i), 'm'), QStringLiteral("media/%1").arg(i));
    }
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(m_loader->usedCacheSize(), used);
    QCOMPARE(QDir(basePath() + QStringLiteral("/media")).entryList(QDir::Files, QDir::Name), left);
    QCOMPARE(m_loader->cacheFileArray().size(), left.size());
}

void TestWLDataLoader::storedFilesNeverCountNorGo()
{
    m_loader->setMaxCacheSize(100);
    QVERIFY(m_loader->storeData(QByteArray(90, 's'), QStringLiteral("style.css")));
    QVERIFY(m_loader->cacheData(QByteArray(60, 'c'), QStringLiteral("m/a")));
    QVERIFY(m_loader->cacheData(QByteArray(60, 'c'), QStringLiteral("m/b")));
    QCOMPARE(m_loader->usedCacheSize(), quint64(60));
    QVERIFY(QFile::exists(basePath() + QStringLiteral("/style.css")));
    QVERIFY(!QFile::exists(basePath() + QStringLiteral("/m/a")));
    QCOMPARE(m_loader->storeFileArray(), QStringList{basePath() + QStringLiteral("/style.css")});
}

void TestWLDataLoader::createsDirectoriesOnTheWay_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QStringList>("directories");
    QTest::newRow("one component") << QStringLiteral("x.png") << QStringList();
    QTest::newRow("two components") << QStringLiteral("pictures/x.png")
                                    << QStringList{QStringLiteral("pictures")};
    QTest::newRow("three components") << QStringLiteral("a/b/x.png")
                                      << QStringList{QStringLiteral("a"), QStringLiteral("a/b")};
}

void TestWLDataLoader::createsDirectoriesOnTheWay()
{
    QFETCH(QString, relativePath);
    QFETCH(QStringList, directories);
    QVERIFY(m_loader->cacheData("bytes", relativePath));
    QCOMPARE(fileContents(basePath() + u'/' + relativePath), QByteArray("bytes"));
    for (const QString &directory : directories)
        QVERIFY(QFileInfo(basePath() + u'/' + directory).isDir());
    QCOMPARE(m_loader->cacheFileArray().constFirst().path, basePath() + u'/' + relativePath);
}

void TestWLDataLoader::fileWhereDirectoryMustBe()
{
    writeFile(basePath() + QStringLiteral("/pictures"), "not a directory");
    StderrCapture capture;
    QVERIFY(!m_loader->cacheData("bytes", QStringLiteral("pictures/x.png")));
    QCOMPARE(capture.reports(),
             (QStringList{
                     QStringLiteral("-[WLDataLoader prepareDirectoryForRelativePath:]: (!isDirectory)"),
                     QStringLiteral("-[WLDataLoader prepareDirectoryForRelativePath:]: (index < count - 1)"),
                     QStringLiteral("-[WLDataLoader cacheData:relativePath:]: "
                                    "(![self prepareDirectoryForRelativePath:relativePath])")}));
    QCOMPARE(m_loader->usedCacheSize(), quint64(0));
    QVERIFY(m_loader->cacheFileArray().isEmpty());
}

void TestWLDataLoader::resolvesLikeAPage_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("written"); // empty: refused
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("escaped blank") << QStringLiteral("a%20b.png") << QStringLiteral("a b.png")
                                   << QStringList();
    QTest::newRow("non-ASCII") << QStringLiteral("caf\u00e9.png") << QStringLiteral("caf\u00e9.png")
                               << QStringList();
    QTest::newRow("query dropped") << QStringLiteral("x.png?v=2") << QStringLiteral("x.png")
                                   << QStringList();
    QTest::newRow("bare blank") << QStringLiteral("a b.png") << QString()
                                << QStringList{QStringLiteral(
                                           "-[WLDataLoader storeData:relativePath:]: (outputURL == nil)")};
}

void TestWLDataLoader::resolvesLikeAPage()
{
    QFETCH(QString, relativePath);
    QFETCH(QString, written);
    QFETCH(QStringList, reports);
    StderrCapture capture;
    QCOMPARE(m_loader->storeData("bytes", relativePath), !written.isEmpty());
    QCOMPARE(capture.reports(), reports);
    const QStringList expected = written.isEmpty() ? QStringList() : QStringList{written};
    QCOMPARE(QDir(basePath()).entryList(QDir::Files), expected);
}

void TestWLDataLoader::streamsInPieces_data()
{
    QTest::addColumn<bool>("cached");
    QTest::addColumn<int>("length");
    QTest::newRow("cached, one byte") << true << 1;
    QTest::newRow("cached, exactly one pass") << true << 2048;
    QTest::newRow("cached, several passes") << true << 5000;
    QTest::newRow("stored") << false << 5000;
}

void TestWLDataLoader::streamsInPieces()
{
    QFETCH(bool, cached);
    QFETCH(int, length);
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = char(i * 7);
    const QString path = QStringLiteral("sounds/x.aiff");
    writeFile(basePath() + QStringLiteral("/old"), QByteArray(9000, 'o'));
    QVERIFY(cached ? m_loader->cacheBytes(bytes.constData(), length, path)
                   : m_loader->storeBytes(bytes.constData(), length, path));
    QCOMPARE(fileContents(basePath() + u'/' + path), bytes);
    QCOMPARE(m_loader->usedCacheSize(), cached ? quint64(length) : quint64(0));
    QCOMPARE(m_loader->storeFileArray().size(), cached ? 0 : 1);

    // A shorter second write truncates rather than appends.
    QVERIFY(cached ? m_loader->cacheBytes("ab", 2, path) : m_loader->storeBytes("ab", 2, path));
    QCOMPARE(fileContents(basePath() + u'/' + path), QByteArray("ab"));
}

void TestWLDataLoader::streamThatCannotOpen()
{
    QVERIFY(QDir(basePath()).mkpath(QStringLiteral("sounds/x.aiff")));
    StderrCapture capture;
    QVERIFY(!m_loader->cacheBytes("abc", 3, QStringLiteral("sounds/x.aiff")));
    QCOMPARE(capture.reports(),
             QStringList{QStringLiteral(
                     "-[WLDataLoader cacheBytes:length:relativePath:]: (outputStream == nil)")});
    QVERIFY(QFileInfo(basePath() + QStringLiteral("/sounds/x.aiff")).isDir());
    QCOMPARE(m_loader->usedCacheSize(), quint64(0));
}

void TestWLDataLoader::atomicWriteReplacesWhole()
{
    QVERIFY(m_loader->storeData(QByteArray(5000, 'a'), QStringLiteral("style.css")));
    QVERIFY(m_loader->storeData("b", QStringLiteral("style.css")));
    QCOMPARE(fileContents(basePath() + QStringLiteral("/style.css")), QByteArray("b"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(basePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("style.css")});
}

void TestWLDataLoader::refusesPathsLeavingTheBase_data()
{
    const QString unsafe = QStringLiteral("(!isSafeRelativePath(relativePath))");
    const QString outside = QStringLiteral("(!isInsideBaseDirectory(outputPath))");
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("condition");
    QTest::newRow("parent") << QStringLiteral("../outside/x") << unsafe;
    QTest::newRow("parent inside") << QStringLiteral("a/../../outside/x") << unsafe;
    // OUTSIDE stands for a directory beside the base, known only in init().
    QTest::newRow("absolute") << QStringLiteral("OUTSIDE/x") << unsafe;
    QTest::newRow("dot") << QStringLiteral("./x") << unsafe;
    QTest::newRow("empty component") << QStringLiteral("a//x") << unsafe;
    QTest::newRow("empty") << QStringLiteral("") << unsafe;
    QTest::newRow("trailing slash") << QStringLiteral("a/") << unsafe;
    QTest::newRow("other scheme") << QStringLiteral("file:OUTSIDE/x") << outside;
    QTest::newRow("escaped parent") << QStringLiteral("%2E%2E/outside/x") << outside;
    QTest::newRow("escaped slashes") << QStringLiteral("a%2F..%2F..%2Foutside%2Fx") << outside;
}

void TestWLDataLoader::refusesPathsLeavingTheBase()
{
    QFETCH(QString, relativePath);
    QFETCH(QString, condition);
    relativePath.replace(QStringLiteral("OUTSIDE"), outsidePath());
    QVERIFY(QDir(basePath()).mkdir(QStringLiteral("a")));
    StderrCapture capture;
    QVERIFY(!m_loader->storeData("evil", relativePath));
    QVERIFY(!m_loader->cacheData("evil", relativePath));
    QVERIFY(!m_loader->cacheBytes("evil", 4, relativePath));
    QVERIFY(!m_loader->storeBytes("evil", 4, relativePath));
    const QStringList reports = capture.reports();
    QCOMPARE(reports.size(), 4);
    for (const QString &report : reports)
        QVERIFY2(report.endsWith(condition), qPrintable(report));
    QVERIFY(QDir(outsidePath()).isEmpty());
    QCOMPARE(outsideEntries(), (QStringList{QStringLiteral("html"), QStringLiteral("outside")}));
    QCOMPARE(QDir(basePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("a")});
    QVERIFY(!m_loader->fileExistsAtRelativePath(relativePath));
}

void TestWLDataLoader::refusesWritingThroughALink()
{
    const QString target = outsidePath() + QStringLiteral("/target");
    writeFile(target, "precious");
    QVERIFY(QFile::link(target, basePath() + QStringLiteral("/style.css")));
    QVERIFY(QFile::link(outsidePath(), basePath() + QStringLiteral("/pictures")));
    StderrCapture capture;
    QVERIFY(!m_loader->storeData("evil", QStringLiteral("style.css")));
    QVERIFY(!m_loader->cacheBytes("evil", 4, QStringLiteral("style.css")));
    QVERIFY(!m_loader->cacheData("evil", QStringLiteral("pictures/x.png")));
    QCOMPARE(capture.reports(),
             (QStringList{
                     QStringLiteral("-[WLDataLoader storeData:relativePath:]: (isSymbolicLink(outputPath))"),
                     QStringLiteral("-[WLDataLoader cacheBytes:length:relativePath:]: "
                                    "(isSymbolicLink(outputPath))"),
                     QStringLiteral("-[WLDataLoader prepareDirectoryForRelativePath:]: (!isDirectory)"),
                     QStringLiteral("-[WLDataLoader prepareDirectoryForRelativePath:]: (index < count - 1)"),
                     QStringLiteral("-[WLDataLoader cacheData:relativePath:]: "
                                    "(![self prepareDirectoryForRelativePath:relativePath])")}));
    QCOMPARE(fileContents(target), QByteArray("precious"));
    QCOMPARE(QDir(outsidePath()).entryList(QDir::Files), QStringList{QStringLiteral("target")});
}

void TestWLDataLoader::fileExistsAsksTheDisk()
{
    writeFile(basePath() + QStringLiteral("/put-by-hand"), "x");
    QVERIFY(QDir(basePath()).mkdir(QStringLiteral("pictures")));
    QVERIFY(m_loader->fileExistsAtRelativePath(QStringLiteral("put-by-hand")));
    QVERIFY(m_loader->fileExistsAtRelativePath(QStringLiteral("pictures")));
    QVERIFY(!m_loader->fileExistsAtRelativePath(QStringLiteral("pictures/x.png")));
    QVERIFY(m_loader->cacheData("x", QStringLiteral("pictures/x.png")));
    QVERIFY(m_loader->fileExistsAtRelativePath(QStringLiteral("pictures/x.png")));
}

void TestWLDataLoader::teardownRemovesTheTree()
{
    QVERIFY(m_loader->storeData("s", QStringLiteral("style.css")));
    QVERIFY(m_loader->cacheData("c", QStringLiteral("pictures/deep/x.png")));
    writeFile(basePath() + QStringLiteral("/.hidden"), "h");
    m_loader.reset();
    QVERIFY(!QFileInfo::exists(basePath()));
    QCOMPARE(outsideEntries(), QStringList{QStringLiteral("outside")});
}

void TestWLDataLoader::teardownCanKeepTheTree()
{
    QVERIFY(m_loader->cacheData("c", QStringLiteral("pictures/x.png")));
    m_loader->setKeepsBaseDirectory(true);
    m_loader.reset();
    QCOMPARE(fileContents(basePath() + QStringLiteral("/pictures/x.png")), QByteArray("c"));
}

void TestWLDataLoader::cleanupNeverFollowsLinks()
{
    const QString keep = outsidePath() + QStringLiteral("/keep");
    writeFile(keep, "precious");
    QVERIFY(QDir(basePath()).mkpath(QStringLiteral("pictures")));
    QVERIFY(QFile::link(outsidePath(), basePath() + QStringLiteral("/pictures/to-directory")));
    QVERIFY(QFile::link(keep, basePath() + QStringLiteral("/to-file")));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), basePath() + QStringLiteral("/dangling")));
    StderrCapture capture;
    m_loader.reset();
    QCOMPARE(capture.reports(), QStringList());
    QVERIFY(!QFileInfo::exists(basePath()));
    QCOMPARE(fileContents(keep), QByteArray("precious"));
}

void TestWLDataLoader::cleanupRefusesWhatIsNotADirectory()
{
    const QString keep = outsidePath() + QStringLiteral("/keep");
    writeFile(keep, "precious");
    const QString link = m_dir->filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(outsidePath(), link));
    StderrCapture capture;
    QVERIFY(!cleanupDirectoryContents(link));
    QVERIFY(!cleanupDirectoryContents(keep));
    QVERIFY(!cleanupDirectoryContents(m_dir->filePath(QStringLiteral("missing"))));
    QCOMPARE(capture.reports(),
             (QStringList{QStringLiteral("cleanupDirectoryContents: (!isDirectory)"),
                          QStringLiteral("cleanupDirectoryContents: (!isDirectory)"),
                          QStringLiteral("cleanupDirectoryContents: "
                                         "(![fm fileExistsAtPath:directoryPath isDirectory:&isDirectory])")}));
    QCOMPARE(fileContents(keep), QByteArray("precious"));
    QVERIFY(QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestWLDataLoader)
#include "tst_wldataloader.moc"

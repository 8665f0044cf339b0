#include "WLDictionaryAdder.h"
#include "WLDictionaryFolders.h"
#include "WLDictionaryInstaller.h"
#include "WLStarDictTestDictionary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Adding the dictionaries a user has to their installed ones, through
// wldict as the reader does it.
class TestWLDictionaryAdder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void identify_data();
    void identify();
    void addsAStarDictionaryWithItsProgress();
    void theSameAgainReplacesItAnotherOfItsNameIsKeptBeside();
    void cancelLeavesNothing_data();
    void cancelLeavesNothing();
    void aDamagedDictionaryNamesItsFault();
    void removesTheUsersOwnButNotTheDemoOrTheSystems();

private:
    // Runs the adder until it finishes.
    WLDictionaryAdder::Result add(const QString &path, QList<WLDictionaryAdder::Progress> *progress = nullptr,
                                  bool cancelAtFirstProgress = false);
    // Every entry of the user's dictionaries folder, hidden ones too.
    QStringList userFolder() const;

    QTemporaryDir mDir;
    QString mSample;
};

void TestWLDictionaryAdder::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WLDICT"))
        QSKIP("WLDICT does not name the wldict executable");
    // Never the user's own folders.
    qputenv("XDG_DATA_HOME", mDir.filePath(u"data"_s).toUtf8());
    qputenv("XDG_DATA_DIRS", mDir.filePath(u"system"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", mDir.filePath(u"config"_s).toUtf8());
    mSample = WLStarDictTestDictionary::writeSample(mDir.filePath(u"files/stardict"_s));
}

void TestWLDictionaryAdder::init()
{
    QDir(mDir.filePath(u"data"_s)).removeRecursively();
}

QStringList TestWLDictionaryAdder::userFolder() const
{
    return QDir(WLDictionaryFolders::searchPaths().value(0))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

WLDictionaryAdder::Result TestWLDictionaryAdder::add(const QString &path,
                                                     QList<WLDictionaryAdder::Progress> *progress,
                                                     bool cancelAtFirstProgress)
{
    QString why;
    const std::optional<WLDictionaryAdder::Source> source = WLDictionaryAdder::identify(path, &why);
    if (!source)
        return {false, false, {}, why};
    WLDictionaryAdder adder;
    std::optional<WLDictionaryAdder::Result> result;
    adder.start(
        *source,
        [&](const WLDictionaryAdder::Progress &step) {
            if (progress)
                progress->append(step);
            if (cancelAtFirstProgress)
                adder.cancel();
        },
        [&](const WLDictionaryAdder::Result &done) { result = done; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 60000))
        return {false, false, {}, u"(did not finish)"_s};
    return *result;
}

void TestWLDictionaryAdder::identify_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("chosen");
    // The kind, or the start of the reason it is not a dictionary.
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("name");
    QTest::newRow("a bundle folder") << QStringList{u"my dict/DatabaseInfo.plist"_s} << u"my dict"_s
                                     << u"bundle"_s << u"my-dict"_s;
    QTest::newRow("a bundle's description") << QStringList{u"fr/DatabaseInfo.plist"_s}
                                            << u"fr/DatabaseInfo.plist"_s << u"bundle"_s << u"fr"_s;
    QTest::newRow("a folder that is not one") << QStringList{u"photos/a.png"_s} << u"photos"_s
                                              << u"is a folder, but not a dictionary"_s << QString();
    QTest::newRow("a dictd index") << QStringList{u"wn.index"_s, u"wn.dict.dz"_s} << u"wn.index"_s
                                   << u"dictd"_s << u"wn"_s;
    QTest::newRow("a dictd data file, its index beside it")
        << QStringList{u"gcide.index"_s, u"gcide.dict"_s} << u"gcide.dict"_s << u"dictd"_s << u"gcide"_s;
    QTest::newRow("a dictd index alone") << QStringList{u"alone.index"_s} << u"alone.index"_s
                                         << u"is a dictd index, but alone.dict.dz"_s << QString();
    QTest::newRow("a StarDict .ifo") << QStringList{u"Littre.ifo"_s, u"Littre.idx"_s} << u"Littre.ifo"_s
                                     << u"stardict"_s << u"Littre"_s;
    QTest::newRow("a StarDict .idx") << QStringList{u"cz.ifo"_s, u"cz.idx"_s} << u"cz.idx"_s
                                     << u"stardict"_s << u"cz"_s;
    QTest::newRow("anything else") << QStringList{u"notes.txt"_s} << u"notes.txt"_s
                                   << u"is not a dictionary WL Reader can read"_s << QString();
    QTest::newRow("nothing there") << QStringList() << u"gone.ifo"_s << u"there is no such file"_s
                                   << QString();
}

void TestWLDictionaryAdder::identify()
{
    QFETCH(QStringList, files);
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    QFETCH(QString, name);
    QTemporaryDir dir;
    for (const QString &file : files) {
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(file).path()));
        QFile out(dir.filePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
    }
    QString why;
    const std::optional<WLDictionaryAdder::Source> source = WLDictionaryAdder::identify(dir.filePath(chosen), &why);
    if (!source) {
        QVERIFY2(why.contains(expected), qPrintable(why));
        QVERIFY(why.contains(QDir::toNativeSeparators(dir.filePath(chosen))) || why.contains(chosen));
        return;
    }
    const QString kind = source->kind == WLDictionaryAdder::Kind::Bundle  ? u"bundle"_s
                         : source->kind == WLDictionaryAdder::Kind::Dictd ? u"dictd"_s
                                                                          : u"stardict"_s;
    QCOMPARE(kind, expected);
    QCOMPARE(source->name, name);
}

void TestWLDictionaryAdder::addsAStarDictionaryWithItsProgress()
{
    QList<WLDictionaryAdder::Progress> progress;
    const WLDictionaryAdder::Result result = add(mSample, &progress);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.path, QDir(WLDictionaryFolders::searchPaths().value(0)).filePath(u"sample"_s));
    QCOMPARE(userFolder(), QStringList{u"sample"_s});
    QStringList phases;
    for (const WLDictionaryAdder::Progress &step : progress)
        phases.append(step.phase);
    QVERIFY2(phases.contains(u"writing entries.jsonl"_s) && phases.contains(u"installing"_s),
             qPrintable(phases.join(u", "_s)));
    const WLDictionaryInstaller::Installed installed = WLDictionaryInstaller::describe(result.path);
    QCOMPARE(installed.title, u"Sample StarDict"_s);
    QVERIFY(installed.user);
}

void TestWLDictionaryAdder::theSameAgainReplacesItAnotherOfItsNameIsKeptBeside()
{
    QVERIFY(add(mSample).ok);
    // The state of the one installed stays with it.
    const QString state = mDir.filePath(u"config/WLReader/stardict.sample/defaults.plist"_s);
    QVERIFY(QDir().mkpath(QFileInfo(state).path()));
    QFile(state).open(QIODevice::WriteOnly);
    const WLDictionaryAdder::Result again = add(mSample);
    QVERIFY2(again.ok, qPrintable(again.error));
    QVERIFY(again.path.endsWith(u"/sample"_s));
    QCOMPARE(userFolder(), QStringList{u"sample"_s});
    QVERIFY(QFileInfo::exists(state));

    // Another dictionary whose files have the same name.
    WLStarDictTestDictionary other;
    other.setInfo("bookname", "Another Sample");
    other.add("quince", WLStarDictTestDictionary::item('m', "a fruit"));
    const WLDictionaryAdder::Result beside = add(other.write(mDir.filePath(u"files/other"_s), u"sample"_s));
    QVERIFY2(beside.ok, qPrintable(beside.error));
    QVERIFY(beside.path.endsWith(u"/sample-2"_s));
    QCOMPARE(userFolder(), (QStringList{u"sample"_s, u"sample-2"_s}));
}

void TestWLDictionaryAdder::cancelLeavesNothing_data()
{
    QTest::addColumn<bool>("bundle");
    QTest::newRow("while it is built") << false;
    QTest::newRow("while a bundle is installed") << true;
}

void TestWLDictionaryAdder::cancelLeavesNothing()
{
    QFETCH(bool, bundle);
    QString path = mSample;
    if (bundle) {
        QVERIFY(add(mSample).ok);
        // Moved out of the way, to be added again from where it is.
        const QString moved = mDir.filePath(u"files/built-bundle"_s);
        QDir(moved).removeRecursively();
        QVERIFY(QDir().rename(QDir(WLDictionaryFolders::searchPaths().value(0)).filePath(u"sample"_s), moved));
        path = moved;
    }
    const WLDictionaryAdder::Result result = add(path, nullptr, true);
    QVERIFY(!result.ok);
    QVERIFY(result.cancelled);
    QCOMPARE(result.error, QString());
    QCOMPARE(userFolder(), QStringList());
}

void TestWLDictionaryAdder::aDamagedDictionaryNamesItsFault()
{
    QTemporaryDir dir;
    const QString ifo = WLStarDictTestDictionary::writeSample(dir.path());
    // The index ends in the middle of a record.
    QFile index(dir.filePath(u"sample.idx.gz"_s));
    QVERIFY(index.remove());
    QFile plain(dir.filePath(u"sample.idx"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("apple\0\0\0", 8) == 8);
    plain.close();
    const WLDictionaryAdder::Result result = add(ifo);
    QVERIFY(!result.ok);
    QVERIFY(!result.cancelled);
    QVERIFY2(result.error.contains(u"sample.i"_s), qPrintable(result.error));
    QCOMPARE(userFolder(), QStringList());
}

void TestWLDictionaryAdder::removesTheUsersOwnButNotTheDemoOrTheSystems()
{
    const WLDictionaryAdder::Result added = add(mSample);
    QVERIFY(added.ok);
    // Its bookmarks are kept unless asked.
    const WLDictionaryInstaller::Installed installed = WLDictionaryInstaller::describe(added.path);
    const QString state = mDir.filePath(u"config/WLReader/"_s + installed.identifier);
    QVERIFY(QDir().mkpath(state));
    QVERIFY(WLDictionaryInstaller::whyNotRemovable(installed).isEmpty());
    QVERIFY(WLDictionaryInstaller::remove(installed, false).ok);
    QCOMPARE(userFolder(), QStringList());
    QVERIFY(QFileInfo(state).isDir());
    QVERIFY(add(mSample).ok);
    QVERIFY(WLDictionaryInstaller::remove(WLDictionaryInstaller::describe(added.path), true).ok);
    QVERIFY(!QFileInfo::exists(state));

    // One installed for every user, and the demo, stay with the reason.
    const QString system = QDir(WLDictionaryFolders::searchPaths().value(1)).filePath(u"shared"_s);
    QVERIFY(QDir().mkpath(system));
    QVERIFY(QFile::copy(QDir(qEnvironmentVariable("WL_DEMO_BUNDLE")).filePath(u"DatabaseInfo.plist"_s),
                        QDir(system).filePath(u"DatabaseInfo.plist"_s)));
    WLDictionaryInstaller::Installed shared = WLDictionaryInstaller::describe(system);
    QVERIFY(!shared.user);
    QVERIFY(shared.demo);
    QVERIFY(WLDictionaryInstaller::whyNotRemovable(shared).contains(u"demo"_s));
    shared.demo = false;
    const WLDictionaryInstaller::Result refused = WLDictionaryInstaller::remove(shared, false);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(u"for every user"_s), qPrintable(refused.error));
    QVERIFY(QFileInfo(system).isDir());
}

QTEST_GUILESS_MAIN(TestWLDictionaryAdder)
#include "tst_wldictionaryadder.moc"

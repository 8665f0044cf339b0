#include "WLUserDefaults.h"

#include "WLPropertyList.h"
#include "WLTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QUrl>

#include "WLNotificationCenter.h"

#include <QElapsedTimer>
#include <QLockFile>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

class TestWLUserDefaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void roundTripsEveryValueType_data();
    void roundTripsEveryValueType();
    void typedReads_data();
    void typedReads();
    void registeredDefaultsAreNeverWritten();
    void removalReachesTheFile();
    void changesReachTheFileWithoutBeingAsked();
    void refusesValuesWithoutPropertyListForm();
    void unparsableFileIsKeptAside_data();
    void unparsableFileIsKeptAside();
    void failedWriteStaysPending();
    void foreignValuesDoNotStopSaving();
    void standardStoreFollowsTheEnvironment();
    void dictionaryFolderName_data();
    void dictionaryFolderName();
    void wldictKeepsEachDictionaryApart();
    void theIdentifierIsReadOnlyWhenTheStoreIsFirstNeeded_data();
    void theIdentifierIsReadOnlyWhenTheStoreIsFirstNeeded();
    void twoWritersOfOneFileLoseNothing_data();
    void twoWritersOfOneFileLoseNothing();
    void aWatchingStoreTakesInWhatAnotherWrote();
    void aWriteWaitsForAnotherToFinish();

private:
    QString filePath(const QString &name = u"defaults.plist"_s) const
    {
        return mDir->filePath(name);
    }
    std::unique_ptr<QTemporaryDir> mDir;
};

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

void TestWLUserDefaults::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
}

void TestWLUserDefaults::roundTripsEveryValueType_data()
{
    QTest::addColumn<QVariant>("value");
    // What a value reads back as, before and after the file.
    QTest::addColumn<QVariant>("expected");

    // The values themselves go through the property list unchanged (its own
    // tests); here, the store's one form of each kind of number and list.
    QTest::newRow("int") << QVariant(42) << QVariant(qint64(42));
    QTest::newRow("unsigned") << QVariant(7u) << QVariant(qint64(7));
    QTest::newRow("string list") << QVariant(QStringList{u"x"_s, u"y"_s})
                                 << QVariant(QVariantList{u"x"_s, u"y"_s});
    QTest::newRow("nested") << QVariant(QVariantMap{{u"list"_s, QVariantList{1, QStringList{}}}})
                            << QVariant(QVariantMap{
                                       {u"list"_s, QVariantList{qint64(1), QVariantList{}}}});
}

void TestWLUserDefaults::roundTripsEveryValueType()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    const QString key = u"key"_s;
    {
        WLUserDefaults defaults(filePath());
        defaults.setObject(value, key);
        QCOMPARE(defaults.objectForKey(key), expected);
        QCOMPARE(defaults.objectForKey(key).typeId(), expected.typeId());
        QVERIFY(defaults.synchronize());
    }
    WLUserDefaults reopened(filePath());
    QCOMPARE(reopened.objectForKey(key), expected);
    QCOMPARE(reopened.objectForKey(key).typeId(), expected.typeId());
}

void TestWLUserDefaults::typedReads_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("boolValue");
    QTest::addColumn<qint64>("integerValue");
    QTest::addColumn<QString>("stringValue");
    QTest::addColumn<bool>("isArray");

    QTest::newRow("absent") << QVariant() << false << qint64(0) << QString() << false;
    QTest::newRow("true") << QVariant(true) << true << qint64(1) << u"1"_s << false;
    QTest::newRow("integer") << QVariant(qint64(102)) << true << qint64(102) << u"102"_s << false;
    QTest::newRow("zero") << QVariant(qint64(0)) << false << qint64(0) << u"0"_s << false;
    QTest::newRow("real") << QVariant(-2.75) << true << qint64(-2) << u"-2.75"_s << false;
    QTest::newRow("YES") << QVariant(u"YES"_s) << true << qint64(0) << u"YES"_s << false;
    QTest::newRow("numeric text") << QVariant(u" 12abc"_s) << true << qint64(12) << u" 12abc"_s
                                  << false;
    QTest::newRow("word") << QVariant(u"banana"_s) << false << qint64(0) << u"banana"_s << false;
    QTest::newRow("array") << QVariant(QVariantList{u"1"_s}) << false << qint64(0) << QString()
                           << true;
    QTest::newRow("dictionary") << QVariant(QVariantMap{{u"a"_s, 1}}) << false << qint64(0)
                                << QString() << false;
}

void TestWLUserDefaults::typedReads()
{
    QFETCH(QVariant, value);
    QFETCH(bool, boolValue);
    QFETCH(qint64, integerValue);
    QFETCH(QString, stringValue);
    QFETCH(bool, isArray);

    WLUserDefaults defaults(filePath());
    const QString key = u"key"_s;
    defaults.setObject(value, key);
    QCOMPARE(defaults.boolForKey(key), boolValue);
    QCOMPARE(defaults.integerForKey(key), integerValue);
    QCOMPARE(defaults.stringForKey(key), stringValue);
    QCOMPARE(defaults.stringForKey(key).isNull(), stringValue.isNull());
    QCOMPARE(defaults.arrayForKey(key).has_value(), isArray);
    if (isArray)
        QCOMPARE(QVariant(*defaults.arrayForKey(key)), value);
}

void TestWLUserDefaults::registeredDefaultsAreNeverWritten()
{
    const QString background = u"WLPrefDisplayBackground"_s;
    const QString largeFont = u"WLPrefDisplayLargeFont"_s;
    {
        WLUserDefaults defaults(filePath());
        defaults.registerDefaults({{background, true}, {largeFont, false}});
        QVERIFY(defaults.boolForKey(background));
        QVERIFY(!defaults.boolForKey(largeFont));

        // A stored value hides the default; removing it shows the default again.
        defaults.setBool(false, background);
        QVERIFY(!defaults.boolForKey(background));
        defaults.removeObjectForKey(background);
        QVERIFY(defaults.boolForKey(background));

        defaults.setInteger(102, u"WLPrefLastTabTag"_s);
        QVERIFY(defaults.synchronize());
    }
    const QVariantMap onDisk = WLPropertyList::readFile(filePath()).toMap();
    QCOMPARE(onDisk, (QVariantMap{{u"WLPrefLastTabTag"_s, qint64(102)}}));

    WLUserDefaults reopened(filePath());
    QVERIFY(!reopened.objectForKey(background).isValid());
}

void TestWLUserDefaults::removalReachesTheFile()
{
    {
        WLUserDefaults defaults(filePath());
        defaults.setObject(u"word"_s, u"WLPrefLastWord"_s);
        defaults.setObject(u"keyword"_s, u"WLPrefLastSearchKeyword"_s);
    }
    {
        WLUserDefaults defaults(filePath());
        QCOMPARE(defaults.stringForKey(u"WLPrefLastWord"_s), u"word"_s);
        defaults.removeObjectForKey(u"WLPrefLastWord"_s);
    }
    WLUserDefaults reopened(filePath());
    QVERIFY(!reopened.objectForKey(u"WLPrefLastWord"_s).isValid());
    QCOMPARE(reopened.stringForKey(u"WLPrefLastSearchKeyword"_s), u"keyword"_s);
}

void TestWLUserDefaults::changesReachTheFileWithoutBeingAsked()
{
    WLUserDefaults defaults(filePath());
    defaults.setObject(u"first"_s, u"a"_s);
    defaults.setObject(u"second"_s, u"b"_s);
    QVERIFY(defaults.hasUnsavedChanges());
    QTRY_VERIFY_WITH_TIMEOUT(!defaults.hasUnsavedChanges(), 5000);
    const QVariantMap onDisk = WLPropertyList::readFile(filePath()).toMap();
    QCOMPARE(onDisk, (QVariantMap{{u"a"_s, u"first"_s}, {u"b"_s, u"second"_s}}));
}

void TestWLUserDefaults::refusesValuesWithoutPropertyListForm()
{
    WLUserDefaults defaults(filePath());
    defaults.setObject(u"kept"_s, u"key"_s);
    StderrCapture capture;
    defaults.setObject(QUrl(u"http://example.com"_s), u"key"_s);
    defaults.setObject(QVariantList{u"a"_s, QUrl()}, u"key"_s);
    QCOMPARE(capture.reports(),
             QStringList(2, u"-[WLUserDefaults setObject:forKey:]: (!isPropertyList(value))"_s));
    QCOMPARE(defaults.stringForKey(u"key"_s), u"kept"_s);
}

void TestWLUserDefaults::unparsableFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a property list");
    QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?><plist><dict><key>WLBook");
    QTest::newRow("array root") << WLPropertyList::toData(QVariantList{u"a"_s});
}

void TestWLUserDefaults::unparsableFileIsKeptAside()
{
    QFETCH(QByteArray, bytes);
    writeAll(filePath(), bytes);
    {
        StderrCapture capture;
        WLUserDefaults defaults(filePath());
        const QStringList reports = capture.reports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().startsWith(
                     u"-[WLUserDefaults initWithPath:]: Unreadable user defaults "_s),
                 qPrintable(reports.first()));
        QVERIFY(!defaults.objectForKey(u"WLBookmarks"_s).isValid());
        defaults.setObject(u"new"_s, u"key"_s);
        QVERIFY(defaults.synchronize());
    }
    const QStringList aside =
        QDir(mDir->path()).entryList({u"defaults.plist.corrupt-*"_s}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readAll(filePath(aside.first())), bytes);
    QCOMPARE(WLPropertyList::readFile(filePath()).toMap(), (QVariantMap{{u"key"_s, u"new"_s}}));
}

void TestWLUserDefaults::failedWriteStaysPending()
{
    // A plain file where the store's folder should be.
    writeAll(filePath(u"folder"_s), "x");
    WLUserDefaults defaults(filePath(u"folder/defaults.plist"_s));
    defaults.setObject(u"value"_s, u"key"_s);
    StderrCapture capture;
    QVERIFY(!defaults.synchronize());
    QVERIFY(defaults.hasUnsavedChanges());
    QCOMPARE(capture.reports().size(), 1);
    QVERIFY(capture.reports().first().startsWith(u"-[WLUserDefaults synchronize]: Cannot write"_s));
}

void TestWLUserDefaults::foreignValuesDoNotStopSaving()
{
    // A binary list written elsewhere: {"a": UID(5), "b": [UID(7), "x"]}.
    // Archiver references have no value form of ours; they used to make
    // every later save fail, so new bookmarks were never written.
    writeAll(filePath(), QByteArray("bplist00\xd2\x01\x02\x03\x04\x51\x61\x51\x62\x80\x05\xa2"
                                    "\x05\x06\x80\x07\x51\x78\x08\x0d\x0f\x11\x13\x16\x18"
                                    "\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x07"
                                    "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x1a",
                                    65));
    {
        WLUserDefaults defaults(filePath());
        defaults.setObject(u"new"_s, u"key"_s);
        StderrCapture capture;
        QVERIFY(defaults.synchronize());
        QCOMPARE(capture.reports(), QStringList());
    }
    const QVariantMap onDisk = WLPropertyList::readFile(filePath()).toMap();
    QCOMPARE(onDisk.value(u"key"_s).toString(), u"new"_s);
    QCOMPARE(onDisk.value(u"a"_s).toLongLong(), 5);
    QCOMPARE(onDisk.value(u"b"_s).toList().size(), 2);
}

void TestWLUserDefaults::standardStoreFollowsTheEnvironment()
{
    const QByteArray saved = qgetenv("WL_DEFAULTS_FILE");
    qputenv("WL_DEFAULTS_FILE", filePath().toUtf8());
    WLUserDefaults::resetStandardUserDefaults();

    WLUserDefaults *defaults = WLUserDefaults::standardUserDefaults();
    QCOMPARE(defaults->path(), filePath());
    QCOMPARE(WLUserDefaults::standardUserDefaults(), defaults);
    defaults->registerDefaults({{u"registered"_s, true}});
    defaults->setObject(u"kept"_s, u"key"_s);

    // Resetting writes what is pending and forgets the registered defaults.
    WLUserDefaults::resetStandardUserDefaults();
    QCOMPARE(WLPropertyList::readFile(filePath()).toMap(), (QVariantMap{{u"key"_s, u"kept"_s}}));
    QCOMPARE(WLUserDefaults::standardUserDefaults()->stringForKey(u"key"_s), u"kept"_s);
    QVERIFY(!WLUserDefaults::standardUserDefaults()->objectForKey(u"registered"_s).isValid());

    WLUserDefaults::resetStandardUserDefaults();
    qputenv("WL_DEFAULTS_FILE", saved);
}

void TestWLUserDefaults::dictionaryFolderName_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<bool>("used");

    QTest::newRow("reverse domain") << u"org.example.wordnet-3.0"_s << true;
    QTest::newRow("letters of any script") << u"Wörterbuch_日本"_s << true;
    QTest::newRow("64 characters") << QString(64, u'x') << true;
    QTest::newRow("65 characters") << QString(65, u'x') << false;
    QTest::newRow("none") << QString() << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("parent") << u".."_s << false;
    QTest::newRow("parent inside") << u"../x"_s << false;
    QTest::newRow("hidden") << u".config"_s << false;
    QTest::newRow("line end") << u"a\nb"_s << false;
    QTest::newRow("NUL") << u"a"_s + QChar(0) + u"b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("space") << u"my dictionary"_s << false;
}

// An identifier from a bundle is a folder name as it is or not at all;
// without one, the bundle's real path names the folder.
void TestWLUserDefaults::dictionaryFolderName()
{
    QFETCH(QString, identifier);
    QFETCH(bool, used);
    const QString bundle = mDir->filePath(u"my bundle"_s);
    QVERIFY(QDir().mkpath(bundle));
    QVERIFY(QFile::link(bundle, mDir->filePath(u"link"_s)));
    QVERIFY(QDir().mkpath(mDir->filePath(u"other"_s)));

    const QString name = WLUserDefaults::dictionaryFolderName(identifier, bundle);
    if (used) {
        QCOMPARE(name, identifier);
        return;
    }
    QVERIFY2(QRegularExpression(u"^path-mybundle-[0-9a-f]{16}$"_s).match(name).hasMatch(),
             qPrintable(name));
    QCOMPARE(WLUserDefaults::dictionaryFolderName(identifier, mDir->filePath(u"link"_s)), name);
    QVERIFY(WLUserDefaults::dictionaryFolderName(identifier, mDir->filePath(u"other"_s)) != name);
}

// Bookmarks added for one dictionary are not another's, through wldict as
// a user runs it; the shared file of earlier versions is left alone.
void TestWLUserDefaults::wldictKeepsEachDictionaryApart()
{
    const QString wldict = qEnvironmentVariable("WLDICT");
    const QDir demo(qEnvironmentVariable("WL_DEMO_BUNDLE"));
    if (wldict.isEmpty() || !demo.exists())
        QSKIP("needs wldict and the demo bundle");
    // Two copies of the demo; the first names itself.
    for (const QString &copy : {u"named"_s, u"unnamed"_s}) {
        QVERIFY(QDir().mkpath(mDir->filePath(copy)));
        for (const QString &file : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(file), mDir->filePath(copy + u'/' + file)));
        QVariantMap description =
            WLPropertyList::readFile(mDir->filePath(copy + u"/DatabaseInfo.plist"_s)).toMap();
        description.remove(u"KXPropDictionaryIdentifier"_s);
        if (copy == u"named")
            description.insert(u"KXPropDictionaryIdentifier"_s, u"org.example.named"_s);
        writeAll(mDir->filePath(copy + u"/DatabaseInfo.plist"_s),
                 WLPropertyList::toData(description));
    }
    const QString config = mDir->filePath(u"config"_s);
    const QString shared = config + u"/WLReader/defaults.plist"_s;
    QVERIFY(QDir().mkpath(config + u"/WLReader"_s));
    writeAll(shared, WLPropertyList::toData(QVariantMap{{u"WLBookmarks"_s, QVariantList{}}}));
    const QByteArray sharedBytes = readAll(shared);
    writeAll(filePath(u"bookmark.json"_s),
             R"([{"word": "apple", "links": ["apple#1"], "notes": "", "contentsIDs": ["1"]}])");

    const auto run = [&](const QString &copy, const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"WL_DEFAULTS_FILE"_s);
        environment.insert(u"XDG_CONFIG_HOME"_s, config);
        process.setProcessEnvironment(environment);
        process.start(wldict, QStringList{u"--dictionary"_s, mDir->filePath(copy), u"--json"_s,
                                          u"bookmarks"_s} + arguments);
        process.waitForFinished(60000);
        return QJsonDocument::fromJson(process.readAllStandardOutput()).toVariant();
    };
    QVERIFY(run(u"named"_s, {u"import"_s, filePath(u"bookmark.json"_s)}).isValid());
    QCOMPARE(run(u"named"_s, {}).toList().size(), 1);
    QCOMPARE(run(u"unnamed"_s, {}).toList().size(), 0);
    QVERIFY(QFileInfo::exists(config + u"/WLReader/org.example.named/defaults.plist"_s));
    QCOMPARE(readAll(shared), sharedBytes);
}

void TestWLUserDefaults::theIdentifierIsReadOnlyWhenTheStoreIsFirstNeeded_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::newRow("a safe name") << u"org.example.lazy"_s;
    QTest::newRow("an unsafe one, replaced by the path's") << u"../elsewhere"_s;
}

void TestWLUserDefaults::theIdentifierIsReadOnlyWhenTheStoreIsFirstNeeded()
{
    QFETCH(QString, identifier);
    const QByteArray savedFile = qgetenv("WL_DEFAULTS_FILE");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("WL_DEFAULTS_FILE");
    qputenv("XDG_CONFIG_HOME", mDir->filePath(u"config"_s).toUtf8());
    const QString bundle = mDir->filePath(u"bundle"_s);
    QVERIFY(QDir().mkpath(bundle));

    int asked = 0;
    WLUserDefaults::setDictionary(
        [&] {
            ++asked;
            return identifier;
        },
        bundle);
    QCOMPARE(asked, 0);
    const QString expected = mDir->filePath(
        u"config/WLReader/%1/defaults.plist"_s.arg(WLUserDefaults::dictionaryFolderName(identifier, bundle)));
    QCOMPARE(WLUserDefaults::defaultPath(), expected);
    QCOMPARE(WLUserDefaults::defaultPath(), expected);
    QCOMPARE(asked, 1);
    // The eager form still replaces it.
    WLUserDefaults::setDictionary(u"org.example.eager"_s, bundle);
    QVERIFY(WLUserDefaults::defaultPath().endsWith(u"/WLReader/org.example.eager/defaults.plist"_s));
    QCOMPARE(asked, 1);

    qputenv("WL_DEFAULTS_FILE", savedFile);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

namespace {

// A change as the stores make it: one word added to a list.
WLUserDefaults::Edit appended(const QString &word)
{
    return [word](const QVariantMap &values) {
        return QVariant(values.value(u"list"_s).toList() << word);
    };
}

} // namespace

void TestWLUserDefaults::twoWritersOfOneFileLoseNothing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QVariantMap>("expected");
    const QVariant list{QVariantList{u"x"_s}};
    const QVariant kept{qint64(1)};
    QTest::newRow("other keys")
        << u"keys"_s
        << QVariantMap{{u"first"_s, u"one"_s}, {u"second"_s, u"two"_s}, {u"list"_s, list}, {u"kept"_s, kept}};
    QTest::newRow("one key set by both: the later write")
        << u"same"_s << QVariantMap{{u"first"_s, u"one"_s}, {u"list"_s, list}, {u"kept"_s, kept}};
    QTest::newRow("one list changed by both")
        << u"edits"_s << QVariantMap{{u"list"_s, QVariantList{u"x"_s, u"b"_s, u"a"_s}}, {u"kept"_s, kept}};
    QTest::newRow("a key removed by one, changed by the other")
        << u"removal"_s << QVariantMap{{u"list"_s, QVariantList{u"x"_s, u"a"_s}}};
}

void TestWLUserDefaults::twoWritersOfOneFileLoseNothing()
{
    QFETCH(QString, change);
    QFETCH(QVariantMap, expected);
    {
        WLUserDefaults before(filePath());
        before.setObject(QVariantList{u"x"_s}, u"list"_s);
        before.setInteger(1, u"kept"_s);
        QVERIFY(before.synchronize());
    }
    // Two stores on one file, as two processes have.
    WLUserDefaults mine(filePath());
    WLUserDefaults theirs(filePath());
    if (change == u"keys") {
        mine.setObject(u"one"_s, u"first"_s);
        theirs.setObject(u"two"_s, u"second"_s);
    } else if (change == u"same") {
        theirs.setObject(u"two"_s, u"first"_s);
        mine.setObject(u"one"_s, u"first"_s);
    } else if (change == u"edits") {
        mine.editObject(u"list"_s, appended(u"a"_s));
        theirs.editObject(u"list"_s, appended(u"b"_s));
    } else {
        mine.editObject(u"list"_s, appended(u"a"_s));
        theirs.removeObjectForKey(u"kept"_s);
    }
    QVERIFY(theirs.synchronize());
    QVERIFY(mine.synchronize());
    QCOMPARE(WLPropertyList::readFile(filePath()).toMap(), expected);
    // The later writer holds what it wrote; the other takes it in.
    QCOMPARE(mine.objectForKey(u"list"_s), expected.value(u"list"_s));
    theirs.reloadIfChanged();
    QCOMPARE(theirs.objectForKey(u"list"_s), expected.value(u"list"_s));
    QCOMPARE(theirs.objectForKey(u"first"_s), expected.value(u"first"_s));
}

void TestWLUserDefaults::aWatchingStoreTakesInWhatAnotherWrote()
{
    WLUserDefaults mine(filePath());
    mine.watchForChanges();
    QStringList announced;
    WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
        QLatin1String(WLUserDefaultsDidChangeNotification), &mine,
        [&](const WLNotification &notification) {
            announced += notification.userInfo.value(u"keys"_s).toStringList();
        });
    // A change of its own not yet written stays on top of the other's.
    mine.editObject(u"list"_s, appended(u"mine"_s));
    {
        WLUserDefaults theirs(filePath());
        theirs.editObject(u"list"_s, appended(u"theirs"_s));
        theirs.setObject(u"value"_s, u"other"_s);
        QVERIFY(theirs.synchronize());
    }
    QTRY_COMPARE(mine.stringForKey(u"other"_s), u"value"_s);
    QCOMPARE(mine.objectForKey(u"list"_s), QVariant(QVariantList{u"theirs"_s, u"mine"_s}));
    announced.sort();
    QCOMPARE(announced, (QStringList{u"list"_s, u"other"_s}));
    QVERIFY(mine.synchronize());
    QCOMPARE(WLPropertyList::readFile(filePath()).toMap(),
             (QVariantMap{{u"list"_s, QVariantList{u"theirs"_s, u"mine"_s}}, {u"other"_s, u"value"_s}}));
    // Its own writes are not news.
    announced.clear();
    mine.setObject(u"again"_s, u"other"_s);
    QVERIFY(mine.synchronize());
    QTest::qWait(2 * WLUserDefaults::kReloadDelayMs);
    QCOMPARE(announced, QStringList());
}

void TestWLUserDefaults::aWriteWaitsForAnotherToFinish()
{
    QLockFile other(filePath() + u".lock"_s);
    QVERIFY(other.lock());
    // The other process finishes its write a moment later.
    std::thread finishing([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.unlock();
    });
    WLUserDefaults mine(filePath());
    mine.setObject(u"value"_s, u"key"_s);
    QElapsedTimer waited;
    waited.start();
    const bool written = mine.synchronize();
    finishing.join();
    QVERIFY(written);
    QVERIFY(waited.elapsed() >= 250);
    QCOMPARE(WLPropertyList::readFile(filePath()).toMap(), (QVariantMap{{u"key"_s, u"value"_s}}));
}

QTEST_GUILESS_MAIN(TestWLUserDefaults)
#include "tst_wluserdefaults.moc"

#include "WLDictdImporter.h"
#include "WLDictdIndex.h"
#include "WLDictdTestDatabase.h"
#include "WLProgress.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLDictdImporter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertsDatabase_data();
    void convertsDatabase();
    void readsLatin1AndOldMetadataNames();
    void titleFallsBackToFileName();
    void rejectsBrokenInput_data();
    void rejectsBrokenInput();
    void rejectsMissingDataFile();

public:
    static WLDictdTestDatabase sample();
    static QJsonObject readManifest(const QString &dir);
    static QList<QJsonObject> readEntries(const QString &dir);
};

WLDictdTestDatabase TestWLDictdImporter::sample()
{
    WLDictdTestDatabase db;
    db.add("00-database-short", "00-database-short\n     Test Dictionary (1.0)\n");
    db.add("00-database-long", "00-database-long\n     The long name\n");
    db.add("00-database-info", "00-database-info\nA <small> test.\n\nSecond paragraph.\n");
    db.add("00-test-short", "00-test-short\n     Test Dictionary (1.0)\n");
    db.add("00-database-url", "00-database-url\n     https://example.org/dict\n");
    db.add("00-database-utf8", "00-database-utf8\n");
    db.add("00-database-allchars", "00-database-allchars\n");
    db.add("bank", "bank\n  n 1: sloping land beside a {river}\n");
    db.add("bank", "bank\n  n 2: a firm; see {nowhere}\n");
    db.add("caf\xc3\xa9", "Caf\xc3\xa9\n  a small restaurant near the {BANK}\n");
    db.add("river", "river\n  a stream [[sic]]\n");
    db.addRawIndexLine("\tA\tB");
    db.add("stra\xc3\x9f"
           "e",
           "Stra\xc3\x9f"
           "e\n  a street to the {caf\xc3\xa9}\n");
    // Texts named by several headwords.
    db.add("define", "Define \\De*fine\\, v. t. [imp. & p. p. {Defined}]\n  To fix.\n");
    db.addShared("defined");
    db.addShared("defining");
    db.add("gas", "Physics:\n  a state of matter\n");
    db.addShared("vapour");
    db.add("100%2 rise", "100%2 rise\n  a doubling\n");
    db.addShared("doubling");
    // Headwords that differ in case: each is its own target, and another
    // case goes to the first.
    db.add("polish", "polish\n  to shine; not {Polish} but {POLISH}\n");
    db.add("Polish", "Polish\n  of Poland\n");
    return db;
}

QJsonObject TestWLDictdImporter::readManifest(const QString &dir)
{
    QFile file(QDir(dir).filePath(u"manifest.json"_s));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QList<QJsonObject> TestWLDictdImporter::readEntries(const QString &dir)
{
    QList<QJsonObject> entries;
    QFile file(QDir(dir).filePath(u"entries.jsonl"_s));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        QJsonParseError error;
        const QJsonDocument line = QJsonDocument::fromJson(file.readLine(), &error);
        entries.append(error.error == QJsonParseError::NoError ? line.object() : QJsonObject());
    }
    return entries;
}

void TestWLDictdImporter::convertsDatabase_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("plain") << int(WLDictdTestDatabase::Format::Plain);
    QTest::newRow("dictzip") << int(WLDictdTestDatabase::Format::Dictzip);
    QTest::newRow("gzip") << int(WLDictdTestDatabase::Format::Gzip);
}

void TestWLDictdImporter::convertsDatabase()
{
    QFETCH(int, format);
    QTemporaryDir dir;
    const QString dataPath =
        sample().write(dir.path(), u"test"_s, WLDictdTestDatabase::Format(format), 16);
    WLDictdImporter importer(dir.filePath(u"test.index"_s), dataPath);
    struct Recorder : WLProgress
    {
        QStringList phases;
        void progress(const QString &phase, qint64, qint64) override
        {
            if (phases.isEmpty() || phases.last() != phase)
                phases.append(phase);
        }
    } recorder;
    importer.setProgress(&recorder);
    const QString out = dir.filePath(u"source/nested"_s);
    QVERIFY2(importer.writeSource(out), qPrintable(importer.errorString()));
    QStringList phases{u"reading test.index"_s, u"reading headwords"_s, u"writing entries.jsonl"_s};
    if (WLDictdTestDatabase::Format(format) != WLDictdTestDatabase::Format::Plain)
        phases.insert(1, u"inflating %1"_s.arg(QFileInfo(dataPath).fileName()));
    QCOMPARE(recorder.phases, phases);

    const QJsonObject manifest = readManifest(out);
    QCOMPARE(manifest.value(u"title"_s).toString(), u"Test Dictionary (1.0)"_s);
    QCOMPARE(manifest.value(u"identifier"_s).toString(), u"dictd.test"_s);
    QCOMPARE(manifest.value(u"charset"_s).toString(), u"UTF-8"_s);
    QCOMPARE(manifest.value(u"language"_s).toString(), u"root"_s);
    QCOMPARE(manifest.value(u"about"_s).toString(),
             u"The long name\n\nA <small> test.\n\nSecond paragraph.\n\nhttps://example.org/dict"_s);
    for (const QString &key : {u"header"_s, u"largeHeader"_s, u"footer"_s, u"separator"_s})
        QVERIFY2(!manifest.value(key).toString().isEmpty(), qPrintable(key));

    const QList<QJsonObject> entries = readEntries(out);
    QStringList headwords;
    QList<QJsonArray> fragments;
    for (const QJsonObject &e : entries) {
        headwords.append(e.value(u"headword"_s).toString());
        fragments.append(e.value(u"fragments"_s).toArray());
    }
    // No database entries among the headwords; order as in the index.
    QCOMPARE(headwords, QStringList({u"bank"_s, u"café"_s, u"river"_s, u"straße"_s, u"define"_s,
                                     u"defined"_s, u"defining"_s, u"gas"_s, u"vapour"_s,
                                     u"100%2 rise"_s, u"doubling"_s, u"polish"_s,
                                     u"Polish"_s}));
    const QJsonArray expected[] = {
        {u"<pre><b>bank</b>\n  n 1: sloping land beside a [[river|river]]</pre>"_s,
         u"<pre><b>bank</b>\n  n 2: a firm; see nowhere</pre>"_s},
        {u"<pre><b>Café</b>\n  a small restaurant near the [[bank|BANK]]</pre>"_s},
        {u"<pre><b>river</b>\n  a stream &#91;[sic]]</pre>"_s},
        {u"<pre><b>Straße</b>\n  a street to the [[café|café]]</pre>"_s},
        // A shared text is written once, with the headword its first line
        // names in bold (or none), and copied by the others.
        {u"<pre><b>Define</b> \\De*fine\\, v. t. [imp. &amp; p. p. [[defined|Defined]]]\n  To "
         "fix.</pre>"_s},
        {QJsonObject{{u"sameAs"_s, u"define#1"_s}}},
        {QJsonObject{{u"sameAs"_s, u"define#1"_s}}},
        {u"<pre>Physics:\n  a state of matter</pre>"_s},
        {QJsonObject{{u"sameAs"_s, u"gas#1"_s}}},
        {u"<pre><b>100%2 rise</b>\n  a doubling</pre>"_s},
        {QJsonObject{{u"sameAs"_s, u"100%2 rise#1"_s}}},
        {u"<pre><b>polish</b>\n  to shine; not [[Polish|Polish]] but [[polish|POLISH]]</pre>"_s},
        {u"<pre><b>Polish</b>\n  of Poland</pre>"_s},
    };
    for (qsizetype i = 0; i < fragments.size(); ++i)
        QCOMPARE(fragments[i], expected[i]);

    QCOMPARE(importer.headwordCount(), 13);
    QCOMPARE(importer.definitionCount(), 14);
    QCOMPARE(importer.sharedCount(), 4);
    QCOMPARE(importer.linkCount(), 6);
    QCOMPARE(importer.unresolvedCount(), 1);
    QCOMPARE(importer.skippedCount(), 1);
}

void TestWLDictdImporter::readsLatin1AndOldMetadataNames()
{
    QTemporaryDir dir;
    WLDictdTestDatabase db;
    db.add("00databaseshort", "00databaseshort\n     Old Style\n");
    db.add("caf\xe9", "caf\xe9\n  coffee\n");
    // Valid UTF-8 still reads as UTF-8 in a database not marked as such.
    db.add("na\xc3\xafve", "na\xc3\xafve\n  simple\n");
    const QString dataPath = db.write(dir.path(), u"old"_s, WLDictdTestDatabase::Format::Plain);
    WLDictdImporter importer(dir.filePath(u"old.index"_s), dataPath);
    importer.setLanguage(u"fr"_s);
    QVERIFY2(importer.writeSource(dir.filePath(u"src"_s)), qPrintable(importer.errorString()));
    const QJsonObject manifest = readManifest(dir.filePath(u"src"_s));
    QCOMPARE(manifest.value(u"title"_s).toString(), u"Old Style"_s);
    QCOMPARE(manifest.value(u"language"_s).toString(), u"fr"_s);
    QVERIFY(!manifest.contains(u"about"_s));
    const QList<QJsonObject> entries = readEntries(dir.filePath(u"src"_s));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].value(u"headword"_s).toString(), u"café"_s);
    QCOMPARE(entries[0].value(u"fragments"_s).toArray()[0].toString(),
             u"<pre><b>café</b>\n  coffee</pre>"_s);
    QCOMPARE(entries[1].value(u"headword"_s).toString(), u"naïve"_s);
}

void TestWLDictdImporter::titleFallsBackToFileName()
{
    QTemporaryDir dir;
    WLDictdTestDatabase db;
    db.add("word", "word\n");
    const QString dataPath =
        db.write(dir.path(), u"mydict"_s, WLDictdTestDatabase::Format::Dictzip);
    WLDictdImporter importer(dir.filePath(u"mydict.index"_s), dataPath);
    QVERIFY2(importer.writeSource(dir.filePath(u"src"_s)), qPrintable(importer.errorString()));
    QCOMPARE(importer.title(), u"mydict"_s);

    WLDictdImporter named(dir.filePath(u"mydict.index"_s), dataPath);
    named.setTitle(u"Given"_s);
    QVERIFY(named.writeSource(dir.filePath(u"src2"_s)));
    QCOMPARE(readManifest(dir.filePath(u"src2"_s)).value(u"title"_s).toString(), u"Given"_s);
}

void TestWLDictdImporter::rejectsBrokenInput_data()
{
    QTest::addColumn<QByteArray>("extraIndexLine");
    QTest::addColumn<bool>("onlyMetadata");
    QTest::addColumn<QString>("message");
    QTest::newRow("definition past the end")
        << QByteArray("word\t" + WLDictdIndex::encodeNumber(10) + "\tD") << false
        << u"test.index:2: "_s;
    QTest::newRow("malformed line") << QByteArray("word") << false << u"test.index:2: "_s;
    QTest::newRow("no headwords") << QByteArray() << true << u"test.index: no headwords"_s;
}

void TestWLDictdImporter::rejectsBrokenInput()
{
    QFETCH(QByteArray, extraIndexLine);
    QFETCH(bool, onlyMetadata);
    QFETCH(QString, message);
    QTemporaryDir dir;
    WLDictdTestDatabase db;
    db.add(onlyMetadata ? "00-database-short" : "good", "good\n");
    if (!extraIndexLine.isEmpty())
        db.addRawIndexLine(extraIndexLine);
    const QString dataPath = db.write(dir.path(), u"test"_s, WLDictdTestDatabase::Format::Plain);
    WLDictdImporter importer(dir.filePath(u"test.index"_s), dataPath);
    QVERIFY(!importer.writeSource(dir.filePath(u"src"_s)));
    QVERIFY2(importer.errorString().contains(message), qPrintable(importer.errorString()));
    // Nothing half-written is left for the compiler to pick up.
    QVERIFY(!QFile::exists(dir.filePath(u"src/entries.jsonl"_s)));
    QVERIFY(!QFile::exists(dir.filePath(u"src/manifest.json"_s)));
}

void TestWLDictdImporter::rejectsMissingDataFile()
{
    QTemporaryDir dir;
    sample().write(dir.path(), u"test"_s, WLDictdTestDatabase::Format::Plain);
    WLDictdImporter missing(dir.filePath(u"test.index"_s), dir.filePath(u"absent.dict"_s));
    QVERIFY(!missing.writeSource(dir.filePath(u"src"_s)));
    QVERIFY2(missing.errorString().startsWith(dir.filePath(u"absent.dict"_s)),
             qPrintable(missing.errorString()));
}

QTEST_APPLESS_MAIN(TestWLDictdImporter)
#include "tst_wldictdimporter.moc"

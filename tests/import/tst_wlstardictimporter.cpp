#include "WLDictdTestDatabase.h"
#include "WLStarDictImporter.h"
#include "WLStarDictTestDictionary.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

// Whole imports: the sample with everything, the same dictionary in every
// file form, and damaged dictionaries, each refused with its exact report
// and nothing left in the source folder.
class TestWLStarDictImporter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importsTheSample_data();
    void importsTheSample();
    void everyFileFormGivesTheSameSource_data();
    void everyFileFormGivesTheSameSource();
    void refusesDamage_data();
    void refusesDamage();
    void sourceFolderMustBeEmpty();
};

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The .dict replaced by a dictzip of it, changed by spoil.
void dictzipped(const QString &dir, const std::function<void(QByteArray &)> &spoil)
{
    QByteArray zipped = WLDictdTestDatabase::dictzip(readFile(dir + u"/t.dict"_s), 8);
    spoil(zipped);
    writeFile(dir + u"/t.dict.dz"_s, zipped);
    QFile::remove(dir + u"/t.dict"_s);
}

// Two entries, the second with a synonym: what the damage rows start from.
WLStarDictTestDictionary small()
{
    WLStarDictTestDictionary d;
    d.add("apple", WLStarDictTestDictionary::item('m', "a fruit"));
    const int pear = d.add("pear", WLStarDictTestDictionary::item('m', "another fruit"));
    d.addSynonym("poire", pear);
    return d;
}

struct Damage
{
    const char *name;
    std::function<void(WLStarDictTestDictionary &)> build;
    std::function<void(const QString &dir)> spoil;
    // %IFO, %IDX, %DICT, %SYN and %RES stand for the files' paths.
    QString error;
};

const QList<Damage> &damages()
{
    static const QList<Damage> list = {
        {"wordcount", [](auto &d) { d.setInfo("wordcount", "3"); }, {},
         u"%IFO: wordcount is 3, but %IDX holds 2 headwords"_s},
        {"idxfilesize too small", [](auto &d) { d.setInfo("idxfilesize", "20"); }, {},
         u"%IFO: idxfilesize is 20, but %IDX holds more than 20 bytes"_s},
        {"idxfilesize too large", [](auto &d) { d.setInfo("idxfilesize", "40"); }, {},
         u"%IFO: idxfilesize is 40, but %IDX holds 27 bytes"_s},
        {"index record cut short", [](auto &d) { d.addRawIndex(QByteArray("kiwi\0\0\0", 7)); }, {},
         u"%IDX: offset 27: the record is cut short: the file ends 2 bytes into its 8 bytes of offset and size"_s},
        {"headword not UTF-8", [](auto &d) { d.add("k\xefwi", WLStarDictTestDictionary::item('m', "x")); }, {},
         u"%IDX: offset 27: the headword is not valid UTF-8"_s},
        {"data past the end",
         [](auto &d) {
             d.addRawIndex(QByteArray("kiwi\0\0\0\0\x14\0\0\0\x08", 13));
             d.setInfo("wordcount", "3");
         },
         {}, u"%IDX: offset 27: the data of \"kiwi\" (8 bytes at 20) lies past the end of %DICT (24 bytes)"_s},
        // The headword is the dictionary's text: none of it is taken for a
        // place of the message.
        {"data past the end, a headword like a message's places",
         [](auto &d) {
             d.addRawIndex(QByteArray("%5 %3\0\0\0\0\x14\0\0\0\x08", 14));
             d.setInfo("wordcount", "3");
         },
         {}, u"%IDX: offset 27: the data of \"%5 %3\" (8 bytes at 20) lies past the end of %DICT (24 bytes)"_s},
        {"an entry too large to read",
         [](auto &d) {
             d.addRawIndex(QByteArray("kiwi\0\0\0\0\0\x7f\xff\xff\xff", 13));
             d.setInfo("wordcount", "3");
         },
         {},
         u"%IDX: offset 27: \"kiwi\" has 2147483647 bytes of data; more than 67108864 are not read"_s},
        {"text not UTF-8", [](auto &d) { d.add("kiwi", WLStarDictTestDictionary::item('m', "gr\xfcn")); }, {},
         u"%DICT: offset 27: the text of type 'm' is not valid UTF-8 (\"kiwi\")"_s},
        {"items that do not fit", [](auto &d) { d.add("kiwi", QByteArray("P\0\0\1\0", 5)); }, {},
         u"%DICT: offset 25: 256 bytes of type 'P' run past the end of the entry (5 bytes)"_s +
             u" (\"kiwi\")"_s},
        {"resource out of res/",
         [](auto &d) { d.add("kiwi", WLStarDictTestDictionary::item('r', "img:../../home/secret.png")); }, {},
         u"%DICT: offset 25: resource \"../../home/secret.png\" leads out of res/ with \"..\" (\"kiwi\")"_s},
        {"resource by absolute path",
         [](auto &d) { d.add("kiwi", WLStarDictTestDictionary::item('h', "<img src=\"/etc/x.png\">")); }, {},
         u"%DICT: offset 25: resource \"/etc/x.png\" is an absolute path, not a file in res/ (\"kiwi\")"_s},
        {"dictzip chunk table", {},
         [](const QString &dir) { dictzipped(dir, [](QByteArray &z) { z[20] = char(z[20] + 1); }); },
         u"%DIR/t.dict.dz: offset 16: a chunk table of 4 chunks of 8 bytes in a field of 12 bytes"_s},
        {"dictzip cut short", {},
         [](const QString &dir) { dictzipped(dir, [](QByteArray &z) { z.chop(12); }); },
         u"%DIR/t.dict.dz: dictzip chunk 3 of 3 at offset 66: runs past the end of the file"_s},
        {"no .dict", {}, [](const QString &dir) { QFile::remove(dir + u"/t.dict"_s); },
         u"%IFO: no t.dict or t.dict.dz beside it"_s},
        {"no .idx", {}, [](const QString &dir) { QFile::remove(dir + u"/t.idx"_s); },
         u"%IFO: no t.idx or t.idx.gz beside it"_s},
        {"no synwordcount", [](auto &d) { d.setInfo("synwordcount", "0"); },
         [](const QString &dir) {
             const QString ifo = dir + u"/t.ifo"_s;
             writeFile(ifo, readFile(ifo).replace("synwordcount=0\n", ""));
         },
         u"%IFO: no synwordcount, but %SYN is there"_s},
        {"synwordcount", [](auto &d) { d.setInfo("synwordcount", "2"); }, {},
         u"%IFO: synwordcount is 2, but %SYN holds 1 synonyms"_s},
        {"synonym of no headword", [](auto &d) { d.addSynonym("nix", 2); }, {},
         u"%SYN: offset 10: \"nix\" names headword 2 of an index of 2"_s},
        {"not an .ifo", {}, [](const QString &dir) { QFile::rename(dir + u"/t.ifo"_s, dir + u"/t.txt"_s); },
         u"%DIR/t.txt: not a StarDict .ifo file"_s},
        {"version", [](auto &d) { d.setInfo("version", "1.0"); }, {},
         u"%IFO:3: version 1.0 is neither 2.4.2 nor 3.0.0"_s},
        {"res/ is a symbolic link", {},
         [](const QString &dir) { QFile::link(QDir::rootPath() + u"etc"_s, dir + u"/res"_s); },
         u"%RES: a symbolic link; resources are read only from a real folder"_s},
    };
    return list;
}

} // namespace

void TestWLStarDictImporter::importsTheSample_data()
{
    QTest::addColumn<bool>("relative");
    QTest::newRow("by its whole path") << false;
    QTest::newRow("by a path from the current folder") << true;
}

void TestWLStarDictImporter::importsTheSample()
{
    QFETCH(bool, relative);
    QTemporaryDir dir;
    QString ifo = WLStarDictTestDictionary::writeSample(dir.filePath(u"dict"_s));
    const QString before = QDir::currentPath();
    const auto restore = qScopeGuard([&before] { QDir::setCurrent(before); });
    if (relative) {
        QVERIFY(QDir::setCurrent(dir.path()));
        ifo = u"dict/sample.ifo"_s;
    }
    WLStarDictImporter importer(ifo);
    importer.setLanguage(u"en"_s);
    const QString source = dir.filePath(u"source"_s);
    QVERIFY2(importer.writeSource(source), qPrintable(importer.errorString()));
    QCOMPARE(importer.title(), u"Sample StarDict"_s);
    QCOMPARE(importer.headwordCount(), 12);
    QCOMPARE(importer.definitionCount(), 10);
    QCOMPARE(importer.synonymCount(), 3);
    QCOMPARE(importer.sharedCount(), 4);
    QCOMPARE(importer.linkCount(), 2);
    QCOMPARE(importer.pictureCount(), 3);
    QCOMPARE(importer.soundCount(), 3);
    QCOMPARE(importer.missingResourceCount(), 0);
    QCOMPARE(importer.removedCount(), 3);
    QCOMPARE(importer.skippedItemCount(), 1);

    // Only the pictures and sounds that entries show, byte for byte.
    QDir res(dir.filePath(u"dict/res"_s));
    const QList<std::pair<QString, QString>> copied = {
        {u"pictures/fruit_apple.png"_s, u"fruit/apple.png"_s}, {u"pictures/banana.gif"_s, u"banana.gif"_s},
        {u"pictures/map.bmp"_s, u"map.bmp"_s},                 {u"sounds/apple.wav"_s, u"apple.wav"_s},
        {u"sounds/banana.ogg"_s, u"banana.ogg"_s},             {u"sounds/date.mp3"_s, u"date.mp3"_s}};
    for (const auto &[to, from] : copied)
        QCOMPARE(readFile(QDir(source).filePath(to)), readFile(res.filePath(from)));
    QCOMPARE(QDir(source).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{u"entries.jsonl"_s, u"manifest.json"_s, u"pictures"_s, u"sounds"_s}));
    QCOMPARE(QDir(source + u"/pictures"_s).count(), 3 + 2);

    const QJsonObject manifest = QJsonDocument::fromJson(readFile(source + u"/manifest.json"_s)).object();
    QCOMPARE(manifest.value(u"identifier"_s).toString(), u"stardict.sample"_s);
    QCOMPARE(manifest.value(u"language"_s).toString(), u"en"_s);
    QCOMPARE(manifest.value(u"about"_s).toString(),
             u"Fruit, with pictures and sounds.\nMade by the tests.\n\nAuthor: WL Reader's tests\n"
             "E-mail: tests@example.org\nWebsite: https://example.org/sample\nDate: 2026.12.07"_s);

    const QList<QByteArray> lines = readFile(source + u"/entries.jsonl"_s).split('\n');
    const auto line = [&](const QByteArray &headword) {
        for (const QByteArray &l : lines) {
            if (l.startsWith("{\"headword\":\"" + headword + '"'))
                return l;
        }
        return QByteArray();
    };
    // Two records of one headword are two fragments; shared data and
    // synonyms copy the first record that shows it.
    // The headword heads the first (but where XDXF names it).
    QCOMPARE(line("fig"), QByteArray(R"({"headword":"fig","fragments":["<h1 class=\"sd-hw\">fig</h1><pre class=\"sd-m\">the first fig</pre>","<pre class=\"sd-m\">the second fig</pre>"]})"));
    QVERIFY(!line("date").contains("sd-hw"));
    QCOMPARE(line("grapes"), QByteArray(R"({"headword":"grapes","fragments":[{"sameAs":"grape#1"}]})"));
    QCOMPARE(line("raisin"), QByteArray(R"({"headword":"raisin","fragments":[{"sameAs":"grape#1"}]})"));
    QCOMPARE(line("malus"), QByteArray(R"({"headword":"malus","fragments":[{"sameAs":"apple#1"}]})"));
    QVERIFY(line("date").contains(R"("media":["sounds/date.mp3"])"));
}

void TestWLStarDictImporter::everyFileFormGivesTheSameSource_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("gzipIndex");
    QTest::addColumn<bool>("dictzip");
    QTest::addColumn<bool>("sameTypes");
    QTest::newRow("plain, 32 bits") << 32 << false << false << false;
    QTest::newRow(".idx.gz, .dict.dz, 64 bits") << 64 << true << true << false;
    QTest::newRow("sametypesequence") << 32 << false << true << true;
}

void TestWLStarDictImporter::everyFileFormGivesTheSameSource()
{
    QFETCH(int, bits);
    QFETCH(bool, gzipIndex);
    QFETCH(bool, dictzip);
    QFETCH(bool, sameTypes);
    QTemporaryDir dir;
    WLStarDictTestDictionary d;
    d.setOffsetBits(bits);
    // Long enough for several dictzip chunks.
    const QByteArray text = QByteArray("a long meaning, ").repeated(20);
    const auto entry = [&](const QByteArray &phonetic, const QByteArray &meaning) {
        return sameTypes ? phonetic + '\0' + meaning
                         : WLStarDictTestDictionary::item('t', phonetic) + WLStarDictTestDictionary::item('m', meaning);
    };
    if (sameTypes)
        d.setInfo("sametypesequence", "tm");
    for (int i = 0; i < 20; ++i)
        d.add("word" + QByteArray::number(i), entry("w" + QByteArray::number(i), text + QByteArray::number(i)));
    const QString ifo = d.write(dir.path(), u"t"_s,
                                gzipIndex ? WLStarDictTestDictionary::Compression::Gzip
                                          : WLStarDictTestDictionary::Compression::None,
                                dictzip);
    WLStarDictImporter importer(ifo);
    QVERIFY2(importer.writeSource(dir.filePath(u"source"_s)), qPrintable(importer.errorString()));
    const QByteArray entries = readFile(dir.filePath(u"source/entries.jsonl"_s));
    QCOMPARE(entries.count('\n'), 20);
    QVERIFY(entries.contains(R"({"headword":"word19","fragments":["<h1 class=\"sd-hw\">word19</h1><pre class=\"sd-t\">w19</pre><pre class=\"sd-m\">)" +
                             text + "19</pre>\"]}"));
}

void TestWLStarDictImporter::refusesDamage_data()
{
    QTest::addColumn<int>("row");
    for (qsizetype i = 0; i < damages().size(); ++i)
        QTest::newRow(damages()[i].name) << int(i);
}

void TestWLStarDictImporter::refusesDamage()
{
    QFETCH(int, row);
    const Damage &damage = damages()[row];
    QTemporaryDir dir;
    WLStarDictTestDictionary d = small();
    if (damage.build)
        damage.build(d);
    const QString dictDir = dir.filePath(u"dict"_s);
    QString ifo = d.write(dictDir, u"t"_s);
    if (damage.spoil)
        damage.spoil(dictDir);
    if (!QFile::exists(ifo))
        ifo = dictDir + u"/t.txt"_s;

    const QString source = dir.filePath(u"source"_s);
    WLStarDictImporter importer(ifo);
    QVERIFY(!importer.writeSource(source));
    QString expected = damage.error;
    expected.replace(u"%IFO"_s, dictDir + u"/t.ifo"_s)
        .replace(u"%IDX"_s, dictDir + u"/t.idx"_s)
        .replace(u"%DICT"_s, dictDir + u"/t.dict"_s)
        .replace(u"%SYN"_s, dictDir + u"/t.syn"_s)
        .replace(u"%RES"_s, dictDir + u"/res"_s)
        .replace(u"%DIR"_s, dictDir);
    QCOMPARE(importer.errorString(), expected);
    QVERIFY(!QFile::exists(source));

    // A folder that was there, empty, stays so.
    QVERIFY(QDir().mkpath(source));
    QVERIFY(!importer.writeSource(source));
    QVERIFY(QDir(source).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestWLStarDictImporter::sourceFolderMustBeEmpty()
{
    QTemporaryDir dir;
    const QString ifo = small().write(dir.filePath(u"dict"_s), u"t"_s);
    const QString source = dir.filePath(u"source"_s);
    QVERIFY(QDir().mkpath(source));
    writeFile(source + u"/mine.txt"_s, "keep me");
    WLStarDictImporter importer(ifo);
    QVERIFY(!importer.writeSource(source));
    QCOMPARE(importer.errorString(), source + u": exists and is not an empty folder"_s);
    QCOMPARE(readFile(source + u"/mine.txt"_s), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestWLStarDictImporter)
#include "tst_wlstardictimporter.moc"

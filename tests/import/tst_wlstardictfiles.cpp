#include "WLDictdTestDatabase.h"
#include "WLStarDictIndex.h"
#include "WLStarDictInfo.h"
#include "WLStarDictItems.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The readers of the .ifo, .idx, .syn and of an entry's items, on bytes
// written here; every fault with its exact report.
class TestWLStarDictFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheIfo();
    void refusesABadIfo_data();
    void refusesABadIfo();
    void readsTheIndex_data();
    void readsTheIndex();
    void refusesABadIndex_data();
    void refusesABadIndex();
    void readsSynonyms();
    void loadsGzipOnlyAsFarAsAsked();
    void splitsItems_data();
    void splitsItems();
    void refusesBadItems_data();
    void refusesBadItems();
    void findsInvalidUtf8_data();
    void findsInvalidUtf8();
};

namespace {

QByteArray record(const QByteArray &word, quint64 offset, quint32 size, int bits = 32)
{
    QByteArray out = word + '\0';
    for (int i = bits / 8 - 1; i >= 0; --i)
        out += char((offset >> (8 * i)) & 0xff);
    for (int i = 3; i >= 0; --i)
        out += char((size >> (8 * i)) & 0xff);
    return out;
}

const QByteArray kMagic = "StarDict's dict ifo file\n";

} // namespace

void TestWLStarDictFiles::readsTheIfo()
{
    QString error;
    const auto info = WLStarDictInfo::parse(
        "\xef\xbb\xbf" + kMagic +
            "version=3.0.0\r\nbookname= Le Littr\xc3\xa9 \nwordcount=12\nsynwordcount=3\n"
            "idxfilesize=345\nidxoffsetbits=64\nsametypesequence=tm\nauthor=A. Uteur\n"
            "email=a@example.org\nwebsite=https://example.org\ndescription=one<br>two\n"
            "date=2006\ndicttype=wordnet\n\n",
        u"x.ifo"_s, &error);
    QVERIFY2(info, qPrintable(error));
    QCOMPARE(info->version, u"3.0.0"_s);
    QCOMPARE(info->bookName, u"Le Littré"_s);
    QCOMPARE(info->wordCount, 12u);
    QCOMPARE(info->synWordCount, std::optional<quint64>(3));
    QCOMPARE(info->idxFileSize, 345u);
    QCOMPARE(info->idxOffsetBits, 64);
    QCOMPARE(info->sameTypeSequence, QByteArray("tm"));
    QCOMPARE(info->author, u"A. Uteur"_s);
    QCOMPARE(info->email, u"a@example.org"_s);
    QCOMPARE(info->website, u"https://example.org"_s);
    QCOMPARE(info->description, u"one<br>two"_s);
    QCOMPARE(info->date, u"2006"_s);

    // Only 3.0.0 reads the offsets' width.
    const auto old = WLStarDictInfo::parse(
        kMagic + "version=2.4.2\nbookname=b\nwordcount=1\nidxfilesize=9\nidxoffsetbits=64\n",
        u"x.ifo"_s, &error);
    QVERIFY2(old, qPrintable(error));
    QCOMPARE(old->idxOffsetBits, 32);
    QCOMPARE(old->synWordCount, std::nullopt);
}

void TestWLStarDictFiles::refusesABadIfo_data()
{
    QTest::addColumn<QByteArray>("ifo");
    QTest::addColumn<QString>("error");
    const QByteArray good = "version=2.4.2\nbookname=b\nwordcount=1\nidxfilesize=9\n";
    QTest::newRow("no magic") << QByteArray("version=2.4.2\n")
                              << u"x.ifo:1: not a StarDict .ifo file: the first line must be \"StarDict's dict ifo file\""_s;
    QTest::newRow("empty") << QByteArray()
                           << u"x.ifo:1: not a StarDict .ifo file: the first line must be \"StarDict's dict ifo file\""_s;
    QTest::newRow("other version") << kMagic + "version=2.5.0\nbookname=b\n"
                                   << u"x.ifo:2: version 2.5.0 is neither 2.4.2 nor 3.0.0"_s;
    QTest::newRow("no version") << kMagic + "bookname=b\nwordcount=1\nidxfilesize=9\n" << u"x.ifo:1: no version"_s;
    QTest::newRow("no bookname") << kMagic + "version=2.4.2\nwordcount=1\nidxfilesize=9\n" << u"x.ifo:1: no bookname"_s;
    QTest::newRow("no wordcount") << kMagic + "version=2.4.2\nbookname=b\nidxfilesize=9\n" << u"x.ifo:1: no wordcount"_s;
    QTest::newRow("no idxfilesize") << kMagic + "version=2.4.2\nbookname=b\nwordcount=1\n"
                                    << u"x.ifo:1: no idxfilesize"_s;
    QTest::newRow("wordcount not a number") << kMagic + "version=2.4.2\nwordcount=12a\n"
                                            << u"x.ifo:3: wordcount must be a whole number"_s;
    QTest::newRow("negative synwordcount") << kMagic + good + "synwordcount=-1\n"
                                           << u"x.ifo:6: synwordcount must be a whole number"_s;
    QTest::newRow("idxfilesize overflows") << kMagic + "idxfilesize=99999999999999999999\n"
                                           << u"x.ifo:2: idxfilesize must be a whole number"_s;
    QTest::newRow("offset bits") << kMagic + "version=3.0.0\nbookname=b\nwordcount=1\nidxfilesize=9\nidxoffsetbits=48\n"
                                 << u"x.ifo:6: idxoffsetbits must be 32 or 64"_s;
    QTest::newRow("sametypesequence") << kMagic + good + "sametypesequence=m1\n"
                                      << u"x.ifo:6: sametypesequence must be type letters, such as \"m\" or \"tm\""_s;
    QTest::newRow("no equals sign") << kMagic + good + "author\n"
                                    << u"x.ifo:6: a line of the form key=value was expected"_s;
    QTest::newRow("twice") << kMagic + good + "wordcount=2\n" << u"x.ifo:6: \"wordcount\" is given twice"_s;
    QTest::newRow("not UTF-8") << kMagic + good + "author=M\xfcller\n" << u"x.ifo:6: \"author\" is not valid UTF-8"_s;
}

void TestWLStarDictFiles::refusesABadIfo()
{
    QFETCH(QByteArray, ifo);
    QFETCH(QString, error);
    QString got;
    QVERIFY(!WLStarDictInfo::parse(ifo, u"x.ifo"_s, &got));
    QCOMPARE(got, error);
}

void TestWLStarDictFiles::readsTheIndex_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("32-bit offsets") << 32;
    QTest::newRow("64-bit offsets") << 64;
}

void TestWLStarDictFiles::readsTheIndex()
{
    QFETCH(int, bits);
    const quint64 far = bits == 64 ? quint64(5) << 32 : 0xfffffff0u;
    const QByteArray bytes = record("apple", 0, 10, bits) + record("caf\xc3\xa9", far, 0xffffffffu, bits) +
                             record("", 7, 1, bits);
    std::vector<WLStarDictWord> words;
    QString error;
    QVERIFY2(WLStarDictIndex::parseIndex(bytes, bits, u"x.idx"_s, words, &error), qPrintable(error));
    QCOMPARE(words.size(), size_t(3));
    QCOMPARE(words[1].headword, u"café"_s);
    QCOMPARE(words[1].offset, far);
    QCOMPARE(words[1].size, 0xffffffffu);
    QCOMPARE(words[1].position, qsizetype(6 + bits / 8 + 4));
    QCOMPARE(words[2].headword, QString());
}

void TestWLStarDictFiles::refusesABadIndex_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QByteArray one = record("apple", 0, 10);
    QTest::newRow("record cut short")
        << one + record("pear", 10, 4).chopped(3)
        << u"x.idx: offset 14: the record is cut short: the file ends 5 bytes into its 8 bytes of offset and size"_s;
    QTest::newRow("headword without its zero") << one + "pea" << u"x.idx: offset 14: the file ends inside a headword"_s;
    QTest::newRow("not UTF-8") << one + record("p\xe9" "ar", 10, 4) << u"x.idx: offset 14: the headword is not valid UTF-8"_s;
    QTest::newRow("headword too long") << record(QByteArray(256, 'a'), 0, 1)
                                       << u"x.idx: offset 0: a headword of 256 bytes; the format allows 255"_s;
}

void TestWLStarDictFiles::refusesABadIndex()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    std::vector<WLStarDictWord> words;
    QString got;
    QVERIFY(!WLStarDictIndex::parseIndex(bytes, 32, u"x.idx"_s, words, &got));
    QCOMPARE(got, error);
}

void TestWLStarDictFiles::readsSynonyms()
{
    const auto synonym = [](const QByteArray &word, quint32 index) {
        return word + '\0' + char(index >> 24) + char((index >> 16) & 0xff) + char((index >> 8) & 0xff) +
               char(index & 0xff);
    };
    std::vector<WLStarDictSynonym> synonyms;
    QString error;
    QVERIFY2(WLStarDictIndex::parseSynonyms(synonym("malus", 0) + synonym("pomme", 2), 3, u"x.syn"_s, synonyms, &error),
             qPrintable(error));
    QCOMPARE(synonyms.size(), size_t(2));
    QCOMPARE(synonyms[1].headword, u"pomme"_s);
    QCOMPARE(synonyms[1].original, 2u);

    QVERIFY(!WLStarDictIndex::parseSynonyms(synonym("malus", 0) + synonym("pomme", 3), 3, u"x.syn"_s, synonyms, &error));
    QCOMPARE(error, u"x.syn: offset 10: \"pomme\" names headword 3 of an index of 3"_s);
    QVERIFY(!WLStarDictIndex::parseSynonyms(synonym("malus", 0).chopped(1), 3, u"x.syn"_s, synonyms, &error));
    QCOMPARE(error, u"x.syn: offset 0: the record is cut short: the file ends 3 bytes into its 4 bytes of headword number"_s);
}

// An .idx.gz that inflates beyond what idxfilesize says is not inflated
// whole: a small file could hold gigabytes.
void TestWLStarDictFiles::loadsGzipOnlyAsFarAsAsked()
{
    QTemporaryDir dir;
    const QByteArray plain(1 << 20, 'x');
    const QString path = dir.filePath(u"x.idx.gz"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(WLDictdTestDatabase::gzip(plain));
    file.close();
    QString error;
    const auto whole = WLStarDictIndex::load(path, plain.size(), &error);
    QVERIFY2(whole, qPrintable(error));
    QCOMPARE(*whole, plain);
    const auto bounded = WLStarDictIndex::load(path, 1000, &error);
    QVERIFY2(bounded, qPrintable(error));
    QCOMPARE(bounded->size(), 1001);

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(WLDictdTestDatabase::gzip(plain).chopped(30));
    file.close();
    QVERIFY(!WLStarDictIndex::load(path, plain.size(), &error));
    QVERIFY2(error.startsWith(path + u": gzip data cut short at offset "_s), qPrintable(error));
}

void TestWLStarDictFiles::splitsItems_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("sequence");
    QTest::addColumn<QByteArray>("types");
    QTest::addColumn<QList<QByteArray>>("parts");
    QTest::addColumn<QList<quint64>>("offsets");
    const QByteArray size3("\0\0\0\3", 4);
    QTest::newRow("one text, no terminator") << QByteArray("hello") << QByteArray("m") << QByteArray("m")
                                             << QList<QByteArray>{"hello"} << QList<quint64>{100};
    QTest::newRow("padding after the last text") << QByteArray("hi\0\0", 4) << QByteArray("m") << QByteArray("m")
                                                 << QList<QByteArray>{"hi"} << QList<quint64>{100};
    QTest::newRow("text then text") << QByteArray("tS\0meaning", 10) << QByteArray("tm") << QByteArray("tm")
                                    << QList<QByteArray>{"tS", "meaning"} << QList<quint64>{100, 103};
    QTest::newRow("binary then text") << size3 + "abc" + "text" << QByteArray("Wm") << QByteArray("Wm")
                                      << QList<QByteArray>{"abc", "text"} << QList<quint64>{104, 107};
    QTest::newRow("last binary without size") << QByteArray("t\0", 2) + "\x01\x02" << QByteArray("mP")
                                              << QByteArray("mP") << QList<QByteArray>{"t", "\x01\x02"}
                                              << QList<quint64>{100, 102};
    QTest::newRow("types stored") << QByteArray("mone\0gtwo\0W", 11) + size3 + "xyz" << QByteArray() << QByteArray("mgW")
                                  << QList<QByteArray>{"one", "two", "xyz"} << QList<quint64>{101, 106, 115};
    QTest::newRow("empty, stored types") << QByteArray() << QByteArray() << QByteArray() << QList<QByteArray>{}
                                         << QList<quint64>{};
}

void TestWLStarDictFiles::splitsItems()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, sequence);
    QFETCH(QByteArray, types);
    QFETCH(QList<QByteArray>, parts);
    QFETCH(QList<quint64>, offsets);
    std::vector<WLStarDictItem> items;
    QString problem;
    QVERIFY2(WLStarDictItems::split(data, 100, sequence, items, &problem), qPrintable(problem));
    QByteArray gotTypes;
    QList<QByteArray> gotParts;
    QList<quint64> gotOffsets;
    for (const WLStarDictItem &item : items) {
        gotTypes += item.type;
        gotParts.append(item.data);
        gotOffsets.append(item.offset);
    }
    QCOMPARE(gotTypes, types);
    QCOMPARE(gotParts, parts);
    QCOMPARE(gotOffsets, offsets);
}

void TestWLStarDictFiles::refusesBadItems_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("sequence");
    QTest::addColumn<QString>("problem");
    QTest::newRow("text without its zero") << QByteArray("abc") << QByteArray("tm")
                                           << u"offset 100: the text of type 't' has no terminating zero"_s;
    QTest::newRow("size cut short") << QByteArray("\0\0", 2) << QByteArray("Wm")
                                    << u"offset 100: the size of the data of type 'W' is cut short"_s;
    QTest::newRow("size past the end") << QByteArray("\0\0\1\0abc", 7) << QByteArray("Pm")
                                       << u"offset 100: 256 bytes of type 'P' run past the end of the entry (7 bytes)"_s;
    QTest::newRow("no type letter") << QByteArray("m\0\x01", 3) << QByteArray()
                                    << u"offset 102: 0x01 is no data type"_s;
    QTest::newRow("stored type, no zero") << QByteArray("mtext") << QByteArray()
                                          << u"offset 101: the text of type 'm' has no terminating zero"_s;
}

void TestWLStarDictFiles::refusesBadItems()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, sequence);
    QFETCH(QString, problem);
    std::vector<WLStarDictItem> items;
    QString got;
    QVERIFY(!WLStarDictItems::split(data, 100, sequence, items, &got));
    QCOMPARE(got, problem);
}

void TestWLStarDictFiles::findsInvalidUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("at");
    QTest::newRow("ASCII") << QByteArray("plain") << -1;
    QTest::newRow("two, three and four bytes") << QByteArray("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80") << -1;
    QTest::newRow("Latin-1") << QByteArray("caf\xe9 noir") << 3;
    QTest::newRow("overlong") << QByteArray("ab\xc0\xaf") << 2;
    QTest::newRow("overlong, three bytes") << QByteArray("\xe0\x80\xaf") << 0;
    QTest::newRow("surrogate") << QByteArray("x\xed\xa0\x80") << 1;
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << 0;
    QTest::newRow("cut short") << QByteArray("ok\xe2\x82") << 2;
    QTest::newRow("lone continuation") << QByteArray("\x80") << 0;
}

void TestWLStarDictFiles::findsInvalidUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, at);
    QCOMPARE(WLStarDictItems::firstInvalidUtf8(bytes), qsizetype(at));
}

QTEST_APPLESS_MAIN(TestWLStarDictFiles)
#include "tst_wlstardictfiles.moc"

#include "WLDictdDataFile.h"
#include "WLDictdTestDatabase.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLDictdDataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEveryRange_data();
    void readsEveryRange();
    void rejectsDamagedGzip_data();
    void rejectsDamagedGzip();
    void rejectsMissingFile();
    void inflatesOnlyWhatIsNeeded_data();
    void inflatesOnlyWhatIsNeeded();

private:
    static QByteArray sampleText();
    static bool save(const QString &path, const QByteArray &bytes);
};

bool TestWLDictdDataFile::save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray TestWLDictdDataFile::sampleText()
{
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "line " + QByteArray::number(i) + " of the sample, with some words to compress\n";
    return text;
}

void TestWLDictdDataFile::readsEveryRange_data()
{
    QTest::addColumn<QByteArray>("stored");
    const QByteArray text = sampleText();
    QTest::newRow("plain") << text;
    QTest::newRow("dictzip, small chunks") << WLDictdTestDatabase::dictzip(text, 37);
    QTest::newRow("dictzip, one chunk") << WLDictdTestDatabase::dictzip(text, 60000);
    QTest::newRow("gzip") << WLDictdTestDatabase::gzip(text);
    QTest::newRow("gzip, two members")
        << WLDictdTestDatabase::gzip(text.left(1000)) + WLDictdTestDatabase::gzip(text.mid(1000));
}

void TestWLDictdDataFile::readsEveryRange()
{
    QFETCH(QByteArray, stored);
    const QByteArray text = sampleText();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict"_s);
    QVERIFY(save(path, stored));

    QString error;
    auto data = WLDictdDataFile::open(path, &error);
    QVERIFY2(data, qPrintable(error));
    QCOMPARE(data->size(), quint64(text.size()));
    const quint64 size = quint64(text.size());
    for (const auto &[offset, length] : std::initializer_list<std::pair<quint64, quint64>>{
             {size - 100, 100}, {0, 10}, {30, 50}, {0, size}, {size, 0}, {1000, 3000}, {5, 0}}) {
        const auto bytes = data->read(offset, length, &error);
        QVERIFY2(bytes, qPrintable(error));
        QCOMPARE(*bytes, text.mid(qsizetype(offset), qsizetype(length)));
    }
    for (const auto &[offset, length] : std::initializer_list<std::pair<quint64, quint64>>{
             {size, 1}, {size - 1, 2}, {size + 1, 0}, {1, ~quint64(0)}}) {
        error.clear();
        QVERIFY(!data->read(offset, length, &error));
        QVERIFY2(error.contains(u"past the end"_s), qPrintable(error));
    }
}

void TestWLDictdDataFile::rejectsDamagedGzip_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("message");
    const QByteArray zipped = WLDictdTestDatabase::dictzip(sampleText(), 512);
    // The header: 10 bytes, the extra field's length, "RA", its length, the
    // version at 16, the chunk length at 18, the count at 20, the sizes from
    // 22; then the name "test.dict" and its zero.
    const auto u16 = [&](qsizetype at) { return int(uchar(zipped[at])) | int(uchar(zipped[at + 1])) << 8; };
    const int count = u16(20);
    QVERIFY(count > 2);
    qsizetype lastChunk = 22 + 2 * count + 10;
    for (int i = 0; i + 1 < count; ++i)
        lastChunk += u16(22 + 2 * i);
    const QString last = u"dictzip chunk %1 of %1 at offset %2: "_s.arg(count).arg(lastChunk);

    QTest::newRow("cut short") << zipped.left(zipped.size() - 20) << last + u"runs past the end of the file"_s;
    QTest::newRow("header only") << zipped.left(10) << u"offset 10: the gzip header is cut short"_s;
    QByteArray badChecksum = zipped;
    badChecksum[badChecksum.size() - 6] = char(badChecksum[badChecksum.size() - 6] ^ 0x55);
    QTest::newRow("checksum") << badChecksum
                              << u"offset %1: the gzip trailer's checksum or length does not match the chunks"_s.arg(
                                     zipped.size() - 8);
    QByteArray badMethod = zipped;
    badMethod[2] = 7;
    QTest::newRow("compression method") << badMethod << u"offset 2: compression method 7 is not deflate"_s;

    // A chunk table that does not fit the data: found before anything is read by it.
    QByteArray version = zipped;
    version[16] = 2;
    QTest::newRow("table version") << version << u"offset 16: chunk table version 2, not 1"_s;
    QByteArray moreChunks = zipped;
    moreChunks[20] = char(count + 1);
    QTest::newRow("more chunks than the field holds")
        << moreChunks << u"offset 16: a chunk table of %1 chunks of 512 bytes in a field of %2 bytes"_s.arg(count + 1).arg(6 + 2 * count);
    QByteArray longerFirst = zipped;
    longerFirst[22] = char(uchar(longerFirst[22]) + 1);
    // The first chunk reads a byte of the second and still inflates; the
    // second, starting a byte late, does not.
    QTest::newRow("first chunk longer")
        << longerFirst << u"dictzip chunk 2 of %1 at offset %2: the data does not end where the chunk table says"_s.arg(count).arg(22 + 2 * count + 10 + u16(22) + 1);
    QByteArray shorterChunks = zipped;
    shorterChunks[18] = char(500 & 0xff);
    shorterChunks[19] = char(500 >> 8);
    QTest::newRow("chunk length")
        << shorterChunks << u"dictzip chunk 1 of %1 at offset %2: the data does not end where the chunk table says"_s.arg(count).arg(22 + 2 * count + 10);
    QByteArray shorterLast = zipped;
    shorterLast[22 + 2 * (count - 1)] = char(uchar(shorterLast[22 + 2 * (count - 1)]) - 40);
    QTest::newRow("last chunk shorter") << shorterLast << last + u"the data goes on past the chunk table's end"_s;

    const QByteArray gzip = WLDictdTestDatabase::gzip(sampleText());
    QTest::newRow("gzip cut short") << gzip.left(gzip.size() - 20) << u"gzip data cut short"_s;
    QByteArray gzipChecksum = gzip;
    gzipChecksum[gzip.size() - 6] = char(gzip[gzip.size() - 6] ^ 0x55);
    QTest::newRow("gzip checksum") << gzipChecksum << u"damaged gzip data"_s;
}

void TestWLDictdDataFile::rejectsDamagedGzip()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict.dz"_s);
    QVERIFY(save(path, stored));
    QString error;
    QVERIFY(!WLDictdDataFile::open(path, &error));
    QCOMPARE(error, path + u": "_s + message);
}

void TestWLDictdDataFile::rejectsMissingFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!WLDictdDataFile::open(dir.filePath(u"absent.dict"_s), &error));
    QVERIFY2(error.startsWith(dir.filePath(u"absent.dict"_s) + u": "_s), qPrintable(error));
}

void TestWLDictdDataFile::inflatesOnlyWhatIsNeeded_data()
{
    QTest::addColumn<QByteArray>("stored");
    const QByteArray text = sampleText().repeated(20);
    QTest::newRow("dictzip") << WLDictdTestDatabase::dictzip(text, 512);
    QTest::newRow("gzip") << WLDictdTestDatabase::gzip(text);
}

// A caller that knows how far it reads is not made to wait for (or store)
// the rest: a small file that inflates to gigabytes fills no disk.
void TestWLDictdDataFile::inflatesOnlyWhatIsNeeded()
{
    QFETCH(QByteArray, stored);
    const QByteArray text = sampleText().repeated(20);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict.dz"_s);
    QVERIFY(save(path, stored));
    QString error;
    auto data = WLDictdDataFile::open(path, &error, nullptr, 1000);
    QVERIFY2(data, qPrintable(error));
    QVERIFY(data->size() >= 1000);
    QVERIFY(data->size() < quint64(text.size()));
    QCOMPARE(*data->read(0, 1000, &error), text.left(1000));
}

QTEST_APPLESS_MAIN(TestWLDictdDataFile)
#include "tst_wldictddatafile.moc"

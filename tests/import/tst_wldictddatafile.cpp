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
    void rejectsDamagedDictzip_data();
    void rejectsDamagedDictzip();

private:
    static QByteArray sampleText();
};

QByteArray TestWLDictdDataFile::sampleText()
{
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "line " + QByteArray::number(i) + " of the sample, with some words to compress\n";
    return text;
}

void TestWLDictdDataFile::readsEveryRange_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("chunkLength");
    QTest::newRow("plain") << int(WLDictdTestDatabase::Format::Plain) << 0;
    QTest::newRow("dictzip, small chunks") << int(WLDictdTestDatabase::Format::Dictzip) << 37;
    QTest::newRow("dictzip, one chunk") << int(WLDictdTestDatabase::Format::Dictzip) << 60000;
    QTest::newRow("gzip without chunk table") << int(WLDictdTestDatabase::Format::Gzip) << 0;
}

void TestWLDictdDataFile::readsEveryRange()
{
    QFETCH(int, format);
    QFETCH(int, chunkLength);
    const QByteArray text = sampleText();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    switch (WLDictdTestDatabase::Format(format)) {
    case WLDictdTestDatabase::Format::Plain: file.write(text); break;
    case WLDictdTestDatabase::Format::Dictzip: file.write(WLDictdTestDatabase::dictzip(text, chunkLength)); break;
    case WLDictdTestDatabase::Format::Gzip: file.write(WLDictdTestDatabase::gzip(text)); break;
    }
    file.close();

    QString error;
    auto data = WLDictdDataFile::open(path, &error);
    QVERIFY2(data, qPrintable(error));
    QCOMPARE(data->size(), quint64(text.size()));
    // Backwards and forwards, across chunk boundaries and up to the end.
    const quint64 size = quint64(text.size());
    for (const auto &[offset, length] : std::initializer_list<std::pair<quint64, quint64>>{
             {size - 100, 100}, {0, 10}, {30, 50}, {36, 2}, {0, size}, {size, 0}, {1000, 3000}, {5, 0}}) {
        const auto bytes = data->read(offset, length, &error);
        QVERIFY2(bytes, qPrintable(error));
        QCOMPARE(*bytes, text.mid(qsizetype(offset), qsizetype(length)));
    }
    for (const auto &[offset, length] :
         std::initializer_list<std::pair<quint64, quint64>>{{size, 1}, {size - 1, 2}, {size + 1, 0}, {1, ~quint64(0)}}) {
        error.clear();
        QVERIFY(!data->read(offset, length, &error));
        QVERIFY2(error.contains(u"past the end"_s), qPrintable(error));
    }
}

void TestWLDictdDataFile::rejectsDamagedDictzip_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    // Offsets into the header that WLDictdTestDatabase writes: 10 fixed
    // bytes, XLEN, then "RA", its length, version, chunk length, count and
    // the sizes.
    QTest::newRow("chunk table version") << 16 << QByteArray("\x02\x00", 2) << false << u"unknown dictzip chunk table"_s;
    QTest::newRow("zero chunk length") << 18 << QByteArray("\x00\x00", 2) << false << u"bad dictzip chunk table"_s;
    QTest::newRow("too many chunks") << 20 << QByteArray("\xff\x00", 2) << false << u"bad dictzip chunk table"_s;
    QTest::newRow("first chunk too large") << 22 << QByteArray("\xff\x7f", 2) << false << u"past the end of the file"_s;
    QTest::newRow("size trailer") << -4 << QByteArray("\xff\xff\x00\x00", 4) << false << u"size does not match"_s;
    QTest::newRow("chunk bytes") << -40 << QByteArray("\xff\xff\xff\xff\xff\xff", 6) << true << u"damaged chunk"_s;
}

void TestWLDictdDataFile::rejectsDamagedDictzip()
{
    QFETCH(int, at);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    const QByteArray text = sampleText();
    QByteArray zipped = WLDictdTestDatabase::dictzip(text, 512);
    zipped.replace(at < 0 ? zipped.size() + at : at, bytes.size(), bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict.dz"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(zipped);
    file.close();

    QString error;
    auto data = WLDictdDataFile::open(path, &error);
    QCOMPARE(bool(data), opens);
    if (data) {
        // Only the damaged chunk fails; the others still read.
        QVERIFY(data->read(0, 100, &error));
        QVERIFY(!data->read(quint64(text.size()) - 10, 10, &error));
    }
    QVERIFY2(error.startsWith(path + u": "_s) && error.contains(message), qPrintable(error));
}

QTEST_APPLESS_MAIN(TestWLDictdDataFile)
#include "tst_wldictddatafile.moc"

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
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(stored);
    file.close();

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
    QTest::newRow("cut short") << zipped.left(zipped.size() - 20) << u"gzip data cut short"_s;
    QTest::newRow("header only") << zipped.left(10) << u"gzip data cut short"_s;
    QByteArray badChecksum = zipped;
    badChecksum[badChecksum.size() - 6] = char(badChecksum[badChecksum.size() - 6] ^ 0x55);
    QTest::newRow("checksum") << badChecksum << u"damaged gzip data"_s;
    QByteArray badMethod = zipped;
    badMethod[2] = 7;
    QTest::newRow("compression method") << badMethod << u"damaged gzip data"_s;
}

void TestWLDictdDataFile::rejectsDamagedGzip()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.dict.dz"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(stored);
    file.close();
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

QTEST_APPLESS_MAIN(TestWLDictdDataFile)
#include "tst_wldictddatafile.moc"

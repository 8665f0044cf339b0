#include "WLDictdIndex.h"
#include "WLDictdTestDatabase.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLDictdIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodeNumber_data();
    void decodeNumber();
    void numbersRoundTrip();
    void readsEntries();
    void rejectsMalformedLines_data();
    void rejectsMalformedLines();
};

void TestWLDictdIndex::decodeNumber_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint64>("value");
    QTest::newRow("zero") << QByteArray("A") << true << quint64(0);
    QTest::newRow("last digit") << QByteArray("/") << true << quint64(63);
    QTest::newRow("two digits") << QByteArray("BA") << true << quint64(64);
    QTest::newRow("digits and signs")
        << QByteArray("z9+") << true << quint64((51 * 64 + 61) * 64 + 62);
    QTest::newRow("leading zeros") << QByteArray("AAAB") << true << quint64(1);
    QTest::newRow("64 bits") << QByteArray("P//////////") << true << ~quint64(0);
    QTest::newRow("empty") << QByteArray() << false << quint64(0);
    QTest::newRow("padding sign") << QByteArray("B=") << false << quint64(0);
    QTest::newRow("space") << QByteArray("B ") << false << quint64(0);
    QTest::newRow("overflow") << QByteArray("BAAAAAAAAAAA") << false << quint64(0);
}

void TestWLDictdIndex::decodeNumber()
{
    QFETCH(QByteArray, digits);
    QFETCH(bool, valid);
    QFETCH(quint64, value);
    const auto decoded = WLDictdIndex::decodeNumber(digits);
    QCOMPARE(decoded.has_value(), valid);
    if (valid)
        QCOMPARE(*decoded, value);
}

void TestWLDictdIndex::numbersRoundTrip()
{
    for (const quint64 v : {quint64(0), quint64(1), quint64(63), quint64(64), quint64(4095),
                            quint64(4096), quint64(123456789), quint64(1) << 40, ~quint64(0)})
        QCOMPARE(WLDictdIndex::decodeNumber(WLDictdIndex::encodeNumber(v)),
                 std::optional<quint64>(v));
}

void TestWLDictdIndex::readsEntries()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"t.index"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    // A CRLF line, a blank line and dictfmt's fourth field (the original
    // spelling of a normalised headword).
    // Blank headwords are skipped, not fatal.
    file.write("bank\tA\tBk\r\n\nhello world\tBA\tC\thello, world!\n\tB\tC\n  "
               "\tB\tC\ncaf\xc3\xa9\tCA\tD\n");
    file.close();
    std::vector<WLDictdIndexEntry> entries;
    QString error;
    qsizetype skipped = 0;
    QVERIFY2(WLDictdIndex::read(file.fileName(), entries, &error, &skipped), qPrintable(error));
    QCOMPARE(skipped, 2);
    QCOMPARE(entries.size(), size_t(3));
    QCOMPARE(entries[0].headword, QByteArray("bank"));
    QCOMPARE(entries[0].offset, quint64(0));
    QCOMPARE(entries[0].length, quint64(100));
    QCOMPARE(entries[1].headword, QByteArray("hello, world!"));
    QCOMPARE(entries[1].offset, quint64(64));
    QCOMPARE(entries[1].line, qsizetype(3));
    QCOMPARE(entries[2].headword, QByteArray("caf\xc3\xa9"));
}

void TestWLDictdIndex::rejectsMalformedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("two fields") << QByteArray("bank\tA")
                                << u"expected headword, offset and length"_s;
    QTest::newRow("five fields") << QByteArray("bank\tA\tB\tc\td")
                                 << u"expected headword, offset and length"_s;
    QTest::newRow("bad offset") << QByteArray("bank\tA-\tB") << u"bad base64 number"_s;
    QTest::newRow("empty length") << QByteArray("bank\tA\t") << u"bad base64 number"_s;
}

void TestWLDictdIndex::rejectsMalformedLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, message);
    QTemporaryDir dir;
    WLDictdTestDatabase db;
    db.add("good", "good\n");
    db.addRawIndexLine(line);
    // A "%1" of the file's name is no place of the message's format.
    db.write(dir.path(), u"t%1"_s, WLDictdTestDatabase::Format::Plain);
    std::vector<WLDictdIndexEntry> entries;
    QString error;
    const QString path = dir.filePath(u"t%1.index"_s);
    QVERIFY(!WLDictdIndex::read(path, entries, &error));
    QVERIFY2(error.startsWith(path + u":2: "_s + message), qPrintable(error));
}

QTEST_APPLESS_MAIN(TestWLDictdIndex)
#include "tst_wldictdindex.moc"

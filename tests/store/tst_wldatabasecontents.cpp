#include "WLCipherKey.h"
#include "WLDatabase.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"
#include "blowfish2.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

const QString kPage = u"-[WLDatabase newHtmlDataForIDs:headerData:]: "_s;
const QString kOnePage = u"-[WLDatabase newHtmlDataForID:headerData:]: "_s;
const QString kDecrypt = u"-[WLDatabase decryptDataBytes:length:]: "_s;
const QByteArray kHeader = "<html><body>";
const QByteArray kLargeHeader = "<html><body class=large>";
const QByteArray kFooter = "</body></html>";
const QByteArray kSeparator = "<hr>";

QByteArray fragment(int id)
{
    return WLStoreFixture::fragment(id);
}

QStringList failedPage(const QString &condition)
{
    return {kPage + condition, kPage + u"(!succeed)"_s, kPage + u"(object != nil)"_s};
}

} // namespace

class TestWLDatabaseContents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pageJoinsFragmentsInOrder();
    void pageWithoutSeparator();
    void largeType_data();
    void largeType();
    void badFragmentFailsThePage_data();
    void badFragmentFailsThePage();
    void onePage();
    void additionsAreHandedOverPerOccurrence();

    void blowfishVectors_data();
    void blowfishVectors();
    void decryptTrimsTrailingZeros_data();
    void decryptTrimsTrailingZeros();
    void decryptRefusesPartialBlocks();
    void decryptIsElectronicCodeBook();

private:
    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLDatabaseContents::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
}

void TestWLDatabaseContents::cleanup()
{
    m_fixture.reset();
}

void TestWLDatabaseContents::pageJoinsFragmentsInOrder()
{
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    const QByteArray expected =
        kHeader + fragment(5) + kSeparator + fragment(2) + kSeparator + fragment(5) + kFooter;
    // Decimal strings (headword list) and numbers (search) give the same page.
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{u"5"_s, u"2"_s, u"5"_s}, false), expected);
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{5, qint64(2), 5.0}, false), expected);
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{u"3"_s}, false),
             kHeader + fragment(3) + kFooter);
    QCOMPARE(database->newHtmlDataForIDs(QVariantList(), false), kHeader + kFooter);
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseContents::pageWithoutSeparator()
{
    m_fixture->info.remove(u"KXPropHTMLSeparatorString"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{1, 2}, false),
             kHeader + fragment(1) + fragment(2) + kFooter);
}

void TestWLDatabaseContents::largeType_data()
{
    QTest::addColumn<bool>("withLargeHeader");
    QTest::addColumn<bool>("large");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("normal") << true << false << kHeader;
    QTest::newRow("large") << true << true << kLargeHeader;
    QTest::newRow("large asked, not offered") << false << true << kHeader;
}

void TestWLDatabaseContents::largeType()
{
    QFETCH(bool, withLargeHeader);
    QFETCH(bool, large);
    QFETCH(QByteArray, header);
    if (!withLargeHeader)
        m_fixture->info.remove(u"KXPropHTMLHeaderString2"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QCOMPARE(database->isSupportLargeFont(), withLargeHeader);
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{4}, large), header + fragment(4) + kFooter);
    QCOMPARE(database->newHtmlDataForID(4, large), header + fragment(4) + kFooter);
}

void TestWLDatabaseContents::badFragmentFailsThePage_data()
{
    QTest::addColumn<QVariantList>("ids");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("no row") << QVariantList{1, 0} << failedPage(u"(retval != SQLITE_ROW)"_s);
    // Wrapping to 32 bits would show entry 5 instead.
    QTest::newRow("beyond 32 bits") << QVariantList{qint64(0x100000005)}
                                    << failedPage(u"(retval != SQLITE_ROW)"_s);
}

// One bad ID fails the whole page, and the statement is left ready.
void TestWLDatabaseContents::badFragmentFailsThePage()
{
    QFETCH(QVariantList, ids);
    QFETCH(QStringList, reports);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    {
        StderrCapture capture;
        QCOMPARE(database->newHtmlDataForIDs(ids, false), std::optional<QByteArray>());
        QCOMPARE(capture.reports(), reports);
    }
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{3}, false), kHeader + fragment(3) + kFooter);
}

void TestWLDatabaseContents::onePage()
{
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QCOMPARE(database->newHtmlDataForID(1, false), kHeader + fragment(1) + kFooter);
    // A failure gives an empty page, not nothing.
    QCOMPARE(database->newHtmlDataForID(42, false), QByteArray());
    QCOMPARE(capture.reports(), QStringList{kOnePage + u"(retval != SQLITE_ROW)"_s});
    QCOMPARE(database->newHtmlDataForID(2, true), kLargeHeader + fragment(2) + kFooter);
}

void TestWLDatabaseContents::additionsAreHandedOverPerOccurrence()
{
    // References that name no media table: each hand-over is reported by
    // the media extraction, which shows how often it was asked.
    m_fixture->exec(u"contents.db"_s, u"UPDATE contents SET additions = 'bad' WHERE id = 2;"
                                      "UPDATE contents SET additions = '' WHERE id = 3;"
                                      "UPDATE contents SET additions = CAST(X'FF' AS TEXT) "
                                      "WHERE id = 4;"_s);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    // NULL, empty and not UTF-8: no media to extract.
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{1, 3, 4}, false),
             kHeader + fragment(1) + kSeparator + fragment(3) + kSeparator + fragment(4) + kFooter);
    QCOMPARE(capture.reports(), QStringList());
    QCOMPARE(database->newHtmlDataForIDs(QVariantList{2, 1, 2}, false),
             kHeader + fragment(2) + kSeparator + fragment(1) + kSeparator + fragment(2) + kFooter);
    const QStringList reports = capture.reports();
    QCOMPARE(reports.filter(u"readDataForAdditionNamed:"_s).size(), 2);
}

void TestWLDatabaseContents::blowfishVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<quint64>("plain");
    QTest::addColumn<quint64>("cipher");
    QTest::newRow("zeros") << QByteArray::fromHex("0000000000000000") << 0x0000000000000000ull
                           << 0x4EF997456198DD78ull;
    QTest::newRow("ones") << QByteArray::fromHex("FFFFFFFFFFFFFFFF") << 0xFFFFFFFFFFFFFFFFull
                          << 0x51866FD5B85ECB8Aull;
    QTest::newRow("repeated 16-byte key") << QByteArray::fromHex("30000000000000003000000000000000")
                                          << 0x1000000000000001ull << 0x7D856F9A613063F2ull;
    QTest::newRow("counting key") << QByteArray::fromHex("0123456789ABCDEF0123456789ABCDEF")
                                  << 0x1111111111111111ull << 0x61F9C3802281B096ull;
    QTest::newRow("16-byte key") << QByteArray::fromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F")
                                 << 0xFEDCBA9876543210ull << 0x93142887EE3BE15Cull;
}

// The published vectors take each half as a big-endian word.
void TestWLDatabaseContents::blowfishVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(quint64, plain);
    QFETCH(quint64, cipher);
    BLOWFISH_CTX context;
    Blowfish_initialize(&context, reinterpret_cast<const unsigned char *>(key.constData()),
                        int(key.size()));
    uint32_t left = uint32_t(plain >> 32);
    uint32_t right = uint32_t(plain);
    Blowfish_encipher(&context, &left, &right);
    QCOMPARE((quint64(left) << 32) | right, cipher);
    Blowfish_decipher(&context, &left, &right);
    QCOMPARE((quint64(left) << 32) | right, plain);
}

void TestWLDatabaseContents::decryptTrimsTrailingZeros_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("two blocks, five zeros")
        << QByteArray("hello world\0\0\0\0\0", 16) << QByteArray("hello world");
    QTest::newRow("whole block") << QByteArray("12345678") << QByteArray("12345678");
    QTest::newRow("zero inside kept") << QByteArray("ab\0cd\0\0\0", 8) << QByteArray("ab\0cd", 5);
    QTest::newRow("all zeros") << QByteArray(16, '\0') << QByteArray();
}

void TestWLDatabaseContents::decryptTrimsTrailingZeros()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, expected);
    const QByteArray blob = WLStoreFixture::encipher(plain);
    QCOMPARE(blob.size(), plain.size());
    StderrCapture capture;
    const std::optional<QByteArray> result =
        WLDatabase::decryptDataBytes(blob.constData(), blob.size());
    QVERIFY(result);
    QCOMPARE(*result, expected);
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseContents::decryptRefusesPartialBlocks()
{
    const QByteArray blob(12, 'x');
    StderrCapture capture;
    QCOMPARE(WLDatabase::decryptDataBytes(blob.constData(), 12), std::optional<QByteArray>());
    QCOMPARE(WLDatabase::decryptDataBytes(blob.constData(), 0), std::optional<QByteArray>());
    QCOMPARE(capture.reports(), (QStringList{kDecrypt + u"((dataLength % 8) != 0)"_s,
                                             kDecrypt + u"(dataLength == 0)"_s}));
}

// Blocks are deciphered one by one with each half read as a little-endian
// word, as every stored dictionary was written.
void TestWLDatabaseContents::decryptIsElectronicCodeBook()
{
    BLOWFISH_CTX context;
    unsigned char key[16];
    WLCipherKeyBytes(key);
    Blowfish_initialize(&context, key, sizeof key);
    uint32_t left = 0x64636261;  // "abcd" read little-endian
    uint32_t right = 0x68676665; // "efgh"
    Blowfish_encipher(&context, &left, &right);
    uchar block[8];
    qToLittleEndian(left, block);
    qToLittleEndian(right, block + 4);
    const QByteArray blob = QByteArray(reinterpret_cast<const char *>(block), 8).repeated(3);

    const std::optional<QByteArray> result =
        WLDatabase::decryptDataBytes(blob.constData(), blob.size());
    QCOMPARE(result, std::optional(QByteArray("abcdefghabcdefghabcdefgh")));
}

QTEST_GUILESS_MAIN(TestWLDatabaseContents)
#include "tst_wldatabasecontents.moc"

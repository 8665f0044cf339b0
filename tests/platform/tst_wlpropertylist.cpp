#include "WLPropertyList.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class TestWLPropertyList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripsEveryValueType_data();
    void roundTripsEveryValueType();
    void readsXmlWrittenByHand();
    void rejectsGarbage_data();
    void rejectsGarbage();
    void numbersIncludeBooleans();
    void readFileReportsMissingFile();
};

namespace {
QVariantMap everyType()
{
    QVariantMap map;
    map.insert(QStringLiteral("string"), QStringLiteral("Straße – café"));
    map.insert(QStringLiteral("integer"), qint64(42));
    map.insert(QStringLiteral("negative"), qint64(-7));
    map.insert(QStringLiteral("real"), 0.25);
    map.insert(QStringLiteral("yes"), true);
    map.insert(QStringLiteral("no"), false);
    map.insert(QStringLiteral("data"), QByteArray("\x00\x01\xff", 3));
    map.insert(QStringLiteral("date"),
               QDateTime(QDate(2024, 2, 29), QTime(12, 30, 15), QTimeZone::utc()));
    map.insert(QStringLiteral("array"),
               QVariantList{QStringLiteral("a"), qint64(1), QVariantList{}, QVariantMap{}});
    map.insert(QStringLiteral("empty"), QString());
    return map;
}
} // namespace

void TestWLPropertyList::roundTripsEveryValueType_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("xml") << int(WLPropertyList::Format::Xml);
    QTest::newRow("binary") << int(WLPropertyList::Format::Binary);
}

void TestWLPropertyList::roundTripsEveryValueType()
{
    QFETCH(int, format);
    const QVariantMap original = everyType();
    const QByteArray bytes =
        WLPropertyList::toData(original, static_cast<WLPropertyList::Format>(format));
    QVERIFY(!bytes.isEmpty());
    QString error;
    const QVariantMap back = WLPropertyList::fromData(bytes, &error).toMap();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(back.keys(), original.keys());
    for (auto it = original.cbegin(); it != original.cend(); ++it)
        QCOMPARE(back.value(it.key()), it.value());
    QCOMPARE(back.value(QStringLiteral("yes")).typeId(), int(QMetaType::Bool));
}

void TestWLPropertyList::readsXmlWrittenByHand()
{
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
<key>KXPropDatabaseTitle</key><string>Demo</string>
<key>KXPropContentsStorageType</key><integer>0</integer>
<key>KXPropSettingsHidden</key><true/>
</dict></plist>)";
    const QVariantMap map = WLPropertyList::fromData(xml).toMap();
    QCOMPARE(map.value(QStringLiteral("KXPropDatabaseTitle")).toString(), QStringLiteral("Demo"));
    QVERIFY(WLPropertyList::isNumber(map.value(QStringLiteral("KXPropContentsStorageType"))));
    QCOMPARE(map.value(QStringLiteral("KXPropContentsStorageType")).toLongLong(), 0);
    QVERIFY(map.value(QStringLiteral("KXPropSettingsHidden")).toBool());
}

void TestWLPropertyList::rejectsGarbage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("hello, world");
    QTest::newRow("truncated xml") << QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a");
    QTest::newRow("truncated binary") << QByteArray("bplist00\xd1\x01\x02", 11);
    // libplist asserts on strings holding NUL characters: {"k": "a\0b"} and
    // the same in a binary list, where also a key may hold one.
    QTest::newRow("NUL in an XML string")
        << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key>"
                      "<string>a\0b</string></dict></plist>",
                      95);
    QTest::newRow("NUL in a binary string")
        << QByteArray("bplist00\xd1\x01\x02\x51\x6b\x63\x00\x61\x00\x00\x00\xe9\x08\x0b\x0d"
                      "\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x14",
                      55);
    QTest::newRow("NUL in a binary key")
        << QByteArray("bplist00\xd1\x01\x02\x63\x00\x61\x00\x00\x00\xe9\x51\x76\x08\x0b\x12"
                      "\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x14",
                      55);
}

void TestWLPropertyList::rejectsGarbage()
{
    QFETCH(QByteArray, bytes);
    QString error;
    QVERIFY(!WLPropertyList::fromData(bytes, &error).isValid());
    QVERIFY(!error.isEmpty());
}

void TestWLPropertyList::numbersIncludeBooleans()
{
    QVERIFY(WLPropertyList::isNumber(QVariant(true)));
    QVERIFY(WLPropertyList::isNumber(QVariant(qint64(3))));
    QVERIFY(WLPropertyList::isNumber(QVariant(1.5)));
    QVERIFY(!WLPropertyList::isNumber(QVariant(QStringLiteral("0"))));
    QVERIFY(!WLPropertyList::isNumber(QVariant()));
    QVERIFY(!WLPropertyList::isString(QVariant(qint64(0))));
    QVERIFY(WLPropertyList::isArray(QVariant(QVariantList{})));
    QVERIFY(!WLPropertyList::isDictionary(QVariant(QVariantList{})));
}

void TestWLPropertyList::readFileReportsMissingFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!WLPropertyList::readFile(dir.filePath(QStringLiteral("absent.plist")), &error)
                 .isValid());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestWLPropertyList)
#include "tst_wlpropertylist.moc"

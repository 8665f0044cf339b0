#include "WLCharset.h"
#include "WLText.h"

#include <QTest>

#include <limits>

class TestWLCharset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knowsIanaNames_data();
    void knowsIanaNames();
    void encodesAndDecodes_data();
    void encodesAndDecodes();
    void refusesWhatTheCharsetCannotHold_data();
    void refusesWhatTheCharsetCannotHold();
    void refusesUndecodableBytes();
    void intValue_data();
    void intValue();
};

void TestWLCharset::knowsIanaNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("known");
    QTest::newRow("UTF-8") << QStringLiteral("UTF-8") << true;
    QTest::newRow("utf-8 lower case") << QStringLiteral("utf-8") << true;
    QTest::newRow("ISO-8859-1") << QStringLiteral("ISO-8859-1") << true;
    QTest::newRow("US-ASCII") << QStringLiteral("US-ASCII") << true;
    QTest::newRow("Shift_JIS") << QStringLiteral("Shift_JIS") << true;
    QTest::newRow("windows-1252") << QStringLiteral("windows-1252") << true;
    QTest::newRow("unknown") << QStringLiteral("no-such-charset") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestWLCharset::knowsIanaNames()
{
    QFETCH(QString, name);
    QFETCH(bool, known);
    QCOMPARE(WLCharset::forName(name).has_value(), known);
}

void TestWLCharset::encodesAndDecodes_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf-8") << QStringLiteral("UTF-8") << QStringLiteral("café ß")
                           << QByteArray("caf\xc3\xa9 \xc3\x9f");
    QTest::newRow("latin-1") << QStringLiteral("ISO-8859-1") << QStringLiteral("café ß")
                             << QByteArray("caf\xe9 \xdf");
    QTest::newRow("ascii") << QStringLiteral("US-ASCII") << QStringLiteral("plain")
                           << QByteArray("plain");
    QTest::newRow("empty") << QStringLiteral("UTF-8") << QString() << QByteArray();
}

void TestWLCharset::encodesAndDecodes()
{
    QFETCH(QString, charset);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const auto cs = WLCharset::forName(charset);
    QVERIFY(cs);
    QCOMPARE(cs->encode(text).value_or(QByteArray("FAILED")), bytes);
    QCOMPARE(cs->decode(bytes).value_or(QStringLiteral("FAILED")), text);
}

void TestWLCharset::refusesWhatTheCharsetCannotHold_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("text");
    QTest::newRow("é in ascii") << QStringLiteral("US-ASCII") << QStringLiteral("café");
    QTest::newRow("euro in latin-1") << QStringLiteral("ISO-8859-1") << QStringLiteral("5 €");
    QTest::newRow("kanji in latin-1") << QStringLiteral("ISO-8859-1") << QStringLiteral("漢字");
}

void TestWLCharset::refusesWhatTheCharsetCannotHold()
{
    QFETCH(QString, charset);
    QFETCH(QString, text);
    const auto cs = WLCharset::forName(charset);
    QVERIFY(cs);
    QVERIFY(!cs->encode(text));
    // The converter is usable again after a failure.
    QCOMPARE(cs->encode(QStringLiteral("ok")).value_or(QByteArray()), QByteArray("ok"));
}

void TestWLCharset::refusesUndecodableBytes()
{
    const auto cs = WLCharset::forName(QStringLiteral("UTF-8"));
    QVERIFY(cs);
    QVERIFY(!cs->decode(QByteArray("\xc3\x28", 2)));
}

void TestWLCharset::intValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QStringLiteral("12") << 12;
    QTest::newRow("leading blanks") << QStringLiteral(" \t 30") << 30;
    QTest::newRow("trailing text") << QStringLiteral("7abc") << 7;
    QTest::newRow("sign") << QStringLiteral("-5") << -5;
    QTest::newRow("plus") << QStringLiteral("+5") << 5;
    QTest::newRow("no digits") << QStringLiteral("abc") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("sign only") << QStringLiteral("-") << 0;
    QTest::newRow("too large") << QStringLiteral("99999999999999999999") << std::numeric_limits<int>::max();
    QTest::newRow("too small") << QStringLiteral("-99999999999999999999") << std::numeric_limits<int>::min();
    QTest::newRow("int min") << QStringLiteral("-2147483648") << std::numeric_limits<int>::min();
    QTest::newRow("int max") << QStringLiteral("2147483647") << std::numeric_limits<int>::max();
}

void TestWLCharset::intValue()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(wlIntValue(text), value);
}

QTEST_GUILESS_MAIN(TestWLCharset)
#include "tst_wlcharset.moc"

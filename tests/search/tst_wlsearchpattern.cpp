#include "WLSearchPattern.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestWLSearchPattern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void patterns_data();
    void patterns();
    void rangeKey_data();
    void rangeKey();
};

void TestWLSearchPattern::patterns_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("equal");
    QTest::addColumn<QString>("partial");

    // Every backslash below is one backslash character in the pattern.
    QTest::newRow("prefix") << u"ab"_s << u"ab"_s << u"ab%"_s;
    QTest::newRow("star") << u"a*c"_s << u"a%c"_s << u"a%c"_s;
    QTest::newRow("question mark") << u"a?"_s << u"a_"_s << u"a_"_s;
    QTest::newRow("typed percent") << u"50%"_s << u"50\\%"_s << u"50\\%%"_s;
    QTest::newRow("typed underscore") << u"a_b"_s << u"a\\_b"_s << u"a\\_b%"_s;
    QTest::newRow("5_") << u"5_"_s << u"5\\_"_s << u"5\\_%"_s;
    QTest::newRow("wildcard first") << u"*ing"_s << u"%ing"_s << u"%ing"_s;
    QTest::newRow("lone star") << u"*"_s << u"%"_s << u"%"_s;
    QTest::newRow("lone question mark") << u"?"_s << u"_"_s << u"_"_s;
    QTest::newRow("backslash") << u"a\\b"_s << u"a\\\\b"_s << u"a\\\\b%"_s;
    // Doubling comes first, so the escapes added later stay single.
    QTest::newRow("backslash before percent") << u"\\%"_s << u"\\\\\\%"_s << u"\\\\\\%%"_s;
    QTest::newRow("escaped and wild") << u"%*_?"_s << u"\\%%\\__"_s << u"\\%%\\__"_s;
    QTest::newRow("folded") << u"ÜBER"_s << u"über"_s << u"über%"_s;
    QTest::newRow("composed") << u"u\u0308ber"_s << u"über"_s << u"über%"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestWLSearchPattern::patterns()
{
    QFETCH(QString, keyword);
    QFETCH(QString, equal);
    QFETCH(QString, partial);
    const WLSearchPatterns patterns = searchPatternsForKeyword(keyword);
    QCOMPARE(patterns.equal, equal);
    QCOMPARE(patterns.keyword, partial);
}

void TestWLSearchPattern::rangeKey_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << u"ab%"_s << u"ab%"_s;
    QTest::newRow("wildcard first") << u"%ing"_s << u"%ing"_s;
    // A typed "%" or "_" first: the letter is the character itself.
    QTest::newRow("escaped percent") << u"\\%off%"_s << u"%off%"_s;
    QTest::newRow("escaped underscore") << u"\\_x"_s << u"_x"_s;
    QTest::newRow("escaped backslash") << u"\\\\a%"_s << u"\\a%"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestWLSearchPattern::rangeKey()
{
    QFETCH(QString, pattern);
    QFETCH(QString, key);
    QCOMPARE(rangeKeyForPattern(pattern), key);
}

QTEST_GUILESS_MAIN(TestWLSearchPattern)
#include "tst_wlsearchpattern.moc"

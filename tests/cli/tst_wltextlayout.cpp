#include "WLTextLayout.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLTextLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayWidth_data();
    void displayWidth();
    void elided_data();
    void elided();
    void table_data();
    void table();
    void wrapped_data();
    void wrapped();
};

void TestWLTextLayout::displayWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("ascii") << u"bank"_s << 4;
    QTest::newRow("precomposed") << u"über"_s << 4;
    QTest::newRow("combining mark") << u"u\u0308ber"_s << 4;
    QTest::newRow("wide") << u"辞書"_s << 4;
    QTest::newRow("outside the BMP") << u"𠀋x"_s << 3;
    QTest::newRow("style sequences") << u"\x1b[1mbank\x1b[0m"_s << 4;
}

void TestWLTextLayout::displayWidth()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(WLTextLayout::displayWidth(text), width);
}

void TestWLTextLayout::elided_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("fits") << u"bank"_s << 4 << u"bank"_s;
    QTest::newRow("cut") << u"banking"_s << 5 << u"bank…"_s;
    QTest::newRow("combining mark stays with its letter")
        << u"u\u0308u\u0308u\u0308"_s << 2 << u"u\u0308…"_s;
    // A wide character that would straddle the limit is left out whole.
    QTest::newRow("wide") << u"辞書辞書"_s << 4 << u"辞…"_s;
    QTest::newRow("surrogate pair kept whole") << u"𠀋𠀋𠀋"_s << 4 << u"𠀋…"_s;
}

void TestWLTextLayout::elided()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(WLTextLayout::elided(text, width), result);
}

void TestWLTextLayout::table_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QList<int>>("rightAligned");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("lines");
    const QList<QStringList> rows{{u"7"_s, u"bank"_s, u"a place that keeps money"_s},
                                  {u"12"_s, u"über"_s, u"18 entries"_s}};
    QTest::newRow("no limit") << rows << QList<int>{0} << 0
                              << QStringList{u" 7  bank  a place that keeps money"_s,
                                             u"12  über  18 entries"_s};
    QTest::newRow("wide enough") << rows << QList<int>{0} << 34
                                 << QStringList{u" 7  bank  a place that keeps money"_s,
                                                u"12  über  18 entries"_s};
    QTest::newRow("widest column gives way")
        << rows << QList<int>{0} << 24
        << QStringList{u" 7  bank  a place that…"_s, u"12  über  18 entries"_s};
    // Numbers are never cut; other columns stop at six columns.
    QTest::newRow("narrower than every column")
        << QList<QStringList>{{u"123456"_s, u"a long headword"_s, u"its link text"_s}}
        << QList<int>{0} << 10 << QStringList{u"123456  a lon…  its l…"_s};
    QTest::newRow("wide characters") << QList<QStringList>{{u"辞書辞書辞書"_s, u"x"_s}, {u"a"_s}}
                                     << QList<int>{} << 9 << QStringList{u"辞書…   x"_s, u"a"_s};
}

void TestWLTextLayout::table()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QList<int>, rightAligned);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    QCOMPARE(WLTextLayout::table(rows, rightAligned, width), lines);
}

void TestWLTextLayout::wrapped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("no limit") << u"one two three"_s << 0 << u"one two three"_s;
    QTest::newRow("short lines stay") << u"one\n  two\n"_s << 5 << u"one\n  two\n"_s;
    QTest::newRow("indentation kept")
        << u"  n 1: a sloping bank\nnext"_s << 12 << u"  n 1: a\n  sloping\n  bank\nnext"_s;
    QTest::newRow("long word left whole")
        << u"see antidisestablishment now"_s << 8 << u"see\nantidisestablishment\nnow"_s;
    QTest::newRow("indentation after a style")
        << u"\x1b[0m  n 1: a slope"_s << 10 << u"\x1b[0m  n 1: a\n  slope"_s;
    QTest::newRow("styles take no room")
        << u"\x1b[1mbank\x1b[0m is here"_s << 7 << u"\x1b[1mbank\x1b[0m is\nhere"_s;
    QTest::newRow("trailing spaces dropped") << u"one two   "_s << 7 << u"one two"_s;
}

void TestWLTextLayout::wrapped()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(WLTextLayout::wrapped(text, width), result);
}

QTEST_GUILESS_MAIN(TestWLTextLayout)
#include "tst_wltextlayout.moc"

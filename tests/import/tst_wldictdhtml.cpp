#include "WLDictdHtml.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLDictdHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void definition_data();
    void definition();
    void paragraphs();
};

void TestWLDictdHtml::definition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("links");
    QTest::addColumn<int>("unresolved");

    QTest::newRow("headword line emphasised")
        << u"bank\n   n 1: a slope\n"_s
        << u"<p><b>bank</b><br>\n\u00a0\u00a0\u00a0n 1: a slope</p>"_s << 0 << 0;
    QTest::newRow("headword in another case")
        << u"Bank \\Bank\\, n."_s << u"<p><b>Bank</b> \\Bank\\, n.</p>"_s << 0 << 0;
    QTest::newRow("headword missing gets a heading")
        << u"  a slope"_s << u"<p><b>bank</b></p><p>a slope</p>"_s << 0 << 0;
    QTest::newRow("longer word is not the headword")
        << u"banking is a trade"_s << u"<p><b>bank</b></p><p>banking is a trade</p>"_s << 0 << 0;
    QTest::newRow("deeper lines keep their indentation")
        << u"  bank\n  n 1: a slope\n     beside water\n\t2: a firm"_s
        << u"<p><b>bank</b><br>\nn 1: a slope<br>\n\u00a0\u00a0\u00a0beside water<br>\n"
           "\u00a0\u00a0\u00a0\u00a0\u00a0\u00a02: a firm</p>"_s
        << 0 << 0;
    QTest::newRow("blank lines part paragraphs")
        << u"\n\nbank\n\n\n first\n\n second  \n\n"_s
        << u"<p><b>bank</b></p>\n<p>\u00a0first</p>\n<p>\u00a0second</p>"_s << 0 << 0;
    QTest::newRow("empty definition") << u"\n \n"_s << u"<p><b>bank</b></p>"_s << 0 << 0;
    QTest::newRow("markup escaped")
        << u"bank <n> & \"x\" <b>"_s
        << u"<p><b>bank</b> &lt;n&gt; &amp; &quot;x&quot; &lt;b&gt;</p>"_s << 0 << 0;
    QTest::newRow("references") << u"bank\nsee {river} and {nowhere}"_s
                                << u"<p><b>bank</b><br>\nsee [[river|river]] and nowhere</p>"_s << 1
                                << 1;
    QTest::newRow("reference in another case")
        << u"bank: {RIVER}"_s << u"<p><b>bank</b>: [[river|RIVER]]</p>"_s << 1 << 0;
    QTest::newRow("reference across lines")
        << u"bank\n  see {gas\n       constant} now\n    next\n last"_s
        << u"<p><b>bank</b><br>\n\u00a0\u00a0see [[gas constant|gas constant]] now<br>\n\u00a0\u00a0\u00a0\u00a0next<br>\n\u00a0last</p>"_s
        << 1 << 0;
    QTest::newRow("link text raw for the compiler to escape")
        << u"bank {R&D} {A]B}"_s << u"<p><b>bank</b> [[R&D|R&D]] [[a]b|A]B]]</p>"_s << 2 << 0;
    QTest::newRow("target that cannot be written stays text")
        << u"bank {x|y} {z]]} {z]}"_s << u"<p><b>bank</b> x|y z]] z]</p>"_s << 0 << 3;
    QTest::newRow("literal double brackets")
        << u"bank [[not a link]] [[[x] [y]"_s
        << u"<p><b>bank</b> &#91;[not a link]] &#91;&#91;[x] [y]</p>"_s << 0 << 0;
    QTest::newRow("bracket before a link")
        << u"bank [{river}]"_s << u"<p><b>bank</b> &#91;[[river|river]]]</p>"_s << 1 << 0;
    QTest::newRow("stray braces") << u"bank {} {open {close} }"_s
                                  << u"<p><b>bank</b> {} {open [[close|close]] }</p>"_s << 1 << 0;
    QTest::newRow("non-ASCII") << u"bank: Straße, {Café}"_s
                               << u"<p><b>bank</b>: Straße, [[café|Café]]</p>"_s << 1 << 0;
}

void TestWLDictdHtml::definition()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    QFETCH(int, links);
    QFETCH(int, unresolved);
    const QStringList known{u"river"_s, u"gas constant"_s, u"R&D"_s,  u"x|y"_s,  u"z]]"_s,
                            u"a]b"_s,   u"z]"_s,           u"café"_s, u"close"_s};
    const WLDictdHtml::Resolver resolve = [&](const QString &reference) -> std::optional<QString> {
        for (const QString &k : known) {
            if (k.compare(reference, Qt::CaseInsensitive) == 0)
                return k;
        }
        return std::nullopt;
    };
    const WLDictdHtml::Result result = WLDictdHtml::definition(text, u"bank", resolve);
    QCOMPARE(result.html, html);
    QCOMPARE(result.links, links);
    QCOMPARE(result.unresolved, unresolved);
}

void TestWLDictdHtml::paragraphs()
{
    QCOMPARE(WLDictdHtml::paragraphs(u"  A <test> {x}.\n  More.\n\n  Next.\n"),
             u"<p>A &lt;test&gt; {x}.<br>\nMore.</p>\n<p>Next.</p>"_s);
    QCOMPARE(WLDictdHtml::paragraphs(u" \n"), QString());
}

QTEST_APPLESS_MAIN(TestWLDictdHtml)
#include "tst_wldictdhtml.moc"

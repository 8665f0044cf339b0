#include "WLDictdHtml.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLDictdHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void definition_data();
    void definition();
    void withoutHeadword();
};

void TestWLDictdHtml::definition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("links");
    QTest::addColumn<int>("unresolved");

    QTest::newRow("headword line emphasised")
        << u"bank\n   n 1: a slope\n"_s << u"<pre><b>bank</b>\n   n 1: a slope</pre>"_s << 0 << 0;
    QTest::newRow("headword in another case")
        << u"Bank \\Bank\\, n."_s << u"<pre><b>Bank</b> \\Bank\\, n.</pre>"_s << 0 << 0;
    QTest::newRow("headword missing gets a heading")
        << u"  a slope"_s << u"<pre><b>bank</b>\na slope</pre>"_s << 0 << 0;
    QTest::newRow("longer word is not the headword")
        << u"banking is a trade"_s << u"<pre><b>bank</b>\nbanking is a trade</pre>"_s << 0 << 0;
    QTest::newRow("indentation relative to the least")
        << u"  bank\n  n 1: a slope\n     beside water\n\t2: a firm"_s
        << u"<pre><b>bank</b>\nn 1: a slope\n   beside water\n      2: a firm</pre>"_s << 0 << 0;
    QTest::newRow("blank lines at the ends dropped, runs of them made one")
        << u"\n\nbank\n\n\n first\n\n second  \n\n"_s
        << u"<pre><b>bank</b>\n\n first\n\n second</pre>"_s << 0 << 0;
    QTest::newRow("empty definition") << u"\n \n"_s << u"<pre><b>bank</b></pre>"_s << 0 << 0;
    QTest::newRow("markup escaped, quotes need not be")
        << u"bank <n> & \"x\" <b>"_s << u"<pre><b>bank</b> &lt;n&gt; &amp; \"x\" &lt;b&gt;</pre>"_s
        << 0 << 0;
    QTest::newRow("references") << u"bank\nsee {river} and {nowhere}"_s
                                << u"<pre><b>bank</b>\nsee [[river|river]] and nowhere</pre>"_s << 1
                                << 1;
    QTest::newRow("reference in another case")
        << u"bank: {RIVER}"_s << u"<pre><b>bank</b>: [[river|RIVER]]</pre>"_s << 1 << 0;
    QTest::newRow("reference across lines keeps its line break")
        << u"bank\n  see {gas\n       constant} now\n    next\n last"_s
        << u"<pre><b>bank</b>\n  see [[gas constant|gas\n       constant]] now\n    next\n last</pre>"_s
        << 1 << 0;
    QTest::newRow("link text raw for the compiler to escape")
        << u"bank {R&D} {A]B}"_s << u"<pre><b>bank</b> [[R&D|R&D]] [[a]b|A]B]]</pre>"_s << 2 << 0;
    QTest::newRow("target that cannot be written stays text")
        << u"bank {x|y} {z]]} {z]}"_s << u"<pre><b>bank</b> x|y z]] z]</pre>"_s << 0 << 3;
    QTest::newRow("literal double brackets")
        << u"bank [[not a link]] [[[x] [y] {a [[b}"_s
        << u"<pre><b>bank</b> &#91;[not a link]] &#91;&#91;[x] [y] a &#91;[b</pre>"_s << 0 << 1;
    QTest::newRow("bracket before a link")
        << u"bank [{river}]"_s << u"<pre><b>bank</b> &#91;[[river|river]]]</pre>"_s << 1 << 0;
    QTest::newRow("stray braces") << u"bank {} {open {close} }"_s
                                  << u"<pre><b>bank</b> {} {open [[close|close]] }</pre>"_s << 1
                                  << 0;
    QTest::newRow("non-ASCII") << u"bank: Straße, {Café}"_s
                               << u"<pre><b>bank</b>: Straße, [[café|Café]]</pre>"_s << 1 << 0;
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

// A text several headwords share is made once, without any of them.
void TestWLDictdHtml::withoutHeadword()
{
    const auto html = [](QStringView text, QStringView headword) {
        return WLDictdHtml::definition(text, headword, {}).html;
    };
    QCOMPARE(html(u"Define \\De*fine\\, v. t.", u"Define"),
             u"<pre><b>Define</b> \\De*fine\\, v. t.</pre>"_s);
    QCOMPARE(html(u"Define \\De*fine\\, v. t.", {}), u"<pre>Define \\De*fine\\, v. t.</pre>"_s);
    QVERIFY(WLDictdHtml::beginsWith(u"\n  define: to fix", u"Define"));
    QVERIFY(!WLDictdHtml::beginsWith(u"Defined", u"Define"));
    QVERIFY(!WLDictdHtml::beginsWith(u"\n", u"Define"));
}

QTEST_APPLESS_MAIN(TestWLDictdHtml)
#include "tst_wldictdhtml.moc"

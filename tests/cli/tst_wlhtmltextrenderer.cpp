#include "WLHtmlTextRenderer.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestWLHtmlTextRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void render_data();
    void render();
    void stylesForATerminal();
};

void TestWLHtmlTextRenderer::render_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    const QString page =
        u"<html><head><meta charset=\"UTF-8\"><title>T</title><style>p{}</style></head><body>%1</body></html>"_s;

    QTest::newRow("paragraphs and line breaks")
        << page.arg(
               u"<p><b>bank</b><br>\nn 1: a slope<br>\n\u00a0\u00a0\u00a0beside water</p>\n<p>next</p>"_s)
        << u"bank\nn 1: a slope\n   beside water\n\nnext\n"_s;
    QTest::newRow("white space collapses, no-break spaces stay")
        << page.arg(u"<p>  a \n\t b&nbsp;&nbsp;c  </p>"_s) << u"a b  c\n"_s;
    QTest::newRow("entities and bare text")
        << u"R&amp;D &lt;n&gt; caf&eacute; &#x263a;"_s << u"R&D <n> café \u263a\n"_s;
    QTest::newRow("two breaks make an empty line")
        << page.arg(u"one<br><br>two<br></p><p>three"_s) << u"one\n\ntwo\n\nthree\n"_s;
    QTest::newRow("rule between fragments")
        << page.arg(u"<p>first</p><hr><p>second</p>"_s)
        << u"first\n\n"_s + QString(40, QChar(0x2500)) + u"\n\nsecond\n"_s;
    QTest::newRow("links and inline markup are text")
        << page.arg(u"see <a href=\"#12\">river</a>, <i>x</i><span>y</span>"_s)
        << u"see river, xy\n"_s;
    QTest::newRow("scripts and styles left out")
        << page.arg(u"<script>alert(1)</script>a<style>b{}</style>b<noscript>c</noscript>"_s)
        << u"ab\n"_s;
    QTest::newRow("lists") << page.arg(u"<ul><li>one</li><li>two</li></ul><ol><li>a<li>b</ol>"_s)
                           << u"\u2022 one\n\u2022 two\n\n1. a\n2. b\n"_s;
    QTest::newRow("divs and headings")
        << page.arg(u"<h1>Title</h1><div>a</div><div>b</div>"_s) << u"Title\n\na\nb\n"_s;
    QTest::newRow("preformatted text kept")
        << page.arg(u"<p>x</p><pre>  a\n    b</pre>"_s) << u"x\n\n  a\n    b\n"_s;
    QTest::newRow("table rows and cells")
        << page.arg(
               u"<table><tr><th>k</th><td>v</td></tr><tr><td>k2</td><td>v2</td></tr></table>"_s)
        << u"k  v\nk2  v2\n"_s;
    QTest::newRow("image alternative text")
        << page.arg(u"a <img src=\"p.png\" alt=\" a  picture \"> b <img src=\"q.png\">"_s)
        << u"a [a picture] b\n"_s;
    QTest::newRow("broken markup recovered")
        << u"<p>open <b>bold <i>both</p>after"_s << u"open bold both\n\nafter\n"_s;
    QTest::newRow("empty page") << page.arg(QString()) << QString();
}

void TestWLHtmlTextRenderer::render()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(WLHtmlTextRenderer::render(html), text);
}

void TestWLHtmlTextRenderer::stylesForATerminal()
{
    QCOMPARE(
        WLHtmlTextRenderer::render(u"<p><b>bank</b> n. <a href=\"#3\">river</a> end</p>"_s, true),
        u"\x1b[1mbank\x1b[0m n. \x1b[4mriver\x1b[0m end\n"_s);
    QCOMPARE(WLHtmlTextRenderer::render(u"<b>a <a href=\"#1\">b</a></b>"_s, true),
             u"\x1b[1ma\x1b[0m \x1b[1m\x1b[4mb\x1b[0m\n"_s);
}

QTEST_APPLESS_MAIN(TestWLHtmlTextRenderer)
#include "tst_wlhtmltextrenderer.moc"

#include "WLStarDictHtml.h"
#include "WLStarDictItems.h"
#include "WLStarDictResources.h"
#include "WLStarDictTestDictionary.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// Items of each type turned into fragments, against a res/ folder and two
// headwords made here. The dictionary is hostile: what could run code,
// load something or climb out of res/ must not get through.
class TestWLStarDictHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void converts_data();
    void converts();
    void refuses_data();
    void refuses();
    void deepMarkupEnds();
    void resourceNames_data();
    void resourceNames();

private:
    WLStarDictHtml::Result convert(char type, const QByteArray &data, QString *problem) const;

    QTemporaryDir mDir;
    WLStarDictResources mResources;
};

void TestWLStarDictHtml::initTestCase()
{
    QVERIFY(mDir.isValid());
    const auto save = [&](const QString &name, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(mDir.filePath(name)).path());
        QFile file(mDir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    save(u"res/pic.png"_s, WLStarDictTestDictionary::png(2, 2, 0xff0000));
    save(u"res/pic.bmp"_s, WLStarDictTestDictionary::bmp(2, 2, 0xff0000));
    save(u"res/s.wav"_s, WLStarDictTestDictionary::wav(440));
    save(u"res/sub dir/\u00e9.JPEG"_s, "jpeg");
    save(u"res/sub_dir/\u00e9.jpg"_s, "another");
    save(u"res/page.html"_s, "<script></script>");
    QVERIFY(QFile::link(mDir.filePath(u"res/pic.png"_s), mDir.filePath(u"res/link.png"_s)));
    QString error;
    QVERIFY2(mResources.scan(mDir.filePath(u"res"_s), &error), qPrintable(error));
}

WLStarDictHtml::Result TestWLStarDictHtml::convert(char type, const QByteArray &data, QString *problem) const
{
    const WLStarDictHtml::Resolver resolve = [](const QString &reference) -> std::optional<QString> {
        if (reference.compare(u"apple"_s, Qt::CaseInsensitive) == 0)
            return u"apple"_s;
        if (reference == u"Berlin"_s)
            return u"Berlin"_s;
        return std::nullopt;
    };
    WLStarDictItem item;
    item.type = type;
    item.data = data;
    item.offset = 100;
    WLStarDictHtml::Result result;
    if (!WLStarDictHtml::append(item, resolve, mResources, result, problem))
        return {};
    return result;
}

void TestWLStarDictHtml::converts_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("media");
    // Links, references without a target, missing files, removed as unsafe.
    QTest::addColumn<QList<int>>("counts");
    const QList<int> none{0, 0, 0, 0};

    QTest::newRow("m: escaped, lines kept, no [[") << 'm' << QByteArray("a < b & [[c]]\n  d\n\n")
                                                   << u"<pre class=\"sd-m\">a &lt; b &amp; &#91;&#91;c]]\n  d</pre>"_s
                                                   << QStringList() << none;
    QTest::newRow("l: Latin-1 where not UTF-8") << 'l' << QByteArray("\xe9t\xe9") << u"<pre class=\"sd-l\">été</pre>"_s
                                                << QStringList() << none;
    QTest::newRow("t and y, k and w: text") << 'k' << QByteArray("<b>kept</b>")
                                            << u"<pre class=\"sd-k\">&lt;b&gt;kept&lt;/b&gt;</pre>"_s << QStringList()
                                            << none;

    QTest::newRow("g: span attributes as CSS")
        << 'g' << QByteArray("<span foreground=\"#B22222\" weight=\"bold\" size=\"x-large\" underline=\"single\" "
                             "font_family=\"Serif\" lang=\"fr\">x</span>\n<big>y</big>")
        << u"<pre class=\"sd-g\"><span style=\"color:#B22222;font-weight:700;font-size:x-large;font-family:Serif;"
           "text-decoration:underline\" lang=\"fr\">x</span>\n<big>y</big></pre>"_s
        << QStringList() << none;
    QTest::newRow("g: Pango's 12-digit colour") << 'g' << QByteArray("<span color=\"#ffff00000000\">r</span>")
                                                << u"<pre class=\"sd-g\"><span style=\"color:#ff0000\">r</span></pre>"_s
                                                << QStringList() << none;
    QTest::newRow("g: a colour that smuggles CSS")
        << 'g' << QByteArray("<span foreground=\"red;background:url(http://e.org/x)\" size=\"1em;x:url(y)\">x</span>")
        << u"<pre class=\"sd-g\"><span>x</span></pre>"_s << QStringList() << none;
    QTest::newRow("g: entities") << 'g' << QByteArray("&lt;b&gt; &amp; &#x263A;")
                                 << u"<pre class=\"sd-g\">&lt;b&gt; &amp; \u263a</pre>"_s << QStringList() << none;
    QTest::newRow("g: not well-formed, read as HTML") << 'g' << QByteArray("a & b <b>bold &nbsp;")
                                                      << u"<pre class=\"sd-g\">a &amp; b <b>bold \u00a0</b></pre>"_s
                                                      << QStringList() << none;

    QTest::newRow("h: script, handler and style sheet go")
        << 'h' << QByteArray("<p onclick=\"x()\" style=\"color:red\" class=\"c\">hi</p><script>alert(1)</script>"
                             "<style>p{}</style><noscript>n</noscript>")
        << u"<div class=\"sd-h\"><p style=\"color:red\" class=\"c\">hi</p></div>"_s << QStringList()
        << QList<int>{0, 0, 0, 4};
    QTest::newRow("h: styles that load") << 'h'
                                         << QByteArray("<span style=\"background:URL( 'http://e.org/x.png' )\">a</span>"
                                                       "<b style=\"behavior:url(x.htc)\">b</b>"
                                                       "<i style=\"background-image:image-set('x.png' 1x)\">c</i>")
                                         << u"<div class=\"sd-h\"><span>a</span><b>b</b><i>c</i></div>"_s
                                         << QStringList() << QList<int>{0, 0, 0, 3};
    QTest::newRow("h: frames, objects, forms, meta and base go")
        << 'h' << QByteArray("<iframe src=\"http://e.org\"></iframe><object data=\"x.swf\"></object>"
                             "<form action=\"http://e.org\"><input name=\"q\">text</form>"
                             "<meta http-equiv=\"refresh\" content=\"0;url=http://e.org\"><base href=\"http://e.org/\">"
                             "<svg onload=\"x()\"></svg><video src=\"v.mp4\"></video><embed src=\"x\">")
        << u"<div class=\"sd-h\">text</div>"_s << QStringList() << QList<int>{0, 0, 0, 8};
    QTest::newRow("h: remote, file, script and in-page links keep their text")
        << 'h' << QByteArray("<a href=\"https://e.org\">web</a> <a href=\"javascript:alert(1)\">js</a> "
                             "<a href=\"file:///etc/passwd\">file</a> <a href=\"#25\">entry 25</a> "
                             "<a href=\"mailto:a@e.org\">mail</a> <a name=\"x\">anchor</a>")
        << u"<div class=\"sd-h\">web js file entry 25 mail anchor</div>"_s << QStringList()
        << QList<int>{0, 0, 0, 5};
    QTest::newRow("h: remote and file pictures go")
        << 'h' << QByteArray("<img src=\"http://e.org/x.png\" onerror=\"x()\"><img src=\"file:///tmp/x.png\">"
                             "<img src=\"data:image/png;base64,AAAA\"><img>")
        << u"<div class=\"sd-h\"></div>"_s << QStringList() << QList<int>{0, 0, 0, 4};
    QTest::newRow("h: bword links") << 'h'
                                    << QByteArray("<a href=\"bword://APPLE\">an <b>apple</b></a>, "
                                                  "<a href=\"bword://kiwi\">kiwi</a>, <a href=\"entry://Berlin\">B</a>")
                                    << u"<div class=\"sd-h\">[[apple|an apple]], kiwi, [[Berlin|B]]</div>"_s
                                    << QStringList() << QList<int>{2, 1, 0, 0};
    QTest::newRow("h: pictures of res/") << 'h'
                                         << QByteArray("<img src=\"pic.png\" alt=\"p\" width=\"20\">"
                                                       "<img src=\"bres://pic.bmp\"><img src=\"sub%20dir/%C3%A9.JPEG\">")
                                         << u"<div class=\"sd-h\"><a href=\"pictures/pic.png\"><img src=\"pictures/pic.png\" "
                                            "alt=\"p\" width=\"20\"></a><img src=\"pictures/pic.bmp\"><a href=\"pictures/"
                                            "sub_dir_\u00e9.jpg\"><img src=\"pictures/sub_dir_\u00e9.jpg\"></a></div>"_s
                                         << QStringList{u"pictures/pic.png"_s, u"pictures/pic.bmp"_s,
                                                        u"pictures/sub_dir_\u00e9.jpg"_s}
                                         << none;
    // A picture inside a link is not made a link of its own.
    QTest::newRow("h: a sound link, a missing picture, a symbolic link")
        << 'h' << QByteArray("<a href=\"s.wav\">play</a><img src=\"none.png\"><img src=\"link.png\">"
                             "<a href=\"sound://s.wav\"><b><img src=\"pic.png\"></b></a>")
        << u"<div class=\"sd-h\"><a href=\"sounds/s.wav\">play</a><a href=\"sounds/s.wav\"><b><img "
           "src=\"pictures/pic.png\"></b></a></div>"_s
        << QStringList{u"sounds/s.wav"_s, u"pictures/pic.png"_s} << QList<int>{0, 0, 2, 0};
    QTest::newRow("h: a page of res/ is no resource") << 'h' << QByteArray("<a href=\"page.html\">p</a>")
                                                      << u"<div class=\"sd-h\">p</div>"_s << QStringList()
                                                      << QList<int>{0, 0, 0, 1};
    QTest::newRow("h: [[ in text and attributes") << 'h' << QByteArray("<span title=\"[[x]]\">[[y]]</span>")
                                                  << u"<div class=\"sd-h\"><span title=\"&#91;&#91;x]]\">&#91;&#91;y]]</span></div>"_s
                                                  << QStringList() << none;

    QTest::newRow("x: XDXF") << 'x'
                             << QByteArray("<k>w</k>\n<tr>t</tr> <abr>n.</abr> <c c=\"blue\">b</c> <c c=\"x;y:url(z)\">c</c> "
                                           "<ex>e</ex> <co>o</co> <kref>berlin</kref> <kref k=\"apple\">pomme</kref> "
                                           "<iref href=\"http://e.org\">i</iref> <blockquote>q</blockquote>"
                                           "<rref>pic.png</rref><rref lctn=\"s.wav\"/><unknown>u</unknown>")
                             << u"<pre class=\"sd-x\"><b class=\"xdxf-k\">w</b>\n<span class=\"xdxf-tr\">[t]</span> "
                                "<i class=\"xdxf-abr\">n.</i> <span class=\"xdxf-c\" style=\"color:blue\">b</span> "
                                "<span class=\"xdxf-c\">c</span> <span class=\"xdxf-ex\">e</span> "
                                "<span class=\"xdxf-co\">o</span> berlin [[apple|pomme]] i "
                                "<div class=\"xdxf-blockquote\">q</div><a href=\"pictures/pic.png\"><img "
                                "src=\"pictures/pic.png\" alt=\"pic.png\"></a><a class=\"sd-sound\" href=\"sounds/s.wav\">"
                                "\u25b6 s.wav</a>u</pre>"_s
                             << QStringList{u"pictures/pic.png"_s, u"sounds/s.wav"_s} << QList<int>{1, 1, 0, 1};

    QTest::newRow("r: pictures, sounds, others")
        << 'r' << QByteArray("img:pic.png\nsnd:s.wav\nvdo:film.avi\nimg:none.png\n")
        << u"<div class=\"sd-r\"><div><a href=\"pictures/pic.png\"><img src=\"pictures/pic.png\" alt=\"pic.png\"></a>"
           "</div><div><a class=\"sd-sound\" href=\"sounds/s.wav\">\u25b6 s.wav</a></div><div><span class=\"sd-file\">"
           "film.avi</span></div><div><span class=\"sd-file\">none.png</span></div></div>"_s
        << QStringList{u"pictures/pic.png"_s, u"sounds/s.wav"_s} << QList<int>{0, 0, 1, 0};
    QTest::newRow("W: binary, not shown") << 'W' << QByteArray("RIFF") << QString() << QStringList() << none;
}

void TestWLStarDictHtml::converts()
{
    QFETCH(char, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, html);
    QFETCH(QStringList, media);
    QFETCH(QList<int>, counts);
    QString problem;
    const WLStarDictHtml::Result result = convert(type, data, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(result.html, html);
    QCOMPARE(result.media, media);
    QCOMPARE((QList<int>{result.links, result.unresolved, result.missingResources, result.removed}), counts);
}

void TestWLStarDictHtml::refuses_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("problem");
    QTest::newRow("m: not UTF-8") << 'm' << QByteArray("ab\xff") << u"offset 102: the text of type 'm' is not valid UTF-8"_s;
    QTest::newRow("h: not UTF-8") << 'h' << QByteArray("<b>\xc3</b>") << u"offset 103: the text of type 'h' is not valid UTF-8"_s;
    QTest::newRow("r: ..") << 'r' << QByteArray("img:pic/../../../etc/passwd.png")
                           << u"offset 100: resource \"pic/../../../etc/passwd.png\" leads out of res/ with \"..\""_s;
    QTest::newRow("r: absolute") << 'r' << QByteArray("snd:/etc/bell.wav")
                                 << u"offset 100: resource \"/etc/bell.wav\" is an absolute path, not a file in res/"_s;
    QTest::newRow("r: a drive") << 'r' << QByteArray("img:C:\\pics\\a.png")
                                << u"offset 100: resource \"C:\\pics\\a.png\" is an absolute path, not a file in res/"_s;
    QTest::newRow("h: a picture out of res/") << 'h' << QByteArray("<img src=\"..%2F..%2Fx.png\">")
                                              << u"offset 100: resource \"../../x.png\" leads out of res/ with \"..\""_s;
    QTest::newRow("h: a sound out of res/") << 'h' << QByteArray("<a href=\"/usr/share/sounds/x.wav\">x</a>")
                                            << u"offset 100: resource \"/usr/share/sounds/x.wav\" is an absolute path, not a file in res/"_s;
    QTest::newRow("x: rref out of res/") << 'x' << QByteArray("<rref>../x.mp3</rref>")
                                         << u"offset 100: resource \"../x.mp3\" leads out of res/ with \"..\""_s;
}

void TestWLStarDictHtml::refuses()
{
    QFETCH(char, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, problem);
    QString got;
    convert(type, data, &got);
    QCOMPARE(got, problem);
}

// Markup nested ten thousand deep is hostile: it is cut, not walked to the
// end of the stack.
void TestWLStarDictHtml::deepMarkupEnds()
{
    for (const char type : {'g', 'h', 'x'}) {
        const QByteArray data = QByteArray("<b>").repeated(10000) + "deep" + QByteArray("</b>").repeated(10000);
        QString problem;
        const WLStarDictHtml::Result result = convert(type, data, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(result.html.size() < 3000);
    }
}

void TestWLStarDictHtml::resourceNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << u"a.png"_s << u"a.png"_s;
    QTest::newRow("folders, backslashes, dots") << u" pic\\./sub//a.png "_s << u"pic/sub/a.png"_s;
    QTest::newRow("..") << u"a/../b.png"_s << QString();
    QTest::newRow("absolute") << u"/a.png"_s << QString();
    QTest::newRow("URL") << u"file:///a.png"_s << QString();
    QTest::newRow("empty") << u"./"_s << QString();
}

void TestWLStarDictHtml::resourceNames()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QString problem;
    QCOMPARE(WLStarDictResources::normalise(name, &problem).value_or(QString()), path);
    QCOMPARE(problem.isEmpty(), !path.isEmpty());
    // Two files whose names come out the same are told apart.
    QCOMPARE(mResources.find(u"sub dir/\u00e9.JPEG"_s)->name, u"sub_dir_\u00e9.jpg"_s);
    QCOMPARE(mResources.find(u"sub_dir/\u00e9.jpg"_s)->name, u"sub_dir_\u00e9-2.jpg"_s);
    QVERIFY(!mResources.find(u"page.html"_s));
    QVERIFY(!mResources.find(u"link.png"_s));
}

QTEST_GUILESS_MAIN(TestWLStarDictHtml)
#include "tst_wlstardicthtml.moc"

#include "WLCliRunner.h"
#include "WLStarDictTestDictionary.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The tests' sample StarDict dictionary through wldict as a user runs it:
// build --from-stardict, then lookup, page (with its pictures and sounds),
// install and a failed build.
class TestStarDictRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void lookupShowsEveryType_data();
    void lookupShowsEveryType();
    void pagesBringTheirPicturesAndSounds();
    void installsAndOpensByName();
    void aFailedBuildLeavesNothing();
    void wrongCalls_data();
    void wrongCalls();

private:
    WLCliResult lookup(const QString &word) const;

    WLCliRunner mWldict;
    QTemporaryDir mDir;
    QString mIfo;
    QString mBundle;
};

void TestStarDictRoundTrip::initTestCase()
{
    if (!mWldict.isAvailable())
        QSKIP("WLDICT does not name the wldict executable");
    QVERIFY(mDir.isValid());
    mIfo = WLStarDictTestDictionary::writeSample(mDir.filePath(u"sample"_s));
    mBundle = mDir.filePath(u"out/bundle"_s);
    const WLCliResult build =
        mWldict.run({u"--json"_s, u"build"_s, u"--from-stardict"_s, u"--language"_s, u"en"_s, mIfo, mBundle});
    QVERIFY2(build.status == 0, build.err.constData());
    const QJsonObject summary = build.json().toObject();
    QCOMPARE(summary.value(u"title"_s).toString(), u"Sample StarDict"_s);
    QCOMPARE(summary.value(u"headwords"_s).toInt(), 12);
    QCOMPARE(summary.value(u"synonyms"_s).toInt(), 3);
    QCOMPARE(summary.value(u"pictures"_s).toInt(), 3);
    QCOMPARE(summary.value(u"sounds"_s).toInt(), 3);
    // Nothing but the bundle is left beside it.
    QCOMPARE(QDir(mDir.filePath(u"out"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"bundle"_s});
}

WLCliResult TestStarDictRoundTrip::lookup(const QString &word) const
{
    return mWldict.run({u"--dictionary"_s, mBundle, u"lookup"_s, word});
}

void TestStarDictRoundTrip::lookupShowsEveryType_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("text");
    // Each page begins with its headword, but an XDXF one, which names it
    // itself; a copy names the word it copies.
    QTest::newRow("m and r") << u"apple"_s
                             << u"apple\n\na round fruit\n  of the apple tree\n\n[apple.png]\n\u25b6 apple.wav\n"_s;
    QTest::newRow("h, cleaned") << u"banana"_s << u"banana\n\na long fruit, unlike an apple\n\n[a banana]hear it more\n"_s;
    QTest::newRow("g and t") << u"cherry"_s << u"cherry\n\nred stone fruit\ncerise & griotte\n\n\u02c8tS\u025bri\n"_s;
    QTest::newRow("x") << u"date"_s
                       << u"date\n[de\u026at] n. the fruit of the date palm, see apple \u25b6 date.mp3\n"_s;
    QTest::newRow("y, k, w, l; W not shown")
        << u"elderberry"_s << u"elderberry\n\nniwatoko\n\n<ci>elder</ci>\n\n'''elder''' [[berry]]\n\nbaie de sureau \u00e9t\u00e9\n"_s;
    QTest::newRow("two records of one headword")
        << u"fig"_s << u"fig\n\nthe first fig\n\n"_s + QString(40, QChar(0x2500)) + u"\n\nthe second fig\n"_s;
    QTest::newRow("shared data") << u"grapes"_s << u"grape\n\na small round fruit in bunches\n"_s;
    QTest::newRow("a synonym") << u"musa"_s << u"banana\n\na long fruit, unlike an apple\n\n[a banana]hear it more\n"_s;
}

void TestStarDictRoundTrip::lookupShowsEveryType()
{
    QFETCH(QString, word);
    QFETCH(QString, text);
    const WLCliResult r = lookup(word);
    QVERIFY2(r.status == 0, r.err.constData());
    QVERIFY2(r.outText().startsWith(text), r.out.constData());
}

// The page directory gets the very files of res/ that the page shows.
void TestStarDictRoundTrip::pagesBringTheirPicturesAndSounds()
{
    const QJsonValue found = mWldict.json({u"--dictionary"_s, mBundle, u"lookup"_s, u"banana"_s});
    const QJsonArray entries = found[u"entries"_s].toArray();
    QCOMPARE(entries.size(), 1);
    const QString id = QString::number(entries[0][u"contentsIDs"_s].toArray().first().toInt());
    const WLCliResult page = mWldict.run({u"--dictionary"_s, mBundle, u"page"_s, id});
    QVERIFY2(page.status == 0, page.err.constData());
    QVERIFY2(page.outText().contains(u"<a href=\"pictures/banana.gif\"><img src=\"pictures/banana.gif\""_s),
             page.out.constData());
    QVERIFY(!page.outText().contains(u"script"_s));
    static const QRegularExpression directory(u"page directory: (.*)\n"_s);
    const QRegularExpressionMatch match = directory.match(page.errText());
    QVERIFY2(match.hasMatch(), page.err.constData());
    const QDir pages(match.captured(1));
    for (const auto &[shown, source] : {std::pair{u"pictures/banana.gif"_s, u"banana.gif"_s},
                                        std::pair{u"sounds/banana.ogg"_s, u"banana.ogg"_s}}) {
        QFile a(pages.filePath(shown));
        QFile b(mDir.filePath(u"sample/res/"_s + source));
        QVERIFY2(a.open(QIODevice::ReadOnly), qPrintable(a.fileName()));
        QVERIFY(b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }
}

void TestStarDictRoundTrip::installsAndOpensByName()
{
    QTemporaryDir home;
    WLCliRunner runner;
    runner.setEnvironment(u"XDG_DATA_HOME"_s, home.path());
    runner.setEnvironment(u"XDG_DATA_DIRS"_s, home.filePath(u"none"_s));
    const WLCliResult install = runner.run({u"install"_s, u"--name"_s, u"fruit"_s, mBundle});
    QVERIFY2(install.status == 0, install.err.constData());
    const QJsonValue info = runner.json({u"--dictionary"_s, u"fruit"_s, u"info"_s});
    QCOMPARE(info[u"title"_s].toString(), u"Sample StarDict"_s);
    const QJsonValue search = runner.json({u"--dictionary"_s, u"fruit"_s, u"search"_s, u"gra"_s});
    const QByteArray found = QJsonDocument(search.toObject()).toJson();
    QVERIFY2(found.contains("grapes"), found.constData());
    const WLCliResult r = runner.run({u"--dictionary"_s, u"fruit"_s, u"lookup"_s, u"raisin"_s});
    QVERIFY2(r.outText().startsWith(u"grape\n\na small round fruit in bunches\n"_s), r.out.constData());
}

void TestStarDictRoundTrip::aFailedBuildLeavesNothing()
{
    QTemporaryDir dir;
    WLStarDictTestDictionary d;
    d.add("apple", WLStarDictTestDictionary::item('m', "a fruit"));
    d.add("pear", WLStarDictTestDictionary::item('r', "img:../../../etc/passwd.png"));
    const QString ifo = d.write(dir.filePath(u"dict"_s), u"bad"_s);
    const QString out = dir.filePath(u"out/bundle"_s);
    const WLCliResult r = mWldict.run({u"build"_s, u"--from-stardict"_s, ifo, out});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errText(), u"wldict: "_s + dir.filePath(u"dict/bad.dict"_s) +
                              u": offset 10: resource \"../../../etc/passwd.png\" leads out of res/ with \"..\" "
                              "(\"pear\")\n"_s);
    QCOMPARE(QDir(dir.filePath(u"out"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void TestStarDictRoundTrip::wrongCalls_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("both kinds") << QStringList{u"build"_s, u"--from-stardict"_s, u"--from-dictd"_s, u"a"_s, u"b"_s}
                                << u"takes --from-dictd or --from-stardict, not both"_s;
    QTest::newRow("one argument") << QStringList{u"build"_s, u"--from-stardict"_s, u"a.ifo"_s}
                                  << u"takes a .ifo file and an output folder"_s;
    QTest::newRow("unknown option") << QStringList{u"import-stardict"_s, u"--fast"_s, u"a.ifo"_s, u"b"_s}
                                    << u"unknown option \"--fast\""_s;
}

void TestStarDictRoundTrip::wrongCalls()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const WLCliResult r = mWldict.run(arguments);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.errText().startsWith(u"wldict "_s + arguments.first() + u": "_s + message), r.err.constData());
}

QTEST_GUILESS_MAIN(TestStarDictRoundTrip)
#include "tst_stardictroundtrip.moc"

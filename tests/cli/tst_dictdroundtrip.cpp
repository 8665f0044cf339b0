#include "WLDictdTestDatabase.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// A small dictd database made here, run through wldict as a user would:
// import-dictd, build (or build --from-dictd) and lookup.
class TestDictdRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void lookupShowsWholeMatchesThenPartialOnes();
    void lookupFindsNonAsciiHeadwords_data();
    void lookupFindsNonAsciiHeadwords();
    void linksLeadToTheirTargets();
    void rawPageAndJson();
    void nothingMatches();
    void wrongCalls_data();
    void wrongCalls();
    void importFailureIsReported();

private:
    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };
    Result wldict(const QStringList &arguments);
    Result lookup(const QStringList &arguments);

    QString m_wldict;
    QTemporaryDir m_dir;
    QString m_bundle;
};

TestDictdRoundTrip::Result TestDictdRoundTrip::wldict(const QStringList &arguments)
{
    QProcess process;
    process.start(m_wldict, arguments);
    Result result;
    if (!process.waitForFinished(120000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

TestDictdRoundTrip::Result TestDictdRoundTrip::lookup(const QStringList &arguments)
{
    return wldict(QStringList{u"--dictionary"_s, m_bundle, u"lookup"_s} + arguments);
}

void TestDictdRoundTrip::initTestCase()
{
    m_wldict = qEnvironmentVariable("WLDICT");
    if (m_wldict.isEmpty())
        QSKIP("WLDICT does not name the wldict executable");
    QVERIFY(m_dir.isValid());

    WLDictdTestDatabase db;
    db.add("00-database-short", "00-database-short\n     Round Trip\n");
    db.add("00-database-utf8", "00-database-utf8\n");
    db.add("bank", "bank\n  n 1: sloping land beside a {river}\n");
    db.add("bank", "bank\n  n 2: a firm, see {banking}; not {nowhere} [[x]]\n");
    db.add("banking", "banking\n  the business of a {bank}\n");
    db.add("caf\xc3\xa9", "Caf\xc3\xa9\n  a small restaurant\n");
    db.add("river", "river\n  a large stream <of water> & more\n");
    db.add("stra\xc3\x9f"
           "e",
           "Stra\xc3\x9f"
           "e\n  a street\n");
    db.write(m_dir.path(), u"rt"_s, WLDictdTestDatabase::Format::Dictzip);

    // Two steps, as a maintainer who edits the source in between would.
    const Result import = wldict({u"import-dictd"_s, m_dir.filePath(u"rt.index"_s),
                                  m_dir.filePath(u"rt.dict.dz"_s), m_dir.filePath(u"source"_s)});
    QVERIFY2(import.status == 0, qPrintable(import.err));
    QVERIFY2(
        import.err.contains(
            u"Round Trip: 5 headwords, 6 definitions, 3 links, 1 references without a target"_s),
        qPrintable(import.err));
    m_bundle = m_dir.filePath(u"bundle"_s);
    const Result build = wldict({u"build"_s, m_dir.filePath(u"source"_s), m_bundle});
    QVERIFY2(build.status == 0, qPrintable(build.err));
}

void TestDictdRoundTrip::lookupShowsWholeMatchesThenPartialOnes()
{
    const Result r = lookup({u"bank"_s});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QString rule = QString(40, QChar(0x2500));
    QCOMPARE(r.out.section(u"\n\n"_s, 0, 2),
             u"bank\n  n 1: sloping land beside a river\n\n"_s + rule +
                 u"\n\nbank\n  n 2: a firm, see banking; not nowhere [[x]]"_s);
    // The partial matches under their section title, after the page.
    const QStringList tail = r.out.section(u"\n\n"_s, 3).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(tail.size() >= 2, qPrintable(r.out));
    QVERIFY2(!tail.first().startsWith(u' '), qPrintable(r.out));
    QVERIFY2(tail.contains(u"  banking"_s), qPrintable(r.out));
}

void TestDictdRoundTrip::lookupFindsNonAsciiHeadwords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("page");
    QTest::newRow("accented") << u"café"_s << u"Café\n  a small restaurant\n"_s;
    QTest::newRow("upper case typed") << u"CAFÉ"_s << u"Café\n  a small restaurant\n"_s;
    QTest::newRow("sharp s") << u"straße"_s << u"Straße\n  a street\n"_s;
}

void TestDictdRoundTrip::lookupFindsNonAsciiHeadwords()
{
    QFETCH(QString, word);
    QFETCH(QString, page);
    const Result r = lookup({word});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY2(r.out.startsWith(page), qPrintable(r.out));
}

void TestDictdRoundTrip::linksLeadToTheirTargets()
{
    const Result r = lookup({u"--html"_s, u"banking"_s});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    static const QRegularExpression link(u"<a href=\"#(\\d+)\">bank</a>"_s);
    const QRegularExpressionMatch match = link.match(r.out);
    QVERIFY2(match.hasMatch(), qPrintable(r.out));
    const Result target =
        wldict({u"--dictionary"_s, m_bundle, u"--json"_s, u"link"_s, match.captured(1)});
    QVERIFY2(target.status == 0, qPrintable(target.err));
    QCOMPARE(QJsonDocument::fromJson(target.out.toUtf8()).object().value(u"word"_s).toString(),
             u"bank"_s);
}

void TestDictdRoundTrip::rawPageAndJson()
{
    const Result raw = lookup({u"--html"_s, u"river"_s});
    QVERIFY2(raw.status == 0, qPrintable(raw.err));
    QVERIFY2(raw.out.startsWith(u"<html>"_s), qPrintable(raw.out));
    QVERIFY2(
        raw.out.contains(
            u"<pre><b>river</b>\n  a large stream &lt;of water&gt; &amp; more</pre>"_s),
        qPrintable(raw.out));

    const Result json = wldict({u"--dictionary"_s, m_bundle, u"--json"_s, u"lookup"_s, u"river"_s});
    QVERIFY2(json.status == 0, qPrintable(json.err));
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonArray entries = object.value(u"entries"_s).toArray();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].toObject().value(u"word"_s).toString(), u"river"_s);
    QCOMPARE(entries[0].toObject().value(u"text"_s).toString(),
             u"river\n  a large stream <of water> & more\n"_s);
}

void TestDictdRoundTrip::nothingMatches()
{
    const Result r = lookup({u"zebra"_s});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, u"wldict: no match for \"zebra\"\n"_s);
}

void TestDictdRoundTrip::wrongCalls_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("lookup without a word") << QStringList{u"lookup"_s};
    QTest::newRow("lookup with two words") << QStringList{u"lookup"_s, u"a"_s, u"b"_s};
    QTest::newRow("import with two files")
        << QStringList{u"import-dictd"_s, u"a.index"_s, u"a.dict"_s};
    QTest::newRow("import with an unknown option")
        << QStringList{u"import-dictd"_s, u"--fast"_s, u"a.index"_s, u"a.dict"_s, u"out"_s};
    QTest::newRow("option without its value") << QStringList{
        u"build"_s, u"--from-dictd"_s, u"a.index"_s, u"a.dict"_s, u"out"_s, u"--title"_s};
}

void TestDictdRoundTrip::wrongCalls()
{
    QFETCH(QStringList, arguments);
    const Result r = wldict(QStringList{u"--dictionary"_s, m_bundle} + arguments);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(u"usage: wldict "_s + arguments.first()), qPrintable(r.err));
}

void TestDictdRoundTrip::importFailureIsReported()
{
    // One step, into a bundle folder that must stay untouched on failure.
    QFile index(m_dir.filePath(u"bad.index"_s));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("word\tA\tZZZZ\n");
    index.close();
    const QString out = m_dir.filePath(u"bad-bundle"_s);
    const Result r = wldict(
        {u"build"_s, u"--from-dictd"_s, index.fileName(), m_dir.filePath(u"rt.dict.dz"_s), out});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith(u"wldict: "_s + index.fileName() + u":1: "_s), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    // No temporary source folder is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({u"bundle"_s, u"source"_s}));

    const Result good =
        wldict({u"--json"_s, u"build"_s, u"--from-dictd"_s, u"--title"_s, u"Named"_s,
                m_dir.filePath(u"rt.index"_s), m_dir.filePath(u"rt.dict.dz"_s), out});
    QVERIFY2(good.status == 0, qPrintable(good.err));
    const QJsonObject summary = QJsonDocument::fromJson(good.out.toUtf8()).object();
    QCOMPARE(summary.value(u"title"_s).toString(), u"Named"_s);
    QCOMPARE(summary.value(u"headwords"_s).toInt(), 5);
    QCOMPARE(summary.value(u"bundle"_s).toString(), out);
    QVERIFY(QFile::exists(QDir(out).filePath(u"DatabaseInfo.plist"_s)));
}

QTEST_GUILESS_MAIN(TestDictdRoundTrip)
#include "tst_dictdroundtrip.moc"

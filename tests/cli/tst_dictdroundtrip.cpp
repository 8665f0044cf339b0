#include "WLCliRunner.h"
#include "WLDictdTestDatabase.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    void importFailureIsReported();

private:
    WLCliResult lookup(const QStringList &arguments) const;

    WLCliRunner mWldict;
    QTemporaryDir mDir;
    QString mBundle;
};

WLCliResult TestDictdRoundTrip::lookup(const QStringList &arguments) const
{
    return mWldict.run(QStringList{u"--dictionary"_s, mBundle, u"lookup"_s} + arguments);
}

void TestDictdRoundTrip::initTestCase()
{
    if (!mWldict.isAvailable())
        QSKIP("WLDICT does not name the wldict executable");
    QVERIFY(mDir.isValid());

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
    db.write(mDir.path(), u"rt"_s, WLDictdTestDatabase::Format::Dictzip);

    // Two steps, as a maintainer who edits the source in between would.
    const WLCliResult import =
        mWldict.run({u"import-dictd"_s, mDir.filePath(u"rt.index"_s),
                     mDir.filePath(u"rt.dict.dz"_s), mDir.filePath(u"source"_s)});
    QVERIFY2(import.status == 0, import.err.constData());
    QVERIFY2(
        import.errText().contains(
            u"Round Trip: 5 headwords, 6 definitions, 3 links, 1 references without a target"_s),
        import.err.constData());
    mBundle = mDir.filePath(u"bundle"_s);
    const WLCliResult build = mWldict.run({u"build"_s, mDir.filePath(u"source"_s), mBundle});
    QVERIFY2(build.status == 0, build.err.constData());
}

void TestDictdRoundTrip::lookupShowsWholeMatchesThenPartialOnes()
{
    const WLCliResult r = lookup({u"bank"_s});
    QVERIFY2(r.status == 0, r.err.constData());
    const QString rule = QString(40, QChar(0x2500));
    QCOMPARE(r.outText().section(u"\n\n"_s, 0, 2),
             u"bank\n  n 1: sloping land beside a river\n\n"_s + rule +
                 u"\n\nbank\n  n 2: a firm, see banking; not nowhere [[x]]"_s);
    // The partial matches under their section title, after the page.
    const QStringList tail = r.outText().section(u"\n\n"_s, 3).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(tail.size() >= 2, r.out.constData());
    QVERIFY2(!tail.first().startsWith(u' '), r.out.constData());
    QVERIFY2(tail.contains(u"  banking"_s), r.out.constData());
}

void TestDictdRoundTrip::lookupFindsNonAsciiHeadwords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("page");
    QTest::newRow("upper case typed") << u"CAFÉ"_s << u"Café\n  a small restaurant\n"_s;
    QTest::newRow("sharp s") << u"straße"_s << u"Straße\n  a street\n"_s;
}

void TestDictdRoundTrip::lookupFindsNonAsciiHeadwords()
{
    QFETCH(QString, word);
    QFETCH(QString, page);
    const WLCliResult r = lookup({word});
    QVERIFY2(r.status == 0, r.err.constData());
    QVERIFY2(r.outText().startsWith(page), r.out.constData());
}

void TestDictdRoundTrip::linksLeadToTheirTargets()
{
    const WLCliResult r = lookup({u"--html"_s, u"banking"_s});
    QVERIFY2(r.status == 0, r.err.constData());
    static const QRegularExpression link(u"<a href=\"#(\\d+)\">bank</a>"_s);
    const QRegularExpressionMatch match = link.match(r.outText());
    QVERIFY2(match.hasMatch(), r.out.constData());
    const WLCliResult target =
        mWldict.run({u"--dictionary"_s, mBundle, u"--json"_s, u"link"_s, match.captured(1)});
    QVERIFY2(target.status == 0, target.err.constData());
    QCOMPARE(target.json()[u"word"_s].toString(), u"bank"_s);
}

void TestDictdRoundTrip::rawPageAndJson()
{
    const WLCliResult raw = lookup({u"--html"_s, u"river"_s});
    QVERIFY2(raw.status == 0, raw.err.constData());
    QVERIFY2(raw.out.startsWith("<html>"), raw.out.constData());
    QVERIFY2(
        raw.outText().contains(
            u"<pre><b>river</b>\n  a large stream &lt;of water&gt; &amp; more</pre>"_s),
        raw.out.constData());

    const WLCliResult json =
        mWldict.run({u"--dictionary"_s, mBundle, u"--json"_s, u"lookup"_s, u"river"_s});
    QVERIFY2(json.status == 0, json.err.constData());
    const QJsonObject object = json.json().toObject();
    const QJsonArray entries = object.value(u"entries"_s).toArray();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].toObject().value(u"word"_s).toString(), u"river"_s);
    QCOMPARE(entries[0].toObject().value(u"text"_s).toString(),
             u"river\n  a large stream <of water> & more\n"_s);
}

void TestDictdRoundTrip::nothingMatches()
{
    const WLCliResult r = lookup({u"zebra"_s});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.errText(), u"wldict: no match for \"zebra\"\n"_s);
}

void TestDictdRoundTrip::importFailureIsReported()
{
    // One step, into a bundle folder that must stay untouched on failure.
    QFile index(mDir.filePath(u"bad.index"_s));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("word\tA\tZZZZ\n");
    index.close();
    const QString out = mDir.filePath(u"bad-bundle"_s);
    const WLCliResult r = mWldict.run(
        {u"build"_s, u"--from-dictd"_s, index.fileName(), mDir.filePath(u"rt.dict.dz"_s), out});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.errText().startsWith(u"wldict: "_s + index.fileName() + u":1: "_s),
             r.err.constData());
    QVERIFY(!QFile::exists(out));
    // No temporary source folder is left beside it.
    QCOMPARE(QDir(mDir.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({u"bundle"_s, u"source"_s}));

    const WLCliResult good =
        mWldict.run({u"--json"_s, u"build"_s, u"--from-dictd"_s, u"--title"_s, u"Named"_s,
                     mDir.filePath(u"rt.index"_s), mDir.filePath(u"rt.dict.dz"_s), out});
    QVERIFY2(good.status == 0, good.err.constData());
    const QJsonObject summary = good.json().toObject();
    QCOMPARE(summary.value(u"title"_s).toString(), u"Named"_s);
    QCOMPARE(summary.value(u"headwords"_s).toInt(), 5);
    QCOMPARE(summary.value(u"bundle"_s).toString(), out);
    QVERIFY(QFile::exists(QDir(out).filePath(u"DatabaseInfo.plist"_s)));
}

QTEST_GUILESS_MAIN(TestDictdRoundTrip)
#include "tst_dictdroundtrip.moc"

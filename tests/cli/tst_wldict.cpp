#include "WLCliRunner.h"
#include "WLSourceFixture.h"
#include "WLUserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace WLSourceFixture;
using namespace Qt::StringLiterals;

namespace {
const QString kLongWord = u"über das wahre ausmaß von etwas hinwegtäuschen, "
                          u"ohne es je zuzugeben, und noch einiges mehr dazu"_s;
}

// wldict run as users run it, on a bundle that its own build command makes:
// one case per kind of output. The search rules themselves are the
// engine's tests' business.
class TestWldict : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void json_data();
    void json();
    void text_data();
    void text();
    void textFitsTheTerminal_data();
    void textFitsTheTerminal();
    void pageIsTheReadersBytes();
    void traceListsSnapshotsInOrder();
    void exitStatus_data();
    void exitStatus();
    void dictionaryIsFound_data();
    void dictionaryIsFound();
    void buildReportsFileAndLine();
    void indexGivesUpOnAnEndlessDamagedSection();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
    WLCliRunner mWldict;
};

void TestWldict::initTestCase()
{
    if (!mWldict.isAvailable())
        QSKIP("WLDICT is not set");
    QVERIFY(mDir.isValid());
    // Contents IDs: apple 1, bank 2 and 3, banker 4, café 5, river 6.
    QByteArray entries =
        entry(u"bank"_s, {u"<p>money</p>"_s, u"<p>by a [[river]]</p>"_s}, {u"bank"_s, u"BANKS"_s}) +
        entry(u"banker"_s, {u"<p>of a bank</p>"_s}) + entry(u"river"_s, {u"<p>water</p>"_s}) +
        entry(u"café"_s, {u"<p>coffee</p>"_s}) + entry(u"apple"_s, {u"<p>fruit</p>"_s});
    // Entries that make long lines: many fragments, a long headword with a
    // long paragraph.
    QStringList senses;
    for (int i = 1; i <= 18; ++i)
        senses.append(u"<p>sense %1</p>"_s.arg(i));
    const QString paragraph = u"<p>%1</p>"_s.arg(u"a word that goes on "_s.repeated(12));
    entries += entry(u"über"_s, senses) + entry(kLongWord, {paragraph});
    QVERIFY(write(path(u"src"_s), manifest(), entries));
    const WLCliResult built = mWldict.run({u"build"_s, path(u"src"_s), path(u"bundle"_s)});
    QVERIFY2(built.status == 0, built.err.constData());
    mWldict.setDictionary(path(u"bundle"_s));
}

void TestWldict::json_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expected");

    // info names a page directory of its own opening; the rest is fixed.
    QTest::newRow("info") << QStringList{u"info"_s}
                          << QByteArray(R"({"title": "Test Dictionary", "charset": "UTF-8",
                                "sections": 5, "headwords": 7, "largeFont": true,
                                "separator": true, "wholeWordSearch": true, "media": false})");
    QTest::newRow("sections") << QStringList{u"index"_s}
                              << QByteArray(R"([{"name": "A", "offset": 1, "count": 1},
                                    {"name": "B", "offset": 2, "count": 2},
                                    {"name": "C", "offset": 4, "count": 1},
                                    {"name": "R", "offset": 5, "count": 1},
                                    {"name": "U", "offset": 6, "count": 2}])");
    QTest::newRow("section by name")
        << QStringList{u"index"_s, u"b"_s}
        << QByteArray(R"([{"id": 2, "word": "bank"}, {"id": 3, "word": "banker"}])");
    QTest::newRow("entry") << QStringList{u"entry"_s, u"2"_s}
                           << QByteArray(R"({"word": "bank", "links": ["bank#1", "bank#2"],
                                 "contentsIDs": ["2", "3"]})");
    QTest::newRow("link") << QStringList{u"link"_s, u"3"_s}
                          << QByteArray(R"({"word": "bank", "link": "bank#2", "contentsID": 3})");
    QTest::newRow("search") << QStringList{u"search"_s, u"bank"_s} << QByteArray(R"({"sections": [
                                  {"title": "Whole Words", "items": [{"word": "bank",
                                    "links": "bank#1\tbank#2", "contentsIDs": [2, 3]}]},
                                  {"title": "Partial Matches", "items": [{"word": "banker",
                                    "links": "banker#1", "contentsIDs": [4]}]}]})");
    QTest::newRow("cleared search")
        << QStringList{u"search"_s, u""_s}
        << QByteArray(R"({"sections": [{"title": null, "items": []}]})");
}

void TestWldict::json()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expected);
    const QJsonDocument wanted = QJsonDocument::fromJson(expected);
    QVERIFY(!wanted.isNull());
    const QJsonValue actual = mWldict.json(arguments);
    if (wanted.isArray()) {
        QCOMPARE(actual.toArray(), wanted.array());
        return;
    }
    QJsonObject shown = actual.toObject();
    // Only the keys the row names.
    for (const QString &key : shown.keys()) {
        if (!wanted.object().contains(key))
            shown.remove(key);
    }
    QCOMPARE(shown, wanted.object());
}

void TestWldict::text_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("index") << QStringList{u"index"_s, u"b"_s}
                           << u"ID  Headword\n 2  bank\n 3  banker\n"_s;
    // A word with several entries shows their number, one with one entry its link.
    QTest::newRow("search")
        << QStringList{u"search"_s, u"bank"_s}
        << u"Whole Words\n  bank  2 entries\nPartial Matches\n  banker  banker#1\n"_s;
    QTest::newRow("entry")
        << QStringList{u"entry"_s, u"2"_s}
        << u"bank\nContents ID  Link\n          2  bank#1\n          3  bank#2\n"_s;
}

void TestWldict::text()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const WLCliResult result = mWldict.run(arguments);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.outText(), expected);
}

void TestWldict::textFitsTheTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("search") << QStringList{u"search"_s, u"über"_s};
    QTest::newRow("index") << QStringList{u"index"_s, u"u"_s};
    QTest::newRow("lookup") << QStringList{u"lookup"_s, kLongWord};
    QTest::newRow("bookmarks") << QStringList{u"bookmarks"_s};
    QTest::newRow("history") << QStringList{u"history"_s};
}

// Lines no wider than $COLUMNS (as on a terminal); in a pipe nothing is cut.
void TestWldict::textFitsTheTerminal()
{
    QFETCH(QStringList, arguments);
    const QString defaults = path(u"long.plist"_s);
    {
        const QVariantMap reference{{u"word"_s, kLongWord},
                                    {u"links"_s, QVariantList{kLongWord + u"#1"_s}},
                                    {u"contentsIDs"_s, QVariantList{u"7"_s}}};
        QVariantMap bookmark = reference;
        bookmark.insert(u"notes"_s, u"why this one matters: "_s.repeated(8));
        WLUserDefaults store(defaults);
        store.setObject(QVariantList{bookmark}, u"WLBookmarks"_s);
        store.setInteger(1, u"WLBookmarksVersion"_s);
        store.setObject(QVariantList{reference}, u"WLHistory"_s);
        store.setInteger(1, u"WLHistoryVersion"_s);
    }
    const auto widest = [](const QByteArray &out) {
        qsizetype width = 0;
        for (const QString &line : QString::fromUtf8(out).split(u'\n'))
            width = qMax(width, line.toUcs4().size());
        return width;
    };
    WLCliRunner wldict = mWldict;
    wldict.setEnvironment(u"WL_DEFAULTS_FILE"_s, defaults);
    const WLCliResult piped = wldict.run(arguments);
    QCOMPARE(piped.status, 0);
    QVERIFY2(widest(piped.out) > 80, piped.out.constData());

    wldict.setEnvironment(u"COLUMNS"_s, u"80"_s);
    const WLCliResult shown = wldict.run(arguments);
    QCOMPARE(shown.status, 0);
    QVERIFY2(widest(shown.out) <= 80, shown.out.constData());
    // Shortened or wrapped, but no line left out.
    QVERIFY(shown.out.count('\n') >= piped.out.count('\n'));
}

void TestWldict::pageIsTheReadersBytes()
{
    const WLCliResult page = mWldict.run({u"page"_s, u"2"_s, u"3"_s});
    QCOMPARE(page.status, 0);
    QCOMPARE(page.out, (kHeader + u"<p>money</p>"_s + kSeparator +
                        u"<p>by a <a href=\"#6\">river</a></p>"_s + kFooter)
                           .toUtf8());
    const WLCliResult large = mWldict.run({u"page"_s, u"--large"_s, u"5"_s});
    QCOMPARE(large.status, 0);
    QCOMPARE(large.out, (kLargeHeader + u"<p>coffee</p>"_s + kFooter).toUtf8());
}

void TestWldict::traceListsSnapshotsInOrder()
{
    QCOMPARE(
        mWldict.run({u"search"_s, u"--trace"_s, u"ban"_s}).out,
        QByteArray("{\"receiver\": \"setSearchEqualResultsOnMainThread:\", \"count\": null}\n"
                   "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 1}\n"
                   "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 2}\n"
                   "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 3}\n"));
    QCOMPARE(mWldict.run({u"search"_s, u"--trace"_s, u""_s}).out,
             QByteArray("{\"receiver\": \"setSearchResultsOnMainThread:\", \"count\": null}\n"));
}

void TestWldict::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QString();
    QTest::newRow("no command") << QStringList{} << 2 << u"no command given"_s;
    QTest::newRow("unknown command")
        << QStringList{u"frobnicate"_s} << 2 << u"unknown command \"frobnicate\"\n"_s;
    QTest::newRow("misspelt command")
        << QStringList{u"histroy"_s} << 2 << u"(did you mean 'history'?)"_s;
    QTest::newRow("beginning of commands")
        << QStringList{u"i"_s} << 2 << u"(did you mean 'import-dictd', 'import-stardict', 'index', 'info' or 'install'?)"_s;
    QTest::newRow("misspelt option") << QStringList{u"search"_s, u"--trcae"_s, u"x"_s} << 2
                                     << u"unknown option \"--trcae\" (did you mean '--trace'?)"_s;
    QTest::newRow("misspelt global option")
        << QStringList{u"--jsn"_s, u"info"_s} << 2 << u"(did you mean '--json'?)"_s;
    QTest::newRow("option of another command")
        << QStringList{u"lookup"_s, u"--trace"_s, u"x"_s} << 2 << u"unknown option \"--trace\"\n"_s;
    QTest::newRow("not a headword ID")
        << QStringList{u"entry"_s, u"x1"_s} << 2 << u"is not a headword ID"_s;
    QTest::newRow("no such entry") << QStringList{u"entry"_s, u"99"_s} << 1 << u"no headword 99"_s;
    QTest::newRow("no such page") << QStringList{u"page"_s, u"1"_s, u"99"_s} << 1
                                  << u"the page cannot be made"_s;
    QTest::newRow("no such section") << QStringList{u"index"_s, u"9"_s} << 1 << u"no section"_s;
    QTest::newRow("lookup with two words")
        << QStringList{u"lookup"_s, u"a"_s, u"b"_s} << 2 << u"usage: wldict lookup"_s;
    QTest::newRow("build with one folder")
        << QStringList{u"build"_s, u"x"_s} << 2 << u"usage: wldict build"_s;
    QTest::newRow("import with two files")
        << QStringList{u"import-dictd"_s, u"a.index"_s, u"a.dict"_s} << 2
        << u"usage: wldict import-dictd"_s;
    QTest::newRow("option without its value")
        << QStringList{u"build"_s,  u"--from-dictd"_s, u"a.index"_s,
                       u"a.dict"_s, u"out"_s,          u"--title"_s}
        << 2 << u"--title needs a value"_s;
    QTest::newRow("no bundle there")
        << QStringList{u"--dictionary"_s, path(u"nowhere"_s), u"info"_s} << 1
        << u"no dictionary bundle here"_s;
    QTest::newRow("no dictionary of that name")
        << QStringList{u"--dictionary"_s, u"nowhere"_s, u"info"_s} << 1
        << u"no dictionary folder or installed dictionary \"nowhere\""_s;
}

void TestWldict::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const WLCliResult result = mWldict.run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.errText().contains(message), result.err.constData());
    if (status != 0)
        QVERIFY(result.out.isEmpty());
}

void TestWldict::dictionaryIsFound_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("folder in the environment")
        << u"WL_DICTIONARY"_s << path(u"bundle"_s) << QStringList{};
    QTest::newRow("name of one the user installed")
        << u"XDG_DATA_HOME"_s << path(u"data"_s) << QStringList{u"--dictionary"_s, u"test"_s};
    QTest::newRow("name of one the system installed")
        << u"XDG_DATA_DIRS"_s << u"/nonexistent:"_s + path(u"data"_s)
        << QStringList{u"--dictionary"_s, u"test"_s};
}

void TestWldict::dictionaryIsFound()
{
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QFETCH(QStringList, arguments);
    const QString installed = path(u"data/wlreader/dictionaries/test"_s);
    QVERIFY(QDir().mkpath(QFileInfo(installed).path()));
    QVERIFY(QFileInfo::exists(installed) || QFile::link(path(u"bundle"_s), installed));
    WLCliRunner wldict;
    wldict.setEnvironment(u"XDG_DATA_HOME"_s, path(u"nothing"_s));
    wldict.setEnvironment(variable, value);
    QCOMPARE(wldict.json(arguments + QStringList{u"info"_s})[u"title"_s].toString(),
             u"Test Dictionary"_s);
}

void TestWldict::buildReportsFileAndLine()
{
    QVERIFY(write(path(u"bad"_s), manifest(), entry(u"x"_s, {u"y"_s}) + "{\"headword\": 1}\n"));
    const WLCliResult result = mWldict.run({u"build"_s, path(u"bad"_s), path(u"bad-out"_s)});
    QCOMPARE(result.status, 1);
    QVERIFY2(
        result.err.startsWith("wldict: entries.jsonl:2: \"headword\" must be a non-empty string"),
        result.err.constData());
    QVERIFY(!QFileInfo::exists(path(u"bad-out"_s)));
}

void TestWldict::indexGivesUpOnAnEndlessDamagedSection()
{
    // The section table claims two billion rows past the last headword.
    const QString damaged = path(u"damaged"_s);
    QVERIFY(QDir().mkpath(damaged));
    for (const QFileInfo &file : QDir(path(u"bundle"_s)).entryInfoList(QDir::Files))
        QVERIFY(QFile::copy(file.filePath(), damaged + u'/' + file.fileName()));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(qPrintable(damaged + u"/headword.db"_s), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE headword_index SET count = 2000000000 WHERE id = 1;", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);

    const WLCliResult result = mWldict.run({u"--dictionary"_s, damaged, u"index"_s, u"0"_s});
    QCOMPARE(result.status, 1);
    // Rows 1 to 7 reach the seven real headwords; the walk stops soon after.
    QVERIFY2(result.err.contains("headwords from row 8 of the section on cannot be read"),
             result.err.right(300).constData());
    QVERIFY2(result.out.contains("apple") && result.out.contains("river"), result.out.constData());
}

QTEST_GUILESS_MAIN(TestWldict)
#include "tst_wldict.moc"

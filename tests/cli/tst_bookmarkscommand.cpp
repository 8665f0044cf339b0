#include "WLCliRunner.h"
#include "WLUserDefaults.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// wldict bookmarks and history, run as the user runs them, on a user
// defaults file of the test's own.
class TestBookmarksCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void exportsWhatItImported();
    void importMergesByWord();
    void refusesABadFileAndChangesNothing_data();
    void refusesABadFileAndChangesNothing();
    void listsTheHistoryNewestFirst();

private:
    QString path(const QString &name) const { return mDir->filePath(name); }
    QJsonArray exported();

    WLCliRunner mWldict;
    std::unique_ptr<QTemporaryDir> mDir;
};

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject bookmark(const QString &word, const QString &notes, const QJsonArray &contentsIDs)
{
    return {{u"word"_s, word},
            {u"links"_s, QJsonArray{word + u"#1"_s}},
            {u"notes"_s, notes},
            {u"contentsIDs"_s, contentsIDs}};
}
} // namespace

void TestBookmarksCommand::initTestCase()
{
    if (!mWldict.isAvailable())
        QSKIP("WLDICT does not name the wldict executable");
}

void TestBookmarksCommand::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    mWldict.setEnvironment(u"WL_DEFAULTS_FILE"_s, path(u"defaults.plist"_s));
}

QJsonArray TestBookmarksCommand::exported()
{
    return mWldict.json({u"bookmarks"_s}).toArray();
}

void TestBookmarksCommand::exportsWhatItImported()
{
    const QJsonArray bookmarks{bookmark(u"banana"_s, u"yellow\nand long"_s, {u"3"_s, 4}),
                               bookmark(u"Apple"_s, u""_s, {1})};
    writeFile(path(u"in.json"_s), QJsonDocument(bookmarks).toJson());
    const WLCliResult imported = mWldict.run({u"bookmarks"_s, u"import"_s, path(u"in.json"_s)});
    QCOMPARE(imported.status, 0);
    QCOMPARE(imported.out, QByteArray("Imported 2 bookmarks: 2 new, 0 replaced.\n"));

    // Listed in the store's order; the file holds what the reader reads.
    QCOMPARE(exported(), (QJsonArray{bookmarks[1], bookmarks[0]}));
    const QVariantList stored = WLUserDefaults(path(u"defaults.plist"_s))
                                    .arrayForKey(u"WLBookmarks"_s)
                                    .value_or(QVariantList{});
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1].toMap().value(u"contentsIDs"_s), QVariant(QVariantList{u"3"_s, qint64(4)}));

    const WLCliResult text = mWldict.run({u"bookmarks"_s});
    QCOMPARE(text.status, 0);
    QCOMPARE(text.out, QByteArray("Apple\nbanana  yellow and long\n"));

    QCOMPARE(mWldict.run({u"bookmarks"_s, u"export"_s, path(u"out.json"_s)}).status, 0);
    QFile out(path(u"out.json"_s));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(out.readAll()).array(), exported());
}

void TestBookmarksCommand::importMergesByWord()
{
    writeFile(path(u"first.json"_s), QJsonDocument(QJsonArray{bookmark(u"a"_s, u"old"_s, {1}),
                                                              bookmark(u"b"_s, u""_s, {2})})
                                         .toJson());
    writeFile(path(u"second.json"_s), QJsonDocument(QJsonArray{bookmark(u"a"_s, u"new"_s, {9}),
                                                               bookmark(u"A"_s, u""_s, {3})})
                                          .toJson());
    QCOMPARE(mWldict.run({u"bookmarks"_s, u"import"_s, path(u"first.json"_s)}).status, 0);
    const WLCliResult second =
        mWldict.run({u"--json"_s, u"bookmarks"_s, u"import"_s, path(u"second.json"_s)});
    QCOMPARE(second.status, 0);
    QCOMPARE(QJsonDocument::fromJson(second.out).object(),
             (QJsonObject{{u"added"_s, 1}, {u"replaced"_s, 1}, {u"bookmarks"_s, 3}}));
    // The replaced bookmark keeps its place; the new word is sorted in.
    QCOMPARE(exported(), (QJsonArray{bookmark(u"a"_s, u"new"_s, {9}), bookmark(u"A"_s, u""_s, {3}),
                                     bookmark(u"b"_s, u""_s, {2})}));
}

void TestBookmarksCommand::refusesABadFileAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("not JSON") << QByteArray("[{") << QByteArray("not JSON");
    QTest::newRow("object") << QByteArray("{}") << QByteArray("not an array of bookmarks");
    QTest::newRow("number as word")
        << QByteArray(R"([{"word": "ok", "links": [], "contentsIDs": []},
                          {"word": 1, "links": [], "notes": "", "contentsIDs": []}])")
        << QByteArray("bookmark 2 is not");
    QTest::newRow("null link") << QByteArray(
                                      R"([{"word": "x", "links": [null], "contentsIDs": []}])")
                               << QByteArray("bookmark 1 is not");
    QTest::newRow("no contentsIDs")
        << QByteArray(R"([{"word": "x", "links": []}])") << QByteArray("bookmark 1 is not");
}

void TestBookmarksCommand::refusesABadFileAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, message);
    writeFile(path(u"good.json"_s),
              QJsonDocument(QJsonArray{bookmark(u"kept"_s, u""_s, {1})}).toJson());
    QCOMPARE(mWldict.run({u"bookmarks"_s, u"import"_s, path(u"good.json"_s)}).status, 0);

    writeFile(path(u"bad.json"_s), bytes);
    const WLCliResult result = mWldict.run({u"bookmarks"_s, u"import"_s, path(u"bad.json"_s)});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QCOMPARE(exported(), QJsonArray{bookmark(u"kept"_s, u""_s, {1})});

    QCOMPARE(mWldict.run({u"bookmarks"_s, u"import"_s, path(u"absent.json"_s)}).status, 1);
    QCOMPARE(mWldict.run({u"bookmarks"_s, u"merge"_s, path(u"good.json"_s)}).status, 2);
}

void TestBookmarksCommand::listsTheHistoryNewestFirst()
{
    {
        WLUserDefaults defaults(path(u"defaults.plist"_s));
        defaults.setObject(QVariantList{QVariantMap{{u"word"_s, u"new"_s},
                                                    {u"links"_s, QVariantList{u"new#1"_s}},
                                                    {u"contentsIDs"_s, QVariantList{u"5"_s}}},
                                        QVariantMap{{u"word"_s, u"old"_s},
                                                    {u"links"_s, QVariantList{}},
                                                    {u"contentsIDs"_s, QVariantList{qint64(6)}}}},
                           u"WLHistory"_s);
        defaults.setInteger(1, u"WLHistoryVersion"_s);
    }
    const WLCliResult text = mWldict.run({u"history"_s});
    QCOMPARE(text.status, 0);
    QCOMPARE(text.out, QByteArray("new\nold\n"));

    const WLCliResult json = mWldict.run({u"--json"_s, u"history"_s});
    QCOMPARE(json.status, 0);
    QCOMPARE(QJsonDocument::fromJson(json.out).array(),
             (QJsonArray{QJsonObject{{u"word"_s, u"new"_s},
                                     {u"links"_s, QJsonArray{u"new#1"_s}},
                                     {u"contentsIDs"_s, QJsonArray{u"5"_s}}},
                         QJsonObject{{u"word"_s, u"old"_s},
                                     {u"links"_s, QJsonArray{}},
                                     {u"contentsIDs"_s, QJsonArray{6}}}}));

    const WLCliResult cleared = mWldict.run({u"history"_s, u"clear"_s});
    QCOMPARE(cleared.status, 0);
    QCOMPARE(cleared.out, QByteArray("Cleared the history: 2 entries.\n"));
    QCOMPARE(mWldict.run({u"history"_s}).out, QByteArray());
    QCOMPARE(mWldict.run({u"history"_s, u"forget"_s}).status, 2);
}

QTEST_GUILESS_MAIN(TestBookmarksCommand)
#include "tst_bookmarkscommand.moc"

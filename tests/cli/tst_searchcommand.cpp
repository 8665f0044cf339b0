#include "WLSourceFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace WLSourceFixture;
using namespace Qt::StringLiterals;

// wldict search on a bundle its own build command makes: what the compiler
// writes into both search tables suits the search.
class TestSearchCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void wholeWordsFirstAndNoRepeats();
    void keywordsAreFoldedLikeLooks();
    void traceListsSnapshotsInOrder();
    void emptyKeywordGivesOneEmptySection();
    void textListsTitlesThenRows();

private:
    QByteArray run(const QStringList &arguments);
    QJsonArray sections(const QString &keyword);

    QString m_wldict;
    QTemporaryDir m_dir;
    QString m_bundle;
};

QByteArray TestSearchCommand::run(const QStringList &arguments)
{
    QProcess process;
    process.start(m_wldict, QStringList{u"--dictionary"_s, m_bundle} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning("wldict failed: %s", process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

QJsonArray TestSearchCommand::sections(const QString &keyword)
{
    return QJsonDocument::fromJson(run({u"--json"_s, u"search"_s, keyword}))
        .object()
        .value(u"sections"_s)
        .toArray();
}

void TestSearchCommand::initTestCase()
{
    m_wldict = qEnvironmentVariable("WLDICT");
    if (m_wldict.isEmpty())
        QSKIP("WLDICT is not set");
    QVERIFY(m_dir.isValid());
    const QByteArray entries =
        entry(u"bank"_s, {u"<p>money</p>"_s, u"<p>river side</p>"_s}, {u"Bank"_s, u"BANKS"_s}) +
        entry(u"banker"_s, {u"<p>of a bank</p>"_s}) + entry(u"Éclair"_s, {u"<p>cake</p>"_s}) +
        entry(u"river"_s, {u"<p>water</p>"_s});
    QVERIFY(write(m_dir.filePath(u"src"_s), manifest(), entries));
    m_bundle = m_dir.filePath(u"bundle"_s);
    QProcess build;
    build.start(m_wldict, {u"build"_s, m_dir.filePath(u"src"_s), m_bundle});
    QVERIFY(build.waitForFinished(60000));
    QVERIFY2(build.exitCode() == 0, build.readAllStandardError().constData());
}

// "bank" is a whole word with both fragments; its rows under "banks" and
// its own fragments are not repeated among the partial matches.
void TestSearchCommand::wholeWordsFirstAndNoRepeats()
{
    const QJsonArray found = sections(u"bank"_s);
    QCOMPARE(found.size(), 2);
    const QJsonObject whole = found[0].toObject();
    QCOMPARE(whole.value(u"title"_s).toString(), u"Whole Words"_s);
    const QJsonArray wholeItems = whole.value(u"items"_s).toArray();
    QCOMPARE(wholeItems.size(), 1);
    QCOMPARE(wholeItems[0].toObject().value(u"word"_s).toString(), u"bank"_s);
    QCOMPARE(wholeItems[0].toObject().value(u"links"_s).toString(), u"bank#1\tbank#2"_s);
    QCOMPARE(wholeItems[0].toObject().value(u"contentsIDs"_s).toArray().size(), 2);

    const QJsonObject partial = found[1].toObject();
    QCOMPARE(partial.value(u"title"_s).toString(), u"Partial Matches"_s);
    const QJsonArray partialItems = partial.value(u"items"_s).toArray();
    QCOMPARE(partialItems.size(), 1);
    QCOMPARE(partialItems[0].toObject().value(u"links"_s).toString(), u"banker#1"_s);
    QCOMPARE(partialItems[0].toObject().value(u"contentsIDs"_s).toArray().size(), 1);
}

void TestSearchCommand::keywordsAreFoldedLikeLooks()
{
    for (const QString &keyword : {u"BANKS"_s, u"éclair"_s, u"ÉCLAIR"_s}) {
        const QJsonArray found = sections(keyword);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].toObject().value(u"title"_s).toString(), u"Whole Words"_s);
    }
}

void TestSearchCommand::traceListsSnapshotsInOrder()
{
    const QByteArray out = run({u"search"_s, u"--trace"_s, u"ban"_s});
    QCOMPARE(out,
             QByteArray("{\"receiver\": \"setSearchEqualResultsOnMainThread:\", \"count\": null}\n"
                        "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 1}\n"
                        "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 2}\n"
                        "{\"receiver\": \"setSearchKeywordResultsOnMainThread:\", \"count\": 3}\n"));
    QCOMPARE(run({u"search"_s, u"--trace"_s, u""_s}),
             QByteArray("{\"receiver\": \"setSearchResultsOnMainThread:\", \"count\": null}\n"));
}

void TestSearchCommand::emptyKeywordGivesOneEmptySection()
{
    const QJsonArray found = sections(QString());
    QCOMPARE(found.size(), 1);
    QVERIFY(found[0].toObject().value(u"title"_s).isNull());
    QVERIFY(found[0].toObject().value(u"items"_s).toArray().isEmpty());
}

void TestSearchCommand::textListsTitlesThenRows()
{
    const QList<QByteArray> lines = run({u"search"_s, u"river"_s}).split('\n');
    QCOMPARE(lines.value(0), QByteArray("Whole Words"));
    QVERIFY(lines.value(1).contains("river"));
    QVERIFY(lines.value(1).startsWith(' '));
}

QTEST_GUILESS_MAIN(TestSearchCommand)
#include "tst_searchcommand.moc"

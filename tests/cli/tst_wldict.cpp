#include "WLSourceFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace WLSourceFixture;

// wldict run as users run it, on a bundle that its own build command makes.
class TestWldict : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void info();
    void indexListsSectionsAndTheirWords();
    void entryAndLink();
    void pageIsTheReadersBytes();
    void dictionaryFromTheEnvironment();
    void exitStatus_data();
    void exitStatus();
    void buildReportsFileAndLine();
    void humanOutputIsAligned();
    void indexGivesUpOnAnEndlessDamagedSection();

private:
    struct Result
    {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };
    Result wldict(const QStringList &arguments, const QProcessEnvironment &environment = {});
    QJsonValue json(const QStringList &arguments);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString m_wldict;
    QTemporaryDir m_dir;
    QString m_bundle;
};

TestWldict::Result TestWldict::wldict(const QStringList &arguments,
                                      const QProcessEnvironment &environment)
{
    QProcess process;
    QProcessEnvironment env =
        environment.isEmpty() ? QProcessEnvironment::systemEnvironment() : environment;
    // Only what a test gives counts.
    if (environment.isEmpty())
        env.remove(QStringLiteral("WL_DICTIONARY"));
    process.setProcessEnvironment(env);
    process.start(m_wldict, arguments);
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QJsonValue TestWldict::json(const QStringList &arguments)
{
    const Result result =
        wldict(QStringList{QStringLiteral("--dictionary"), m_bundle, QStringLiteral("--json")} +
               arguments);
    if (result.status != 0)
        qWarning("wldict %s: %d %s", qPrintable(arguments.join(QLatin1Char(' '))), result.status,
                 result.err.constData());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", result.out.constData());
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

void TestWldict::initTestCase()
{
    m_wldict = qEnvironmentVariable("WLDICT");
    if (m_wldict.isEmpty())
        QSKIP("WLDICT is not set");
    QVERIFY(m_dir.isValid());
    const QByteArray entries =
        entry(QStringLiteral("bank"),
              {QStringLiteral("<p>money</p>"), QStringLiteral("<p>by a [[river]]</p>")}) +
        entry(QStringLiteral("river"), {QStringLiteral("<p>water</p>")}) +
        entry(QStringLiteral("café"), {QStringLiteral("<p>coffee</p>")}) +
        entry(QStringLiteral("apple"), {QStringLiteral("<p>fruit</p>")});
    QVERIFY(write(path(QStringLiteral("src")), manifest(), entries));
    m_bundle = path(QStringLiteral("bundle"));
    const Result built = wldict({QStringLiteral("build"), path(QStringLiteral("src")), m_bundle});
    QVERIFY2(built.status == 0, built.err.constData());
}

void TestWldict::info()
{
    const QJsonObject info = json({QStringLiteral("info")}).toObject();
    QCOMPARE(info.value(QStringLiteral("title")).toString(), QStringLiteral("Test Dictionary"));
    QCOMPARE(info.value(QStringLiteral("charset")).toString(), QStringLiteral("UTF-8"));
    QCOMPARE(info.value(QStringLiteral("sections")).toInt(), 4);
    QCOMPARE(info.value(QStringLiteral("headwords")).toInt(), 4);
    QCOMPARE(info.value(QStringLiteral("largeFont")).toBool(), true);
    QCOMPARE(info.value(QStringLiteral("separator")).toBool(), true);
    QCOMPARE(info.value(QStringLiteral("wholeWordSearch")).toBool(), true);
    QCOMPARE(info.value(QStringLiteral("media")).toBool(), false);
}

void TestWldict::indexListsSectionsAndTheirWords()
{
    const QJsonArray sections = json({QStringLiteral("index")}).toArray();
    QCOMPARE(sections.size(), 4);
    QCOMPARE(sections[0].toObject(), (QJsonObject{{QStringLiteral("name"), QStringLiteral("A")},
                                                  {QStringLiteral("offset"), 1},
                                                  {QStringLiteral("count"), 1}}));
    QCOMPARE(sections[2].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("C"));

    const QJsonArray words = json({QStringLiteral("index"), QStringLiteral("2")}).toArray();
    QCOMPARE(words, (QJsonArray{QJsonObject{{QStringLiteral("id"), 3},
                                            {QStringLiteral("word"), QStringLiteral("café")}}}));
    // A section may also be named.
    QCOMPARE(json({QStringLiteral("index"), QStringLiteral("c")}).toArray(), words);
}

void TestWldict::entryAndLink()
{
    const QJsonObject bank = json({QStringLiteral("entry"), QStringLiteral("2")}).toObject();
    QCOMPARE(bank.value(QStringLiteral("word")).toString(), QStringLiteral("bank"));
    QCOMPARE(bank.value(QStringLiteral("links")).toArray(),
             (QJsonArray{QStringLiteral("bank#1"), QStringLiteral("bank#2")}));
    QCOMPARE(bank.value(QStringLiteral("contentsIDs")).toArray(),
             (QJsonArray{QStringLiteral("2"), QStringLiteral("3")}));

    const QJsonObject link = json({QStringLiteral("link"), QStringLiteral("3")}).toObject();
    QCOMPARE(link, (QJsonObject{{QStringLiteral("word"), QStringLiteral("bank")},
                                {QStringLiteral("link"), QStringLiteral("bank#2")},
                                {QStringLiteral("contentsID"), 3}}));
}

void TestWldict::pageIsTheReadersBytes()
{
    const QStringList dictionary{QStringLiteral("--dictionary"), m_bundle};
    // Contents IDs: apple 1, bank 2 and 3, café 4, river 5.
    const Result page = wldict(
        dictionary + QStringList{QStringLiteral("page"), QStringLiteral("2"), QStringLiteral("3")});
    QCOMPARE(page.status, 0);
    QCOMPARE(page.out, (kHeader + QStringLiteral("<p>money</p>") + kSeparator +
                        QStringLiteral("<p>by a <a href=\"#5\">river</a></p>") + kFooter)
                           .toUtf8());
    const Result large =
        wldict(dictionary +
               QStringList{QStringLiteral("page"), QStringLiteral("--large"), QStringLiteral("4")});
    QCOMPARE(large.status, 0);
    QCOMPARE(large.out, (kLargeHeader + QStringLiteral("<p>coffee</p>") + kFooter).toUtf8());
}

void TestWldict::dictionaryFromTheEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WL_DICTIONARY"), m_bundle);
    const Result result = wldict({QStringLiteral("--json"), QStringLiteral("info")}, environment);
    QCOMPARE(result.status, 0);
    QCOMPARE(QJsonDocument::fromJson(result.out).object().value(QStringLiteral("title")).toString(),
             QStringLiteral("Test Dictionary"));
}

void TestWldict::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QString();
    QTest::newRow("no command") << QStringList{} << 2 << QStringLiteral("no command given");
    QTest::newRow("unknown command")
        << QStringList{QStringLiteral("frobnicate")} << 2 << QStringLiteral("unknown command");
    QTest::newRow("entry without ID")
        << QStringList{QStringLiteral("entry")} << 2 << QStringLiteral("usage: wldict entry ID");
    QTest::newRow("entry not a number")
        << QStringList{QStringLiteral("entry"), QStringLiteral("x1")} << 2
        << QStringLiteral("is not a headword ID");
    QTest::newRow("page of 0") << QStringList{QStringLiteral("page"), QStringLiteral("0")} << 2
                               << QStringLiteral("is not a contents ID");
    QTest::newRow("no such entry") << QStringList{QStringLiteral("entry"), QStringLiteral("99")}
                                   << 1 << QStringLiteral("no headword 99");
    QTest::newRow("no such link") << QStringList{QStringLiteral("link"), QStringLiteral("99")} << 1
                                  << QStringLiteral("no link 99");
    QTest::newRow("no such page") << QStringList{QStringLiteral("page"), QStringLiteral("1"),
                                                 QStringLiteral("99")}
                                  << 1 << QStringLiteral("the page cannot be made");
    QTest::newRow("no such section") << QStringList{QStringLiteral("index"), QStringLiteral("9")}
                                     << 1 << QStringLiteral("no section");
    QTest::newRow("build with one argument")
        << QStringList{QStringLiteral("build"), QStringLiteral("x")} << 2
        << QStringLiteral("usage: wldict build");
}

void TestWldict::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Result result = wldict(QStringList{QStringLiteral("--dictionary"), m_bundle} + arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    if (status != 0)
        QVERIFY(result.out.isEmpty());

    const Result missing = wldict(
        {QStringLiteral("--dictionary"), path(QStringLiteral("nowhere")), QStringLiteral("info")});
    QCOMPARE(missing.status, 1);
    QVERIFY(missing.err.contains("no dictionary bundle here"));
}

void TestWldict::buildReportsFileAndLine()
{
    QVERIFY(write(path(QStringLiteral("bad")), manifest(),
                  entry(QStringLiteral("x"), {QStringLiteral("y")}) + "{\"headword\": 1}\n"));
    const Result result = wldict(
        {QStringLiteral("build"), path(QStringLiteral("bad")), path(QStringLiteral("bad-out"))});
    QCOMPARE(result.status, 1);
    QVERIFY2(
        result.err.startsWith("wldict: entries.jsonl:2: \"headword\" must be a non-empty string"),
        result.err.constData());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("bad-out"))));
}

void TestWldict::humanOutputIsAligned()
{
    const Result result =
        wldict({QStringLiteral("--dictionary"), m_bundle, QStringLiteral("index")});
    QCOMPARE(result.status, 0);
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 5);
    // Every row's columns start where the heading's do.
    const qsizetype countColumn = lines[0].indexOf("Count");
    for (const QByteArray &line : lines.mid(1))
        QVERIFY2(line.size() == lines[0].size() && line.at(countColumn - 2) == ' ',
                 line.constData());
}

void TestWldict::indexGivesUpOnAnEndlessDamagedSection()
{
    // The section table claims two billion rows past the last headword.
    const QString damaged = path(QStringLiteral("damaged"));
    QVERIFY(QDir().mkpath(damaged));
    for (const QFileInfo &file : QDir(m_bundle).entryInfoList(QDir::Files))
        QVERIFY(QFile::copy(file.filePath(), damaged + u'/' + file.fileName()));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(qPrintable(damaged + QStringLiteral("/headword.db")), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE headword_index SET count = 2000000000 WHERE id = 1;",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);

    const Result result =
        wldict({QStringLiteral("--dictionary"), damaged, QStringLiteral("index"), QStringLiteral("0")});
    QCOMPARE(result.status, 1);
    // Rows 1 to 4 reach the four real headwords; the walk stops soon after.
    QVERIFY2(result.err.contains("headwords from row 5 of the section on cannot be read"),
             result.err.right(300).constData());
    QVERIFY2(result.out.contains("apple") && result.out.contains("river"), result.out.constData());
}

QTEST_GUILESS_MAIN(TestWldict)
#include "tst_wldict.moc"

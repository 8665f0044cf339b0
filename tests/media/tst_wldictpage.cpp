#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(dir).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The demo dictionary's media through wldict, as a user sees them: the page
// command leaves the page's media beside it and names the directory; the
// next opening removes it.
class TestWLDictPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pageLeavesExactlyItsMedia();

private:
    Run wldict(const QStringList &arguments);
    QStringList contentsIDs(const QString &word);
    // The directory a page command names as kept.
    static QString pageDirectory(const Run &run);

    QString m_wldict;
    QTemporaryDir m_tmp;
};

void TestWLDictPage::initTestCase()
{
    m_wldict = qEnvironmentVariable("WLDICT");
    if (m_wldict.isEmpty() || !QFileInfo(qEnvironmentVariable("WL_DEMO_BUNDLE")).isDir())
        QSKIP("needs wldict and the demo bundle");
    QVERIFY(m_tmp.isValid());
}

Run TestWLDictPage::wldict(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TMPDIR"_s, m_tmp.path());
    environment.insert(u"WL_DICTIONARY"_s, qEnvironmentVariable("WL_DEMO_BUNDLE"));
    process.setProcessEnvironment(environment);
    process.start(m_wldict, arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList TestWLDictPage::contentsIDs(const QString &word)
{
    const Run index = wldict({u"--json"_s, u"index"_s, word.left(1)});
    int id = 0;
    for (const QJsonValue &row : QJsonDocument::fromJson(index.out).array()) {
        if (row[u"word"_s].toString() == word)
            id = row[u"id"_s].toInt();
    }
    const Run entry = wldict({u"--json"_s, u"entry"_s, QString::number(id)});
    QStringList ids;
    for (const QJsonValue &value : QJsonDocument::fromJson(entry.out)[u"contentsIDs"_s].toArray())
        ids.append(value.toString());
    return ids;
}

void TestWLDictPage::pageLeavesExactlyItsMedia()
{
    QStringList arguments{u"page"_s};
    for (const QString &word : {u"apple"_s, u"sun"_s, u"house"_s}) {
        const QStringList ids = contentsIDs(word);
        QVERIFY2(!ids.isEmpty(), qPrintable(word));
        arguments += ids;
    }
    const Run first = wldict(arguments);
    QCOMPARE(first.status, 0);
    const QString pages = pageDirectory(first);
    QVERIFY2(pages.startsWith(m_tmp.path() + u"/wlreader-"_s), qPrintable(first.err));
    QVERIFY(first.out.contains("src=\"pictures/sun.gif\""));
    QVERIFY(first.out.contains("href=\"style.css\""));

    const QStringList media{u"pictures/apple.png"_s, u"pictures/house.jpg"_s,
                            u"pictures/sun.gif"_s,   u"sounds/apple.aiff"_s,
                            u"sounds/house.aiff"_s,  u"sounds/sun.aiff"_s};
    QCOMPARE(filesBelow(pages), QStringList(media) << u"style.css"_s);
    const QDir source(QStringLiteral(WL_DEMO_SOURCE));
    for (const QString &file : media)
        QCOMPARE(contents(QDir(pages).filePath(file)), contents(source.filePath(file)));

    // Shown again: a directory of its own; the first one's process has
    // ended, so its directory is gone.
    const Run second = wldict(arguments);
    QCOMPARE(second.status, 0);
    QCOMPARE(second.out, first.out);
    const QString secondPages = pageDirectory(second);
    QVERIFY(secondPages != pages);
    QVERIFY(!QFileInfo::exists(pages));
    QCOMPARE(filesBelow(secondPages), QStringList(media) << u"style.css"_s);

    // Any other command removes it too, and its own directory at its end.
    const Run info = wldict({u"info"_s});
    QCOMPARE(info.status, 0);
    QVERIFY(!QFileInfo::exists(secondPages));
    QCOMPARE(QDir(m_tmp.path() + u"/wlreader-%1"_s.arg(::getuid())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

QString TestWLDictPage::pageDirectory(const Run &run)
{
    const QRegularExpressionMatch match =
        QRegularExpression(u"^page directory: (.+)$"_s, QRegularExpression::MultilineOption)
            .match(run.err);
    return match.hasMatch() ? match.captured(1) : QString();
}

QTEST_GUILESS_MAIN(TestWLDictPage)
#include "tst_wldictpage.moc"

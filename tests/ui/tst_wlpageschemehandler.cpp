#include "WLPageSchemeHandler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Which file a request of a page reaches: only files of the page's own
// folder, whatever the path or the links inside the folder say.
class TestWLPageSchemeHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void resolve_data();
    void resolve();

private:
    QTemporaryDir mDir;
    QString mPages;
};

void TestWLPageSchemeHandler::initTestCase()
{
    // pages/ is the folder served; outside/ lies beside it.
    const QDir dir(mDir.path());
    QVERIFY(dir.mkpath(u"pages/pictures"_s) && dir.mkpath(u"outside"_s));
    mPages = dir.filePath(u"pages"_s);
    for (const QString &name : {u"pages/style.css"_s, u"pages/pictures/a b.png"_s, u"outside/secret.txt"_s,
                                u"pages-beside.txt"_s}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    }
    QVERIFY(QFile::link(dir.filePath(u"outside/secret.txt"_s), dir.filePath(u"pages/pictures/out.png"_s)));
    QVERIFY(QFile::link(dir.filePath(u"outside"_s), dir.filePath(u"pages/linked"_s)));
    QVERIFY(QFile::link(dir.filePath(u"pages/style.css"_s), dir.filePath(u"pages/pictures/in.css"_s)));
    QVERIFY(QFile::link(mPages, dir.filePath(u"pages-link"_s)));
}

void TestWLPageSchemeHandler::resolve_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    // Relative to the temporary folder; empty when nothing is served.
    QTest::addColumn<QString>("file");
    const QString pages = mDir.filePath(u"pages"_s);
    QTest::newRow("a file") << pages << u"/style.css"_s << u"pages/style.css"_s;
    QTest::newRow("a file below, with a space") << pages << u"/pictures/a b.png"_s << u"pages/pictures/a b.png"_s;
    QTest::newRow("doubled slashes") << pages << u"//pictures//a b.png"_s << u"pages/pictures/a b.png"_s;
    QTest::newRow("a dot") << pages << u"/./style.css"_s << u"pages/style.css"_s;
    QTest::newRow("a link to a file inside") << pages << u"/pictures/in.css"_s << u"pages/style.css"_s;
    QTest::newRow("the folder reached through a link") << mDir.filePath(u"pages-link"_s) << u"/style.css"_s
                                                       << u"pages/style.css"_s;
    QTest::newRow("out by ..") << pages << u"/../outside/secret.txt"_s << QString();
    QTest::newRow("in and out by ..") << pages << u"/pictures/../style.css"_s << QString();
    QTest::newRow("a file beside the folder") << pages << u"/../pages-beside.txt"_s << QString();
    QTest::newRow("a link to a file outside") << pages << u"/pictures/out.png"_s << QString();
    QTest::newRow("a folder linked from outside") << pages << u"/linked/secret.txt"_s << QString();
    QTest::newRow("a folder") << pages << u"/pictures"_s << QString();
    QTest::newRow("the root") << pages << u"/"_s << QString();
    QTest::newRow("a missing file") << pages << u"/nothing.css"_s << QString();
    QTest::newRow("an absolute path as the path") << pages << u"/etc/hostname"_s << QString();
    QTest::newRow("a relative path") << pages << u"style.css"_s << QString();
    QTest::newRow("a NUL") << pages << u"/style.css\0.png"_s << QString();
    QTest::newRow("no folder") << QString() << u"/style.css"_s << QString();
    QTest::newRow("a folder that is not there") << mDir.filePath(u"gone"_s) << u"/style.css"_s << QString();
}

void TestWLPageSchemeHandler::resolve()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QFETCH(QString, file);
    const std::optional<QString> resolved = WLPageSchemeHandler::resolve(folder, path);
    if (file.isEmpty()) {
        QCOMPARE(resolved, std::nullopt);
        return;
    }
    QVERIFY(resolved);
    QCOMPARE(*resolved, QFileInfo(mDir.filePath(file)).canonicalFilePath());
}

QTEST_GUILESS_MAIN(TestWLPageSchemeHandler)
#include "tst_wlpageschemehandler.moc"

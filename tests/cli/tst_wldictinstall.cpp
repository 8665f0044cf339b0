#include "WLCliRunner.h"
#include "WLSourceFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// wldict install and list, with the user's data folder in a scratch place.
class TestWLDictInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void installListAndOpenByName();
    void replacingNeedsForce();
    void refusedBundlesLeaveNothing_data();
    void refusedBundlesLeaveNothing();
    void anInterruptedInstallLeavesTheOldBundle();

private:
    QString dictionaries() const { return mHome.filePath(u"wlreader/dictionaries"_s); }
    // A bundle compiled from one entry, with its title.
    QString bundle(const QString &title);
    QStringList entriesOfDictionaries() const
    {
        return QDir(dictionaries()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir mHome;
    QTemporaryDir mWork;
    WLCliRunner mRunner;
};

void TestWLDictInstall::init()
{
    if (!mRunner.isAvailable())
        QSKIP("no wldict");
    QDir(mHome.path()).removeRecursively();
    QDir().mkpath(mHome.path());
    mRunner.setEnvironment(u"XDG_DATA_HOME"_s, mHome.path());
    mRunner.setEnvironment(u"XDG_DATA_DIRS"_s, mWork.filePath(u"none"_s));
}

QString TestWLDictInstall::bundle(const QString &title)
{
    const QString source = mWork.filePath(title + u"-source"_s);
    const QString out = mWork.filePath(title);
    QJsonObject manifest = WLSourceFixture::manifest();
    manifest.insert(u"title"_s, title);
    if (!WLSourceFixture::write(source, manifest, WLSourceFixture::entry(u"word"_s, {u"<p>a word</p>"_s})))
        return {};
    const WLCliResult built = mRunner.run({u"build"_s, source, out});
    return built.status == 0 ? out : QString();
}

void TestWLDictInstall::installListAndOpenByName()
{
    const QString first = bundle(u"First"_s);
    QVERIFY(!first.isEmpty());
    const WLCliResult installed = mRunner.run({u"install"_s, u"--name"_s, u"first"_s, first});
    QCOMPARE(installed.status, 0);
    QCOMPARE(installed.outText().trimmed(), u"installed "_s + dictionaries() + u"/first"_s);
    const QJsonArray list = mRunner.json({u"list"_s}).toArray();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0)[u"name"_s].toString(), u"first"_s);
    QCOMPARE(list.at(0)[u"title"_s].toString(), u"First"_s);
    QVERIFY(list.at(0)[u"user"_s].toBool());
    QVERIFY(mRunner.run({u"list"_s}).outText().contains(u"First"_s));
    // Found by its name.
    const WLCliResult info = mRunner.run({u"--dictionary"_s, u"first"_s, u"info"_s});
    QCOMPARE(info.status, 0);
    QVERIFY(info.outText().contains(u"First"_s));
}

void TestWLDictInstall::replacingNeedsForce()
{
    const QString first = bundle(u"First"_s);
    const QString second = bundle(u"Second"_s);
    QCOMPARE(mRunner.run({u"install"_s, u"--name"_s, u"dict"_s, first}).status, 0);
    const WLCliResult refused = mRunner.run({u"install"_s, u"--name"_s, u"dict"_s, second});
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.errText().contains(u"--force"_s));
    QCOMPARE(mRunner.json({u"list"_s}).toArray().at(0)[u"title"_s].toString(), u"First"_s);

    QCOMPARE(mRunner.run({u"install"_s, u"--force"_s, u"--name"_s, u"dict"_s, second}).status, 0);
    QCOMPARE(mRunner.json({u"list"_s}).toArray().at(0)[u"title"_s].toString(), u"Second"_s);
    // Nothing of the old one or of the staging is left beside it.
    QCOMPARE(entriesOfDictionaries(), QStringList{u"dict"_s});
}

void TestWLDictInstall::refusedBundlesLeaveNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("does not open") << u"description"_s << QStringList() << 1 << u"cannot be opened"_s;
    QTest::newRow("holds a link") << u"link"_s << QStringList() << 1 << u"symbolic link"_s;
    QTest::newRow("not a bundle") << u"folder"_s << QStringList() << 1 << u"no dictionary bundle"_s;
    QTest::newRow("a name leaving the folder") << QString() << QStringList{u"--name"_s, u"../up"_s} << 2
                                               << u"cannot name"_s;
}

void TestWLDictInstall::refusedBundlesLeaveNothing()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, extra);
    QFETCH(int, status);
    QFETCH(QString, message);
    QString path = bundle(u"Broken"_s);
    if (damage == u"description"_s) {
        QFile description(path + u"/DatabaseInfo.plist"_s);
        QVERIFY(description.open(QIODevice::WriteOnly));
        description.write("<plist><dict><key>KXPropDatabaseTitle</key><string>x</string></dict></plist>");
    } else if (damage == u"link"_s) {
        QVERIFY(QFile::link(u"/etc/passwd"_s, path + u"/passwd"_s));
    } else if (damage == u"folder"_s) {
        path = mWork.filePath(u"empty"_s);
        QDir().mkpath(path);
    }
    const WLCliResult result = mRunner.run(QStringList{u"install"_s} + extra + QStringList{path});
    QCOMPARE(result.status, status);
    QVERIFY2(result.errText().contains(message), result.err.constData());
    QVERIFY(entriesOfDictionaries().isEmpty());
}

void TestWLDictInstall::anInterruptedInstallLeavesTheOldBundle()
{
    const QString first = bundle(u"First"_s);
    QCOMPARE(mRunner.run({u"install"_s, u"--name"_s, u"dict"_s, first}).status, 0);
    // What a killed install leaves: a half copy under a hidden name.
    const QString leftover = dictionaries() + u"/.dict.install-a1b2c3"_s;
    QVERIFY(QDir().mkpath(leftover));
    QVERIFY(WLSourceFixture::writeFile(leftover + u"/headword.db"_s, "half"));
    QCOMPARE(mRunner.run({u"--dictionary"_s, u"dict"_s, u"info"_s}).status, 0);
    QCOMPARE(mRunner.json({u"list"_s}).toArray().size(), 1);
    // The next install of that name clears it.
    QCOMPARE(mRunner.run({u"install"_s, u"--force"_s, u"--name"_s, u"dict"_s, first}).status, 0);
    QCOMPARE(entriesOfDictionaries(), QStringList{u"dict"_s});
}

QTEST_GUILESS_MAIN(TestWLDictInstall)
#include "tst_wldictinstall.moc"

#include "WLBundle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestWLBundle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { WLBundle::setResourcePath(QString()); }
    void namesStayInsideTheBundle_data();
    void namesStayInsideTheBundle();
    void nothingWithoutAResourceDirectory();
    void defaultBundle_data();
    void defaultBundle();
};

void TestWLBundle::namesStayInsideTheBundle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("headword.db") << QStringLiteral("/b/headword.db");
    QTest::newRow("nested") << QStringLiteral("a/b.png") << QStringLiteral("/b/a/b.png");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd") << QStringLiteral("/b/etc/passwd");
    QTest::newRow("doubled slashes") << QStringLiteral("a//b") << QStringLiteral("/b/a/b");
    QTest::newRow("empty") << QString() << QStringLiteral("/b");
}

void TestWLBundle::namesStayInsideTheBundle()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    WLBundle::setResourcePath(QStringLiteral("/b"));
    QCOMPARE(WLBundle::pathForResource(name), path);
}

void TestWLBundle::nothingWithoutAResourceDirectory()
{
    QVERIFY(WLBundle::pathForResource(QStringLiteral("headword.db")).isEmpty());
}

void TestWLBundle::defaultBundle_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("application");
    QTest::addColumn<QStringList>("bundles");
    QTest::addColumn<QString>("expected");

    const QString installed = QStringLiteral("usr/share/wlreader/dictionaries/demo");
    const QString built = QStringLiteral("build/dictionaries/demo");
    QTest::newRow("installed") << QString() << QStringLiteral("usr/bin") << QStringList{installed}
                               << installed;
    QTest::newRow("installed before a build tree")
        << QString() << QStringLiteral("usr/bin")
        << QStringList{installed, QStringLiteral("dictionaries/demo")} << installed;
    QTest::newRow("build tree") << QString() << QStringLiteral("build/src/cli")
                                << QStringList{built} << built;
    QTest::newRow("environment first") << QStringLiteral("/elsewhere") << QStringLiteral("usr/bin")
                                       << QStringList{installed} << QStringLiteral("/elsewhere");
    // A folder without a description is no bundle.
    QTest::newRow("none") << QString() << QStringLiteral("usr/bin") << QStringList{} << QString();
}

void TestWLBundle::defaultBundle()
{
    QFETCH(QString, environment);
    QFETCH(QString, application);
    QFETCH(QStringList, bundles);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("usr/share/wlreader/dictionaries/demo"))));
    for (const QString &bundle : bundles) {
        QVERIFY(QDir().mkpath(root.filePath(bundle)));
        QFile description(root.filePath(bundle + QStringLiteral("/DatabaseInfo.plist")));
        QVERIFY(description.open(QIODevice::WriteOnly));
    }
    const QByteArray saved = qgetenv("WL_DICTIONARY");
    qputenv("WL_DICTIONARY", environment.toUtf8());
    const QString path = WLBundle::defaultBundlePath(root.filePath(application));
    qputenv("WL_DICTIONARY", saved);
    QCOMPARE(path, expected.isEmpty() || expected.startsWith(u'/') ? expected
                                                                  : root.filePath(expected));
}

QTEST_GUILESS_MAIN(TestWLBundle)
#include "tst_wlbundle.moc"

#include "WLBundle.h"

#include <QTest>

class TestWLBundle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { WLBundle::setResourcePath(QString()); }
    void namesStayInsideTheBundle_data();
    void namesStayInsideTheBundle();
    void nothingWithoutAResourceDirectory();
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

QTEST_GUILESS_MAIN(TestWLBundle)
#include "tst_wlbundle.moc"

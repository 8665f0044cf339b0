#include "WLReaderSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Which dictionary the reader opens, and what it keeps across them.
class TestWLReaderSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dictionaryToOpen_data();
    void dictionaryToOpen();
    void windowFrames();

private:
    static void makeBundle(const QString &path)
    {
        QDir().mkpath(path);
        QFile description(path + u"/DatabaseInfo.plist"_s);
        QVERIFY(description.open(QIODevice::WriteOnly));
    }
};

void TestWLReaderSettings::dictionaryToOpen_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a folder given") << u"folder"_s << u"env"_s << u"last"_s << u"folder"_s;
    QTest::newRow("an installed name given") << u"installed"_s << QString() << QString()
                                             << u"data/wlreader/dictionaries/installed"_s;
    QTest::newRow("the environment") << QString() << u"env"_s << u"last"_s << u"env"_s;
    QTest::newRow("the one used last") << QString() << QString() << u"last"_s << u"last"_s;
    QTest::newRow("the last one is gone") << QString() << QString() << u"gone"_s << u"demo"_s;
}

void TestWLReaderSettings::dictionaryToOpen()
{
    QFETCH(QString, given);
    QFETCH(QString, environment);
    QFETCH(QString, last);
    QFETCH(QString, expected);
    QTemporaryDir home;
    const auto at = [&](const QString &name) { return name.isEmpty() ? QString() : home.filePath(name); };
    for (const QString &bundle : {u"folder"_s, u"env"_s, u"last"_s, u"data/wlreader/dictionaries/installed"_s})
        makeBundle(at(bundle));
    qputenv("XDG_DATA_HOME", QFile::encodeName(at(u"data"_s)));
    qputenv("WL_DICTIONARY", QFile::encodeName(at(environment)));
    {
        WLReaderSettings settings(at(u"reader.plist"_s));
        makeBundle(at(u"gone"_s));
        settings.setLastDictionary(at(last));
        QVERIFY(settings.synchronize());
    }
    QDir(at(u"gone"_s)).removeRecursively();
    const WLReaderSettings settings(at(u"reader.plist"_s));
    const QString chosen = settings.dictionaryToOpen(given == u"installed"_s ? given : at(given));
    if (expected == u"demo"_s)
        QVERIFY2(chosen.endsWith(u"dictionaries/demo"_s), qPrintable(chosen));
    else
        QCOMPARE(chosen, at(expected));
    qunsetenv("WL_DICTIONARY");
}

void TestWLReaderSettings::windowFrames()
{
    QTemporaryDir home;
    {
        WLReaderSettings settings(home.filePath(u"reader.plist"_s));
        settings.setWindowFrame(u"DP-1"_s, QRect(100, 50, 390, 760));
        settings.setWindowFrame(u"HDMI-1"_s, QRect(2000, 0, 420, 800));
        settings.setWindowFrame(u"DP-1"_s, QRect(120, 60, 400, 700));
        settings.setWindowFrame(u"HDMI-1"_s, QRect(0, 0, -5, 10));
        QVERIFY(settings.synchronize());
    }
    const WLReaderSettings settings(home.filePath(u"reader.plist"_s));
    QCOMPARE(settings.windowFrame(u"DP-1"_s), QRect(120, 60, 400, 700));
    QCOMPARE(settings.windowFrame(u"HDMI-1"_s), QRect(2000, 0, 420, 800));
    QCOMPARE(settings.windowFrame(u"eDP-1"_s), QRect());
}

QTEST_GUILESS_MAIN(TestWLReaderSettings)
#include "tst_wlreadersettings.moc"

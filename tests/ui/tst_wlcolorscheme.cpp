#include "WLColorScheme.h"
#include "WLPrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// The desktop portal's settings as xdg-desktop-portal serves them: Read
// answers the value in a variant, older portals in a variant in a variant.
// It answers on a thread of its own, as another process would, while the
// scheme waits for it.
class Portal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    std::atomic<uint> preference = 0;
    std::atomic<bool> wrappedTwice = true;
    // A portal still starting up answers late.
    std::atomic<int> delayMs = 0;

public Q_SLOTS:
    QDBusVariant Read(const QString &group, const QString &key)
    {
        if (group != u"org.freedesktop.appearance"_s || key != u"color-scheme"_s)
            return QDBusVariant(QVariant());
        if (delayMs > 0)
            QThread::msleep(ulong(delayMs.load()));
        const QVariant value = QVariant::fromValue(preference.load());
        return wrappedTwice ? QDBusVariant(QVariant::fromValue(QDBusVariant(value))) : QDBusVariant(value);
    }
};

} // namespace

// The colour scheme from the environment, a portal on a D-Bus session of
// the test's own, and the palette.
class TestColorScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void fromThePortalTheEnvironmentAndThePalette_data();
    void fromThePortalTheEnvironmentAndThePalette();
    void followsThePortalWhileRunning();
    void aPortalThatAnswersLateIsFollowed();

private:
    // The reader's side: a connection of its own for each case.
    QDBusConnection reader() { return QDBusConnection::connectToBus(mAddress, u"reader-%1"_s.arg(++mConnections)); }
    QDBusConnection portalBus() { return QDBusConnection(u"portal"_s); }

    WLPrivateBus mBus;
    QString mAddress;
    QThread mPortalThread;
    Portal mPortal;
    QPalette mPalette;
    int mConnections = 0;
};

void TestColorScheme::initTestCase()
{
    QString why;
    if (!mBus.start(&why))
        QSKIP(qPrintable(why));
    mAddress = mBus.address();
    mPalette = QGuiApplication::palette();
    QDBusConnection bus = QDBusConnection::connectToBus(mAddress, u"portal"_s);
    QVERIFY(bus.isConnected());
    mPortal.moveToThread(&mPortalThread);
    mPortalThread.start();
    QVERIFY(bus.registerObject(QLatin1String(WLColorScheme::kPortalPath), &mPortal, QDBusConnection::ExportAllSlots));
}

void TestColorScheme::cleanupTestCase()
{
    mPortalThread.quit();
    mPortalThread.wait();
    QDBusConnection::disconnectFromBus(u"portal"_s);
}

void TestColorScheme::cleanup()
{
    qunsetenv(WLColorScheme::kEnvironment);
    QGuiApplication::setPalette(mPalette);
    mPortal.delayMs = 0;
    portalBus().unregisterService(QLatin1String(WLColorScheme::kPortalService));
    for (int connection = 1; connection <= mConnections; ++connection)
        QDBusConnection::disconnectFromBus(u"reader-%1"_s.arg(connection));
}

void TestColorScheme::fromThePortalTheEnvironmentAndThePalette_data()
{
    QTest::addColumn<bool>("portal");
    QTest::addColumn<uint>("preference");
    QTest::addColumn<bool>("wrappedTwice");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("darkPalette");
    QTest::addColumn<bool>("dark");
    QTest::newRow("the portal prefers dark") << true << 1u << true << QString() << false << true;
    QTest::newRow("the portal prefers light") << true << 2u << true << QString() << true << false;
    QTest::newRow("a newer portal's single variant") << true << 1u << false << QString() << false << true;
    QTest::newRow("no preference: the palette") << true << 0u << true << QString() << true << true;
    QTest::newRow("a value out of range: the palette") << true << 7u << true << QString() << false << false;
    QTest::newRow("no portal: the palette, light") << false << 0u << true << QString() << false << false;
    QTest::newRow("no portal: the palette, dark") << false << 0u << true << QString() << true << true;
    QTest::newRow("the environment over the portal") << true << 2u << true << u"dark"_s << false << true;
    QTest::newRow("the environment, light") << true << 1u << true << u"Light"_s << true << false;
    QTest::newRow("another word is no choice") << true << 1u << true << u"sepia"_s << false << true;
}

void TestColorScheme::fromThePortalTheEnvironmentAndThePalette()
{
    QFETCH(bool, portal);
    QFETCH(uint, preference);
    QFETCH(bool, wrappedTwice);
    QFETCH(QString, environment);
    QFETCH(bool, darkPalette);
    QFETCH(bool, dark);
    if (portal)
        QVERIFY(portalBus().registerService(QLatin1String(WLColorScheme::kPortalService)));
    mPortal.preference = preference;
    mPortal.wrappedTwice = wrappedTwice;
    if (!environment.isEmpty())
        qputenv(WLColorScheme::kEnvironment, environment.toLocal8Bit());
    if (darkPalette) {
        QPalette palette = mPalette;
        palette.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        palette.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
        QGuiApplication::setPalette(palette);
    }
    const WLColorScheme scheme(reader(), nullptr);
    QCOMPARE(scheme.isDark(), dark);
}

void TestColorScheme::followsThePortalWhileRunning()
{
    QVERIFY(portalBus().registerService(QLatin1String(WLColorScheme::kPortalService)));
    mPortal.preference = 2;
    WLColorScheme scheme(reader(), nullptr);
    QVERIFY(!scheme.isDark());
    QSignalSpy changed(&scheme, &WLColorScheme::darkChanged);
    const auto settingChanged = [&](const QString &group, uint value) {
        QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(WLColorScheme::kPortalPath),
                                                         QLatin1String(WLColorScheme::kPortalInterface),
                                                         u"SettingChanged"_s);
        signal << group << u"color-scheme"_s << QVariant::fromValue(QDBusVariant(QVariant::fromValue(value)));
        QVERIFY(portalBus().send(signal));
    };
    settingChanged(u"org.freedesktop.appearance"_s, 1);
    QTRY_VERIFY(scheme.isDark());
    QCOMPARE(changed.size(), 1);
    // Another group's key of that name is not the desktop's scheme.
    settingChanged(u"org.example.other"_s, 2);
    QTest::qWait(200);
    QVERIFY(scheme.isDark());
    settingChanged(u"org.freedesktop.appearance"_s, 2);
    QTRY_VERIFY(!scheme.isDark());
    QCOMPARE(changed.size(), 2);
}

void TestColorScheme::aPortalThatAnswersLateIsFollowed()
{
    QVERIFY(portalBus().registerService(QLatin1String(WLColorScheme::kPortalService)));
    mPortal.preference = 1;
    mPortal.delayMs = 2 * WLColorScheme::kPortalTimeoutMs;
    WLColorScheme scheme(reader(), nullptr);
    // The window does not wait for it...
    QVERIFY(!scheme.isDark());
    // ... and takes its answer when it comes.
    QTRY_VERIFY(scheme.isDark());
}

QTEST_MAIN(TestColorScheme)
#include "tst_wlcolorscheme.moc"

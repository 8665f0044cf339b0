#include "WLFileChooser.h"
#include "WLPrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The desktop portal's file chooser as xdg-desktop-portal serves it:
// OpenFile answers at once with the request's path, and the request's
// Response comes when the user has chosen. An older portal makes up a path
// of its own rather than the one the token names.
class FileChooserPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")

public:
    explicit FileChooserPortal(QDBusConnection bus) : mBus(std::move(bus)) {}

    uint code = 0;
    QStringList uris;
    bool olderPortal = false;
    // What it was asked.
    QString parentWindow;
    QString title;
    QVariantMap options;

public Q_SLOTS:
    QDBusObjectPath OpenFile(const QString &parent, const QString &dialogTitle, const QVariantMap &asked,
                             const QDBusMessage &message)
    {
        parentWindow = parent;
        title = dialogTitle;
        options = asked;
        QString sender = message.service();
        sender.remove(0, 1).replace(u'.', u'_');
        const QString path = olderPortal ? u"/org/freedesktop/portal/desktop/request/old/1"_s
                                         : u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(
                                               sender, asked.value(u"handle_token"_s).toString());
        // The user takes a moment.
        QTimer::singleShot(20, this, [this, path] {
            QDBusMessage response =
                QDBusMessage::createSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s);
            response << code << QVariantMap{{u"uris"_s, uris}};
            mBus.send(response);
        });
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection mBus;
};

// The portal's filters, a(sa(us)), as "name: pattern pattern".
QStringList filtersOf(const QVariant &value)
{
    QStringList filters;
    const auto argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString name;
        QStringList patterns;
        argument.beginStructure();
        argument >> name;
        argument.beginArray();
        while (!argument.atEnd()) {
            uint kind = 0;
            QString pattern;
            argument.beginStructure();
            argument >> kind >> pattern;
            argument.endStructure();
            patterns.append(kind == 0 ? pattern : u"?"_s);
        }
        argument.endArray();
        argument.endStructure();
        filters.append(name + u": "_s + patterns.join(u' '));
    }
    argument.endArray();
    return filters;
}

} // namespace

// Choosing a file through a stand-in portal on a D-Bus session of the
// test's own.
class TestFileChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void answers_data();
    void answers();
    void withoutAPortalTheWindowChooses();
    void oneRequestAtATime();

private:
    QDBusConnection portalBus() { return QDBusConnection(u"portal"_s); }

    WLPrivateBus mBus;
    QString mAddress;
    std::unique_ptr<FileChooserPortal> mPortal;
};

void TestFileChooser::initTestCase()
{
    QString why;
    if (!mBus.start(&why))
        QSKIP(qPrintable(why));
    mAddress = mBus.address();
    QDBusConnection bus = QDBusConnection::connectToBus(mAddress, u"portal"_s);
    QVERIFY(bus.isConnected());
    mPortal = std::make_unique<FileChooserPortal>(bus);
    QVERIFY(bus.registerObject(QLatin1String(WLFileChooser::kPortalPath), mPortal.get(),
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QLatin1String(WLFileChooser::kPortalService)));
}

void TestFileChooser::cleanupTestCase()
{
    mPortal.reset();
    QDBusConnection::disconnectFromBus(u"portal"_s);
    QDBusConnection::disconnectFromBus(u"reader"_s);
}

void TestFileChooser::answers_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<QStringList>("uris");
    QTest::addColumn<bool>("olderPortal");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("a file") << 0u << QStringList{u"file:///home/u/Downloads/sample.ifo"_s} << false
                            << u"/home/u/Downloads/sample.ifo"_s;
    QTest::newRow("an older portal's path") << 0u << QStringList{u"file:///tmp/wn.index"_s} << true
                                            << u"/tmp/wn.index"_s;
    QTest::newRow("the first of several") << 0u << QStringList{u"file:///a.ifo"_s, u"file:///b.ifo"_s} << false
                                          << u"/a.ifo"_s;
    QTest::newRow("cancelled") << 1u << QStringList() << false << QString();
    QTest::newRow("ended another way") << 2u << QStringList{u"file:///a.ifo"_s} << false << QString();
    QTest::newRow("chosen, but nothing named") << 0u << QStringList() << false << QString();
    QTest::newRow("a remote file") << 0u << QStringList{u"https://example.org/a.ifo"_s} << false << QString();
}

void TestFileChooser::answers()
{
    QFETCH(uint, code);
    QFETCH(QStringList, uris);
    QFETCH(bool, olderPortal);
    QFETCH(QString, chosen);
    mPortal->code = code;
    mPortal->uris = uris;
    mPortal->olderPortal = olderPortal;
    WLFileChooser chooser(QDBusConnection::connectToBus(mAddress, u"reader"_s), nullptr);
    QSignalSpy chosenSpy(&chooser, &WLFileChooser::chosen);
    QSignalSpy cancelledSpy(&chooser, &WLFileChooser::cancelled);
    QSignalSpy unavailableSpy(&chooser, &WLFileChooser::unavailable);
    chooser.open(u"Add a Dictionary\u2026"_s,
                 {{u"Dictionary files"_s, {u"*.ifo"_s, u"DatabaseInfo.plist"_s}}, {u"All files"_s, {u"*"_s}}},
                 u"/home/u/Downloads"_s, u"x11:1a00007"_s);
    QVERIFY(chooser.isOpen());
    QTRY_COMPARE(chosenSpy.size() + cancelledSpy.size(), 1);
    QVERIFY(!chooser.isOpen());
    QCOMPARE(unavailableSpy.size(), 0);
    if (chosen.isEmpty())
        QCOMPARE(cancelledSpy.size(), 1);
    else
        QCOMPARE(chosenSpy.value(0).value(0).toUrl().toLocalFile(), chosen);

    // What the portal was asked.
    QCOMPARE(mPortal->parentWindow, u"x11:1a00007"_s);
    QCOMPARE(mPortal->title, u"Add a Dictionary\u2026"_s);
    QCOMPARE(mPortal->options.value(u"modal"_s).toBool(), true);
    QCOMPARE(mPortal->options.value(u"current_folder"_s).toByteArray(), QByteArray("/home/u/Downloads\0", 18));
    QCOMPARE(filtersOf(mPortal->options.value(u"filters"_s)),
             (QStringList{u"Dictionary files: *.ifo DatabaseInfo.plist"_s, u"All files: *"_s}));
    QDBusConnection::disconnectFromBus(u"reader"_s);
}

void TestFileChooser::withoutAPortalTheWindowChooses()
{
    // A session without the portal's name, and no session at all.
    QDBusConnection other = QDBusConnection::connectToBus(mAddress, u"reader"_s);
    QVERIFY(portalBus().unregisterService(QLatin1String(WLFileChooser::kPortalService)));
    for (const QDBusConnection &bus : {other, QDBusConnection::connectToBus(u"unix:path=/nonexistent"_s, u"none"_s)}) {
        WLFileChooser chooser(bus, nullptr);
        QSignalSpy unavailableSpy(&chooser, &WLFileChooser::unavailable);
        chooser.open(u"Add"_s, {}, QString(), QString());
        QTRY_COMPARE(unavailableSpy.size(), 1);
        QVERIFY(!chooser.isOpen());
    }
    QVERIFY(portalBus().registerService(QLatin1String(WLFileChooser::kPortalService)));
    QDBusConnection::disconnectFromBus(u"reader"_s);
    QDBusConnection::disconnectFromBus(u"none"_s);
}

void TestFileChooser::oneRequestAtATime()
{
    mPortal->code = 0;
    mPortal->uris = {u"file:///a.ifo"_s};
    mPortal->olderPortal = false;
    WLFileChooser chooser(QDBusConnection::connectToBus(mAddress, u"reader"_s), nullptr);
    QSignalSpy chosenSpy(&chooser, &WLFileChooser::chosen);
    chooser.open(u"First"_s, {}, QString(), QString());
    chooser.open(u"Second"_s, {}, QString(), QString());
    QTRY_COMPARE(chosenSpy.size(), 1);
    QTest::qWait(100);
    QCOMPARE(chosenSpy.size(), 1);
    QCOMPARE(mPortal->title, u"First"_s);
    QDBusConnection::disconnectFromBus(u"reader"_s);
}

QTEST_GUILESS_MAIN(TestFileChooser)
#include "tst_wlfilechooser.moc"

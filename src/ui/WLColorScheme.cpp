#include "WLColorScheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace {
constexpr char kGroup[] = "org.freedesktop.appearance";
constexpr char kKey[] = "color-scheme";

// Read answers a variant that holds the value; older portals wrap it
// once more.
uint preferenceOf(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    bool ok = false;
    const uint preference = value.toUInt(&ok);
    return ok && preference <= WLColorScheme::PreferLight ? preference : WLColorScheme::NoPreference;
}
} // namespace

WLColorScheme::WLColorScheme(QObject *parent) : WLColorScheme(QDBusConnection::sessionBus(), parent) {}

WLColorScheme::WLColorScheme(const QDBusConnection &bus, QObject *parent) : QObject(parent), mBus(bus)
{
    if (!forcedDark()) {
        readPortal();
        if (mBus.isConnected())
            mBus.connect(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                         QLatin1String(kPortalInterface), QStringLiteral("SettingChanged"), this,
                         SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
        if (qGuiApp)
            qGuiApp->installEventFilter(this);
    }
    update();
}

std::optional<bool> WLColorScheme::forcedDark()
{
    const QByteArray forced = qgetenv(kEnvironment).trimmed().toLower();
    if (forced == "dark")
        return true;
    if (forced == "light")
        return false;
    return std::nullopt;
}

void WLColorScheme::readPortal()
{
    if (!mBus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                                                       QLatin1String(kPortalInterface), QStringLiteral("Read"));
    call << QLatin1String(kGroup) << QLatin1String(kKey);
    const QDBusMessage reply = mBus.call(call, QDBus::Block, kPortalTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        mPortalPreference = preferenceOf(reply.arguments().constFirst());
        return;
    }
    // A portal still starting answers later; the window follows it then.
    if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        return;
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        const QDBusMessage late = finished->reply();
        finished->deleteLater();
        if (late.type() == QDBusMessage::ReplyMessage && !late.arguments().isEmpty()) {
            mPortalPreference = preferenceOf(late.arguments().constFirst());
            update();
        }
    });
}

void WLColorScheme::portalSettingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    if (group != QLatin1String(kGroup) || key != QLatin1String(kKey))
        return;
    mPortalPreference = preferenceOf(value.variant());
    update();
}

bool WLColorScheme::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange)
        update();
    return QObject::eventFilter(watched, event);
}

bool WLColorScheme::paletteIsDark()
{
    if (!qGuiApp)
        return false;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void WLColorScheme::update()
{
    bool dark = false;
    if (const std::optional<bool> forced = forcedDark())
        dark = *forced;
    else if (mPortalPreference != NoPreference)
        dark = mPortalPreference == PreferDark;
    else
        dark = paletteIsDark();
    if (dark == mDark)
        return;
    mDark = dark;
    Q_EMIT darkChanged();
}

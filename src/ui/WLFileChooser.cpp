#include "WLFileChooser.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

// The portal's filters, a(sa(us)): a name and its rules, each a kind (0, a
// glob) and a pattern.
struct PortalRule {
    uint kind = 0;
    QString pattern;
};
struct PortalFilter {
    QString name;
    QList<PortalRule> rules;
};

} // namespace

Q_DECLARE_METATYPE(PortalRule)
Q_DECLARE_METATYPE(PortalFilter)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const PortalRule &rule)
{
    argument.beginStructure();
    argument << rule.kind << rule.pattern;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalRule &rule)
{
    argument.beginStructure();
    argument >> rule.kind >> rule.pattern;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const PortalFilter &filter)
{
    argument.beginStructure();
    argument << filter.name << filter.rules;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalFilter &filter)
{
    argument.beginStructure();
    argument >> filter.name >> filter.rules;
    argument.endStructure();
    return argument;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalRule>();
        qDBusRegisterMetaType<QList<PortalRule>>();
        qDBusRegisterMetaType<PortalFilter>();
        qDBusRegisterMetaType<QList<PortalFilter>>();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

WLFileChooser::WLFileChooser(QObject *parent) : WLFileChooser(QDBusConnection::sessionBus(), parent) {}

WLFileChooser::WLFileChooser(const QDBusConnection &bus, QObject *parent) : QObject(parent), mBus(bus)
{
    registerTypes();
}

void WLFileChooser::open(const QString &title, const QList<Filter> &filters, const QString &folder,
                         const QString &parentWindow)
{
    if (isOpen())
        return;
    if (!mBus.isConnected()) {
        Q_EMIT unavailable();
        return;
    }
    // The portal names the request after our connection and this token; we
    // listen there before asking, so a quick answer is not missed.
    const QString token = QStringLiteral("wlreader%1").arg(++mRequests);
    QString sender = mBus.baseService();
    sender.remove(0, 1).replace(u'.', u'_');
    listen(QStringLiteral("%1/request/%2/%3").arg(QLatin1String(kPortalPath), sender, token));

    QList<PortalFilter> portalFilters;
    for (const Filter &filter : filters) {
        PortalFilter portalFilter{filter.name, {}};
        for (const QString &pattern : filter.patterns)
            portalFilter.rules.append({0, pattern});
        portalFilters.append(portalFilter);
    }
    QVariantMap options{
        {QStringLiteral("handle_token"), token},
        {QStringLiteral("modal"), true},
        {QStringLiteral("filters"), QVariant::fromValue(portalFilters)},
    };
    if (!folder.isEmpty())
        options.insert(QStringLiteral("current_folder"), QByteArray(folder.toUtf8() + '\0'));

    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                                                       QLatin1String(kFileChooserInterface),
                                                       QStringLiteral("OpenFile"));
    call << parentWindow << title << options;
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        if (reply.isError()) {
            // No portal, or one without a file chooser.
            stopListening();
            Q_EMIT unavailable();
            return;
        }
        // An older portal makes up a path of its own.
        const QString path = reply.value().path();
        if (isOpen() && path != mRequestPath)
            listen(path);
    });
}

void WLFileChooser::listen(const QString &requestPath)
{
    stopListening();
    mRequestPath = requestPath;
    mBus.connect(QLatin1String(kPortalService), mRequestPath, QLatin1String(kRequestInterface),
                 QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
}

void WLFileChooser::stopListening()
{
    if (mRequestPath.isEmpty())
        return;
    mBus.disconnect(QLatin1String(kPortalService), mRequestPath, QLatin1String(kRequestInterface),
                    QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    mRequestPath.clear();
}

void WLFileChooser::response(uint code, const QVariantMap &results)
{
    stopListening();
    // 0: chosen; 1: cancelled by the user; 2: ended another way.
    const QStringList uris = results.value(QStringLiteral("uris")).toStringList();
    const QUrl url = uris.isEmpty() ? QUrl() : QUrl(uris.first());
    if (code == 0 && url.isValid() && url.isLocalFile())
        Q_EMIT chosen(url);
    else
        Q_EMIT cancelled();
}

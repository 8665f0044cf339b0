#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>

#include <optional>

// The desktop's colour scheme, followed while the reader runs: the
// environment's WL_COLOR_SCHEME ("dark" or "light") when set, else the
// desktop portal's "color-scheme" setting, else whether the platform
// theme's palette is dark.
//
// Threading: main thread only.
class WLColorScheme : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool dark READ isDark NOTIFY darkChanged)

public:
    // The portal's values of org.freedesktop.appearance color-scheme.
    enum PortalPreference : uint { NoPreference = 0, PreferDark = 1, PreferLight = 2 };

    static constexpr char kEnvironment[] = "WL_COLOR_SCHEME";
    static constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
    static constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
    static constexpr char kPortalInterface[] = "org.freedesktop.portal.Settings";
    // A portal that does not answer by then is taken as no preference.
    static constexpr int kPortalTimeoutMs = 300;

    // Asks the portal on this bus (the session bus unless a test gives
    // another).
    explicit WLColorScheme(QObject *parent = nullptr);
    WLColorScheme(const QDBusConnection &bus, QObject *parent);

    bool isDark() const { return mDark; }
    // What WL_COLOR_SCHEME forces; nothing when unset or neither word.
    static std::optional<bool> forcedDark();

Q_SIGNALS:
    void darkChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void portalSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void readPortal();
    void update();
    static bool paletteIsDark();

    QDBusConnection mBus;
    uint mPortalPreference = NoPreference;
    bool mDark = false;
};

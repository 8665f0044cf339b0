#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session of a test's own: a dbus-daemon that starts no service on
// demand, so a name the test releases stays free even where the desktop's
// real services (xdg-desktop-portal, say) are installed.
class WLPrivateBus
{
public:
    WLPrivateBus() = default;
    ~WLPrivateBus();
    WLPrivateBus(const WLPrivateBus &) = delete;
    WLPrivateBus &operator=(const WLPrivateBus &) = delete;

    // False, with the reason, where there is no dbus-daemon or it does not
    // start.
    bool start(QString *why);
    QString address() const { return mAddress; }

private:
    QTemporaryDir mDir;
    QProcess mDaemon;
    QString mAddress;
};

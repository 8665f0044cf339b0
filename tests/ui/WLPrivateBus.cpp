#include "WLPrivateBus.h"

#include <QFile>
#include <QStandardPaths>

WLPrivateBus::~WLPrivateBus()
{
    if (mDaemon.state() != QProcess::NotRunning) {
        mDaemon.terminate();
        mDaemon.waitForFinished(5000);
    }
}

bool WLPrivateBus::start(QString *why)
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        *why = QStringLiteral("no dbus-daemon (package dbus)");
        return false;
    }
    // The session configuration without its service folders: nothing is
    // activated.
    const QString config = mDir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!mDir.isValid() || !file.open(QIODevice::WriteOnly)) {
        *why = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    file.write(QStringLiteral(
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig>\n"
                   "  <type>session</type>\n"
                   "  <listen>unix:tmpdir=%1</listen>\n"
                   "  <auth>EXTERNAL</auth>\n"
                   "  <policy context=\"default\">\n"
                   "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                   "    <allow eavesdrop=\"true\"/>\n"
                   "    <allow own=\"*\"/>\n"
                   "  </policy>\n"
                   "</busconfig>\n")
                   .arg(mDir.path())
                   .toUtf8());
    file.close();
    mDaemon.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address")});
    if (!mDaemon.waitForStarted(10000)) {
        *why = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    for (int waited = 0; !mDaemon.canReadLine() && waited < 100; ++waited)
        mDaemon.waitForReadyRead(100);
    mAddress = QString::fromLocal8Bit(mDaemon.readLine()).trimmed();
    if (mAddress.isEmpty()) {
        *why = QStringLiteral("dbus-daemon gave no address");
        return false;
    }
    return true;
}

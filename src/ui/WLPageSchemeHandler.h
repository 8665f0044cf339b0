#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <optional>

class QQuickWebEngineProfile;
class WLPageHost;

// Serves the pages' files under a scheme of the reader's own,
// "wlpage://HOST/PATH": each page host registers the one folder its page
// may read (an entry's page directory, the About page's folder), and a
// request is answered from that folder only. Paths are resolved whole:
// ".." and symbolic links that lead out of the folder are refused, so a
// page's origin reaches nothing but its own files.
//
// Threading: main thread only (the engine asks on it).
class WLPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    static constexpr char kScheme[] = "wlpage";

    // Before the application object: the scheme as the engine must know it.
    static void registerScheme();
    // The handler and the request interceptor on the profile the pages use;
    // once per process. The profile owns both.
    static WLPageSchemeHandler *installOn(QQuickWebEngineProfile *profile);
    static WLPageSchemeHandler *installed();

    explicit WLPageSchemeHandler(QObject *parent = nullptr);

    // The host serves folder (a local folder, or a resource folder ":/…")
    // under a host name of its own; "wlpage://NAME/" is its base. The
    // folder may change; empty takes it away.
    QString addHost(WLPageHost *host);
    void setFolder(const QString &name, const QString &folder);
    void removeHost(const QString &name);
    WLPageHost *hostNamed(const QString &name) const;

    // The file a request path names inside folder, or nothing when the path
    // leads out of it (by "..", as an absolute path, through a symbolic
    // link) or names no file.
    static std::optional<QString> resolve(const QString &folder, const QString &urlPath);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    struct Host {
        QPointer<WLPageHost> host;
        QString folder;
    };
    QHash<QString, Host> mHosts;
    int mLastHostNumber = 0;
};

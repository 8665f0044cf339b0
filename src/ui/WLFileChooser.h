#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

// A file to open, chosen in the desktop's own dialog through the desktop
// portal (org.freedesktop.portal.FileChooser), outside the reader's
// process. Where no portal answers, unavailable() says so and the window
// shows a dialog of its own.
//
// Threading: main thread only.
class WLFileChooser : public QObject
{
    Q_OBJECT

public:
    struct Filter {
        QString name;
        // Glob patterns: "*.ifo", "DatabaseInfo.plist".
        QStringList patterns;
    };

    static constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
    static constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
    static constexpr char kFileChooserInterface[] = "org.freedesktop.portal.FileChooser";
    static constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";
    // The portal answers at once with the request it made; the dialog
    // itself may stay open as long as the user likes.
    static constexpr int kCallTimeoutMs = 5000;

    // On the session bus unless a test gives another.
    explicit WLFileChooser(QObject *parent = nullptr);
    WLFileChooser(const QDBusConnection &bus, QObject *parent);

    // One request at a time; a second while one is open is ignored.
    // parentWindow is the portal's handle of the window ("x11:1a00007"),
    // or empty.
    void open(const QString &title, const QList<Filter> &filters, const QString &folder,
              const QString &parentWindow);
    bool isOpen() const { return !mRequestPath.isEmpty(); }

Q_SIGNALS:
    void chosen(const QUrl &url);
    void cancelled();
    void unavailable();

private Q_SLOTS:
    void response(uint code, const QVariantMap &results);

private:
    void listen(const QString &requestPath);
    void stopListening();

    QDBusConnection mBus;
    QString mRequestPath;
    int mRequests = 0;
};

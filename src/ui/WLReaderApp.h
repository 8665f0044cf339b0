#pragma once

#include "WLWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class WLAppDelegate;

// What the window's QML sees as "App": the open dictionary's window,
// title and opening failure, the same object whichever dictionary is open,
// so that the window stays while the reader switches dictionaries. It
// passes the dictionaries the user drops or chooses to the reader.
//
// Threading: main thread only.
class WLReaderApp : public QObject
{
    Q_OBJECT
    Q_PROPERTY(WLWindow *window READ window NOTIFY delegateChanged)
    Q_PROPERTY(QString title READ title NOTIFY delegateChanged)
    Q_PROPERTY(QString openingFailure READ openingFailure NOTIFY delegateChanged)
    // Once the first dictionary's window was shown, the window stays.
    Q_PROPERTY(bool shown READ isShown NOTIFY shownChanged)
    // Where the file chooser starts: the user's downloads, else home.
    Q_PROPERTY(QUrl chooserFolder READ chooserFolder CONSTANT)

public:
    using AddHandler = std::function<void(const QString &path)>;

    explicit WLReaderApp(QObject *parent = nullptr);

    void setDelegate(WLAppDelegate *delegate);
    void setAddHandler(AddHandler handler) { mAdd = std::move(handler); }

    WLWindow *window() const;
    QString title() const;
    QString openingFailure() const;
    bool isShown() const { return mShown; }
    static QUrl chooserFolder();

    // A file or folder chosen in the desktop's chooser, or dropped on the
    // window; the first local one of a drop.
    Q_INVOKABLE void addDictionary(const QUrl &url);
    Q_INVOKABLE void addDictionaries(const QList<QUrl> &urls);
    // The window's own file chooser is asked for, where the desktop has
    // none to lend.
    void chooseDictionary() { Q_EMIT chooseDictionaryRequested(); }

Q_SIGNALS:
    void delegateChanged();
    void shownChanged();
    void chooseDictionaryRequested();

private:
    void updateShown();

    QPointer<WLAppDelegate> mDelegate;
    AddHandler mAdd;
    bool mShown = false;
};

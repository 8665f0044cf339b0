#pragma once

#include "WLViewController.h"

#include <QString>
#include <QStringList>

#include <functional>

// An alert over the window: a title, a message and its buttons. It goes
// when a button is tapped, and the handler then hears which one (its
// index). Escape and Return tap the cancel button: a removal is never one
// key away.
//
// Threading: main thread only.
class WLAlertView : public WLViewController
{
    Q_OBJECT
    Q_PROPERTY(QString message READ message CONSTANT)
    Q_PROPERTY(QStringList buttonTitles READ buttonTitles CONSTANT)
    Q_PROPERTY(int cancelButtonIndex READ cancelButtonIndex CONSTANT)

public:
    using Handler = std::function<void(int buttonIndex)>;

    WLAlertView(const QString &title, QString message, QStringList buttonTitles, int cancelButtonIndex,
                Handler handler, QObject *parent = nullptr);

    QString message() const { return mMessage; }
    QStringList buttonTitles() const { return mButtonTitles; }
    int cancelButtonIndex() const { return mCancelButtonIndex; }

    // Shows it over presenter; it deletes itself once it has gone.
    void show(WLViewController *presenter);
    Q_INVOKABLE void tapButton(int index);

    bool keyCommand(const WLKeyCommand &command) override;

private:
    QString mMessage;
    QStringList mButtonTitles;
    int mCancelButtonIndex;
    Handler mHandler;
};

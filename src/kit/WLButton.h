#pragma once

#include "WLControl.h"

#include <QString>

// A push button; the info button is the phone's light "i" (button type 3).
class WLButton : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(int buttonType READ buttonType CONSTANT)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)

public:
    enum ButtonType { Custom = 0, InfoLight = 3 };

    explicit WLButton(ButtonType type, QObject *parent = nullptr);

    int buttonType() const { return mButtonType; }
    QString title() const { return mTitle; }
    void setTitle(const QString &title);

    // The view's tap.
    Q_INVOKABLE void tap() { sendActionsForControlEvents(WLControlEvent::TouchUpInside); }

Q_SIGNALS:
    void titleChanged();

private:
    ButtonType mButtonType;
    QString mTitle;
};

#pragma once

#include "WLControl.h"

// An on/off switch; the user's toggle sends ValueChanged.
class WLSwitch : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn NOTIFY onChanged)

public:
    explicit WLSwitch(QObject *parent = nullptr);

    bool isOn() const { return mOn; }
    // Programmatic changes send no action.
    void setOn(bool on);

    // The view's toggle.
    Q_INVOKABLE void toggle(bool on);

Q_SIGNALS:
    void onChanged();

private:
    bool mOn = false;
};

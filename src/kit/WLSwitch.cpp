#include "WLSwitch.h"

WLSwitch::WLSwitch(QObject *parent) : WLControl(QStringLiteral("Switch"), parent) {}

void WLSwitch::setOn(bool on)
{
    if (mOn == on)
        return;
    mOn = on;
    Q_EMIT onChanged();
}

void WLSwitch::toggle(bool on)
{
    if (!isEnabled() || mOn == on)
        return;
    setOn(on);
    sendActionsForControlEvents(WLControlEvent::ValueChanged);
}

#include "WLControl.h"

WLControl::WLControl(QString kind, QObject *parent) : QObject(parent), mKind(std::move(kind)) {}

void WLControl::setEnabled(bool enabled)
{
    if (mEnabled == enabled)
        return;
    mEnabled = enabled;
    Q_EMIT enabledChanged();
}

void WLControl::setFrame(const QRectF &frame, double animationDuration)
{
    if (mFrame == frame && mAnimationDuration == animationDuration)
        return;
    mFrame = frame;
    mAnimationDuration = animationDuration;
    Q_EMIT frameChanged();
}

void WLControl::setAccessibilityLabel(const QString &label)
{
    if (mAccessibilityLabel == label)
        return;
    mAccessibilityLabel = label;
    Q_EMIT accessibilityLabelChanged();
}

void WLControl::addTarget(WLControlEvent event, Action action)
{
    mTargets.emplace_back(event, std::move(action));
}

void WLControl::sendActionsForControlEvents(WLControlEvent event)
{
    if (!mEnabled)
        return;
    // A copy: an action may add targets or drop this control's owner.
    const auto targets = mTargets;
    for (const auto &[targetEvent, action] : targets) {
        if (targetEvent == event)
            action(this);
    }
}

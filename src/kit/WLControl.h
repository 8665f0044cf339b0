#pragma once

#include <QObject>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

// The events a control sends actions for; the values are the phone's own.
enum class WLControlEvent : unsigned {
    TouchUpInside = 1u << 6,
    ValueChanged = 1u << 12,
};

// Base of the toolkit's controls: a model the views draw and forward user
// events to, with target-action as on the phone. "kind" names the view
// that draws it.
//
// Threading: main thread only.
class WLControl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString kind READ kind CONSTANT)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QRectF frame READ frame NOTIFY frameChanged)
    Q_PROPERTY(double animationDuration READ animationDuration NOTIFY frameChanged)
    Q_PROPERTY(QString accessibilityLabel READ accessibilityLabel NOTIFY accessibilityLabelChanged)

public:
    using Action = std::function<void(WLControl *sender)>;

    QString kind() const { return mKind; }
    bool isEnabled() const { return mEnabled; }
    void setEnabled(bool enabled);

    // Empty: the view decides its own size.
    QRectF frame() const { return mFrame; }
    // A frame change inside an animation of that many seconds (0: at once).
    void setFrame(const QRectF &frame, double animationDuration = 0);
    double animationDuration() const { return mAnimationDuration; }

    // What a screen reader calls the control, where its look says it
    // without words (a picture, an "i").
    QString accessibilityLabel() const { return mAccessibilityLabel; }
    void setAccessibilityLabel(const QString &label);

    void addTarget(WLControlEvent event, Action action);
    void sendActionsForControlEvents(WLControlEvent event);

Q_SIGNALS:
    void enabledChanged();
    void frameChanged();
    void accessibilityLabelChanged();

protected:
    explicit WLControl(QString kind, QObject *parent = nullptr);

private:
    QString mKind;
    bool mEnabled = true;
    QRectF mFrame;
    double mAnimationDuration = 0;
    QString mAccessibilityLabel;
    std::vector<std::pair<WLControlEvent, Action>> mTargets;
};

#pragma once

#include "WLViewController.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

// A full-screen view that shows one screen at a time and can swap it for
// another inside a flip.
class WLContainerView : public QObject
{
    Q_OBJECT
    Q_PROPERTY(WLViewController *content READ content NOTIFY contentChanged)
    Q_PROPERTY(int transition READ transition NOTIFY contentChanged)
    Q_PROPERTY(double transitionDuration READ transitionDuration NOTIFY contentChanged)

public:
    // The phone's values.
    enum Transition { NoTransition = 0, FlipFromLeft = 1, FlipFromRight = 2 };

    explicit WLContainerView(QObject *parent = nullptr);

    WLViewController *content() const { return mContent; }
    bool contains(const WLViewController *viewController) const
    {
        return viewController && mContent == viewController;
    }
    // Without animation.
    void addSubview(WLViewController *viewController);
    void removeSubview(WLViewController *viewController);
    // One animated transaction: from leaves, to comes in.
    void transition(WLViewController *from, WLViewController *to, Transition transition,
                    double duration);

    int transition() const { return mTransition; }
    double transitionDuration() const { return mTransitionDuration; }

    // The window shows or hides the container.
    void setOnScreen(bool onScreen);

Q_SIGNALS:
    void contentChanged();

private:
    void finishTransition();

    QPointer<WLViewController> mContent;
    int mTransition = NoTransition;
    double mTransitionDuration = 0;
    bool mOnScreen = false;
    QList<QPointer<WLViewController>> mTransitioning;
    QTimer mTimer;
};

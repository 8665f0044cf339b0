#pragma once

#include "WLViewController.h"

#include <QList>
#include <QTimer>

// A stack of screens with a navigation bar: the top one is shown; pushing
// slides a new one in, popping takes the top one off. The stack does not
// own its screens.
class WLNavigationController : public WLViewController
{
    Q_OBJECT
    Q_PROPERTY(QList<QObject *> viewControllers READ viewControllerObjects NOTIFY stackChanged)
    Q_PROPERTY(WLViewController *topViewController READ topViewController NOTIFY stackChanged)
    Q_PROPERTY(QString backButtonTitle READ backButtonTitle NOTIFY backButtonChanged)
    Q_PROPERTY(bool lastChangeAnimated READ lastChangeAnimated NOTIFY stackChanged)
    Q_PROPERTY(bool lastChangeWasPush READ lastChangeWasPush NOTIFY stackChanged)

public:
    static constexpr double kTransitionDuration = 0.3;

    explicit WLNavigationController(WLViewController *rootViewController, QObject *parent = nullptr);
    ~WLNavigationController() override;

    QList<WLViewController *> viewControllers() const;
    WLViewController *topViewController() const;

    // A screen that already has a container is not pushed.
    void pushViewController(WLViewController *viewController, bool animated);
    // The root stays; nothing when only the root is left.
    WLViewController *popViewControllerAnimated(bool animated);
    // Pops the screens above viewController; the popped ones, top first.
    QList<WLViewController *> popToViewController(WLViewController *viewController, bool animated);
    QList<WLViewController *> popToRootViewControllerAnimated(bool animated);

    // The back button of the top screen: the back item's title of the
    // screen below, else that screen's title, else the localized "Back".
    // Empty when the top screen offers no way back.
    QString backButtonTitle() const;
    // The view's back button.
    Q_INVOKABLE void goBack() { popViewControllerAnimated(true); }
    // Alt+Left, Backspace and Escape go back, as the back button does.
    bool keyCommand(const WLKeyCommand &command) override;

    bool lastChangeAnimated() const { return mLastChangeAnimated; }
    bool lastChangeWasPush() const { return mLastChangeWasPush; }

Q_SIGNALS:
    void stackChanged();
    void backButtonChanged();

protected:
    WLViewController *childViewControllerForAppearance() const override { return topViewController(); }

private:
    void changeTop(WLViewController *from, WLViewController *to, bool animated,
                   const QList<WLViewController *> &removed, bool push);
    void finishTransition();
    void watchNavigationItems();
    QList<QObject *> viewControllerObjects() const;

    QList<QPointer<WLViewController>> mStack;
    // Screens whose appearance change waits for the end of the transition.
    QList<QPointer<WLViewController>> mTransitioning;
    QTimer mTransitionTimer;
    bool mLastChangeAnimated = false;
    bool mLastChangeWasPush = false;
    QList<QMetaObject::Connection> mItemConnections;
};

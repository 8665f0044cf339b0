#pragma once

#include "WLContainerView.h"
#include "WLViewController.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

// The one window: a root view, shown once made key and visible, and the
// modal screens presented over everything.
class WLWindow : public QObject
{
    Q_OBJECT
    Q_PROPERTY(WLContainerView *rootView READ rootView NOTIFY rootViewChanged)
    Q_PROPERTY(bool visible READ isVisible NOTIFY visibleChanged)
    Q_PROPERTY(QList<QObject *> modalViewControllers READ modalViewControllerObjects NOTIFY modalChanged)
    Q_PROPERTY(bool lastModalChangeAnimated READ lastModalChangeAnimated NOTIFY modalChanged)

public:
    static constexpr double kModalTransitionDuration = 0.3;

    explicit WLWindow(QObject *parent = nullptr);
    ~WLWindow() override;

    // The window made key last, while it exists.
    static WLWindow *keyWindow();

    WLContainerView *rootView() const { return mRootView; }
    void addSubview(WLContainerView *view);
    bool isVisible() const { return mVisible; }
    void makeKeyAndVisible();

    QList<WLViewController *> modalViewControllers() const;
    bool lastModalChangeAnimated() const { return mLastModalChangeAnimated; }

    // From WLViewController's modal presentation.
    void presentModal(WLViewController *viewController, bool animated);
    void dismissModal(WLViewController *viewController, bool animated);

Q_SIGNALS:
    void rootViewChanged();
    void visibleChanged();
    void modalChanged();

private:
    QList<QObject *> modalViewControllerObjects() const;
    // What the top modal screen covers: the one below it, else the root.
    void coverBelow(qsizetype index, bool appearing, bool animated);
    void finishModalTransition();

    QPointer<WLContainerView> mRootView;
    bool mVisible = false;
    QList<QPointer<WLViewController>> mModals;
    bool mLastModalChangeAnimated = false;
    QList<QPointer<WLViewController>> mTransitioning;
    QPointer<WLContainerView> mCoveredRoot;
    QTimer mModalTimer;
};

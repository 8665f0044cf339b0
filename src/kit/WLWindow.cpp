#include "WLWindow.h"

#include "WLContainerView.h"
#include "WLViewController.h"

#include <cmath>

namespace {
WLWindow *gKeyWindow = nullptr;

int milliseconds(double seconds)
{
    return int(std::lround(seconds * 1000));
}
} // namespace

WLWindow::WLWindow(QObject *parent) : QObject(parent)
{
    mModalTimer.setSingleShot(true);
    mModalTimer.setInterval(milliseconds(kModalTransitionDuration));
    connect(&mModalTimer, &QTimer::timeout, this, &WLWindow::finishModalTransition);
}

WLWindow::~WLWindow()
{
    if (gKeyWindow == this)
        gKeyWindow = nullptr;
}

WLWindow *WLWindow::keyWindow()
{
    return gKeyWindow;
}

void WLWindow::addSubview(WLContainerView *view)
{
    if (mRootView == view)
        return;
    if (mRootView && mVisible)
        mRootView->setOnScreen(false);
    mRootView = view;
    if (mRootView && mVisible)
        mRootView->setOnScreen(true);
    Q_EMIT rootViewChanged();
}

void WLWindow::makeKeyAndVisible()
{
    gKeyWindow = this;
    if (mVisible)
        return;
    mVisible = true;
    Q_EMIT visibleChanged();
    if (mRootView)
        mRootView->setOnScreen(true);
}

QList<WLViewController *> WLWindow::modalViewControllers() const
{
    QList<WLViewController *> result;
    for (const QPointer<WLViewController> &viewController : mModals) {
        if (viewController)
            result.append(viewController);
    }
    return result;
}

QList<QObject *> WLWindow::modalViewControllerObjects() const
{
    QList<QObject *> result;
    for (WLViewController *viewController : modalViewControllers())
        result.append(viewController);
    return result;
}

void WLWindow::coverBelow(qsizetype index, bool appearing, bool animated)
{
    if (index > 0) {
        if (WLViewController *below = mModals.value(index - 1)) {
            below->beginAppearanceTransition(appearing, animated);
            mTransitioning.append(below);
        }
    } else if (mRootView && mRootView->content()) {
        mRootView->content()->beginAppearanceTransition(appearing, animated);
        mTransitioning.append(mRootView->content());
    }
}

void WLWindow::presentModal(WLViewController *viewController, bool animated)
{
    finishModalTransition();
    mModals.append(viewController);
    mLastModalChangeAnimated = animated && mVisible;
    if (mVisible) {
        coverBelow(mModals.size() - 1, false, animated);
        viewController->beginAppearanceTransition(true, animated);
        mTransitioning.append(viewController);
    } else {
        viewController->loadViewIfNeeded();
    }
    Q_EMIT modalChanged();
    if (mLastModalChangeAnimated)
        mModalTimer.start();
    else
        finishModalTransition();
}

void WLWindow::dismissModal(WLViewController *viewController, bool animated)
{
    finishModalTransition();
    const qsizetype index = mModals.indexOf(viewController);
    if (index < 0)
        return;
    mLastModalChangeAnimated = animated && mVisible;
    if (mVisible) {
        viewController->beginAppearanceTransition(false, animated);
        mTransitioning.append(viewController);
        if (index == mModals.size() - 1)
            coverBelow(index, true, animated);
    }
    mModals.removeAt(index);
    Q_EMIT modalChanged();
    if (mLastModalChangeAnimated)
        mModalTimer.start();
    else
        finishModalTransition();
}

void WLWindow::finishModalTransition()
{
    mModalTimer.stop();
    const auto transitioning = std::exchange(mTransitioning, {});
    for (const QPointer<WLViewController> &viewController : transitioning) {
        if (viewController)
            viewController->endAppearanceTransition();
    }
}

#include "WLContainerView.h"

#include <cmath>

namespace {
int milliseconds(double seconds)
{
    return int(std::lround(seconds * 1000));
}
} // namespace

WLContainerView::WLContainerView(QObject *parent) : QObject(parent)
{
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, &WLContainerView::finishTransition);
}

void WLContainerView::addSubview(WLViewController *viewController)
{
    transition(mContent, viewController, NoTransition, 0);
}

void WLContainerView::removeSubview(WLViewController *viewController)
{
    if (contains(viewController))
        transition(viewController, nullptr, NoTransition, 0);
}

void WLContainerView::transition(WLViewController *from, WLViewController *to,
                                 Transition transition, double duration)
{
    finishTransition();
    if (from != mContent)
        from = nullptr;
    if (from == to)
        return;
    const bool animated = transition != NoTransition && duration > 0;
    if (mOnScreen && from)
        from->beginAppearanceTransition(false, animated);
    if (mOnScreen && to)
        to->beginAppearanceTransition(true, animated);
    mContent = to;
    mTransition = transition;
    mTransitionDuration = animated ? duration : 0;
    Q_EMIT contentChanged();
    if (!mOnScreen)
        return;
    mTransitioning = {from, to};
    if (animated)
        mTimer.start(milliseconds(duration));
    else
        finishTransition();
}

void WLContainerView::setOnScreen(bool onScreen)
{
    if (mOnScreen == onScreen)
        return;
    finishTransition();
    mOnScreen = onScreen;
    if (mContent) {
        mContent->beginAppearanceTransition(onScreen, false);
        mContent->endAppearanceTransition();
    }
}

void WLContainerView::finishTransition()
{
    mTimer.stop();
    const auto transitioning = std::exchange(mTransitioning, {});
    for (const QPointer<WLViewController> &viewController : transitioning) {
        if (viewController)
            viewController->endAppearanceTransition();
    }
}

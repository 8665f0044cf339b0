#include "WLNavigationController.h"

#include "WLBarButtonItem.h"
#include "WLLocalization.h"
#include "WLNavigationItem.h"

#include <cmath>

WLNavigationController::WLNavigationController(WLViewController *rootViewController,
                                               QObject *parent)
    : WLViewController(QStringLiteral("NavigationController"), parent)
{
    mTransitionTimer.setSingleShot(true);
    mTransitionTimer.setInterval(int(std::lround(kTransitionDuration * 1000)));
    connect(&mTransitionTimer, &QTimer::timeout, this, &WLNavigationController::finishTransition);
    if (rootViewController) {
        // The stack's tab is its root screen's.
        setTabBarItem(rootViewController->tabBarItem());
        rootViewController->setParentViewController(this);
        mStack.append(rootViewController);
    }
    watchNavigationItems();
}

WLNavigationController::~WLNavigationController()
{
    for (const QPointer<WLViewController> &viewController : std::as_const(mStack)) {
        if (viewController && viewController->parentViewController() == this)
            viewController->setParentViewController(nullptr);
    }
}

QList<WLViewController *> WLNavigationController::viewControllers() const
{
    QList<WLViewController *> result;
    for (const QPointer<WLViewController> &viewController : mStack) {
        if (viewController)
            result.append(viewController);
    }
    return result;
}

QList<QObject *> WLNavigationController::viewControllerObjects() const
{
    QList<QObject *> result;
    for (WLViewController *viewController : viewControllers())
        result.append(viewController);
    return result;
}

WLViewController *WLNavigationController::topViewController() const
{
    for (auto it = mStack.crbegin(); it != mStack.crend(); ++it) {
        if (*it)
            return *it;
    }
    return nullptr;
}

void WLNavigationController::pushViewController(WLViewController *viewController, bool animated)
{
    if (!viewController || viewController->parentViewController() || viewController == this)
        return;
    WLViewController *from = topViewController();
    // The screen below gives the way back; its items come with its view.
    if (from)
        from->loadViewIfNeeded();
    viewController->setParentViewController(this);
    mStack.append(viewController);
    changeTop(from, viewController, animated, {}, true);
}

WLViewController *WLNavigationController::popViewControllerAnimated(bool animated)
{
    const QList<WLViewController *> stack = viewControllers();
    if (stack.size() < 2)
        return nullptr;
    return popToViewController(stack.at(stack.size() - 2), animated).value(0);
}

QList<WLViewController *> WLNavigationController::popToViewController(
    WLViewController *viewController, bool animated)
{
    const QList<WLViewController *> stack = viewControllers();
    const qsizetype index = stack.indexOf(viewController);
    if (index < 0 || index == stack.size() - 1)
        return {};
    QList<WLViewController *> removed;
    for (qsizetype i = stack.size() - 1; i > index; --i)
        removed.append(stack.at(i));
    mStack.clear();
    for (qsizetype i = 0; i <= index; ++i)
        mStack.append(stack.at(i));
    changeTop(removed.first(), viewController, animated, removed, false);
    return removed;
}

QList<WLViewController *> WLNavigationController::popToRootViewControllerAnimated(bool animated)
{
    const QList<WLViewController *> stack = viewControllers();
    return stack.isEmpty() ? QList<WLViewController *>{} : popToViewController(stack.first(), animated);
}

void WLNavigationController::changeTop(WLViewController *from, WLViewController *to, bool animated,
                                       const QList<WLViewController *> &removed, bool push)
{
    // A change during a transition ends the earlier one first.
    finishTransition();
    const bool onScreen = isOnScreen();
    if (onScreen && from)
        from->beginAppearanceTransition(false, animated);
    if (onScreen && to)
        to->beginAppearanceTransition(true, animated);
    // A popped screen has left its container by the time it hears that it
    // disappeared.
    for (WLViewController *viewController : removed)
        viewController->setParentViewController(nullptr);

    mLastChangeAnimated = animated && onScreen;
    mLastChangeWasPush = push;
    watchNavigationItems();
    Q_EMIT stackChanged();
    Q_EMIT backButtonChanged();

    if (!onScreen)
        return;
    if (from)
        mTransitioning.append(from);
    if (to)
        mTransitioning.append(to);
    if (mLastChangeAnimated)
        mTransitionTimer.start();
    else
        finishTransition();
}

void WLNavigationController::finishTransition()
{
    mTransitionTimer.stop();
    const auto transitioning = std::exchange(mTransitioning, {});
    for (const QPointer<WLViewController> &viewController : transitioning) {
        if (viewController)
            viewController->endAppearanceTransition();
    }
}

bool WLNavigationController::keyCommand(const WLKeyCommand &command)
{
    const Qt::KeyboardModifiers modifiers = command.modifiers & ~Qt::KeypadModifier;
    const bool back = (command.key == Qt::Key_Left && modifiers == Qt::AltModifier) ||
                      ((command.key == Qt::Key_Backspace || command.key == Qt::Key_Escape) &&
                       modifiers == Qt::NoModifier);
    // Where the bar shows no way back, the key is left to the field that has
    // the focus.
    if (!back || backButtonTitle().isEmpty())
        return false;
    return popViewControllerAnimated(true) != nullptr;
}

QString WLNavigationController::backButtonTitle() const
{
    const QList<WLViewController *> stack = viewControllers();
    if (stack.size() < 2 || stack.last()->navigationItem()->hidesBackButton())
        return {};
    const WLNavigationItem *previous = stack.at(stack.size() - 2)->navigationItem();
    if (previous->backBarButtonItem() && !previous->backBarButtonItem()->title().isEmpty())
        return previous->backBarButtonItem()->title();
    if (!previous->title().isEmpty())
        return previous->title();
    return WLLocalization::localizedString("Back");
}

void WLNavigationController::watchNavigationItems()
{
    for (const QMetaObject::Connection &connection : std::as_const(mItemConnections))
        disconnect(connection);
    mItemConnections.clear();
    for (WLViewController *viewController : viewControllers()) {
        mItemConnections.append(connect(viewController->navigationItem(), &WLNavigationItem::changed,
                                        this, &WLNavigationController::backButtonChanged));
    }
}

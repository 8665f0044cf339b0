#include "WLViewController.h"

#include "WLBarButtonItem.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLScreen.h"
#include "WLTabBarController.h"
#include "WLWindow.h"

WLViewController::WLViewController(QString viewKind, QObject *parent)
    : QObject(parent), mViewKind(std::move(viewKind)), mNavigationItem(new WLNavigationItem(this))
{
}

WLViewController::~WLViewController() = default;

void WLViewController::loadViewIfNeeded()
{
    if (mViewLoaded)
        return;
    mViewLoaded = true;
    loadView();
    Q_EMIT viewLoadedChanged();
}

void WLViewController::setTitle(const QString &title)
{
    mNavigationItem->setTitle(title);
    if (mTitle == title)
        return;
    mTitle = title;
    Q_EMIT titleChanged();
}

WLNavigationController *WLViewController::navigationController() const
{
    for (WLViewController *parent = mParentViewController; parent;
         parent = parent->parentViewController()) {
        if (auto *navigation = qobject_cast<WLNavigationController *>(parent))
            return navigation;
    }
    return nullptr;
}

WLTabBarController *WLViewController::tabBarController() const
{
    for (WLViewController *parent = mParentViewController; parent;
         parent = parent->parentViewController()) {
        if (auto *tabBar = qobject_cast<WLTabBarController *>(parent))
            return tabBar;
    }
    return nullptr;
}

QSizeF WLViewController::viewSize() const
{
    QSizeF size = WLScreen::mainScreen()->applicationFrameSize();
    double height = size.height();
    // A modal screen covers the window; otherwise each container takes its bar.
    if (!mPresentingViewController) {
        if (navigationController())
            height -= WLScreen::kNavigationBarHeight;
        if (tabBarController())
            height -= WLScreen::kTabBarHeight;
    }
    size.setHeight(qMax(height, 0.0));
    return size;
}

void WLViewController::setEditing(bool editing, bool)
{
    if (mEditing == editing)
        return;
    mEditing = editing;
    if (mEditButtonItem) {
        mEditButtonItem->setSystemItem(editing ? WLBarButtonItem::Done : WLBarButtonItem::Edit);
        mEditButtonItem->setStyle(editing ? WLBarButtonItem::DoneStyle : WLBarButtonItem::Bordered);
    }
    Q_EMIT editingChanged();
}

WLBarButtonItem *WLViewController::editButtonItem()
{
    if (!mEditButtonItem) {
        mEditButtonItem = new WLBarButtonItem(
            mEditing ? WLBarButtonItem::Done : WLBarButtonItem::Edit,
            [this](WLBarButtonItem *) { setEditing(!mEditing, true); }, this);
        mEditButtonItem->setStyle(mEditing ? WLBarButtonItem::DoneStyle : WLBarButtonItem::Bordered);
    }
    return mEditButtonItem;
}

void WLViewController::presentModalViewController(WLViewController *viewController, bool animated)
{
    if (!viewController || mModalViewController || viewController->mPresentingViewController)
        return;
    WLWindow *window = WLWindow::keyWindow();
    if (!window)
        return;
    mModalViewController = viewController;
    viewController->mPresentingViewController = this;
    window->presentModal(viewController, animated);
}

void WLViewController::dismissModalViewControllerAnimated(bool animated)
{
    if (!mModalViewController && mPresentingViewController) {
        mPresentingViewController->dismissModalViewControllerAnimated(animated);
        return;
    }
    WLViewController *modal = mModalViewController;
    if (!modal)
        return;
    mModalViewController = nullptr;
    modal->mPresentingViewController = nullptr;
    if (WLWindow *window = WLWindow::keyWindow())
        window->dismissModal(modal, animated);
}

void WLViewController::setParentViewController(WLViewController *parent)
{
    mParentViewController = parent;
}

void WLViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    if (mOnScreen == appearing)
        return;
    if (appearing)
        loadViewIfNeeded();
    mOnScreen = appearing;
    mPendingAppearance = appearing;
    mPendingAnimated = animated;
    if (appearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
    if (WLViewController *child = childViewControllerForAppearance())
        child->beginAppearanceTransition(appearing, animated);
}

void WLViewController::endAppearanceTransition()
{
    if (!mPendingAppearance)
        return;
    const bool appeared = *mPendingAppearance;
    mPendingAppearance.reset();
    if (appeared)
        viewDidAppear(mPendingAnimated);
    else
        viewDidDisappear(mPendingAnimated);
    if (WLViewController *child = childViewControllerForAppearance())
        child->endAppearanceTransition();
}

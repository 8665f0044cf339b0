#include "WLTabBarController.h"

#include "WLLocalization.h"
#include "WLResources.h"

#include <QVariantMap>

WLTabBarController::WLTabBarController(QObject *parent)
    : WLViewController(QStringLiteral("TabBarController"), parent)
{
}

WLTabBarController::~WLTabBarController()
{
    for (const QPointer<WLViewController> &viewController : std::as_const(mViewControllers)) {
        if (viewController && viewController->parentViewController() == this)
            viewController->setParentViewController(nullptr);
    }
}

void WLTabBarController::setViewControllers(const QList<WLViewController *> &viewControllers)
{
    WLViewController *old = selectedViewController();
    if (old && isOnScreen()) {
        old->beginAppearanceTransition(false, false);
        old->endAppearanceTransition();
    }
    for (const QPointer<WLViewController> &viewController : std::as_const(mViewControllers)) {
        if (viewController && viewController->parentViewController() == this)
            viewController->setParentViewController(nullptr);
    }
    mViewControllers.clear();
    for (WLViewController *viewController : viewControllers) {
        viewController->setParent(this);
        viewController->setParentViewController(this);
        mViewControllers.append(viewController);
    }
    mSelectedIndex = mViewControllers.isEmpty() ? -1 : 0;
    Q_EMIT viewControllersChanged();
    Q_EMIT selectedIndexChanged();
    if (WLViewController *selected = selectedViewController(); selected && isOnScreen()) {
        selected->beginAppearanceTransition(true, false);
        selected->endAppearanceTransition();
    }
}

QList<WLViewController *> WLTabBarController::viewControllers() const
{
    QList<WLViewController *> result;
    for (const QPointer<WLViewController> &viewController : mViewControllers) {
        if (viewController)
            result.append(viewController);
    }
    return result;
}

QList<QObject *> WLTabBarController::viewControllerObjects() const
{
    QList<QObject *> result;
    for (WLViewController *viewController : viewControllers())
        result.append(viewController);
    return result;
}

WLViewController *WLTabBarController::selectedViewController() const
{
    return mViewControllers.value(mSelectedIndex);
}

void WLTabBarController::setSelectedViewController(WLViewController *viewController)
{
    for (qsizetype i = 0; i < mViewControllers.size(); ++i) {
        if (mViewControllers.at(i) == viewController) {
            setSelectedIndex(int(i));
            return;
        }
    }
}

void WLTabBarController::setSelectedIndex(int index)
{
    if (index < 0 || index >= mViewControllers.size() || index == mSelectedIndex)
        return;
    WLViewController *from = selectedViewController();
    WLViewController *to = mViewControllers.at(index);
    const bool onScreen = isOnScreen();
    if (onScreen && from)
        from->beginAppearanceTransition(false, false);
    if (onScreen && to)
        to->beginAppearanceTransition(true, false);
    mSelectedIndex = index;
    Q_EMIT selectedIndexChanged();
    if (onScreen && from)
        from->endAppearanceTransition();
    if (onScreen && to)
        to->endAppearanceTransition();
}

void WLTabBarController::selectTab(int index)
{
    if (index < 0 || index >= mViewControllers.size() || !mViewControllers.at(index))
        return;
    setSelectedIndex(index);
    if (mDelegate)
        mDelegate->tabBarControllerDidSelectViewController(this, mViewControllers.at(index));
}

bool WLTabBarController::keyCommand(const WLKeyCommand &command)
{
    const Qt::KeyboardModifiers modifiers = command.modifiers & ~Qt::KeypadModifier;
    if (modifiers != Qt::AltModifier || command.key < Qt::Key_1 || command.key > Qt::Key_9)
        return false;
    const int index = command.key - Qt::Key_1;
    if (index >= mViewControllers.size())
        return false;
    selectTab(index);
    return true;
}

QVariantList WLTabBarController::tabs() const
{
    QVariantList result;
    for (WLViewController *viewController : viewControllers()) {
        const WLTabBarItem item = viewController->tabBarItem();
        QString title = item.title;
        QString image = item.imageName;
        // A stock item brings its own word and picture.
        switch (item.systemItem) {
        case WLTabBarSystemItem::Search:
            title = WLLocalization::localizedString("Search");
            image = QStringLiteral("TabSearch.png");
            break;
        case WLTabBarSystemItem::Bookmarks:
            title = WLLocalization::localizedString("Bookmarks");
            image = QStringLiteral("TabBookmarks.png");
            break;
        case WLTabBarSystemItem::History:
            title = WLLocalization::localizedString("History");
            image = QStringLiteral("TabHistory.png");
            break;
        case WLTabBarSystemItem::None:
            break;
        }
        // The selected look is a picture of its own beside the plain one.
        QString selectedImage = image;
        if (const qsizetype dot = image.lastIndexOf(u'.'); dot > 0)
            selectedImage = image.left(dot) + QStringLiteral("-selected") + image.mid(dot);
        const QString selectedURL = WLResources::imageURLNamed(selectedImage);
        const QString imageURL = WLResources::imageURLNamed(image);
        result.append(QVariantMap{{QStringLiteral("title"), title},
                                  {QStringLiteral("image"), imageURL},
                                  {QStringLiteral("selectedImage"), selectedURL.isEmpty() ? imageURL : selectedURL},
                                  {QStringLiteral("tag"), item.tag}});
    }
    return result;
}

#pragma once

#include "WLViewController.h"

#include <QList>
#include <QVariantList>

class WLTabBarController;

class WLTabBarControllerDelegate
{
public:
    virtual ~WLTabBarControllerDelegate() = default;
    // After the user chose a tab, also the one already selected.
    virtual void tabBarControllerDidSelectViewController(WLTabBarController *tabBarController,
                                                         WLViewController *viewController) = 0;
};

// Tabs along the bottom, one screen each; the selected one is shown. The
// tab bar owns the screens given to it.
class WLTabBarController : public WLViewController
{
    Q_OBJECT
    Q_PROPERTY(QList<QObject *> viewControllers READ viewControllerObjects NOTIFY viewControllersChanged)
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY selectedIndexChanged)
    Q_PROPERTY(QVariantList tabs READ tabs NOTIFY viewControllersChanged)

public:
    explicit WLTabBarController(QObject *parent = nullptr);
    ~WLTabBarController() override;

    void setDelegate(WLTabBarControllerDelegate *delegate) { mDelegate = delegate; }
    WLTabBarControllerDelegate *delegate() const { return mDelegate; }

    // Takes the screens over; selects the first.
    void setViewControllers(const QList<WLViewController *> &viewControllers);
    QList<WLViewController *> viewControllers() const;

    int selectedIndex() const { return mSelectedIndex; }
    WLViewController *selectedViewController() const;
    // Programmatic selection: the delegate is not told.
    void setSelectedViewController(WLViewController *viewController);
    void setSelectedIndex(int index);

    // The view's tap on a tab: selects it and tells the delegate.
    Q_INVOKABLE void selectTab(int index);

    // For the view: per tab, its title, picture (a URL) and stock item.
    QVariantList tabs() const;

    // Alt+1 to Alt+9 choose a tab, as a tap on it would.
    bool keyCommand(const WLKeyCommand &command) override;

Q_SIGNALS:
    void viewControllersChanged();
    void selectedIndexChanged();

protected:
    WLViewController *childViewControllerForAppearance() const override
    {
        return selectedViewController();
    }

private:
    QList<QObject *> viewControllerObjects() const;

    QList<QPointer<WLViewController>> mViewControllers;
    int mSelectedIndex = -1;
    WLTabBarControllerDelegate *mDelegate = nullptr;
};

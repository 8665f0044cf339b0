#pragma once

#include "WLNavigationItem.h"

#include "WLTabBarItem.h"

#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <optional>

class WLBarButtonItem;

// A key the user pressed, as the window saw it: Qt's key code, its
// modifiers and the text it types.
struct WLKeyCommand {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
};
class WLNavigationController;
class WLTabBarController;

// A screen: the model behind one view of the window. Its view is built
// lazily by loadView() the first time it is needed; the views in QML draw
// what the controller builds ("viewKind" names the component that draws
// it) and forward user events to it.
//
// Containers (navigation stacks, the tab bar, the window) tell a screen when
// it comes on and goes off screen, in the platform's order: the will-calls
// when a change starts, the did-calls when it has finished (at once when
// not animated, after the transition's duration otherwise).
//
// Threading: main thread only.
class WLViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString viewKind READ viewKind CONSTANT)
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(WLNavigationItem *navigationItem READ navigationItem CONSTANT)
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)
    Q_PROPERTY(bool viewLoaded READ isViewLoaded NOTIFY viewLoadedChanged)
    Q_PROPERTY(bool overlaysContent READ overlaysContent CONSTANT)

public:
    explicit WLViewController(QString viewKind = {}, QObject *parent = nullptr);
    ~WLViewController() override;

    QString viewKind() const { return mViewKind; }

    // Builds the view once.
    void loadViewIfNeeded();
    bool isViewLoaded() const { return mViewLoaded; }

    // Also the navigation item's title.
    QString title() const { return mTitle; }
    void setTitle(const QString &title);
    WLNavigationItem *navigationItem() const { return mNavigationItem; }
    WLTabBarItem tabBarItem() const { return mTabBarItem; }
    void setTabBarItem(const WLTabBarItem &item) { mTabBarItem = item; }

    // The container that shows this screen: a navigation stack or the tab
    // bar; nothing when it stands alone.
    WLViewController *parentViewController() const { return mParentViewController; }
    // The nearest navigation stack above this screen.
    WLNavigationController *navigationController() const;
    WLTabBarController *tabBarController() const;

    // The size of the area the containers give this screen's view.
    QSizeF viewSize() const;

    bool isEditing() const { return mEditing; }
    virtual void setEditing(bool editing, bool animated);
    // The platform's Edit/Done toggle bound to the editing state.
    WLBarButtonItem *editButtonItem();

    // Modal screens cover the whole window; one that overlays the content
    // (an alert, a progress box) leaves what is under it in sight.
    void presentModalViewController(WLViewController *viewController, bool animated);
    bool overlaysContent() const { return mOverlaysContent; }
    // On the presenting screen or on the presented one.
    void dismissModalViewControllerAnimated(bool animated);
    WLViewController *modalViewController() const { return mModalViewController; }
    WLViewController *presentingViewController() const { return mPresentingViewController; }

    bool isOnScreen() const { return mOnScreen; }

    // A key pressed while this screen is on top; true when it acted on it
    // (the key then goes no further).
    virtual bool keyCommand(const WLKeyCommand &) { return false; }

    // Containers only.
    void setParentViewController(WLViewController *parent);
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();

Q_SIGNALS:
    void titleChanged();
    void editingChanged();
    void viewLoadedChanged();

protected:
    void setOverlaysContent(bool overlays) { mOverlaysContent = overlays; }
    virtual void loadView() {}
    virtual void viewWillAppear(bool) {}
    virtual void viewDidAppear(bool) {}
    virtual void viewWillDisappear(bool) {}
    virtual void viewDidDisappear(bool) {}
    // The child a container shows now, which appears and disappears with it.
    virtual WLViewController *childViewControllerForAppearance() const { return nullptr; }

private:
    friend class WLWindow;

    QString mViewKind;
    bool mViewLoaded = false;
    QString mTitle;
    WLNavigationItem *mNavigationItem;
    WLTabBarItem mTabBarItem;
    QPointer<WLViewController> mParentViewController;
    bool mEditing = false;
    QPointer<WLBarButtonItem> mEditButtonItem;
    QPointer<WLViewController> mModalViewController;
    QPointer<WLViewController> mPresentingViewController;
    bool mOnScreen = false;
    bool mOverlaysContent = false;
    // The transition under way: true while appearing, false while going.
    std::optional<bool> mPendingAppearance;
    bool mPendingAnimated = false;
};

#include "WLKeyRouter.h"

#include "WLContainerView.h"
#include "WLNavigationController.h"
#include "WLSearchViewController.h"
#include "WLTabBarController.h"
#include "WLTableViewController.h"
#include "WLWindow.h"

WLKeyRouter::WLKeyRouter(WLWindow *window, WLContainerView *containerView,
                         WLNavigationController *searchTab, WLSearchViewController *searchScreen)
    : mWindow(window), mContainerView(containerView), mSearchTab(searchTab), mSearchScreen(searchScreen)
{
}

bool WLKeyRouter::route(const WLKeyCommand &command) const
{
    if (!mWindow || !mWindow->isVisible())
        return false;
    const QList<WLViewController *> modals = mWindow->modalViewControllers();
    if (!modals.isEmpty())
        return modals.last()->keyCommand(command);
    WLViewController *content = mContainerView ? mContainerView->content() : nullptr;
    if (auto *tabBar = qobject_cast<WLTabBarController *>(content)) {
        // Its own keys (Alt and a number) before the selected tab's.
        if (tabBar->keyCommand(command))
            return true;
        content = tabBar->selectedViewController();
    }
    if (!content)
        return false;
    WLViewController *top = content;
    if (auto *navigation = qobject_cast<WLNavigationController *>(content)) {
        top = navigation->topViewController();
        if (top && top->keyCommand(command))
            return true;
    }
    if (content->keyCommand(command))
        return true;
    // Over another list of the tabs (Index, Bookmarks, History); the Search
    // list's own keys are its own.
    return top != mSearchScreen && qobject_cast<WLTableViewController *>(top) &&
           content->tabBarController() && startSearch(command);
}

bool WLKeyRouter::startSearch(const WLKeyCommand &command) const
{
    if (!mSearchTab || !mSearchScreen || (command.modifiers & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const bool find = command.key == Qt::Key_F && command.modifiers == Qt::ControlModifier;
    const bool plain = !(command.modifiers & Qt::ControlModifier) && !command.text.isEmpty();
    const bool letter = plain && WLSearchViewController::startsSearch(command.text);
    if (!find && !letter && !(plain && command.text == u"/"))
        return false;
    WLTabBarController *tabs = mSearchTab->tabBarController();
    if (!tabs)
        return false;
    // As a tap on the tab would: an entry open on this tab leaves it.
    tabs->selectTab(int(tabs->viewControllers().indexOf(mSearchTab)));
    mSearchTab->popToRootViewControllerAnimated(false);
    if (letter)
        mSearchScreen->searchForTypedText(command.text);
    else
        mSearchScreen->focusSearchField();
    return true;
}

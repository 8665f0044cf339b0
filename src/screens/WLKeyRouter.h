#pragma once

#include "WLViewController.h"

class WLContainerView;
class WLNavigationController;
class WLSearchViewController;
class WLWindow;

// Where a key pressed in the window goes: to the top modal screen, else to
// the top screen of what the window shows (the selected tab's stack, or
// the About stack), then to that stack. A key that starts a search over a
// list (a letter, "/", Ctrl+F) that none of them takes goes to the Search
// tab's field.
//
// Threading: main thread only.
class WLKeyRouter
{
public:
    WLKeyRouter(WLWindow *window, WLContainerView *containerView, WLNavigationController *searchTab,
                WLSearchViewController *searchScreen);

    // True when a screen acted on the key.
    bool route(const WLKeyCommand &command) const;

private:
    bool startSearch(const WLKeyCommand &command) const;

    WLWindow *mWindow;
    WLContainerView *mContainerView;
    WLNavigationController *mSearchTab;
    WLSearchViewController *mSearchScreen;
};

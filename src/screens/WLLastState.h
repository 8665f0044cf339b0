#pragma once

class WLSearchViewController;
class WLTabBarController;

// Where the reader was: the selected tab, the entry on screen and the
// search keyword, kept in the user defaults as they change and restored at
// the next start. Reports go out as the application delegate's
// readPreference and writePreference, whose steps these are.
//
// Threading: main thread only.
class WLLastState
{
public:
    WLLastState(WLTabBarController *tabBarController, WLSearchViewController *searchScreen)
        : mTabBarController(tabBarController), mSearchScreen(searchScreen)
    {
    }

    // Selects the last tab, shows the last entry on it and gives the
    // Search tab its last keyword.
    void restore() const;
    // All three.
    void write() const;
    // The entry the shared viewer shows while it is on a stack; none else.
    void writeLastEntry() const;
    void writeLastTab() const;
    void writeLastSearchKeyword() const;

private:
    WLTabBarController *mTabBarController;
    WLSearchViewController *mSearchScreen;
};

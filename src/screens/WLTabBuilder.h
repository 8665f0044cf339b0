#pragma once

#include <memory>

class WLAboutPresenter;
class WLDatabase;
class WLNavigationController;

// Makes the four list tabs of a dictionary the one way they are all made:
// a data source over the dictionary (or the user's store) in the text
// colour the dictionary gives that tab (else its general one), a list
// screen of the tab's class on it, the tab's background (its own, else the
// general one), and a navigation stack holding the screen. Reports go out
// as the application delegate's tab makers, whose work this is.
//
// Threading: main thread only.
class WLTabBuilder
{
public:
    WLTabBuilder(WLDatabase *database, WLAboutPresenter *aboutPresenter)
        : mDatabase(database), mAboutPresenter(aboutPresenter)
    {
    }

    // Nothing (after the report) without a dictionary or when a part
    // cannot be made.
    std::unique_ptr<WLNavigationController> indexTab() const;
    std::unique_ptr<WLNavigationController> searchTab() const;
    std::unique_ptr<WLNavigationController> bookmarksTab() const;
    std::unique_ptr<WLNavigationController> historyTab() const;

private:
    template <typename Recipe>
    std::unique_ptr<WLNavigationController> build() const;

    WLDatabase *mDatabase;
    WLAboutPresenter *mAboutPresenter;
};

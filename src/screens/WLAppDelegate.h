#pragma once

#include "WLWindow.h"

#include "WLAboutPresenter.h"
#include "WLTabBarController.h"

#include <QObject>
#include <QString>

#include <memory>

class WLAddBookmarkViewController;
class WLContainerView;
class WLDatabase;
class WLDictionaryAdding;
class WLDictionaryHost;
class WLKeyRouter;
class WLLastState;
class WLNavigationController;
class WLSearchViewController;
class WLWebViewController;
class WLWordLookUp;

// Starts and stops the reader: opens the one dictionary, builds the window
// with its four tabs (Index, Search, Bookmarks, History), the shared entry
// viewer and bookmark editor, registers the default preferences, restores
// the last tab, entry and search keyword, and shows the window; at the end
// it saves, then tears everything down in a fixed order. The window's
// parts it makes are kept by parts of their own: the tabs (WLTabBuilder),
// the last state (WLLastState), the look-up of a word (WLWordLookUp) and
// the keys (WLKeyRouter).
//
// Threading: main thread only.
class WLAppDelegate : public QObject, public WLTabBarControllerDelegate, public WLAboutPresenter
{
    Q_OBJECT
    Q_PROPERTY(WLWindow *window READ window NOTIFY windowChanged)
    Q_PROPERTY(QString openingFailure READ openingFailure NOTIFY windowChanged)
    Q_PROPERTY(QString title READ title NOTIFY windowChanged)

public:
    // The tags of the four tabs.
    static constexpr int kIndexTabTag = 100;
    static constexpr int kSearchTabTag = 101;
    static constexpr int kBookmarksTabTag = 102;
    static constexpr int kHistoryTabTag = 103;

    explicit WLAppDelegate(QObject *parent = nullptr);
    ~WLAppDelegate() override;

    // The start sequence.
    void applicationDidFinishLaunching();
    // The stop sequence; only the first call does anything.
    void applicationWillTerminate();

    bool prepareDatabase();
    void cleanupDatabase();
    bool prepareUserInterface();
    void showUserInterface();
    void cleanupUserInterface();
    void registerPreference();
    void readPreference();
    void writePreference();

    // Owned by the caller; nothing (after the report) without a dictionary.
    std::unique_ptr<WLNavigationController> createIndexNavigationController();
    std::unique_ptr<WLNavigationController> createSearchNavigationController();
    std::unique_ptr<WLNavigationController> createBookmarksNavigationController();
    std::unique_ptr<WLNavigationController> createHistoryNavigationController();
    // The About screen's stack, its picture in place.
    std::unique_ptr<WLNavigationController> createAboutNavigationController();

    // Shows the entry of the word's first whole-word match on the Search
    // tab, else the Search tab searching for the word.
    void lookUpWord(const QString &word);

    // Who opens dictionaries in the window; set before the start sequence.
    void setDictionaryHost(WLDictionaryHost *host) { mDictionaryHost = host; }
    // Adds the dictionary of a file or folder the user chose or dropped,
    // with its progress over the window, and opens it.
    void addDictionary(const QString &path);

    // Flip between the tab bar and the About stack, made on first use and
    // kept with whatever was last pushed on it.
    void showAbout(QObject *sender) override;
    void hideAbout(QObject *sender) override;
    WLNavigationController *aboutNavigationController() const { return mAboutNavigationController.get(); }
    static constexpr double kFlipDuration = 1.0;

    // A key pressed in the window: offered to the top modal screen, else to
    // the top screen of the selected tab, then to the tab's stack. True
    // when one of them acted on it.
    bool handleKeyCommand(const WLKeyCommand &command);

    void tabBarControllerDidSelectViewController(WLTabBarController *tabBarController,
                                                 WLViewController *viewController) override;

    WLWindow *window() const { return mWindow.get(); }
    WLTabBarController *tabBarController() const { return mTabBarController.get(); }
    WLDatabase *database() const { return mDatabase.get(); }
    WLContainerView *containerView() const { return mContainerView.get(); }
    // Why the dictionary did not open, for the window; empty when it did.
    QString openingFailure() const { return mOpeningFailure; }
    // The dictionary's title, for the window.
    QString title() const;

Q_SIGNALS:
    void windowChanged();

private:
    // The Search tab's stack and its screen.
    WLNavigationController *searchTab() const;
    WLSearchViewController *searchScreen() const;

    std::unique_ptr<WLWindow> mWindow;
    std::unique_ptr<WLContainerView> mContainerView;
    std::unique_ptr<WLTabBarController> mTabBarController;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLWebViewController> mWebViewController;
    std::unique_ptr<WLAddBookmarkViewController> mAddBookmarkViewController;
    std::unique_ptr<WLNavigationController> mAboutNavigationController;
    std::unique_ptr<WLLastState> mLastState;
    std::unique_ptr<WLWordLookUp> mWordLookUp;
    std::unique_ptr<WLKeyRouter> mKeyRouter;
    WLDictionaryHost *mDictionaryHost = nullptr;
    std::unique_ptr<WLDictionaryAdding> mDictionaryAdding;
    QString mOpeningFailure;
    bool mTerminated = false;
};

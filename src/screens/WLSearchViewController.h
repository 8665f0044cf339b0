#pragma once

#include "WLNotificationCenter.h"
#include "WLSearchBar.h"
#include "WLTableViewController.h"

#include <QTimer>

#include <optional>

class WLSearchDataSource;

// The Search tab's screen: a search bar in the navigation bar over the
// results of its keyword in titled sections. Every change of the text is
// handed to the search worker at once, and the list follows the worker's
// snapshots. The keyword current when editing began is kept, so Cancel can
// bring it back; a keyword can be given to show and search when the screen
// next comes on screen.
class WLSearchViewController : public WLTableViewController, public WLSearchBarDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLSearchBar *searchBar READ searchBar NOTIFY viewLoadedChanged)
    Q_PROPERTY(QString resultsSummary READ resultsSummary NOTIFY resultsSummaryChanged)

public:
    static constexpr double kSearchBarInset = 26;
    static constexpr double kAnimationDuration = 0.2;
    // After coming on screen: the given keyword is searched, then the
    // field takes the keyboard focus.
    static constexpr double kInitialKeywordDelay = 0.1;
    static constexpr double kFocusDelay = 0.2;

    ~WLSearchViewController() override;

    WLSearchBar *searchBar() const { return mSearchBar; }

    std::optional<QString> initialKeyword() const { return mInitialKeyword; }
    void setInitialKeyword(const std::optional<QString> &keyword) { mInitialKeyword = keyword; }
    // The keyword still waiting to be applied, else the search bar's text.
    QString nextInitialKeyword() const;

    // What the results on show come to, for a screen reader: how many
    // matches, or none ("Did you mean" rows are no matches); empty while
    // the field is.
    QString resultsSummary() const { return mResultsSummary; }

    std::optional<QString> currentKeyword() const { return mCurrentKeyword; }
    std::optional<QString> savedKeyword() const { return mSavedKeyword; }

    void searchResultDidUpdate(const WLNotification &notification);
    // Hands a keyword to the worker unless it is the current one; nothing
    // or an empty one clears the results.
    void updateWordListForKeyword(const std::optional<QString> &keyword);

    // Typed over a list, the text begins a search: a letter, a digit or a
    // wildcard.
    static bool startsSearch(const QString &typed);
    // A new search begun from the keyboard (a letter typed over a list),
    // or only the field given the focus.
    void searchForTypedText(const QString &text);
    // Shows the keyword in the bar and searches it at once if the screen is
    // on screen, else when it next comes on screen.
    void searchKeyword(const QString &keyword);
    void focusSearchField();

    void searchBarTextDidChange(WLSearchBar *searchBar, const QString &text) override;
    bool searchBarShouldBeginEditing(WLSearchBar *searchBar) override;
    void searchBarTextDidEndEditing(WLSearchBar *searchBar) override;
    void searchBarSearchButtonClicked(WLSearchBar *searchBar) override;
    void searchBarCancelButtonClicked(WLSearchBar *searchBar) override;

    // Escape is Cancel, Up and Down walk the results and Return opens the
    // one chosen; a letter typed while the field has no focus starts a
    // new search, and Ctrl+F or "/" give the field the focus.
    bool keyCommand(const WLKeyCommand &command) override;

Q_SIGNALS:
    void resultsSummaryChanged();

protected:
    friend class WLTableViewController;
    explicit WLSearchViewController(std::unique_ptr<WLDataSourceProtocol> dataSource);

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    WLSearchDataSource *searchDataSource() const;
    QRectF fullWidthFrame() const;
    // Snapshots that arrive together are drawn once.
    void scheduleReload();
    void reloadIfChanged();
    void selectAdjacentRow(int step);
    void updateResultsSummary();

    WLSearchBar *mSearchBar = nullptr;
    WLBarButtonItem *mInfoButtonItem = nullptr;
    std::optional<QString> mCurrentKeyword;
    std::optional<QString> mSavedKeyword;
    std::optional<QString> mInitialKeyword;
    WLObserverToken mSearchObserver;
    QTimer mReloadTimer;
    quint64 mReloadedRevision = 0;
    QString mResultsSummary;
};

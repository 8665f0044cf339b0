#include "WLWordLookUp.h"

#include "WLNavigationController.h"
#include "WLSearchSession.h"
#include "WLSearchViewController.h"

WLWordLookUp::WLWordLookUp(WLNavigationController *searchTab, WLSearchViewController *searchScreen,
                           WLSearchSession *session)
    : mSearchTab(searchTab), mSearchScreen(searchScreen), mSession(session)
{
}

void WLWordLookUp::lookUp(const QString &word)
{
    if (!mSearchTab || !mSearchScreen || !mSession || word.isEmpty())
        return;
    mSearchTab->popToRootViewControllerAnimated(false);
    mWord = word;
    // The list hears the results first and shows their rows; then the
    // first whole-word row, once there, is opened.
    mObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLSearchResultsDidChangeNotification, mSession,
        [this](const WLNotification &) { resultsDidChange(); });
    mSearchScreen->searchKeyword(word);
}

void WLWordLookUp::resultsDidChange()
{
    const WLSearchResults results = mSession->results();
    if (results.keyword != mWord)
        return;
    if (const std::optional<WLSearchResult> match = results.firstWholeWordMatch()) {
        mObserver.reset();
        // The row as the list would open it when tapped.
        QString word;
        QVariantList links;
        QVariantList contentsIDs;
        const WLDataSourceProtocol *rows = mSearchScreen->dataSource();
        if (rows && rows->getWord(&word, &links, &contentsIDs, {0, 0}) && word == match->word &&
            mSearchTab->topViewController() == mSearchScreen)
            mSearchScreen->showWord(word, links, contentsIDs, false);
        return;
    }
    // No whole word: the partial matches stay on show.
    if (results.finished)
        mObserver.reset();
}

#pragma once

#include "WLNotificationCenter.h"

#include <QString>

class WLNavigationController;
class WLSearchSession;
class WLSearchViewController;

// `wlreader WORD` and a word handed over by a later start: the Search tab
// shows the word's search, and its first whole-word match opens as soon as
// the search has one. Without one the results stay on show.
//
// Threading: main thread only.
class WLWordLookUp
{
public:
    // The Search tab's stack and screen, and the search they show.
    WLWordLookUp(WLNavigationController *searchTab, WLSearchViewController *searchScreen,
                 WLSearchSession *session);

    // The caller has made the Search tab the selected one.
    void lookUp(const QString &word);

private:
    void resultsDidChange();

    WLNavigationController *mSearchTab;
    WLSearchViewController *mSearchScreen;
    WLSearchSession *mSession;
    // The word being looked up, until its match shows or its search ends.
    QString mWord;
    WLObserverToken mObserver;
};

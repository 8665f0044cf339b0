#pragma once

#include "WLConditionLock.h"
#include "WLDatabase.h"
#include "WLDatabasePart.h"
#include "WLIndexRange.h"
#include "WLMainThread.h"
#include "WLSearchResult.h"
#include "WLSqlite.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class WLSearchSuggestions;

// Posted (object: the dictionary) when the worker's results arrive; its
// userInfo is a WLSearchUpdate.
extern const QString WLDatabaseSearchedWordsUpdate;
// Posted (object: the session) whenever results() changes.
extern const QString WLSearchResultsDidChangeNotification;

// The dictionary's search: the two search tables with their letter
// indexes, the worker thread that runs the queries, and what the search
// shows. A part of the dictionary object: its tables open after the
// headword list, its worker last of all, and it is gone with the
// dictionary.
//
// searchKeyword() hands a keyword over and never waits; results() is the
// newest keyword's results as one immutable value, each section with its
// kind. Results of a keyword that has since been replaced change nothing:
// what is shown stays until the new keyword's first results, and a half
// that still holds an older keyword's rows is left out next to the new
// keyword's other half. When a keyword finds nothing, a few close headwords
// follow as "did you mean".
//
// Underneath, the worker's own interface: setSearchKeywordOnThread() (which
// may wait), its snapshots stored on the main thread, and the sections of
// the last snapshots stored.
//
// Threading: made, used and destroyed on the main thread; the worker is
// the only other thread and shares only the hand-over (under the lock),
// three flags, and snapshots that never change once handed over.
class WLSearchSession final : public WLDatabasePart
{
public:
    // The search of a dictionary, or nothing.
    static WLSearchSession *of(const WLDatabase &database) { return database.part<WLSearchSession>(); }

    explicit WLSearchSession(WLDatabase &database);
    ~WLSearchSession() override;

    bool prepare(Stage stage, const QVariantMap &info) override;
    void cleanup(Stage stage) override;

    // ---- What the search shows ----------------------------------------------

    // Hands a keyword to the worker; an empty one clears the results. While
    // the worker has not yet taken the last keyword, the newest one waits
    // here instead, so the caller never waits for a search in progress.
    void searchKeyword(const QString &keyword);
    WLSearchResults results() const { return mShown.results; }
    // Grows whenever results() changes; since revision the rows were only
    // added at the ends of sections (and sections after the last) unless
    // rowsOnlyAddedSince() says otherwise.
    quint64 revision() const { return mRevision; }
    bool rowsOnlyAddedSince(quint64 revision) const { return mReplacedRevision <= revision; }
    // The last keywords handed to the worker; for tests.
    QStringList handedKeywords() const { return mHandedKeywords; }

    // ---- Tables ---------------------------------------------------------------

    // Only the partial-match table is required; the others leave their
    // feature absent.
    bool prepareSearchDatabase(const QVariantMap &info);
    void cleanupSearchDatabase();
    bool prepareSearchIndex(const QVariantMap &info);
    void cleanupSearchIndex();
    bool prepareEqualSearchDatabase(const QVariantMap &info);
    void cleanupEqualSearchDatabase();
    bool prepareEqualSearchIndex(const QVariantMap &info);
    void cleanupEqualSearchIndex();

    const std::optional<WLIndexRangeArray> &searchIndexRangeArray() const { return mSearchIndexRangeArray; }
    const std::optional<WLIndexRangeArray> &equalSearchIndexRangeArray() const
    {
        return mEqualSearchIndexRangeArray;
    }

    // ---- Worker ---------------------------------------------------------------

    // Process-wide, before any dictionary opens: no worker thread; each
    // keyword is searched on the main thread when it is handed over, and its
    // snapshots still arrive through the event loop, in the same order. For
    // a one-shot program that only waits for the answer, which would
    // otherwise also wait for the worker to be scheduled, and for itself.
    static void setSearchOnCallingThread(bool onCallingThread);

    bool startSearchThread();
    void stopSearchThread();

    // Main thread. Hands a keyword to the worker and returns at once, unless
    // an earlier keyword is still waiting to be taken. A newer keyword
    // cancels the partial-match search in progress; an empty one clears all
    // results.
    void setSearchKeywordOnThread(const QString &keyword);

    // Main thread, at the worker's request: store a result snapshot (both
    // halves, the whole words, the partial matches; a half without rows
    // clears it) and post WLDatabaseSearchedWordsUpdate with the snapshot's
    // WLSearchUpdate as userInfo. Every keyword the worker takes ends with
    // an update marked finished, after all of its snapshots.
    void setSearchResultsOnMainThread(const WLSearchSnapshot &snapshot);
    void setSearchEqualResultsOnMainThread(const WLSearchSnapshot &snapshot);
    void setSearchKeywordResultsOnMainThread(const WLSearchSnapshot &snapshot);

    // ---- The snapshots stored, as sections --------------------------------

    // Whole words first, partial matches second; always at least one
    // (possibly empty, untitled) section. Each call reads one stored row.
    uint searchSectionCount() const;
    QString searchSectionNameAtIndex(uint section) const;
    uint itemCountOfSearchSectionAtIndex(uint section) const;
    QString itemNameAtIndexOfSearchSectionAtIndex(uint item, uint section) const;
    QString itemLinksAtIndexOfSearchSectionAtIndex(uint item, uint section) const;
    // Integers; nothing for a missing item or an unreadable ID list.
    std::optional<QVariantList> itemContentsIDsAtIndexOfSearchSectionAtIndex(uint item,
                                                                             uint section) const;

private:
    // One keyword handed to the worker, until it has finished.
    struct HandOver {
        quint64 number = 0;
        QString keyword;
        bool taken = false;
    };
    // What one hand-over shows: each half once its first snapshot arrived.
    struct Shown {
        quint64 handOver = 0;
        std::optional<QList<WLSearchResult>> wholeWords;
        std::optional<QList<WLSearchResult>> partialMatches;
        QList<WLSearchResult> suggestions;
        WLSearchResults results;

        bool hasMatches() const;
    };

    void searchThread();
    // The search of a keyword once taken: its snapshots and its end, posted.
    void searchTakenKeyword(const QString &keyword);
    void searchEqualInThread(const QString &pattern, const QString &keyword);
    bool searchKeywordInThread(const QString &pattern, const QString &keyword);
    void postSearchedWordsUpdate(const WLSearchUpdate &update);
    const QList<WLSearchResult> *searchSectionArray(uint section) const;
    const WLSearchResult *searchItem(uint item, uint section) const;

    void handOver(const QString &keyword);
    void handOverWaitingKeyword();
    // A snapshot arrived: which halves it carries (null for none).
    void snapshotReceived(const QList<WLSearchResult> *wholeWords,
                          const QList<WLSearchResult> *partialMatches);
    void keywordFinished(const QString &keyword);
    void show(Shown shown);
    void suggestionsFound(quint64 request, QList<WLSearchResult> found);
    // Remakes results() from the shown halves and says so.
    void resultsDidChange(bool replaced);

    WLDatabase &mDatabase;

    // Worker only while it runs.
    WLSqliteConnection mSearchDatabase;
    WLSqliteStatement mSearchStatement;
    WLSqliteConnection mEqualSearchDatabase;
    WLSqliteStatement mEqualSearchStatement;
    // The last whole-word rows handed over, whose links the partial
    // matches leave out.
    QList<WLSearchResult> mEqualFoundArrayInThread;
    // Read by the worker, never changed while it runs.
    std::optional<WLIndexRangeArray> mEqualSearchIndexRangeArray;
    std::optional<WLIndexRangeArray> mSearchIndexRangeArray;

    // Main thread only: the snapshots stored, empty when the half is absent.
    QList<WLSearchResult> mEqualFoundArray;
    QList<WLSearchResult> mSearchedArray;

    // Shared: flags without the lock; mNextWord only under mLock
    // (condition 1: a keyword is waiting).
    std::atomic<bool> mContinueSearchThread{false};
    std::atomic<bool> mRunningSearchThread{false};
    std::atomic<bool> mContinueCurrentSearching{false};
    std::unique_ptr<WLConditionLock> mLock;
    QString mNextWord;
    std::thread mSearchThread;

    // Main thread only: the hand-overs and what is shown.
    QList<HandOver> mOutstanding;
    std::optional<QString> mWaitingKeyword;
    quint64 mLastHandOver = 0;
    QStringList mHandedKeywords;
    // On show, and the newest hand-over's until it has rows or ends.
    Shown mShown;
    Shown mIncoming;
    quint64 mRevision = 0;
    quint64 mReplacedRevision = 0;
    std::unique_ptr<WLSearchSuggestions> mSuggester;

    static bool sSearchOnCallingThread;

    // The worker's requests to the main thread; dropped with the session.
    WLMainThread mMainThread;
};

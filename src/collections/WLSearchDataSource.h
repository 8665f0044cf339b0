#pragma once

#include "WLDataSource.h"
#include "WLNotificationCenter.h"
#include "WLSearchSuggestions.h"

#include <QList>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

// The Search tab: the results of the keyword, whole words and partial
// matches, as titled sections, and when a keyword finds nothing, a few
// close headwords under "did you mean".
//
// The list shows its own copy of the results, taken from the dictionary's
// sections as the worker's snapshots for the current keyword arrive.
// Snapshots of a keyword that has since been replaced change nothing on
// screen: the list keeps what it shows until the new keyword's first
// snapshot, and a half that still holds an older keyword's results is left
// out next to the new keyword's other half.
//
// Threading: main thread only.
class WLSearchDataSource final : public WLDataSource
{
public:
    ~WLSearchDataSource() override;

    QString navigationTitle() const override;
    WLTabBarItem tabBarItem() const override;
    WLTableViewStyle tableViewStyle() const override { return WLTableViewStyle::Plain; }
    bool getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                 const WLIndexPath &indexPath) const override;

    qsizetype numberOfSectionsInTableView() const override;
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    QString tableViewTitleForHeaderInSection(qsizetype section) const override;

    // Hands a keyword to the dictionary's search worker; an empty one
    // clears the results. While an earlier keyword has not yet been taken
    // by the worker, the newest one waits here instead, so the caller never
    // waits for a search in progress.
    void searchKeyword(const QString &keyword);
    // The last keywords handed to the worker, and the one whose results
    // are on show; for tests.
    QStringList handedKeywords() const { return mHandedKeywords; }
    QString shownKeyword() const { return mShown.keyword; }

    // Grows whenever the rows on show change; the handler is told then.
    quint64 revision() const { return mRevision; }
    // Since that revision rows were only added at the ends of sections (and
    // sections after the last), so the list can keep the rows it shows.
    bool rowsOnlyAddedSince(quint64 revision) const { return mReplacedRevision <= revision; }
    void setRowsDidChangeHandler(std::function<void()> handler) { mRowsDidChange = std::move(handler); }

private:
    friend class WLDataSource;
    explicit WLSearchDataSource(WLDatabase *database);

    struct Row {
        QString word;
        QString links;
        std::optional<QVariantList> contentsIDs;
    };
    // The results of one hand-over: each half's rows, once its first
    // snapshot arrived.
    struct Results {
        quint64 handOver = 0;
        QString keyword;
        std::optional<QList<Row>> wholeWords;
        std::optional<QList<Row>> partialMatches;

        bool hasRows() const;
    };
    enum class Kind { WholeWords, PartialMatches, Suggestions, Empty };
    struct HandOver {
        quint64 number = 0;
        QString keyword;
        bool taken = false;
    };

    void handOver(const QString &keyword);
    void snapshotReceived(const QString &receiver, int count);
    void keywordFinished(const QString &keyword);
    // The worker has begun the oldest outstanding keyword, so the waiting
    // one can go without waiting.
    void markTaken();
    void handOverWaitingKeyword();
    // False when rows were replaced rather than added.
    bool copyHalf(std::optional<QList<Row>> &half, bool wholeWords, int count) const;
    void show(Results results);
    void suggestionsFound(quint64 request, const QList<WLSearchSuggestions::Suggestion> &found);
    void rowsDidChange(bool replaced);

    QList<Kind> sections() const;
    const QList<Row> *rowsOfKind(Kind kind) const;
    std::optional<QList<WLTextRange>> matchRanges(const QString &word) const;

    WLObserverToken mSearchObserver;
    // Handed over and not yet finished by the worker, oldest first.
    QList<HandOver> mOutstanding;
    std::optional<QString> mWaitingKeyword;
    quint64 mLastHandOver = 0;
    QStringList mHandedKeywords;
    // The dictionary's own halves, as its last snapshots left them.
    int mStoredWholeWordCount = 0;
    int mStoredPartialMatchCount = 0;

    // On show, and the newest hand-over's until it has rows or ends.
    Results mShown;
    Results mIncoming;
    QList<WLSearchSuggestions::Suggestion> mSuggestions;
    std::unique_ptr<WLSearchSuggestions> mSuggester;
    quint64 mRevision = 0;
    quint64 mReplacedRevision = 0;
    std::function<void()> mRowsDidChange;
    // The pattern of the keyword on show, made once per keyword.
    mutable std::optional<std::pair<QString, QRegularExpression>> mMatcher;
};

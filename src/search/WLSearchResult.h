#pragma once

#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <QVariantMap>

#include <optional>

// One row of the search list: the entry reference it opens. Made whole on
// the worker, so the main thread only reads it.
struct WLSearchResult {
    QString word;
    // One link text (partial match) or several separated by tabs (whole word).
    QString links;
    // Empty when a whole-word row's contents-ID list did not parse: the row
    // is listed but cannot be opened. A parsed list is never empty. Room for
    // one ID inside, so the usual row costs no allocation of its own.
    QVarLengthArray<int, 1> contentsIDs;
    // A "did you mean" row: the headword's ID, whose entry it opens; 0 for
    // the others.
    int itemID = 0;
};

// One section of what a search shows.
struct WLSearchSection {
    enum class Kind { WholeWords, PartialMatches, Suggestions };
    Kind kind = Kind::WholeWords;
    QList<WLSearchResult> rows;
};

// What the search shows for one keyword, as one immutable value: the
// sections with rows, in their order (whole words, partial matches, and
// when those found nothing, "did you mean"). Copies share the rows.
struct WLSearchResults {
    QString keyword;
    // No further worker results come for this keyword ("did you mean" may
    // still follow one that found nothing).
    bool finished = false;
    QList<WLSearchSection> sections;

    // Nothing when the results have no such section.
    const WLSearchSection *section(WLSearchSection::Kind kind) const;
    // The row `wlreader WORD` opens.
    std::optional<WLSearchResult> firstWholeWordMatch() const;
};

// What one hand-over from the worker carries. Each receiver reads only its
// own half; a half without rows clears that half. The lists are shared, not
// copied, and never change once handed over.
struct WLSearchSnapshot {
    QList<WLSearchResult> equalResults;
    QList<WLSearchResult> keywordResults;
    // The keyword searched (empty for a clear), and whether this is the
    // last hand-over for it.
    QString keyword;
    bool finished = false;
};

// The userInfo of WLDatabaseSearchedWordsUpdate, for tools that trace the
// search; the search list needs none of it. Keys: kKXSearchUpdateReceiver,
// kKXSearchUpdateCount, kKXSearchUpdateKeyword, kKXSearchUpdateFinished.
struct WLSearchUpdate {
    // The receiver that stored a snapshot, such as
    // "setSearchEqualResultsOnMainThread:"; empty for the update that only
    // says a keyword is finished, sent when its last snapshot went out
    // before the worker knew it was the last.
    QString receiver;
    // The rows the receiver's half now shows; -1 when it was cleared.
    int count = -1;
    QString keyword;
    // No further update comes for this keyword.
    bool finished = false;

    static WLSearchUpdate fromUserInfo(const QVariantMap &userInfo);
    QVariantMap userInfo() const;
};

extern const QString kKXSearchUpdateReceiver;
extern const QString kKXSearchUpdateCount;
extern const QString kKXSearchUpdateKeyword;
extern const QString kKXSearchUpdateFinished;

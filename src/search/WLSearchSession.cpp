#include "WLSearchSession.h"

#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLLocalization.h"
#include "WLMainThread.h"
#include "WLNotificationCenter.h"
#include "WLProperty.h"
#include "WLReport.h"
#include "WLSearchPattern.h"
#include "WLSearchSuggestions.h"

#include <QSet>

#include <sqlite3.h>

#include <functional>
#include <system_error>
#include <utility>

const QString WLDatabaseSearchedWordsUpdate = QStringLiteral("WLDatabaseSearchedWordsUpdate");
const QString WLSearchResultsDidChangeNotification =
    QStringLiteral("WLSearchResultsDidChangeNotification");

namespace {

constexpr char kPrepareFn[] = "-[WLDatabase prepareSearchDatabase:]";
constexpr char kPrepareIndexFn[] = "-[WLDatabase prepareSearchIndex:]";
constexpr char kPrepareEqualFn[] = "-[WLDatabase prepareEqualSearchDatabase:]";
constexpr char kPrepareEqualIndexFn[] = "-[WLDatabase prepareEqualSearchIndex:]";
constexpr char kCleanupFn[] = "-[WLDatabase cleanupSearchDatabase]";
constexpr char kCleanupEqualFn[] = "-[WLDatabase cleanupEqualSearchDatabase]";
constexpr char kEqualFn[] = "-[WLDatabase searchEqualInThread:]";
constexpr char kKeywordFn[] = "-[WLDatabase searchKeywordInThread:]";
constexpr char kSetKeywordFn[] = "-[WLDatabase setSearchKeywordOnThread:]";
constexpr char kInitFn[] = "-[WLDatabase initWithPropertyListFile:]";
// The last keywords handed over that are kept for tests to look back on.
constexpr qsizetype kHandedKeywordsKept = 100;

bool isWildcard(const QString &keyword)
{
    return keyword.contains(u'*') || keyword.contains(u'?');
}

constexpr char kSearchResultsReceiver[] = "setSearchResultsOnMainThread:";
constexpr char kEqualResultsReceiver[] = "setSearchEqualResultsOnMainThread:";
constexpr char kKeywordResultsReceiver[] = "setSearchKeywordResultsOnMainThread:";

// How long the worker waits for a keyword before it looks at the stop flag.
constexpr int kKeywordPollMilliseconds = 250;

// The description keys of one search table, in the order they are checked.
struct SearchTableKeys {
    const QString &file;
    const QString &table;
    const QString &id;
    const QString &look;
    const QString &word;
    const QString &links;
    const QString &contentsIDs;
    const char *linksCondition;
    const char *contentsIDsCondition;
};

// Opens a search table read-only and prepares its one query. Whatever was
// opened stays in the fields for the cleanup to release.
bool prepareSearchTable(const QVariantMap &info, const SearchTableKeys &keys,
                        const char *function, WLSqliteConnection &database,
                        WLSqliteStatement &statement)
{
    const WLDescriptionReader reader(info, function);
    QString name;
    if (!reader.readStrings({{keys.file, "![name isKindOfClass:[NSString class]]", &name}}))
        return false;
    const QString path = WLBundle::pathForResource(name);
    if (path.isEmpty()) {
        WL_REPORT(function, "path == nil");
        return false;
    }
    // Read-only, as every dictionary file: a missing file fails here and is
    // never created.
    if (database.openReadOnly(path) != SQLITE_OK) {
        WL_REPORT(function, "retval != SQLITE_OK");
        return false;
    }
    QString table, id, look, word, links, contentsIDs;
    if (!reader.readStrings({{keys.table, "![tableName isKindOfClass:[NSString class]]", &table},
                             {keys.id, "![idColumn isKindOfClass:[NSString class]]", &id},
                             {keys.look, "![lookColumn isKindOfClass:[NSString class]]", &look},
                             {keys.word, "![wordColumn isKindOfClass:[NSString class]]", &word},
                             {keys.links, keys.linksCondition, &links},
                             {keys.contentsIDs, keys.contentsIDsCondition, &contentsIDs}}))
        return false;
    const QString command =
        wlStatementWithNames(u"SELECT %1, %2, %3 FROM %4 WHERE %5 BETWEEN ? AND ? AND %6 LIKE ? ESCAPE '\\';",
                             {word, links, contentsIDs, table, id, look});
    if (statement.prepare(database, command) != SQLITE_OK) {
        WL_REPORT(function, "retval != SQLITE_OK");
        return false;
    }
    return true;
}

bool prepareSearchIndexTable(const QVariantMap &info, const QString &fileKey,
                             const WLIndexKeys &keys, const char *function,
                             std::optional<WLIndexRangeArray> *table,
                             const WLSqliteConnection &searchFile)
{
    std::optional<WLIndexRangeArray> loaded;
    if (!WLDescriptionReader(info, function).readOptionalIndex(fileKey, keys, &loaded, &searchFile))
        return false;
    *table = std::move(loaded);
    return true;
}

// Binds the pattern's letter range and the pattern itself; false after the
// report when the query must not run. The UTF-8 bytes are not copied, so
// they must outlive the statement's reset.
bool bindSearch(WLSqliteStatement &statement, const QString &pattern, const QByteArray &utf8,
                const std::optional<WLIndexRangeArray> &table, const char *function)
{
    const WLRange range = rangeForKeyword(rangeKeyForPattern(pattern), table);
    if (range.location == kWLNotFound) {
        WL_REPORT(function, "range.location == NSNotFound");
        return false;
    }
    const qint64 last = qint64(range.location) + qint64(range.length) - 1;
    if (statement.bindInt(1, range.location) != SQLITE_OK || statement.bindInt(2, last) != SQLITE_OK
        || statement.bindStaticText(3, utf8) != SQLITE_OK) {
        WL_REPORT(function, "retval != SQLITE_OK");
        return false;
    }
    return true;
}

// A whole-word row as an entry: the same word, links and contents IDs under
// several looks ("hour", "hours") are one entry, listed once.
struct EntryKey {
    QString word;
    QString links;
    QString contentsIDs;
    bool operator==(const EntryKey &) const = default;
};

size_t qHash(const EntryKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.word, key.links, key.contentsIDs);
}

// One half's growing rows on the worker. They go to the main thread at 1,
// 2, 4, … rows and once more at the end, unless the last hand-over already
// held them all; a half that ends without rows is handed over empty, which
// clears it. A hand-over shares the rows and the next append copies them
// here (about 2n rows in all), so the main thread never copies a list.
class ResultStream
{
public:
    // The rows so far, and whether they are the keyword's last hand-over.
    using HandOver = std::function<void(const QList<WLSearchResult> &, bool finished)>;

    explicit ResultStream(HandOver handOver) : mHandOver(std::move(handOver)) {}

    void append(WLSearchResult result)
    {
        mRows.append(std::move(result));
        if (mRows.size() >= mThreshold) {
            handOver();
            mThreshold *= 2;
        }
    }

    // Hands over what is left, marked finished when lastOfKeyword; false
    // when nothing was left, so the mark could not go with it.
    bool finish(bool lastOfKeyword)
    {
        if (!mRows.isEmpty() && mHanded == mRows.size())
            return false;
        handOver(lastOfKeyword);
        return true;
    }

    // Every row, as last handed over once finished.
    const QList<WLSearchResult> &rows() const { return mRows; }

private:
    void handOver(bool finished = false)
    {
        mHandOver(mRows, finished);
        mHanded = mRows.size();
    }

    HandOver mHandOver;
    QList<WLSearchResult> mRows;
    qsizetype mHanded = 0;
    qsizetype mThreshold = 1;
};

} // namespace

bool WLSearchSession::sSearchOnCallingThread = false;

void WLSearchSession::setSearchOnCallingThread(bool onCallingThread)
{
    sSearchOnCallingThread = onCallingThread;
}

WLSearchSession::WLSearchSession(WLDatabase &database) : mDatabase(database) {}

WLSearchSession::~WLSearchSession()
{
    stopSearchThread();
}

bool WLSearchSession::prepare(Stage stage, const QVariantMap &info)
{
    switch (stage) {
    case Stage::Tables:
        if (!prepareSearchDatabase(info)) {
            WL_REPORT(kInitFn, "![self prepareSearchDatabase:info]");
            return false;
        }
        // Optional: each reports its own problem and leaves its feature absent.
        prepareSearchIndex(info);
        prepareEqualSearchDatabase(info);
        prepareEqualSearchIndex(info);
        return true;
    case Stage::Threads:
        return startSearchThread();
    case Stage::Files:
        break;
    }
    return true;
}

void WLSearchSession::cleanup(Stage stage)
{
    switch (stage) {
    case Stage::Threads:
        // The worker uses the statements and the lock: it stops before
        // anything is released.
        stopSearchThread();
        break;
    case Stage::Tables:
        cleanupSearchDatabase();
        cleanupSearchIndex();
        cleanupEqualSearchDatabase();
        cleanupEqualSearchIndex();
        mEqualFoundArray.clear();
        mSearchedArray.clear();
        mNextWord.clear();
        mLock.reset();
        mSuggester.reset();
        break;
    case Stage::Files:
        break;
    }
}

// ---- Tables ----------------------------------------------------------------

bool WLSearchSession::prepareSearchDatabase(const QVariantMap &info)
{
    return prepareSearchTable(info,
                              {KXPropSearchDatabaseFileName, KXPropSearchTableName,
                               KXPropSearchIDColumn, KXPropSearchLookColumn, KXPropSearchWordColumn,
                               KXPropSearchLinkColumn, KXPropSearchContentsIDColumn,
                               "![linkColumn isKindOfClass:[NSString class]]",
                               "![contentsIDColumn isKindOfClass:[NSString class]]"},
                              kPrepareFn, mSearchDatabase, mSearchStatement);
}

bool WLSearchSession::prepareEqualSearchDatabase(const QVariantMap &info)
{
    return prepareSearchTable(
        info,
        {KXPropEqualSearchDatabaseFileName, KXPropEqualSearchTableName, KXPropEqualSearchIDColumn,
         KXPropEqualSearchLookColumn, KXPropEqualSearchWordColumn, KXPropEqualSearchLinksColumn,
         KXPropEqualSearchContentsIDsColumn, "![linksColumn isKindOfClass:[NSString class]]",
         "![contentsIDsColumn isKindOfClass:[NSString class]]"},
        kPrepareEqualFn, mEqualSearchDatabase, mEqualSearchStatement);
}

bool WLSearchSession::prepareSearchIndex(const QVariantMap &info)
{
    return prepareSearchIndexTable(info, KXPropSearchIndexDatabaseFileName,
                                   {KXPropSearchIndexTableName, KXPropSearchIndexIDColumn,
                                    KXPropSearchIndexLetterColumn, KXPropSearchIndexOffsetColumn,
                                    KXPropSearchIndexCountColumn},
                                   kPrepareIndexFn, &mSearchIndexRangeArray, mSearchDatabase);
}

bool WLSearchSession::prepareEqualSearchIndex(const QVariantMap &info)
{
    return prepareSearchIndexTable(
        info, KXPropEqualSearchIndexDatabaseFileName,
        {KXPropEqualSearchIndexTableName, KXPropEqualSearchIndexIDColumn,
         KXPropEqualSearchIndexLetterColumn, KXPropEqualSearchIndexOffsetColumn,
         KXPropEqualSearchIndexCountColumn},
        kPrepareEqualIndexFn, &mEqualSearchIndexRangeArray, mEqualSearchDatabase);
}

void WLSearchSession::cleanupSearchDatabase()
{
    wlFinalizeReporting(mSearchStatement, kCleanupFn);
    wlCloseReporting(mSearchDatabase, kCleanupFn);
}

void WLSearchSession::cleanupEqualSearchDatabase()
{
    wlFinalizeReporting(mEqualSearchStatement, kCleanupEqualFn);
    wlCloseReporting(mEqualSearchDatabase, kCleanupEqualFn);
}

void WLSearchSession::cleanupSearchIndex()
{
    mSearchIndexRangeArray.reset();
}

void WLSearchSession::cleanupEqualSearchIndex()
{
    mEqualSearchIndexRangeArray.reset();
}

// ---- Worker ----------------------------------------------------------------

bool WLSearchSession::startSearchThread()
{
    mLock = std::make_unique<WLConditionLock>(0);
    mContinueSearchThread.store(true);
    mRunningSearchThread.store(true);
    if (sSearchOnCallingThread)
        return true;
    try {
        mSearchThread = std::thread([this] { searchThread(); });
    } catch (const std::system_error &) {
        mRunningSearchThread.store(false);
        WL_REPORT(kInitFn, "mSearchThread == nil");
        return false;
    }
    return true;
}

// Also ends a search in progress at its next row: its results would only be
// thrown away, and shutting down must not wait for a long scan.
void WLSearchSession::stopSearchThread()
{
    mContinueSearchThread.store(false);
    // A waiting worker would otherwise notice only at its next poll, a
    // quarter second that every one-shot wldict call would pay.
    if (mLock)
        mLock->interruptTimedWaits();
    if (mSearchThread.joinable())
        mSearchThread.join();
    mRunningSearchThread.store(false);
}

void WLSearchSession::setSearchKeywordOnThread(const QString &keyword)
{
    // Without a worker a waiting keyword would never be taken, and the next
    // hand-over would wait for ever.
    if (!mLock || !mRunningSearchThread.load()) {
        WL_REPORT(kSetKeywordFn, "!mRunningSearchThread");
        return;
    }
    if (sSearchOnCallingThread) {
        mContinueCurrentSearching.store(true);
        searchTakenKeyword(keyword);
        return;
    }
    // Waits only while an earlier keyword has not been taken; that keyword
    // has already cancelled the search in progress.
    mLock->lockWhenCondition(0);
    mNextWord = keyword;
    mContinueCurrentSearching.store(false);
    mLock->unlockWithCondition(1);
}

void WLSearchSession::searchThread()
{
    WLConditionLock &lock = *mLock;
    while (mContinueSearchThread.load()) {
        if (!lock.lockWhenCondition(1, QDeadlineTimer(kKeywordPollMilliseconds)))
            continue;
        const QString keyword = std::exchange(mNextWord, QString());
        mContinueCurrentSearching.store(true);
        lock.unlockWithCondition(0);
        searchTakenKeyword(keyword);
    }
    mEqualFoundArrayInThread.clear();
    mRunningSearchThread.store(false);
}

void WLSearchSession::searchTakenKeyword(const QString &keyword)
{
    bool toldFinished = false;
    if (keyword.isEmpty()) {
        mMainThread.post([this, keyword] { setSearchResultsOnMainThread({{}, {}, keyword, true}); });
        toldFinished = true;
    } else {
        const WLSearchPatterns patterns = searchPatternsForKeyword(keyword);
        if (mContinueCurrentSearching.load())
            searchEqualInThread(patterns.equal, keyword);
        if (mContinueCurrentSearching.load() && mContinueSearchThread.load())
            toldFinished = searchKeywordInThread(patterns.keyword, keyword);
    }
    // The last snapshot went out before it was known to be the last
    // (its size was a power of two, or the keyword was cancelled).
    if (!toldFinished) {
        mMainThread.post([this, keyword] {
            if (mLock)
                postSearchedWordsUpdate({{}, -1, keyword, true});
        });
    }
}

// Not cancelled by a newer keyword: its results decide which partial
// matches are repeats. An entry found again under another look keeps its
// first place. A half that finds nothing, or cannot run, is cleared.
void WLSearchSession::searchEqualInThread(const QString &pattern, const QString &keyword)
{
    const QByteArray utf8 = pattern.toUtf8();
    const WLStatementResetter resetter(mEqualSearchStatement, kEqualFn);
    ResultStream results([this, &keyword](const QList<WLSearchResult> &rows, bool finished) {
        const WLSearchSnapshot snapshot{rows, {}, keyword, finished};
        mMainThread.post([this, snapshot] { setSearchEqualResultsOnMainThread(snapshot); });
    });

    if (pattern.isEmpty()) {
        WL_REPORT(kEqualFn, "[word length] == 0");
    } else if (bindSearch(mEqualSearchStatement, pattern, utf8, mEqualSearchIndexRangeArray,
                          kEqualFn)) {
        QSet<EntryKey> listed;
        while (mContinueSearchThread.load() && mEqualSearchStatement.step() == SQLITE_ROW) {
            // A bad row ends the search; the rows before it stand.
            std::optional<QString> word =
                wlColumnString(mEqualSearchStatement, 0, kEqualFn, "wordString == nil");
            if (!word)
                break;
            std::optional<QString> linksText =
                wlColumnString(mEqualSearchStatement, 1, kEqualFn, "linksString == nil");
            if (!linksText)
                break;
            const std::optional<QString> contentsIDsText =
                wlColumnString(mEqualSearchStatement, 2, kEqualFn, "contentsIDsString == nil");
            if (!contentsIDsText)
                break;
            const qsizetype listedBefore = listed.size();
            listed.insert({*word, *linksText, *contentsIDsText});
            if (listed.size() == listedBefore)
                continue;
            // Parsed here, once: a list that does not parse is reported now
            // and its row answers nothing for its contents IDs.
            QVarLengthArray<int, 1> contentsIDs;
            if (const std::optional<QList<int>> ids = contentsIDArrayFromString(*contentsIDsText))
                contentsIDs.append(ids->constData(), ids->size());
            results.append({std::move(*word), std::move(*linksText), std::move(contentsIDs)});
        }
    }
    // The partial matches may follow, so this is never the keyword's end.
    results.finish(false);
    mEqualFoundArrayInThread = results.rows();
}

// Stops at the next row when a newer keyword arrives. Rows whose link text
// the whole-word results already show, or that repeat a kept row, are
// dropped, so an entry found under several looks is listed once; a bad row
// is skipped. True when its last hand-over said the
// keyword is finished.
bool WLSearchSession::searchKeywordInThread(const QString &pattern, const QString &keyword)
{
    const QByteArray utf8 = pattern.toUtf8();
    const WLStatementResetter resetter(mSearchStatement, kKeywordFn);
    ResultStream results([this, &keyword](const QList<WLSearchResult> &rows, bool finished) {
        const WLSearchSnapshot snapshot{{}, rows, keyword, finished};
        mMainThread.post([this, snapshot] { setSearchKeywordResultsOnMainThread(snapshot); });
    });

    if (pattern.isEmpty()) {
        WL_REPORT(kKeywordFn, "[keyword length] == 0");
    } else if (bindSearch(mSearchStatement, pattern, utf8, mSearchIndexRangeArray, kKeywordFn)) {
        QSet<QString> shownLinks;
        for (const WLSearchResult &equal : std::as_const(mEqualFoundArrayInThread)) {
            for (const QString &piece : equal.links.split(u'\t'))
                shownLinks.insert(piece);
        }
        while (mContinueCurrentSearching.load() && mContinueSearchThread.load()
               && mSearchStatement.step() == SQLITE_ROW) {
            std::optional<QString> word =
                wlColumnString(mSearchStatement, 0, kKeywordFn, "wordString == nil");
            if (!word)
                continue;
            std::optional<QString> link =
                wlColumnString(mSearchStatement, 1, kKeywordFn, "linkString == nil");
            if (!link)
                continue;
            const int contentsID = mSearchStatement.columnInt(2);
            if (shownLinks.contains(*link))
                continue;
            shownLinks.insert(*link);
            results.append({std::move(*word), std::move(*link), {contentsID}});
        }
    }
    // Also after a cancellation: what was collected is handed back.
    return results.finish(true);
}

// ---- Receivers (main thread) -----------------------------------------------

// What is shown follows first, so that whoever hears the update finds it.
void WLSearchSession::postSearchedWordsUpdate(const WLSearchUpdate &update)
{
    if (update.finished)
        keywordFinished(update.keyword);
    WLNotificationCenter::defaultCenter().postNotificationName(WLDatabaseSearchedWordsUpdate,
                                                               &mDatabase, update.userInfo());
}

void WLSearchSession::setSearchResultsOnMainThread(const WLSearchSnapshot &snapshot)
{
    if (!mLock)
        return; // the worker is gone: a late snapshot is not wanted
    mEqualFoundArray = snapshot.equalResults;
    mSearchedArray = snapshot.keywordResults;
    snapshotReceived(&mEqualFoundArray, &mSearchedArray);
    const qsizetype count = mEqualFoundArray.size() + mSearchedArray.size();
    postSearchedWordsUpdate({QLatin1String(kSearchResultsReceiver), count == 0 ? -1 : int(count),
                             snapshot.keyword, snapshot.finished});
}

void WLSearchSession::setSearchEqualResultsOnMainThread(const WLSearchSnapshot &snapshot)
{
    if (!mLock)
        return;
    mEqualFoundArray = snapshot.equalResults;
    snapshotReceived(&mEqualFoundArray, nullptr);
    postSearchedWordsUpdate({QLatin1String(kEqualResultsReceiver),
                             mEqualFoundArray.isEmpty() ? -1 : int(mEqualFoundArray.size()),
                             snapshot.keyword, snapshot.finished});
}

void WLSearchSession::setSearchKeywordResultsOnMainThread(const WLSearchSnapshot &snapshot)
{
    if (!mLock)
        return;
    mSearchedArray = snapshot.keywordResults;
    snapshotReceived(nullptr, &mSearchedArray);
    postSearchedWordsUpdate({QLatin1String(kKeywordResultsReceiver),
                             mSearchedArray.isEmpty() ? -1 : int(mSearchedArray.size()),
                             snapshot.keyword, snapshot.finished});
}

// ---- What is shown (main thread) ---------------------------------------------

bool WLSearchSession::Shown::hasMatches() const
{
    return (wholeWords && !wholeWords->isEmpty()) || (partialMatches && !partialMatches->isEmpty());
}

void WLSearchSession::searchKeyword(const QString &keyword)
{
    // The worker takes one keyword at a time: handing over another before
    // it took the last would wait until the search in progress lets it.
    if (!mOutstanding.isEmpty() && !mOutstanding.last().taken) {
        mWaitingKeyword = keyword;
        return;
    }
    mWaitingKeyword.reset();
    handOver(keyword);
}

void WLSearchSession::handOver(const QString &keyword)
{
    mOutstanding.append({++mLastHandOver, keyword, false});
    if (mHandedKeywords.size() == kHandedKeywordsKept)
        mHandedKeywords.removeFirst();
    mHandedKeywords.append(keyword);
    mIncoming = Shown{};
    mIncoming.handOver = mLastHandOver;
    mIncoming.results.keyword = keyword;
    if (mSuggester)
        mSuggester->cancel();
    setSearchKeywordOnThread(keyword);
}

void WLSearchSession::handOverWaitingKeyword()
{
    if (mWaitingKeyword && (mOutstanding.isEmpty() || mOutstanding.last().taken))
        handOver(*std::exchange(mWaitingKeyword, std::nullopt));
}

void WLSearchSession::snapshotReceived(const QList<WLSearchResult> *wholeWords,
                                       const QList<WLSearchResult> *partialMatches)
{
    // Snapshots arrive in the order the worker took the keywords, so this
    // one belongs to the oldest keyword it has not finished, which it has
    // therefore taken.
    const quint64 handOver = mOutstanding.isEmpty() ? 0 : mOutstanding.first().number;
    if (!mOutstanding.isEmpty())
        mOutstanding.first().taken = true;
    handOverWaitingKeyword();

    // Another keyword's results, or a newer keyword waits: not shown.
    if (handOver == 0 || handOver != mLastHandOver || mWaitingKeyword)
        return;
    Shown &target = mShown.handOver == handOver ? mShown : mIncoming;
    // Snapshots of one keyword only grow: a half that shrinks was replaced.
    bool added = true;
    const auto take = [&added](std::optional<QList<WLSearchResult>> &half,
                               const QList<WLSearchResult> &rows) {
        added = (!half || half->size() <= rows.size()) && added;
        half = rows;
    };
    if (wholeWords)
        take(target.wholeWords, *wholeWords);
    if (partialMatches)
        take(target.partialMatches, *partialMatches);
    if (&target == &mShown)
        resultsDidChange(!added);
    else if (mIncoming.hasMatches())
        show(std::exchange(mIncoming, {}));
}

void WLSearchSession::keywordFinished(const QString &keyword)
{
    qsizetype index = 0;
    while (index < mOutstanding.size() && mOutstanding.at(index).keyword != keyword)
        ++index;
    // A keyword handed over underneath, not through the session.
    if (index == mOutstanding.size())
        return;
    const quint64 handOver = mOutstanding.at(index).number;
    mOutstanding.remove(0, index + 1);
    if (handOver == mLastHandOver && !mWaitingKeyword) {
        // A keyword that found nothing is shown as such now.
        if (mShown.handOver != handOver)
            show(std::exchange(mIncoming, {}));
        mShown.results.finished = true;
        resultsDidChange(false);
        if (!mShown.hasMatches() && !keyword.isEmpty() && !isWildcard(keyword)) {
            if (!mSuggester) {
                mSuggester = WLSearchSuggestions::forDatabase(
                    mDatabase,
                    [this](quint64 request, const QList<WLSearchSuggestions::Suggestion> &found) {
                        QList<WLSearchResult> rows;
                        rows.reserve(found.size());
                        for (const WLSearchSuggestions::Suggestion &suggestion : found)
                            rows.append({suggestion.word, {}, {}, suggestion.itemID});
                        suggestionsFound(request, std::move(rows));
                    });
            }
            if (mSuggester)
                mSuggester->request(handOver, keyword);
        }
    }
    handOverWaitingKeyword();
}

void WLSearchSession::show(Shown shown)
{
    mShown = std::move(shown);
    resultsDidChange(true);
}

void WLSearchSession::suggestionsFound(quint64 request, QList<WLSearchResult> found)
{
    if (request != mShown.handOver || request != mLastHandOver || mShown.hasMatches() || found.isEmpty())
        return;
    // A section after the empty results.
    mShown.suggestions = std::move(found);
    resultsDidChange(false);
}

void WLSearchSession::resultsDidChange(bool replaced)
{
    WLSearchResults &results = mShown.results;
    results.sections.clear();
    const auto add = [&results](WLSearchSection::Kind kind, const QList<WLSearchResult> &rows) {
        if (!rows.isEmpty())
            results.sections.append({kind, rows});
    };
    if (mShown.wholeWords)
        add(WLSearchSection::Kind::WholeWords, *mShown.wholeWords);
    if (mShown.partialMatches)
        add(WLSearchSection::Kind::PartialMatches, *mShown.partialMatches);
    add(WLSearchSection::Kind::Suggestions, mShown.suggestions);
    ++mRevision;
    if (replaced)
        mReplacedRevision = mRevision;
    WLNotificationCenter::defaultCenter().postNotificationName(WLSearchResultsDidChangeNotification, this);
}

// ---- Sections (main thread) ------------------------------------------------

const QList<WLSearchResult> *WLSearchSession::searchSectionArray(uint section) const
{
    const bool equalPresent = !mEqualFoundArray.isEmpty();
    const bool keywordPresent = !mSearchedArray.isEmpty();
    if (section == 0 && (equalPresent || keywordPresent))
        return equalPresent ? &mEqualFoundArray : &mSearchedArray;
    if (section == 1 && equalPresent && keywordPresent)
        return &mSearchedArray;
    return nullptr;
}

const WLSearchResult *WLSearchSession::searchItem(uint item, uint section) const
{
    const QList<WLSearchResult> *results = searchSectionArray(section);
    if (!results || item >= uint(results->size()))
        return nullptr;
    return &results->at(item);
}

uint WLSearchSession::searchSectionCount() const
{
    return !mEqualFoundArray.isEmpty() && !mSearchedArray.isEmpty() ? 2 : 1;
}

QString WLSearchSession::searchSectionNameAtIndex(uint section) const
{
    const QList<WLSearchResult> *results = searchSectionArray(section);
    if (!results)
        return {};
    return WLLocalization::localizedString(results == &mEqualFoundArray
                                               ? "MainView.SearchMode.Section.WholeWords"
                                               : "MainView.SearchMode.Section.PartialMatches");
}

uint WLSearchSession::itemCountOfSearchSectionAtIndex(uint section) const
{
    const QList<WLSearchResult> *results = searchSectionArray(section);
    return results ? uint(results->size()) : 0;
}

QString WLSearchSession::itemNameAtIndexOfSearchSectionAtIndex(uint item, uint section) const
{
    const WLSearchResult *result = searchItem(item, section);
    return result ? result->word : QString();
}

QString WLSearchSession::itemLinksAtIndexOfSearchSectionAtIndex(uint item, uint section) const
{
    const WLSearchResult *result = searchItem(item, section);
    return result ? result->links : QString();
}

std::optional<QVariantList>
WLSearchSession::itemContentsIDsAtIndexOfSearchSectionAtIndex(uint item, uint section) const
{
    const WLSearchResult *result = searchItem(item, section);
    if (!result || result->contentsIDs.isEmpty())
        return std::nullopt;
    QVariantList list;
    list.reserve(result->contentsIDs.size());
    for (int id : result->contentsIDs)
        list.append(id);
    return list;
}

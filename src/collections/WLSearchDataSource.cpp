#include "WLSearchDataSource.h"

#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"
#include "WLReport.h"
#include "WLSearchResult.h"

#include <utility>

namespace {
const QString kNormalCell = QStringLiteral("kWLDataSourceNormalCell");
const QString kWholeWordsReceiver = QStringLiteral("setSearchEqualResultsOnMainThread:");
const QString kPartialMatchesReceiver = QStringLiteral("setSearchKeywordResultsOnMainThread:");
constexpr qsizetype kHandedKeywordsKept = 100;

bool isWildcard(const QString &keyword)
{
    return keyword.contains(u'*') || keyword.contains(u'?');
}

// The keyword as a pattern over a shown word: each run of typed characters
// is a group, to be drawn in bold. Whole-word rows and wildcards match the
// whole word; a plain keyword its beginning.
QRegularExpression matcherFor(const QString &keyword)
{
    QString pattern = QStringLiteral("^");
    QString run;
    const auto endRun = [&] {
        if (!run.isEmpty())
            pattern += u'(' + QRegularExpression::escape(run) + u')';
        run.clear();
    };
    for (const QChar c : keyword.normalized(QString::NormalizationForm_C)) {
        if (c == u'*' || c == u'?') {
            endRun();
            pattern += c == u'*' ? QStringLiteral(".*?") : QStringLiteral(".");
        } else {
            run += c;
        }
    }
    endRun();
    if (isWildcard(keyword))
        pattern += u'$';
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::UseUnicodePropertiesOption);
}
} // namespace

WLSearchDataSource::WLSearchDataSource(WLDatabase *database) : WLDataSource(database)
{
    // Each update names the receiver that stored a snapshot, and marks the
    // keyword's last one.
    mSearchObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, database, [this](const WLNotification &notification) {
            const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
            if (!update.receiver.isEmpty())
                snapshotReceived(update.receiver, update.count);
            if (update.finished)
                keywordFinished(update.keyword);
        });
    mSuggester = WLSearchSuggestions::forDatabase(
        *database, [this](quint64 request, const QList<WLSearchSuggestions::Suggestion> &found) {
            suggestionsFound(request, found);
        });
}

WLSearchDataSource::~WLSearchDataSource() = default;

bool WLSearchDataSource::Results::hasRows() const
{
    return (wholeWords && !wholeWords->isEmpty()) || (partialMatches && !partialMatches->isEmpty());
}

QString WLSearchDataSource::navigationTitle() const
{
    return WLLocalization::localizedString("Search");
}

WLTabBarItem WLSearchDataSource::tabBarItem() const
{
    return WLTabBarItem{{}, {}, WLTabBarSystemItem::Search, 101};
}

// ---- Keywords and snapshots --------------------------------------------------

void WLSearchDataSource::searchKeyword(const QString &keyword)
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

void WLSearchDataSource::handOver(const QString &keyword)
{
    mOutstanding.append({++mLastHandOver, keyword, false});
    // The last few are plenty to look back on.
    if (mHandedKeywords.size() == kHandedKeywordsKept)
        mHandedKeywords.removeFirst();
    mHandedKeywords.append(keyword);
    mIncoming = Results{mLastHandOver, keyword, {}, {}};
    if (mSuggester)
        mSuggester->cancel();
    if (database())
        database()->setSearchKeywordOnThread(keyword);
}

void WLSearchDataSource::markTaken()
{
    if (!mOutstanding.isEmpty())
        mOutstanding.first().taken = true;
}

void WLSearchDataSource::handOverWaitingKeyword()
{
    if (mWaitingKeyword && (mOutstanding.isEmpty() || mOutstanding.last().taken))
        handOver(*std::exchange(mWaitingKeyword, std::nullopt));
}

void WLSearchDataSource::snapshotReceived(const QString &receiver, int count)
{
    // Snapshots arrive in the order the worker took the keywords, so this
    // one belongs to the oldest keyword it has not finished.
    const quint64 handOver = mOutstanding.isEmpty() ? 0 : mOutstanding.first().number;
    const bool wholeWords = receiver == kWholeWordsReceiver;
    const bool partialMatches = receiver == kPartialMatchesReceiver;
    // The receiver of both halves only ever clears them.
    if (!partialMatches)
        mStoredWholeWordCount = wholeWords ? qMax(count, 0) : 0;
    if (!wholeWords)
        mStoredPartialMatchCount = partialMatches ? qMax(count, 0) : 0;
    markTaken();
    handOverWaitingKeyword();

    // Another keyword's results, or a newer keyword waits: not shown.
    if (handOver == 0 || handOver != mLastHandOver || mWaitingKeyword)
        return;
    Results &target = mShown.handOver == handOver ? mShown : mIncoming;
    bool added = true;
    if (!partialMatches)
        added = copyHalf(target.wholeWords, true, mStoredWholeWordCount) && added;
    if (!wholeWords)
        added = copyHalf(target.partialMatches, false, mStoredPartialMatchCount) && added;
    if (&target == &mShown)
        rowsDidChange(!added);
    else if (mIncoming.hasRows())
        show(std::exchange(mIncoming, {}));
}

void WLSearchDataSource::keywordFinished(const QString &keyword)
{
    qsizetype index = 0;
    while (index < mOutstanding.size() && mOutstanding.at(index).keyword != keyword)
        ++index;
    // A keyword someone else handed over.
    if (index == mOutstanding.size())
        return;
    const quint64 handOver = mOutstanding.at(index).number;
    mOutstanding.remove(0, index + 1);
    if (handOver == mLastHandOver && !mWaitingKeyword) {
        // A keyword that found nothing is shown as such now.
        if (mShown.handOver != handOver)
            show(std::exchange(mIncoming, {}));
        if (!mShown.hasRows() && !keyword.isEmpty() && !isWildcard(keyword) && mSuggester)
            mSuggester->request(handOver, keyword);
    }
    handOverWaitingKeyword();
}

bool WLSearchDataSource::copyHalf(std::optional<QList<Row>> &half, bool wholeWords, int count) const
{
    QList<Row> &rows = half ? *half : half.emplace();
    // Snapshots of one keyword only grow: the rows already here stay.
    const bool added = rows.size() <= count;
    if (!added)
        rows.clear();
    if (count == 0 || !database())
        return added;
    const uint section = wholeWords || mStoredWholeWordCount == 0 ? 0 : 1;
    rows.reserve(count);
    for (uint item = uint(rows.size()); item < uint(count); ++item) {
        rows.append({database()->itemNameAtIndexOfSearchSectionAtIndex(item, section),
                     database()->itemLinksAtIndexOfSearchSectionAtIndex(item, section),
                     database()->itemContentsIDsAtIndexOfSearchSectionAtIndex(item, section)});
    }
    return added;
}

void WLSearchDataSource::show(Results results)
{
    mShown = std::move(results);
    mSuggestions.clear();
    rowsDidChange(true);
}

void WLSearchDataSource::suggestionsFound(quint64 request,
                                          const QList<WLSearchSuggestions::Suggestion> &found)
{
    if (request != mShown.handOver || request != mLastHandOver || mShown.hasRows() || found.isEmpty())
        return;
    // A section after the empty one.
    mSuggestions = found;
    rowsDidChange(false);
}

void WLSearchDataSource::rowsDidChange(bool replaced)
{
    ++mRevision;
    if (replaced)
        mReplacedRevision = mRevision;
    if (mRowsDidChange)
        mRowsDidChange();
}

// ---- Rows --------------------------------------------------------------------

QList<WLSearchDataSource::Kind> WLSearchDataSource::sections() const
{
    QList<Kind> kinds;
    if (mShown.wholeWords && !mShown.wholeWords->isEmpty())
        kinds.append(Kind::WholeWords);
    if (mShown.partialMatches && !mShown.partialMatches->isEmpty())
        kinds.append(Kind::PartialMatches);
    // No results: one section without title or rows.
    if (kinds.isEmpty())
        kinds.append(Kind::Empty);
    if (!mSuggestions.isEmpty())
        kinds.append(Kind::Suggestions);
    return kinds;
}

const QList<WLSearchDataSource::Row> *WLSearchDataSource::rowsOfKind(Kind kind) const
{
    switch (kind) {
    case Kind::WholeWords:
        return mShown.wholeWords ? &*mShown.wholeWords : nullptr;
    case Kind::PartialMatches:
        return mShown.partialMatches ? &*mShown.partialMatches : nullptr;
    case Kind::Suggestions:
    case Kind::Empty:
        break;
    }
    return nullptr;
}

qsizetype WLSearchDataSource::numberOfSectionsInTableView() const
{
    const qsizetype count = sections().size();
    if (count < 1) {
        WL_REPORT("-[WLSearchDataSource numberOfSectionsInTableView:]", "sectionCount < 1");
        return 1;
    }
    return count;
}

qsizetype WLSearchDataSource::tableViewNumberOfRowsInSection(qsizetype section) const
{
    const Kind kind = sections().value(section, Kind::Empty);
    if (kind == Kind::Suggestions)
        return mSuggestions.size();
    const QList<Row> *rows = rowsOfKind(kind);
    return rows ? rows->size() : 0;
}

QString WLSearchDataSource::tableViewTitleForHeaderInSection(qsizetype section) const
{
    switch (sections().value(section, Kind::Empty)) {
    case Kind::WholeWords:
        return WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords");
    case Kind::PartialMatches:
        return WLLocalization::localizedString("MainView.SearchMode.Section.PartialMatches");
    case Kind::Suggestions:
        return WLLocalization::localizedString("MainView.SearchMode.Section.DidYouMean");
    case Kind::Empty:
        break;
    }
    return {};
}

std::optional<QList<WLTextRange>> WLSearchDataSource::matchRanges(const QString &word) const
{
    if (!mMatcher || mMatcher->first != mShown.keyword)
        mMatcher.emplace(mShown.keyword, matcherFor(mShown.keyword));
    QList<WLTextRange> ranges;
    const QRegularExpressionMatch match = mMatcher->second.match(word);
    for (int group = 1; match.hasMatch() && group <= match.lastCapturedIndex(); ++group)
        ranges.append({match.capturedStart(group), match.capturedLength(group)});
    return ranges;
}

std::optional<WLTableViewCell> WLSearchDataSource::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = kNormalCell;
    cell.textColor = textColor();
    const Kind kind = sections().value(indexPath.section, Kind::Empty);
    if (kind == Kind::Suggestions) {
        cell.text = mSuggestions.value(indexPath.row).word;
        // Not a match: nothing in bold.
        cell.boldRanges = QList<WLTextRange>();
    } else if (const QList<Row> *rows = rowsOfKind(kind); rows && indexPath.row >= 0
                                                           && indexPath.row < rows->size()) {
        cell.text = rows->at(indexPath.row).word;
        cell.boldRanges = matchRanges(cell.text);
    }
    return cell;
}

bool WLSearchDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                 const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLSearchDataSource getWord:links:contentsIDs:atIndexPath:]";
    const Kind kind = sections().value(indexPath.section, Kind::Empty);
    Row row;
    // A search result carries one links text; a headword its list.
    QVariantList linkList;
    if (kind == Kind::Suggestions && indexPath.row >= 0 && indexPath.row < mSuggestions.size()) {
        QStringList headwordLinks;
        QStringList headwordContentsIDs;
        if (database() && database()->getName(&row.word, &headwordLinks, &headwordContentsIDs,
                                               mSuggestions.at(indexPath.row).itemID)) {
            // An empty link text is a link text: joined, it must not read
            // as none.
            row.links = headwordLinks.join(u'\t');
            if (row.links.isNull())
                row.links = QStringLiteral("");
            linkList = QVariantList(headwordLinks.cbegin(), headwordLinks.cend());
            row.contentsIDs = QVariantList(headwordContentsIDs.cbegin(), headwordContentsIDs.cend());
        }
    } else if (const QList<Row> *rows = rowsOfKind(kind); rows && indexPath.row >= 0
                                                           && indexPath.row < rows->size()) {
        row = rows->at(indexPath.row);
        linkList = QVariantList{row.links};
    }
    if (row.word.isNull()) {
        WL_REPORT(kFn, "wordString == nil");
        return false;
    }
    if (row.links.isNull()) {
        WL_REPORT(kFn, "links == nil");
        return false;
    }
    if (!row.contentsIDs) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    if (word)
        *word = row.word;
    if (links)
        *links = linkList;
    if (contentsIDs)
        *contentsIDs = *row.contentsIDs;
    return true;
}

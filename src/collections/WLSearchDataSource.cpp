#include "WLSearchDataSource.h"

#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"
#include "WLReport.h"
#include "WLSearchResult.h"
#include "WLSearchSession.h"

#include <utility>

namespace {
const QString kNormalCell = QStringLiteral("kWLDataSourceNormalCell");

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

WLSearchDataSource::WLSearchDataSource(WLDatabase *database)
    : WLDataSource(database), mSession(database ? WLSearchSession::of(*database) : nullptr)
{
    if (!mSession)
        return;
    mResults = mSession->results();
    mResultsObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLSearchResultsDidChangeNotification, mSession, [this](const WLNotification &) {
            mResults = mSession->results();
            if (mRowsDidChange)
                mRowsDidChange();
        });
}

WLSearchDataSource::~WLSearchDataSource() = default;

QString WLSearchDataSource::navigationTitle() const
{
    return WLLocalization::localizedString("Search");
}

WLTabBarItem WLSearchDataSource::tabBarItem() const
{
    return WLTabBarItem{{}, {}, WLTabBarSystemItem::Search, 101};
}

void WLSearchDataSource::searchKeyword(const QString &keyword)
{
    if (mSession)
        mSession->searchKeyword(keyword);
}

QStringList WLSearchDataSource::handedKeywords() const
{
    return mSession ? mSession->handedKeywords() : QStringList();
}

quint64 WLSearchDataSource::revision() const
{
    return mSession ? mSession->revision() : 0;
}

bool WLSearchDataSource::rowsOnlyAddedSince(quint64 revision) const
{
    return !mSession || mSession->rowsOnlyAddedSince(revision);
}

// ---- Rows --------------------------------------------------------------------

QList<WLSearchDataSource::Section> WLSearchDataSource::sections() const
{
    QList<Section> listed;
    for (const WLSearchSection &section : mResults.sections)
        listed.append({section.kind, &section.rows});
    // No matches: one section without title or rows, before any "did you
    // mean".
    if (!mResults.section(WLSearchSection::Kind::WholeWords) &&
        !mResults.section(WLSearchSection::Kind::PartialMatches))
        listed.prepend({std::nullopt, nullptr});
    return listed;
}

qsizetype WLSearchDataSource::numberOfSectionsInTableView() const
{
    return sections().size();
}

qsizetype WLSearchDataSource::tableViewNumberOfRowsInSection(qsizetype section) const
{
    const Section listed = sections().value(section);
    return listed.rows ? listed.rows->size() : 0;
}

QString WLSearchDataSource::tableViewTitleForHeaderInSection(qsizetype section) const
{
    const std::optional<WLSearchSection::Kind> kind = sections().value(section).kind;
    if (!kind)
        return {};
    switch (*kind) {
    case WLSearchSection::Kind::WholeWords:
        return WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords");
    case WLSearchSection::Kind::PartialMatches:
        return WLLocalization::localizedString("MainView.SearchMode.Section.PartialMatches");
    case WLSearchSection::Kind::Suggestions:
        return WLLocalization::localizedString("MainView.SearchMode.Section.DidYouMean");
    }
    return {};
}

std::optional<QList<WLTextRange>> WLSearchDataSource::matchRanges(const QString &word) const
{
    if (!mMatcher || mMatcher->first != mResults.keyword)
        mMatcher.emplace(mResults.keyword, matcherFor(mResults.keyword));
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
    const Section section = sections().value(indexPath.section);
    if (!section.rows || indexPath.row < 0 || indexPath.row >= section.rows->size())
        return cell;
    cell.text = section.rows->at(indexPath.row).word;
    // A suggestion is not a match: nothing in bold.
    cell.boldRanges = section.kind == WLSearchSection::Kind::Suggestions ? QList<WLTextRange>()
                                                                        : matchRanges(cell.text);
    return cell;
}

bool WLSearchDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                 const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLSearchDataSource getWord:links:contentsIDs:atIndexPath:]";
    const Section section = sections().value(indexPath.section);
    const WLSearchResult *row = section.rows && indexPath.row >= 0 && indexPath.row < section.rows->size()
                                    ? &section.rows->at(indexPath.row)
                                    : nullptr;
    QString wordString;
    QString linksString;
    // A search result carries one links text; a headword its list.
    QVariantList linkList;
    std::optional<QVariantList> ids;
    if (row && section.kind == WLSearchSection::Kind::Suggestions) {
        QStringList headwordLinks;
        QStringList headwordContentsIDs;
        if (database() &&
            database()->getName(&wordString, &headwordLinks, &headwordContentsIDs, row->itemID)) {
            // An empty link text is a link text: joined, it must not read
            // as none.
            linksString = headwordLinks.join(u'\t');
            if (linksString.isNull())
                linksString = QStringLiteral("");
            linkList = QVariantList(headwordLinks.cbegin(), headwordLinks.cend());
            ids = QVariantList(headwordContentsIDs.cbegin(), headwordContentsIDs.cend());
        }
    } else if (row) {
        wordString = row->word;
        linksString = row->links;
        linkList = QVariantList{row->links};
        if (!row->contentsIDs.isEmpty())
            ids = QVariantList(row->contentsIDs.cbegin(), row->contentsIDs.cend());
    }
    if (wordString.isNull()) {
        WL_REPORT(kFn, "wordString == nil");
        return false;
    }
    if (linksString.isNull()) {
        WL_REPORT(kFn, "links == nil");
        return false;
    }
    if (!ids) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    if (word)
        *word = wordString;
    if (links)
        *links = linkList;
    if (contentsIDs)
        *contentsIDs = *ids;
    return true;
}

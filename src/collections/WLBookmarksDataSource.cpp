#include "WLBookmarksDataSource.h"

#include "WLConstants.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"
#include "WLRecordList.h"
#include "WLReport.h"
#include "WLUserDefaults.h"

#include <algorithm>

namespace {

using Bookmark = WLBookmarksDataSource::Bookmark;

const WLRecordList<Bookmark> kStoredBookmarks(
    QStringLiteral("WLBookmarks"), QStringLiteral("WLBookmarksVersion"),
    {{{QStringLiteral("word"), &Bookmark::word}, {QStringLiteral("notes"), &Bookmark::notes}},
     {{QStringLiteral("links"), &Bookmark::links},
      {QStringLiteral("contentsIDs"), &Bookmark::contentsIDs}}});

} // namespace

std::unique_ptr<WLBookmarksDataSource> WLBookmarksDataSource::init()
{
    std::unique_ptr<WLBookmarksDataSource> store(new WLBookmarksDataSource);
    store->readPreference();
    store->becomeSharedIfFirst();
    // Another process stored bookmarks: show them.
    store->mDefaultsObserver = kStoredBookmarks.observeStoredChanges([store = store.get()] {
        store->readPreference();
        WLNotificationCenter::defaultCenter().postNotificationName(WLBookmarksDidUpdateNotification, store);
    });
    return store;
}

void WLBookmarksDataSource::readPreference()
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource readPreference]";
    mBookmarkArray = kStoredBookmarks.read(kFn, "!isBookmarkRecord(info)").value_or(QList<Bookmark>());
}

void WLBookmarksDataSource::writePreference() const
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource writePreference]";
    kStoredBookmarks.write(mBookmarkArray, kFn);
}

bool WLBookmarksDataSource::getBookmark(QString *word, QVariantList *links, QString *notes,
                                        QVariantList *contentsIDs, std::size_t index) const
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource getBookmark:links:notes:contentsIDs:atIndex:]";
    if (bookmarkCount() <= index) {
        WL_REPORT(kFn, "[mBookmarkArray count] <= index");
        return false;
    }
    const Bookmark &bookmark = mBookmarkArray.at(qsizetype(index));
    if (word)
        *word = bookmark.word;
    if (links)
        *links = bookmark.links;
    if (notes)
        *notes = bookmark.notes;
    if (contentsIDs)
        *contentsIDs = bookmark.contentsIDs;
    return true;
}

bool WLBookmarksDataSource::addBookmark(const std::optional<QString> &word,
                                        const std::optional<QVariantList> &links,
                                        const std::optional<QString> &notes,
                                        const std::optional<QVariantList> &contentsIDs)
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource addBookmark:links:notes:contentsIDs:]";
    if (!word) {
        WL_REPORT(kFn, "word == nil");
        return false;
    }
    if (!links) {
        WL_REPORT(kFn, "links == nil");
        return false;
    }
    if (!notes) {
        WL_REPORT(kFn, "notes == nil");
        return false;
    }
    if (!contentsIDs) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    kStoredBookmarks.edit(
        [newInfo = Bookmark{*word, *links, *notes, *contentsIDs}](QList<Bookmark> &bookmarks) {
            const auto found = std::find_if(bookmarks.begin(), bookmarks.end(),
                                            [&](const Bookmark &b) { return b.word == newInfo.word; });
            if (found != bookmarks.end()) {
                *found = newInfo;
            } else {
                bookmarks.append(newInfo);
                sortBookmark(bookmarks);
            }
        },
        kFn);
    readPreference();
    WLNotificationCenter::defaultCenter().postNotificationName(WLBookmarksDidUpdateNotification,
                                                               this);
    return true;
}

bool WLBookmarksDataSource::removeBookmarkAtIndex(std::size_t index)
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource removeBookmarkAtIndex:]";
    if (bookmarkCount() <= index) {
        WL_REPORT(kFn, "[mBookmarkArray count] <= index");
        return false;
    }
    removeStored(qsizetype(index), kFn);
    WLNotificationCenter::defaultCenter().postNotificationName(WLBookmarksDidUpdateNotification,
                                                               this);
    return true;
}

void WLBookmarksDataSource::removeStored(qsizetype index, const char *function)
{
    // By its word, which another process's list may hold elsewhere.
    kStoredBookmarks.edit(
        [word = mBookmarkArray.at(index).word](QList<Bookmark> &bookmarks) {
            const auto found = std::find_if(bookmarks.begin(), bookmarks.end(),
                                            [&](const Bookmark &b) { return b.word == word; });
            if (found != bookmarks.end())
                bookmarks.erase(found);
        },
        function);
    readPreference();
}

void WLBookmarksDataSource::sortBookmark(QList<Bookmark> &bookmarks)
{
    // Stable, so that words differing only in case keep their order.
    std::stable_sort(bookmarks.begin(), bookmarks.end(), [](const Bookmark &a, const Bookmark &b) {
        return a.word.compare(b.word, Qt::CaseInsensitive) < 0;
    });
}

QString WLBookmarksDataSource::navigationTitle() const
{
    return WLLocalization::localizedString("Bookmarks");
}

WLTabBarItem WLBookmarksDataSource::tabBarItem() const
{
    return WLTabBarItem{{}, {}, WLTabBarSystemItem::Bookmarks, 102};
}

bool WLBookmarksDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                    const WLIndexPath &indexPath) const
{
    // A negative row wraps to a huge index and is refused as out of range.
    return getBookmark(word, links, nullptr, contentsIDs, std::size_t(indexPath.row));
}

qsizetype WLBookmarksDataSource::tableViewNumberOfRowsInSection(qsizetype) const
{
    return mBookmarkArray.size();
}

std::optional<WLTableViewCell> WLBookmarksDataSource::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLBookmarksDataSource tableView:cellForRowAtIndexPath:]";
    if (indexPath.section != 0) {
        WL_REPORT(kFn, "indexPath.section != 0");
        return std::nullopt;
    }
    WLTableViewCell cell;
    if (!getBookmark(&cell.text, nullptr, &cell.detailText, nullptr, std::size_t(indexPath.row))) {
        WL_REPORT(kFn, "![self getBookmark:&word links:nil notes:&notes contentsIDs:nil "
                       "atIndex:indexPath.row]");
        return std::nullopt;
    }
    cell.textColor = mTextColor;
    if (cell.detailText.isEmpty()) {
        cell.reuseIdentifier = QStringLiteral("kWLDataSourceBookmarkCell");
    } else {
        cell.reuseIdentifier = QStringLiteral("kWLDataSourceBookmarkNotesCell");
        cell.detailTextColor = mNotesTextColor;
    }
    return cell;
}

bool WLBookmarksDataSource::tableViewCommitEditingStyle(WLTableViewCellEditingStyle editingStyle,
                                                        const WLIndexPath &indexPath)
{
    static constexpr char kFn[] =
        "-[WLBookmarksDataSource tableView:commitEditingStyle:forRowAtIndexPath:]";
    if (editingStyle != WLTableViewCellEditingStyle::Delete)
        return false;
    if (indexPath.row < 0 || mBookmarkArray.size() <= indexPath.row) {
        WL_REPORT(kFn, "[mBookmarkArray count] <= indexPath.row");
        return false;
    }
    removeStored(indexPath.row, kFn);
    return true;
}

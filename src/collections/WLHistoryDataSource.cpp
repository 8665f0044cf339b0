#include "WLHistoryDataSource.h"

#include "WLConstants.h"
#include "WLEntryReference.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"
#include "WLRecordList.h"
#include "WLReport.h"
#include "WLUserDefaults.h"

#include <algorithm>

namespace {

using Entry = WLHistoryDataSource::Entry;

const WLRecordList<Entry> kStoredHistory(
    QStringLiteral("WLHistory"), QStringLiteral("WLHistoryVersion"),
    {{{QStringLiteral("word"), &Entry::word}},
     {{QStringLiteral("links"), &Entry::links},
      {QStringLiteral("contentsIDs"), &Entry::contentsIDs}}});

} // namespace

std::unique_ptr<WLHistoryDataSource> WLHistoryDataSource::init()
{
    std::unique_ptr<WLHistoryDataSource> store(new WLHistoryDataSource);
    store->readPreference();
    store->becomeSharedIfFirst();
    // Another process stored its history: show it.
    store->mDefaultsObserver = kStoredHistory.observeStoredChanges([store = store.get()] {
        store->readPreference();
        WLNotificationCenter::defaultCenter().postNotificationName(WLHistoryDidUpdateNotification, store);
    });
    return store;
}

void WLHistoryDataSource::readPreference()
{
    static constexpr char kFn[] = "-[WLHistoryDataSource readPreference]";
    mHistoryArray =
        kStoredHistory.read(kFn, "!isHistoryRecord(info)", kMaxCount).value_or(QList<Entry>());
}

void WLHistoryDataSource::writePreference() const
{
    static constexpr char kFn[] = "-[WLHistoryDataSource writePreference]";
    kStoredHistory.write(mHistoryArray, kFn);
}

bool WLHistoryDataSource::addHistory(const std::optional<QString> &word,
                                     const std::optional<QVariantList> &links,
                                     const std::optional<QVariantList> &contentsIDs)
{
    static constexpr char kFn[] = "-[WLHistoryDataSource addHistory:links:contentsIDs:]";
    if (!wlCheckEntryReference(kFn, word, links, contentsIDs))
        return false;
    kStoredHistory.edit(
        [newInfo = Entry{*word, *links, *contentsIDs}](QList<Entry> &history) {
            const auto found = std::find_if(history.cbegin(), history.cend(),
                                            [&](const Entry &e) { return e.word == newInfo.word; });
            if (found != history.cend())
                history.erase(found);
            history.prepend(newInfo);
            while (history.size() > kMaxCount)
                history.removeLast();
        },
        kFn);
    readPreference();
    WLNotificationCenter::defaultCenter().postNotificationName(WLHistoryDidUpdateNotification, this);
    return true;
}

void WLHistoryDataSource::clearHistory()
{
    kStoredHistory.edit([](QList<Entry> &history) { history.clear(); }, "-[WLHistoryDataSource clearHistory]");
    readPreference();
    WLNotificationCenter::defaultCenter().postNotificationName(WLHistoryDidUpdateNotification, this);
}

QString WLHistoryDataSource::navigationTitle() const
{
    return WLLocalization::localizedString("History");
}

WLTabBarItem WLHistoryDataSource::tabBarItem() const
{
    return WLTabBarItem{{}, {}, WLTabBarSystemItem::History, 103};
}

bool WLHistoryDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                  const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLHistoryDataSource getWord:links:contentsIDs:atIndexPath:]";
    if (indexPath.row < 0 || mHistoryArray.size() <= indexPath.row) {
        WL_REPORT(kFn, "[mHistoryArray count] <= indexPath.row");
        return false;
    }
    const Entry &entry = mHistoryArray.at(indexPath.row);
    if (word)
        *word = entry.word;
    if (links)
        *links = entry.links;
    if (contentsIDs)
        *contentsIDs = entry.contentsIDs;
    return true;
}

qsizetype WLHistoryDataSource::tableViewNumberOfRowsInSection(qsizetype) const
{
    return mHistoryArray.size();
}

std::optional<WLTableViewCell> WLHistoryDataSource::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = QStringLiteral("kWLDataSourceNormalCell");
    cell.textColor = mTextColor;
    getWord(&cell.text, nullptr, nullptr, indexPath);
    return cell;
}

bool WLHistoryDataSource::tableViewCommitEditingStyle(WLTableViewCellEditingStyle editingStyle,
                                                      const WLIndexPath &indexPath)
{
    static constexpr char kFn[] =
        "-[WLHistoryDataSource tableView:commitEditingStyle:forRowAtIndexPath:]";
    if (editingStyle != WLTableViewCellEditingStyle::Delete)
        return false;
    if (indexPath.row < 0 || mHistoryArray.size() <= indexPath.row) {
        WL_REPORT(kFn, "[mHistoryArray count] <= indexPath.row");
        return false;
    }
    kStoredHistory.edit(
        [word = mHistoryArray.at(indexPath.row).word](QList<Entry> &history) {
            const auto found = std::find_if(history.cbegin(), history.cend(),
                                            [&](const Entry &e) { return e.word == word; });
            if (found != history.cend())
                history.erase(found);
        },
        kFn);
    readPreference();
    return true;
}

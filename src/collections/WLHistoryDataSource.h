#pragma once

#include "WLColor.h"
#include "WLDataSourceProtocol.h"
#include "WLNotificationCenter.h"
#include "WLSharedInstance.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <cstddef>
#include <memory>
#include <optional>

// The entries the user has read, most recent first, one per word (exact
// comparison), at most kMaxCount. Also the data source of the History tab.
//
// The list lives in the user defaults store under "WLHistory" (an array of
// {"word", "links", "contentsIDs"} dictionaries) and "WLHistoryVersion" (1).
// It is loaded when the store is made, and every change is made to the
// stored list, so none undoes what another process stored meanwhile. Each
// addition, clearing and change stored by another process posts
// WLHistoryDidUpdateNotification with the store as object.
//
// Threading: main thread only.
class WLHistoryDataSource final : public WLDataSourceProtocol,
                                  public WLSharedInstance<WLHistoryDataSource>
{
public:
    static constexpr qsizetype kMaxCount = 100;

    struct Entry {
        QString word;
        QVariantList links;
        QVariantList contentsIDs;
    };

    // The first store made, until it is destroyed.
    static WLHistoryDataSource *sharedHistory() { return sharedInstance(); }

    static std::unique_ptr<WLHistoryDataSource> init();

    // Replaces the list with the stored one, cut to kMaxCount; stored data of
    // the wrong shape is ignored as a whole.
    void readPreference();
    void writePreference() const;

    std::size_t historyCount() const { return std::size_t(mHistoryArray.size()); }
    // Puts the entry on top, dropping its older record and the oldest beyond
    // kMaxCount. Missing arguments are reported and change nothing.
    bool addHistory(const std::optional<QString> &word, const std::optional<QVariantList> &links,
                    const std::optional<QVariantList> &contentsIDs);
    // Forgets every entry.
    void clearHistory();

    std::optional<WLColor> textColor() const { return mTextColor; }
    void setTextColor(const std::optional<WLColor> &color) { mTextColor = color; }

    // WLDataSourceProtocol
    QString navigationTitle() const override;
    WLTabBarItem tabBarItem() const override;
    WLTableViewStyle tableViewStyle() const override { return WLTableViewStyle::Plain; }
    bool getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                 const WLIndexPath &indexPath) const override;
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    bool tableViewCanEditRows() const override { return true; }
    // Deletes the row; no notification, since the list already shows it.
    bool tableViewCommitEditingStyle(WLTableViewCellEditingStyle editingStyle,
                                     const WLIndexPath &indexPath) override;

private:
    WLHistoryDataSource() = default;

    WLObserverToken mDefaultsObserver;

    QList<Entry> mHistoryArray;
    std::optional<WLColor> mTextColor;
};

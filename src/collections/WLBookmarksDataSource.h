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

// The user's bookmarks: entry references with a note each, one per word
// (exact comparison), new ones placed in case-insensitive order of word.
// Also the data source of the Bookmarks tab.
//
// The list lives in the user defaults store under "WLBookmarks" (an array of
// {"word", "links", "notes", "contentsIDs"} dictionaries) and
// "WLBookmarksVersion" (1). It is loaded when the store is made, and every
// change is made to the stored list, so none depends on an orderly exit and
// none undoes what another process stored meanwhile. Additions, removals
// and changes stored by another process post WLBookmarksDidUpdateNotification
// with the store as object.
//
// Missing arguments (std::nullopt) are reported and change nothing; the
// empty string is a valid note.
//
// Threading: main thread only.
class WLBookmarksDataSource final : public WLDataSourceProtocol,
                                    public WLSharedInstance<WLBookmarksDataSource>
{
public:
    struct Bookmark {
        QString word;
        QVariantList links;
        QString notes;
        QVariantList contentsIDs;
    };

    // The first store made, until it is destroyed.
    static WLBookmarksDataSource *sharedBookmarks() { return sharedInstance(); }

    static std::unique_ptr<WLBookmarksDataSource> init();

    // Replaces the list with the stored one; stored data of the wrong shape
    // is ignored as a whole.
    void readPreference();
    void writePreference() const;

    std::size_t bookmarkCount() const { return std::size_t(mBookmarkArray.size()); }
    bool getBookmark(QString *word, QVariantList *links, QString *notes, QVariantList *contentsIDs,
                     std::size_t index) const;
    // Replaces the bookmark of the same word in place, else inserts in order.
    bool addBookmark(const std::optional<QString> &word, const std::optional<QVariantList> &links,
                     const std::optional<QString> &notes,
                     const std::optional<QVariantList> &contentsIDs);
    bool removeBookmarkAtIndex(std::size_t index);

    std::optional<WLColor> textColor() const { return mTextColor; }
    void setTextColor(const std::optional<WLColor> &color) { mTextColor = color; }
    std::optional<WLColor> notesTextColor() const { return mNotesTextColor; }
    void setNotesTextColor(const std::optional<WLColor> &color) { mNotesTextColor = color; }

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
    WLBookmarksDataSource() = default;
    static void sortBookmark(QList<Bookmark> &bookmarks);
    // Removes the bookmark of the word at index from the stored list.
    void removeStored(qsizetype index, const char *function);

    WLObserverToken mDefaultsObserver;
    QList<Bookmark> mBookmarkArray;
    std::optional<WLColor> mTextColor;
    std::optional<WLColor> mNotesTextColor;
};

#pragma once

#include "WLDataSource.h"

// The Search tab: the dictionary's current search results, whole words and
// partial matches, as titled sections.
//
// Threading: main thread only.
class WLSearchDataSource final : public WLDataSource
{
public:
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

private:
    friend class WLDataSource;
    explicit WLSearchDataSource(WLDatabase *database) : WLDataSource(database) {}
};

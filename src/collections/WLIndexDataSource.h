#pragma once

#include "WLDataSource.h"

#include <optional>

// The Index tab: every headword in the sections of the headword list, the
// section names as headers and as the section index.
//
// Threading: main thread only.
class WLIndexDataSource final : public WLDataSource
{
public:
    QString navigationTitle() const override;
    WLTabBarItem tabBarItem() const override;
    WLTableViewStyle tableViewStyle() const override { return WLTableViewStyle::Plain; }
    bool getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                 const WLIndexPath &indexPath) const override;
    // The first time in the run: reloads and starts at section "a".
    void tableViewWillAppear(WLTableView *tableView) override;

    qsizetype numberOfSectionsInTableView() const override;
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    QString tableViewTitleForHeaderInSection(qsizetype section) const override;
    QStringList sectionIndexTitlesForTableView() const override;

    // Row 0 of the first section named "a" in any case, if there is one.
    std::optional<WLIndexPath> indexPathAtStartPoint() const;

    // One flag for the whole run, shared by every instance; set at start.
    static bool isFirstShowing();
    static void setFirstShowing(bool firstShowing);

private:
    friend class WLDataSource;
    explicit WLIndexDataSource(WLDatabase *database) : WLDataSource(database) {}
};

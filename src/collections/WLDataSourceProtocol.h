#pragma once

#include "WLIndexPath.h"
#include "WLTabBarItem.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

enum class WLTableViewStyle {
    Plain = 0,
    Grouped = 1,
};

enum class WLTableViewCellEditingStyle {
    None = 0,
    Delete = 1,
    Insert = 2,
};

// What every list tab asks of its data source: the screen's title, its tab,
// its rows, and the entry reference (word, links, contents IDs) behind a row.
// The list screen knows data sources only through this interface.
//
// Threading: main thread only.
class WLDataSourceProtocol
{
public:
    virtual ~WLDataSourceProtocol() = default;

    virtual QString navigationTitle() const = 0;
    // A new item on each call.
    virtual WLTabBarItem tabBarItem() const = 0;
    virtual WLTableViewStyle tableViewStyle() const = 0;
    // Fills the entry reference of a row into the out-places that are not
    // null; false (nothing filled) when the row has no entry.
    virtual bool getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                         const WLIndexPath &indexPath) const = 0;

    // Told each time the list screen is about to come on screen.
    virtual void tableViewWillAppear() {}

    // The rows.
    virtual qsizetype numberOfSectionsInTableView() const { return 1; }
    virtual qsizetype tableViewNumberOfRowsInSection(qsizetype section) const = 0;
    virtual QString tableViewTitleForHeaderInSection(qsizetype) const { return {}; }
    virtual QStringList sectionIndexTitlesForTableView() const { return {}; }

    // Row deletion in editing mode; lists that cannot delete refuse.
    virtual bool tableViewCanEditRows() const { return false; }
    virtual bool tableViewCommitEditingStyle(WLTableViewCellEditingStyle, const WLIndexPath &)
    {
        return false;
    }
};

#pragma once

#include "WLTabBarItem.h"
#include "WLTableViewDataSource.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

class WLTableView;

// What every list tab asks of its data source: the screen's title, its tab,
// its rows, and the entry reference (word, links, contents IDs) behind a row.
// The list screen knows data sources only through this interface.
//
// Threading: main thread only.
class WLDataSourceProtocol : public WLTableViewDataSource
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

    // Told each time the list screen is about to come on screen; the table
    // is passed so a source can position it.
    virtual void tableViewWillAppear(WLTableView *) {}
};

#include "WLSearchDataSource.h"

#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLReport.h"

namespace {
const QString kNormalCell = QStringLiteral("kWLDataSourceNormalCell");

bool validIndexPath(const WLIndexPath &indexPath)
{
    return indexPath.section >= 0 && indexPath.row >= 0;
}
} // namespace

QString WLSearchDataSource::navigationTitle() const
{
    return WLLocalization::localizedString("Search");
}

WLTabBarItem WLSearchDataSource::tabBarItem() const
{
    return WLTabBarItem{{}, {}, WLTabBarSystemItem::Search, 101};
}

qsizetype WLSearchDataSource::numberOfSectionsInTableView() const
{
    const qsizetype count = database() ? qsizetype(database()->searchSectionCount()) : 0;
    if (count < 1) {
        WL_REPORT("-[WLSearchDataSource numberOfSectionsInTableView:]", "sectionCount < 1");
        return 1;
    }
    return count;
}

qsizetype WLSearchDataSource::tableViewNumberOfRowsInSection(qsizetype section) const
{
    if (!database() || section < 0)
        return 0;
    return database()->itemCountOfSearchSectionAtIndex(uint(section));
}

QString WLSearchDataSource::tableViewTitleForHeaderInSection(qsizetype section) const
{
    if (!database() || section < 0)
        return {};
    return database()->searchSectionNameAtIndex(uint(section));
}

std::optional<WLTableViewCell> WLSearchDataSource::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = kNormalCell;
    cell.textColor = textColor();
    if (database() && validIndexPath(indexPath))
        cell.text = database()->itemNameAtIndexOfSearchSectionAtIndex(uint(indexPath.row),
                                                                       uint(indexPath.section));
    return cell;
}

bool WLSearchDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                 const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLSearchDataSource getWord:links:contentsIDs:atIndexPath:]";
    QString wordString;
    QString linkString;
    std::optional<QVariantList> contentsIDList;
    if (database() && validIndexPath(indexPath)) {
        const uint row = uint(indexPath.row);
        const uint section = uint(indexPath.section);
        wordString = database()->itemNameAtIndexOfSearchSectionAtIndex(row, section);
        if (!wordString.isNull()) {
            linkString = database()->itemLinksAtIndexOfSearchSectionAtIndex(row, section);
            if (!linkString.isNull())
                contentsIDList = database()->itemContentsIDsAtIndexOfSearchSectionAtIndex(row, section);
        }
    }
    if (wordString.isNull()) {
        WL_REPORT(kFn, "wordString == nil");
        return false;
    }
    if (linkString.isNull()) {
        WL_REPORT(kFn, "links == nil");
        return false;
    }
    if (!contentsIDList) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    if (word)
        *word = wordString;
    // A search result carries one link text.
    if (links)
        *links = QVariantList{linkString};
    if (contentsIDs)
        *contentsIDs = *contentsIDList;
    return true;
}

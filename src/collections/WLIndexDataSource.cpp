#include "WLIndexDataSource.h"

#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLReport.h"
#include "WLTableView.h"

namespace {
bool gFirstShowing = true;
const QString kNormalCell = QStringLiteral("kWLDataSourceNormalCell");
} // namespace

bool WLIndexDataSource::isFirstShowing()
{
    return gFirstShowing;
}

void WLIndexDataSource::setFirstShowing(bool firstShowing)
{
    gFirstShowing = firstShowing;
}

QString WLIndexDataSource::navigationTitle() const
{
    return database() ? database()->title() : QString();
}

WLTabBarItem WLIndexDataSource::tabBarItem() const
{
    return WLTabBarItem{WLLocalization::localizedString("Index"), QStringLiteral("kxIndex30.png"),
                        WLTabBarSystemItem::None, 100};
}

qsizetype WLIndexDataSource::numberOfSectionsInTableView() const
{
    const qsizetype count = database() ? qsizetype(database()->sectionCount()) : 0;
    if (count < 1) {
        WL_REPORT("-[WLIndexDataSource numberOfSectionsInTableView:]", "sectionCount < 1");
        return 1;
    }
    return count;
}

qsizetype WLIndexDataSource::tableViewNumberOfRowsInSection(qsizetype section) const
{
    if (!database() || section < 0)
        return 0;
    return database()->itemCountOfHeadwordSectionAtIndex(uint(section));
}

std::optional<WLTableViewCell> WLIndexDataSource::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    WLTableViewCell cell;
    cell.reuseIdentifier = kNormalCell;
    cell.textColor = textColor();
    if (database() && indexPath.section >= 0 && indexPath.row >= 0)
        cell.text = database()->itemNameAtIndexOfHeadwordSectionAtIndex(uint(indexPath.row),
                                                                         uint(indexPath.section));
    return cell;
}

QString WLIndexDataSource::tableViewTitleForHeaderInSection(qsizetype section) const
{
    if (!database() || section < 0)
        return {};
    return database()->sectionNameAtIndex(uint(section));
}

QStringList WLIndexDataSource::sectionIndexTitlesForTableView() const
{
    static constexpr char kFn[] = "-[WLIndexDataSource sectionIndexTitlesForTableView:]";
    if (!database()) {
        WL_REPORT(kFn, "mDatabase == nil");
        return {};
    }
    QStringList titles;
    const uint count = database()->sectionCount();
    titles.reserve(count);
    for (uint index = 0; index < count; ++index) {
        const QString sectionName = database()->sectionNameAtIndex(index);
        if (sectionName.isNull()) {
            WL_REPORT(kFn, "sectionName == nil");
            WL_REPORT(kFn, "index < count");
            return {};
        }
        titles.append(sectionName);
    }
    return titles;
}

bool WLIndexDataSource::getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                                const WLIndexPath &indexPath) const
{
    static constexpr char kFn[] = "-[WLIndexDataSource getWord:links:contentsIDs:atIndexPath:]";
    const int itemID = database() && indexPath.row >= 0 && indexPath.section >= 0
                           ? database()->itemIDAtIndexOfHeadwordSectionAtIndex(
                                 uint(indexPath.row), uint(indexPath.section))
                           : 0;
    if (itemID == 0) {
        WL_REPORT(kFn, "itemID == 0");
        return false;
    }
    QString nameString;
    QStringList linkList;
    QStringList contentsIDList;
    if (!database()->getName(&nameString, &linkList, &contentsIDList, itemID)) {
        WL_REPORT(kFn, "![mDatabase getName:&nameString links:&links contentsIDs:&contentsIDs "
                       "atItemID:itemID]");
        return false;
    }
    if (word)
        *word = nameString;
    if (links) {
        links->clear();
        for (const QString &link : std::as_const(linkList))
            links->append(link);
    }
    if (contentsIDs) {
        contentsIDs->clear();
        for (const QString &contentsID : std::as_const(contentsIDList))
            contentsIDs->append(contentsID);
    }
    return true;
}

std::optional<WLIndexPath> WLIndexDataSource::indexPathAtStartPoint() const
{
    static constexpr char kFn[] = "-[WLIndexDataSource indexPathAtStartPoint]";
    if (!database()) {
        WL_REPORT(kFn, "mDatabase == nil");
        return std::nullopt;
    }
    const uint count = database()->sectionCount();
    for (uint index = 0; index < count; ++index) {
        const QString sectionName = database()->sectionNameAtIndex(index);
        if (sectionName.isNull()) {
            WL_REPORT(kFn, "sectionName == nil");
            return std::nullopt;
        }
        if (sectionName.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0)
            return WLIndexPath{qsizetype(index), 0};
    }
    return std::nullopt;
}

void WLIndexDataSource::tableViewWillAppear(WLTableView *tableView)
{
    if (!gFirstShowing || !tableView)
        return;
    tableView->reloadData();
    if (const std::optional<WLIndexPath> startPoint = indexPathAtStartPoint())
        tableView->scrollToRowAtIndexPath(*startPoint, WLTableView::Top, false);
    gFirstShowing = false;
}

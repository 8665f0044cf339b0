#include "WLTableView.h"

#include <algorithm>

WLTableView::WLTableView(WLTableViewStyle style, QObject *parent)
    : QObject(parent), mStyle(style), mModel(this)
{
}

void WLTableView::setDataSource(WLTableViewDataSource *dataSource)
{
    mDataSource = dataSource;
    mModel.setDataSource(dataSource);
}

void WLTableView::setRowHeight(double height)
{
    if (mRowHeight == height)
        return;
    mRowHeight = height;
    Q_EMIT appearanceChanged();
}

void WLTableView::setSeparatorStyle(SeparatorStyle style)
{
    if (mSeparatorStyle == style)
        return;
    mSeparatorStyle = style;
    Q_EMIT appearanceChanged();
}

void WLTableView::setClearBackground(bool clear)
{
    if (mClearBackground == clear)
        return;
    mClearBackground = clear;
    Q_EMIT appearanceChanged();
}

void WLTableView::setScrollEnabled(bool enabled)
{
    if (mScrollEnabled == enabled)
        return;
    mScrollEnabled = enabled;
    Q_EMIT appearanceChanged();
}

void WLTableView::reloadDataIfNeeded()
{
    if (!mLoaded)
        reloadData();
}

void WLTableView::reloadData()
{
    mLoaded = true;
    mSelectedRow = -1;
    mModel.reload();
    mSectionIndexTitles = mDataSource ? mDataSource->sectionIndexTitlesForTableView() : QStringList();
    Q_EMIT reloaded();
    Q_EMIT selectionChanged();
}

void WLTableView::reloadDataAppending()
{
    const std::optional<WLIndexPath> selected = indexPathForSelectedRow();
    if (!mLoaded || !mModel.insertAppendedRows()) {
        reloadData();
        return;
    }
    mSelectedRow = selected ? mModel.rowForIndexPath(*selected) : -1;
    mSectionIndexTitles = mDataSource ? mDataSource->sectionIndexTitlesForTableView() : QStringList();
    Q_EMIT reloaded();
    Q_EMIT selectionChanged();
}

void WLTableView::deleteRowsAtIndexPaths(const QList<WLIndexPath> &indexPaths)
{
    QList<int> rows;
    for (const WLIndexPath &indexPath : indexPaths) {
        const int row = mModel.rowForIndexPath(indexPath);
        if (row >= 0)
            rows.append(row);
    }
    // Bottom up, so the rows above keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows) {
        if (mSelectedRow == row)
            mSelectedRow = -1;
        else if (mSelectedRow > row)
            --mSelectedRow;
        mModel.removeRow(row);
    }
    Q_EMIT selectionChanged();
}

qsizetype WLTableView::numberOfRowsInSection(qsizetype section) const
{
    return mModel.rowCountOfSection(section);
}

void WLTableView::scrollToRowAtIndexPath(const WLIndexPath &indexPath, ScrollPosition position,
                                         bool animated)
{
    Q_UNUSED(animated);
    const int row = mModel.rowForIndexPath(indexPath);
    if (row < 0)
        return;
    mScrollRow = row;
    mScrollPosition = position;
    ++mScrollSerial;
    Q_EMIT scrollRequested();
}

std::optional<WLIndexPath> WLTableView::indexPathForSelectedRow() const
{
    return mModel.indexPathForRow(mSelectedRow);
}

void WLTableView::selectRowAtIndexPath(const WLIndexPath &indexPath)
{
    const int row = mModel.rowForIndexPath(indexPath);
    if (row == mSelectedRow)
        return;
    mSelectedRow = row;
    Q_EMIT selectionChanged();
}

void WLTableView::deselectRowAtIndexPath(const WLIndexPath &indexPath, bool)
{
    if (mModel.rowForIndexPath(indexPath) != mSelectedRow || mSelectedRow < 0)
        return;
    mSelectedRow = -1;
    Q_EMIT selectionChanged();
}

void WLTableView::setEditing(bool editing, bool)
{
    if (mEditing == editing)
        return;
    mEditing = editing;
    Q_EMIT editingChanged();
}

void WLTableView::setAllowsSelectionDuringEditing(bool allows)
{
    if (mAllowsSelectionDuringEditing == allows)
        return;
    mAllowsSelectionDuringEditing = allows;
    Q_EMIT editingChanged();
}

void WLTableView::tapRow(int row)
{
    const std::optional<WLIndexPath> indexPath = mModel.indexPathForRow(row);
    if (!indexPath)
        return;
    selectRowAtIndexPath(*indexPath);
    if (mDelegate)
        mDelegate->tableViewDidSelectRowAtIndexPath(this, *indexPath);
}

void WLTableView::commitDeleteRow(int row)
{
    const std::optional<WLIndexPath> indexPath = mModel.indexPathForRow(row);
    if (!indexPath || !mDataSource || !mEditing)
        return;
    if (mDataSource->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, *indexPath))
        deleteRowsAtIndexPaths({*indexPath});
}

QString WLTableView::titleForSection(int section) const
{
    return mDataSource && section >= 0 && section < mModel.sectionCount()
               ? mDataSource->tableViewTitleForHeaderInSection(section)
               : QString();
}

int WLTableView::rowForSectionIndex(int index) const
{
    // The entry's own section, else the next one that has rows.
    for (qsizetype section = index; section >= 0 && section < mModel.sectionCount(); ++section) {
        const int row = mModel.firstRowOfSection(section);
        if (row >= 0)
            return row;
    }
    return -1;
}

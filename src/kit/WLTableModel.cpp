#include "WLTableModel.h"

#include "WLColorName.h"

#include <algorithm>
#include <limits>

namespace {
// A bound that keeps the cell cache to a screenful or two.
constexpr qsizetype kMaxCachedCells = 512;

// Ranges in order, not overlapping.
QString styledText(const WLTableViewCell &cell)
{
    if (!cell.boldRanges)
        return {};
    QString styled;
    qsizetype done = 0;
    for (const WLTextRange &range : *cell.boldRanges) {
        const qsizetype start = qBound(done, range.location, cell.text.size());
        const qsizetype end = qBound(start, range.location + range.length, cell.text.size());
        styled += cell.text.mid(done, start - done).toHtmlEscaped();
        if (end > start)
            styled += QStringLiteral("<b>") + cell.text.mid(start, end - start).toHtmlEscaped()
                      + QStringLiteral("</b>");
        done = end;
    }
    // Without a bold range it is still styled text: drawn plain, not bold.
    return styled + cell.text.mid(done).toHtmlEscaped();
}
} // namespace

WLTableModel::WLTableModel(QObject *parent) : QAbstractListModel(parent) {}

void WLTableModel::reload()
{
    beginResetModel();
    mCells.clear();
    mSectionStarts.clear();
    mRowCount = 0;
    if (mDataSource) {
        const qsizetype sections = qMax<qsizetype>(mDataSource->numberOfSectionsInTableView(), 0);
        mSectionStarts.reserve(size_t(sections));
        for (qsizetype section = 0; section < sections; ++section) {
            mSectionStarts.push_back(mRowCount);
            const qsizetype rows = mDataSource->tableViewNumberOfRowsInSection(section);
            // The views address rows with int.
            const qsizetype total = qsizetype(mRowCount) + qMax<qsizetype>(rows, 0);
            mRowCount = int(qMin<qsizetype>(total, std::numeric_limits<int>::max()));
        }
    }
    endResetModel();
}

bool WLTableModel::insertAppendedRows()
{
    if (!mDataSource)
        return false;
    const qsizetype sections = qMax<qsizetype>(mDataSource->numberOfSectionsInTableView(), 0);
    if (sections < sectionCount())
        return false;
    std::vector<qsizetype> counts;
    for (qsizetype section = 0; section < sections; ++section) {
        counts.push_back(qMax<qsizetype>(mDataSource->tableViewNumberOfRowsInSection(section), 0));
        if (section < sectionCount() && counts.back() < rowCountOfSection(section))
            return false;
    }
    // Rows after an insertion move down: the cells kept by row go.
    mCells.clear();
    for (qsizetype section = 0; section < sections; ++section) {
        if (size_t(section) == mSectionStarts.size())
            mSectionStarts.push_back(mRowCount);
        const qsizetype added = counts[size_t(section)] - rowCountOfSection(section);
        // The views address rows with int.
        const int room = std::numeric_limits<int>::max() - mRowCount;
        const int count = int(qMin<qsizetype>(added, room));
        if (count <= 0)
            continue;
        const int at = mSectionStarts[size_t(section)] + int(rowCountOfSection(section));
        beginInsertRows({}, at, at + count - 1);
        for (size_t later = size_t(section) + 1; later < mSectionStarts.size(); ++later)
            mSectionStarts[later] += count;
        mRowCount += count;
        endInsertRows();
    }
    return true;
}

void WLTableModel::removeRow(int row)
{
    const std::optional<WLIndexPath> indexPath = indexPathForRow(row);
    if (!indexPath)
        return;
    beginRemoveRows({}, row, row);
    for (size_t section = size_t(indexPath->section) + 1; section < mSectionStarts.size(); ++section)
        --mSectionStarts[section];
    --mRowCount;
    mCells.clear();
    endRemoveRows();
}

int WLTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mRowCount;
}

std::optional<WLIndexPath> WLTableModel::indexPathForRow(int row) const
{
    if (row < 0 || row >= mRowCount || mSectionStarts.empty())
        return std::nullopt;
    // The last section starting at or before the row; empty sections share
    // their start with the next one, so take the last of equal starts.
    const auto it = std::upper_bound(mSectionStarts.begin(), mSectionStarts.end(), row);
    const qsizetype section = qsizetype(it - mSectionStarts.begin()) - 1;
    return WLIndexPath{section, row - mSectionStarts[size_t(section)]};
}

int WLTableModel::rowForIndexPath(const WLIndexPath &indexPath) const
{
    if (indexPath.section < 0 || size_t(indexPath.section) >= mSectionStarts.size() || indexPath.row < 0)
        return -1;
    const int start = mSectionStarts[size_t(indexPath.section)];
    const int end = size_t(indexPath.section) + 1 < mSectionStarts.size()
                        ? mSectionStarts[size_t(indexPath.section) + 1]
                        : mRowCount;
    return indexPath.row < end - start ? start + int(indexPath.row) : -1;
}

qsizetype WLTableModel::rowCountOfSection(qsizetype section) const
{
    if (section < 0 || size_t(section) >= mSectionStarts.size())
        return 0;
    const int end = size_t(section) + 1 < mSectionStarts.size() ? mSectionStarts[size_t(section) + 1]
                                                                 : mRowCount;
    return end - mSectionStarts[size_t(section)];
}

int WLTableModel::firstRowOfSection(qsizetype section) const
{
    if (section < 0 || size_t(section) >= mSectionStarts.size())
        return -1;
    const int start = mSectionStarts[size_t(section)];
    return start < mRowCount ? start : -1;
}

const WLTableViewCell *WLTableModel::cellForRow(int row) const
{
    auto it = mCells.constFind(row);
    if (it == mCells.constEnd()) {
        const std::optional<WLIndexPath> indexPath = indexPathForRow(row);
        if (!indexPath || !mDataSource)
            return nullptr;
        if (mCells.size() >= kMaxCachedCells)
            mCells.clear();
        it = mCells.insert(row, mDataSource->tableViewCellForRowAtIndexPath(*indexPath));
    }
    return it->has_value() ? &**it : nullptr;
}

QVariant WLTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mRowCount)
        return {};
    if (role == SectionRole) {
        const std::optional<WLIndexPath> indexPath = indexPathForRow(index.row());
        return indexPath ? QString::number(indexPath->section) : QString();
    }
    const WLTableViewCell *cell = cellForRow(index.row());
    if (!cell)
        return role == ReuseIdentifierRole ? QVariant(QString()) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case TextRole:
        return cell->text;
    case DetailTextRole:
        return cell->detailText;
    case TextColorRole:
        return wlColorName(cell->textColor);
    case DetailTextColorRole:
        return wlColorName(cell->detailTextColor);
    case ReuseIdentifierRole:
        return cell->reuseIdentifier;
    case SelectionStyleRole:
        return int(cell->selectionStyle);
    case StyledTextRole:
        return styledText(*cell);
    case AccessoryTypeRole:
        return int(cell->accessoryType);
    case EditableRole:
        return cell->editable;
    case ViewRole:
        return QVariant::fromValue(cell->view.data());
    default:
        return {};
    }
}

QHash<int, QByteArray> WLTableModel::roleNames() const
{
    return {{TextRole, "text"},
            {DetailTextRole, "detailText"},
            {TextColorRole, "textColor"},
            {DetailTextColorRole, "detailTextColor"},
            {ReuseIdentifierRole, "reuseIdentifier"},
            {AccessoryTypeRole, "accessoryType"},
            {EditableRole, "editable"},
            {SectionRole, "section"},
            {SelectionStyleRole, "selectionStyle"},
            {StyledTextRole, "styledText"},
            {ViewRole, "view"}};
}

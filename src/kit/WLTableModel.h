#pragma once

#include "WLIndexPath.h"
#include "WLTableViewDataSource.h"

#include <QAbstractListModel>
#include <QHash>

#include <optional>
#include <vector>

// The rows of a table as one flat list model for the views, which create
// views for the visible rows only. Rows are asked of the data source when
// shown; a reload costs one call per section, not per row.
class WLTableModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        TextRole = Qt::UserRole + 1,
        DetailTextRole,
        TextColorRole,
        DetailTextColorRole,
        ReuseIdentifierRole,
        SectionRole,
        SelectionStyleRole,
        // The text as styled text with its bold ranges; empty when the
        // whole text is bold.
        StyledTextRole,
        ViewRole,
        AccessoryTypeRole,
        EditableRole,
    };

    explicit WLTableModel(QObject *parent = nullptr);

    void setDataSource(WLTableViewDataSource *dataSource) { mDataSource = dataSource; }
    void reload();
    // The data source only added rows at the ends of its sections, and
    // sections after its last: the rows already here stay and the new ones
    // come in. False (nothing changed) when its counts say otherwise.
    bool insertAppendedRows();
    // The row is already gone from the data source.
    void removeRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    qsizetype sectionCount() const { return qsizetype(mSectionStarts.size()); }
    std::optional<WLIndexPath> indexPathForRow(int row) const;
    int rowForIndexPath(const WLIndexPath &indexPath) const;
    qsizetype rowCountOfSection(qsizetype section) const;
    // The first row of a section; -1 when it has none.
    int firstRowOfSection(qsizetype section) const;

private:
    const WLTableViewCell *cellForRow(int row) const;

    WLTableViewDataSource *mDataSource = nullptr;
    // Flat row of each section's first row; the total row count.
    std::vector<int> mSectionStarts;
    int mRowCount = 0;
    // Views ask for several roles of a row in a row; the cells of the
    // rows on show are kept until the next reload.
    mutable QHash<int, std::optional<WLTableViewCell>> mCells;
};

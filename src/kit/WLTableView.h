#pragma once

#include "WLIndexPath.h"
#include "WLTableModel.h"
#include "WLTableViewDataSource.h"

#include <QAbstractListModel>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <optional>
#include <vector>

class WLTableView;

class WLTableViewDelegate
{
public:
    virtual ~WLTableViewDelegate() = default;
    virtual void tableViewDidSelectRowAtIndexPath(WLTableView *tableView,
                                                  const WLIndexPath &indexPath) = 0;
};

// A list of rows in sections, with an optional section index at the side;
// rows can be selected and, in editing mode, deleted.
class WLTableView : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractItemModel *model READ model CONSTANT)
    Q_PROPERTY(int style READ style CONSTANT)
    Q_PROPERTY(double rowHeight READ rowHeight NOTIFY appearanceChanged)
    Q_PROPERTY(int separatorStyle READ separatorStyle NOTIFY appearanceChanged)
    Q_PROPERTY(bool clearBackground READ hasClearBackground NOTIFY appearanceChanged)
    Q_PROPERTY(bool scrollEnabled READ isScrollEnabled NOTIFY appearanceChanged)
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)
    Q_PROPERTY(bool allowsSelectionDuringEditing READ allowsSelectionDuringEditing NOTIFY editingChanged)
    Q_PROPERTY(bool canEditRows READ canEditRows NOTIFY reloaded)
    Q_PROPERTY(QStringList sectionIndexTitles READ sectionIndexTitles NOTIFY reloaded)
    Q_PROPERTY(int selectedRow READ selectedRow NOTIFY selectionChanged)
    // The last scroll asked for, kept for a view made after the request:
    // the row, its position, and a serial that grows with every request.
    Q_PROPERTY(int scrollRow READ scrollRow NOTIFY scrollRequested)
    Q_PROPERTY(int scrollPosition READ scrollPosition NOTIFY scrollRequested)
    Q_PROPERTY(int scrollSerial READ scrollSerial NOTIFY scrollRequested)

public:
    static constexpr double kDefaultRowHeight = 44;
    enum ScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };
    enum SeparatorStyle { NoSeparator = 0, SingleLine = 1 };

    explicit WLTableView(WLTableViewStyle style, QObject *parent = nullptr);

    WLTableViewDataSource *dataSource() const { return mDataSource; }
    void setDataSource(WLTableViewDataSource *dataSource);
    WLTableViewDelegate *delegate() const { return mDelegate; }
    void setDelegate(WLTableViewDelegate *delegate) { mDelegate = delegate; }

    QAbstractItemModel *model() { return &mModel; }
    int style() const { return int(mStyle); }

    double rowHeight() const { return mRowHeight; }
    void setRowHeight(double height);
    int separatorStyle() const { return mSeparatorStyle; }
    void setSeparatorStyle(SeparatorStyle style);
    bool hasClearBackground() const { return mClearBackground; }
    void setClearBackground(bool clear);
    bool isScrollEnabled() const { return mScrollEnabled; }
    void setScrollEnabled(bool enabled);

    void reloadData();
    // A reload for a data source that only added rows at the ends of its
    // sections: the views keep the rows on show, and the selection.
    void reloadDataAppending();
    // The first reload, when the table comes on screen unloaded.
    void reloadDataIfNeeded();
    // Rows the data source no longer has; the others keep their place.
    void deleteRowsAtIndexPaths(const QList<WLIndexPath> &indexPaths);
    void scrollToRowAtIndexPath(const WLIndexPath &indexPath, ScrollPosition position, bool animated);

    std::optional<WLIndexPath> indexPathForSelectedRow() const;
    std::optional<WLIndexPath> indexPathForRow(int row) const { return mModel.indexPathForRow(row); }
    void selectRowAtIndexPath(const WLIndexPath &indexPath);
    void deselectRowAtIndexPath(const WLIndexPath &indexPath, bool animated);
    int selectedRow() const { return mSelectedRow; }
    int scrollRow() const { return mScrollRow; }
    int scrollPosition() const { return mScrollPosition; }
    int scrollSerial() const { return mScrollSerial; }

    bool isEditing() const { return mEditing; }
    void setEditing(bool editing, bool animated);
    // The views pass taps on rows in editing mode too (otherwise they keep
    // them for the delete controls).
    bool allowsSelectionDuringEditing() const { return mAllowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows);
    bool canEditRows() const { return mDataSource && mDataSource->tableViewCanEditRows(); }

    QStringList sectionIndexTitles() const { return mSectionIndexTitles; }
    qsizetype numberOfSections() const { return mModel.sectionCount(); }
    qsizetype numberOfRowsInSection(qsizetype section) const;

    // For the views.
    Q_INVOKABLE void tapRow(int row);
    Q_INVOKABLE void commitDeleteRow(int row);
    Q_INVOKABLE QString titleForSection(int section) const;
    // Where the section index entry leads: the first row of its section.
    Q_INVOKABLE int rowForSectionIndex(int index) const;
    Q_INVOKABLE int rowForIndexPath(int section, int row) const
    {
        return mModel.rowForIndexPath({section, row});
    }

Q_SIGNALS:
    void appearanceChanged();
    void editingChanged();
    void reloaded();
    void selectionChanged();
    // The view scrolls the row to the position.
    void scrollRequested();

private:
    WLTableViewStyle mStyle;
    WLTableViewDataSource *mDataSource = nullptr;
    WLTableViewDelegate *mDelegate = nullptr;
    WLTableModel mModel;
    double mRowHeight = kDefaultRowHeight;
    int mSeparatorStyle = SingleLine;
    bool mClearBackground = false;
    bool mScrollEnabled = true;
    bool mEditing = false;
    bool mAllowsSelectionDuringEditing = false;
    bool mLoaded = false;
    int mSelectedRow = -1;
    QStringList mSectionIndexTitles;
    int mScrollRow = -1;
    int mScrollPosition = None;
    int mScrollSerial = 0;
};

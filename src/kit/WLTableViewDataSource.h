#pragma once

#include "WLColor.h"
#include "WLIndexPath.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

enum class WLTableViewStyle {
    Plain = 0,
    Grouped = 1,
};

enum class WLTableViewCellEditingStyle {
    None = 0,
    Delete = 1,
    Insert = 2,
};

enum class WLTableViewCellSelectionStyle {
    None = 0,
    Blue = 1,
};

// What a row shows at its right; the phone's values.
enum class WLTableViewCellAccessoryType {
    None = 0,
    DisclosureIndicator = 1,
    Checkmark = 3,
};

// A run of characters of a text: its first index and its length.
struct WLTextRange {
    qsizetype location = 0;
    qsizetype length = 0;

    bool operator==(const WLTextRange &) const = default;
};

// What a row shows. The reuse identifier names the kind of cell, and so
// the view that draws it; a second line (detailText) is shown only by the
// kinds that have one.
struct WLTableViewCell {
    QString reuseIdentifier;
    QString text;
    std::optional<WLColor> textColor;
    QString detailText;
    std::optional<WLColor> detailTextColor;
    WLTableViewCellSelectionStyle selectionStyle = WLTableViewCellSelectionStyle::Blue;
    // The text is bold throughout, or when ranges are given, only there.
    std::optional<QList<WLTextRange>> boldRanges;
    // A control shown at the right of the row (a switch), owned elsewhere.
    QPointer<QObject> view;
    WLTableViewCellAccessoryType accessoryType = WLTableViewCellAccessoryType::None;
    // Deleted in editing mode, when the list deletes rows at all.
    bool editable = true;

    bool operator==(const WLTableViewCell &) const = default;
};

// The rows of a table: sections, rows, the cell of a row, and row
// deletion in editing mode. The table asks again after reloadData().
//
// Threading: main thread only.
class WLTableViewDataSource
{
public:
    virtual ~WLTableViewDataSource() = default;

    virtual qsizetype numberOfSectionsInTableView() const { return 1; }
    virtual qsizetype tableViewNumberOfRowsInSection(qsizetype section) const = 0;
    // Nothing: the row has no cell and shows empty.
    virtual std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const = 0;
    virtual QString tableViewTitleForHeaderInSection(qsizetype) const { return {}; }
    // Empty: no section index.
    virtual QStringList sectionIndexTitlesForTableView() const { return {}; }

    // Lists that cannot delete refuse. True when the row was deleted; the
    // table then takes it out of its view.
    virtual bool tableViewCanEditRows() const { return false; }
    virtual bool tableViewCommitEditingStyle(WLTableViewCellEditingStyle, const WLIndexPath &)
    {
        return false;
    }
};

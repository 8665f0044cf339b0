#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLProperty.h"
#include "WLReport.h"
#include "WLText.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <limits>

namespace {

constexpr char kPrepareFn[] = "-[WLDatabase prepareHeadwordDatabase2:]";
constexpr char kCleanupFn[] = "-[WLDatabase cleanupHeadwordDatabase2]";
constexpr char kItemNameFn[] = "-[WLDatabase itemNameAtIndex:ofHeadwordSectionAtIndex:]";
constexpr char kGetNameFn[] = "-[WLDatabase getName:atItemID:]";
constexpr char kGetAllFn[] = "-[WLDatabase getName:links:contentsIDs:atItemID:]";
constexpr char kContentsIDsFn[] = "contentsIDArrayFromString";

struct HeadwordNames
{
    QString table, id, look, word, links, contentsIDs;
};

// A bad row is reported and left out; the other sections remain.
std::optional<WLSectionRecord> sectionFromRow(const WLSqliteStatement &statement)
{
    const char *letter = statement.columnText(0);
    if (!letter)
        WL_REPORT(kPrepareFn, "stringPtr == NULL");
    const int offset = statement.columnInt(1);
    if (offset == 0)
        WL_REPORT(kPrepareFn, "offset == 0");
    const int count = statement.columnInt(2);
    if (count == 0)
        WL_REPORT(kPrepareFn, "count == 0");
    if (!letter || offset <= 0 || count <= 0)
        return std::nullopt;
    const QString name = wlStringWithUTF8(letter).value_or(QString()).toUpper();
    if (name.isEmpty()) {
        WL_REPORT(kPrepareFn, "[letterString length] == 0");
        return std::nullopt;
    }
    return WLSectionRecord{name, offset, count};
}

} // namespace

bool WLDatabase::prepareHeadwordDatabase2(const QVariantMap &info)
{
    const WLDescriptionReader reader(info, kPrepareFn);
    QString fileName;
    if (!reader.readNames({{KXPropHeadwordDatabaseFileName, "name == nil", &fileName}}))
        return false;
    const QString path = reader.existingFilePath(
        fileName, "path == nil", "![fm fileExistsAtPath:path isDirectory:&isDirectory]");
    if (path.isEmpty() || !wlOpenReporting(mHeadwordDatabase, path, kPrepareFn))
        return false;

    HeadwordNames names;
    if (!reader.readNames(
            {{KXPropHeadwordTableName, "tableName == nil", &names.table},
             {KXPropHeadwordIDColumn, "idColumn == nil", &names.id},
             {KXPropHeadwordLookColumn, "lookColumn == nil", &names.look},
             {KXPropHeadwordWordColumn, "wordColumn == nil", &names.word},
             {KXPropHeadwordLinksColumn, "linksColumn == nil", &names.links},
             {KXPropHeadwordContentsIDsColumn, "contentsIDsColumn == nil", &names.contentsIDs}}))
        return false;
    if (!wlPrepareReporting(
            mHeadwordGetWordStatement, mHeadwordDatabase,
            wlStatementWithNames(u"SELECT %1 FROM %2 WHERE %3=?;",
                                 {names.word, names.table, names.id}),
            kPrepareFn) ||
        !wlPrepareReporting(
            mHeadwordGetAllStatement, mHeadwordDatabase,
            wlStatementWithNames(u"SELECT %1, %2, %3 FROM %4 WHERE %5=?;",
                                 {names.word, names.links, names.contentsIDs, names.table,
                                  names.id}),
            kPrepareFn))
        return false;

    WLIndexNames section;
    if (!reader.readIndexNames({KXPropHeadwordIndexTableName, KXPropHeadwordIndexIDColumn,
                                KXPropHeadwordIndexLetterColumn, KXPropHeadwordIndexOffsetColumn,
                                KXPropHeadwordIndexCountColumn},
                               &section))
        return false;
    return loadHeadwordSections(section);
}

bool WLDatabase::loadHeadwordSections(const WLIndexNames &names)
{
    WLSqliteStatement statement;
    bool succeed = false;
    if (wlPrepareReporting(statement, mHeadwordDatabase,
                           wlStatementWithNames(u"SELECT %1, %2, %3 FROM %4 ORDER BY %5;",
                                                {names.letter, names.offset, names.count,
                                                 names.table, names.id}),
                           kPrepareFn)) {
        QList<WLSectionRecord> sections;
        while (statement.step() == SQLITE_ROW) {
            if (std::optional<WLSectionRecord> record = sectionFromRow(statement))
                sections.append(*record);
        }
        mHeadwordSectionArray = sections;
        succeed = true;
    }
    wlFinalizeReporting(statement, kPrepareFn);
    return succeed;
}

void WLDatabase::cleanupHeadwordDatabase2()
{
    wlFinalizeReporting(mHeadwordGetAllStatement, kCleanupFn);
    wlFinalizeReporting(mHeadwordGetWordStatement, kCleanupFn);
    wlCloseReporting(mHeadwordDatabase, kCleanupFn);
    mHeadwordSectionArray.clear();
}

bool WLDatabase::supportsSectionMode() const
{
    return !mHeadwordSectionArray.isEmpty();
}

uint WLDatabase::sectionCount() const
{
    return uint(mHeadwordSectionArray.size());
}

QString WLDatabase::sectionNameAtIndex(uint section) const
{
    return section < sectionCount() ? mHeadwordSectionArray.at(section).letter : QString();
}

uint WLDatabase::itemCountOfHeadwordSectionAtIndex(uint section) const
{
    return section < sectionCount() ? uint(mHeadwordSectionArray.at(section).count) : 0;
}

int WLDatabase::itemIDAtIndexOfHeadwordSectionAtIndex(uint row, uint section) const
{
    if (section >= sectionCount())
        return 0;
    const WLSectionRecord &record = mHeadwordSectionArray.at(section);
    // IDs are ints: a row past the last one there can be has no headword.
    const qint64 headwordID = qint64(record.offset) + row;
    if (record.offset > 0 && record.count > 0 && row < uint(record.count) &&
        headwordID <= std::numeric_limits<int>::max())
        return int(headwordID);
    return 0;
}

QString WLDatabase::itemNameAtIndexOfHeadwordSectionAtIndex(uint row, uint section)
{
    const int headwordID = itemIDAtIndexOfHeadwordSectionAtIndex(row, section);
    if (headwordID == 0) {
        WL_REPORT(kItemNameFn, "headwordID == 0");
        return {};
    }
    QString name;
    if (!getName(&name, headwordID)) {
        WL_REPORT(kItemNameFn, "![self getName:&name atItemID:headwordID]");
        return {};
    }
    return name;
}

bool WLDatabase::getName(QString *word, int itemID)
{
    if (itemID == 0) {
        WL_REPORT(kGetNameFn, "itemID == 0");
        return false;
    }
    const WLStatementResetter resetter(mHeadwordGetWordStatement, kGetNameFn);
    if (!wlStepToRow(mHeadwordGetWordStatement, itemID, kGetNameFn))
        return false;
    std::optional<QString> name =
        wlColumnString(mHeadwordGetWordStatement, 0, kGetNameFn, "name == nil");
    if (!name)
        return false;
    if (word)
        *word = *name;
    return true;
}

bool WLDatabase::getName(QString *word, QStringList *links, QStringList *contentsIDs, int itemID)
{
    if (itemID == 0) {
        WL_REPORT(kGetAllFn, "itemID == 0");
        return false;
    }
    WLSqliteStatement &statement = mHeadwordGetAllStatement;
    const WLStatementResetter resetter(statement, kGetAllFn);
    if (!wlStepToRow(statement, itemID, kGetAllFn))
        return false;
    std::optional<QString> wordString =
        wlColumnString(statement, 0, kGetAllFn, "wordString == nil");
    if (!wordString)
        return false;
    std::optional<QString> linksString =
        wlColumnString(statement, 1, kGetAllFn, "linksString == nil");
    if (!linksString)
        return false;
    std::optional<QString> idsString =
        wlColumnString(statement, 2, kGetAllFn, "contentsIDsString == nil");
    if (!idsString)
        return false;
    if (word)
        *word = *wordString;
    if (links)
        *links = linksString->split(u'\t');
    if (contentsIDs)
        *contentsIDs = idsString->split(u'\t');
    return true;
}

std::optional<QList<int>> contentsIDArrayFromString(const QString &text)
{
    if (text.isNull()) {
        WL_REPORT(kContentsIDsFn, "components == nil");
        return std::nullopt;
    }
    QList<int> ids;
    for (QStringView component : QStringView(text).split(u'\t')) {
        const int contentsID = wlIntValue(component);
        if (contentsID <= 0) {
            WL_REPORT(kContentsIDsFn, "contentsID <= 0");
            WL_REPORT(kContentsIDsFn, "component != nil");
            return std::nullopt;
        }
        ids.append(contentsID);
    }
    return ids;
}

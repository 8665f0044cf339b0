#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLProperty.h"
#include "WLReport.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr char kPrepareFn[] = "-[WLDatabase prepareContentsLinkDatabase:]";
constexpr char kCleanupFn[] = "-[WLDatabase cleanupContentsLinkDatabase]";
constexpr char kGetFn[] = "-[WLDatabase getName:link:contentsID:atContentsLinkID:]";

struct LinkNames
{
    QString table, id, word, link, contentsID;
};

} // namespace

// The link table is the first thing the dictionary opens; its index is
// read before the file itself is checked, so a missing file fails there.
bool WLDatabase::prepareContentsLinkDatabase(const QVariantMap &info)
{
    const WLDescriptionReader reader(info, kPrepareFn);
    WLIndexNames index;
    if (!reader.readNames(
            {{KXPropContentsLinkDatabaseFileName, "databaseFileName == nil", &index.file}}) ||
        !reader.readIndexNames({KXPropContentsLinkIndexTableName, KXPropContentsLinkIndexIDColumn,
                                KXPropContentsLinkIndexLetterColumn,
                                KXPropContentsLinkIndexOffsetColumn,
                                KXPropContentsLinkIndexCountColumn},
                               &index))
        return false;
    mContentsLinkIndexRangeArray = index.load();
    if (!mContentsLinkIndexRangeArray) {
        WL_REPORT(kPrepareFn, "mContentsLinkIndexRangeArray == nil");
        return false;
    }
    const QString databasePath =
        reader.existingFilePath(index.file, "databasePath == nil",
                                "![fm fileExistsAtPath:databasePath isDirectory:&isDirectory]");
    if (databasePath.isEmpty() || !wlOpenReporting(mContentsLinkDatabase, databasePath, kPrepareFn))
        return false;
    LinkNames names;
    if (!reader.readNames(
            {{KXPropContentsLinkTableName, "tableName == nil", &names.table},
             {KXPropContentsLinkIDColumn, "idColumn == nil", &names.id},
             {KXPropContentsLinkWordColumn, "wordColumn == nil", &names.word},
             {KXPropContentsLinkLinkColumn, "linkColumn == nil", &names.link},
             {KXPropContentsLinkContentsIDColumn, "contentsIDColumn == nil", &names.contentsID}}))
        return false;
    return wlPrepareReporting(
        mContentsLinkGetStatement, mContentsLinkDatabase,
        wlStatementWithNames(u"SELECT %1, %2, %3 FROM %4 WHERE %5=?;",
                             {names.word, names.link, names.contentsID, names.table, names.id}),
        kPrepareFn);
}

void WLDatabase::cleanupContentsLinkDatabase()
{
    wlFinalizeReporting(mContentsLinkGetStatement, kCleanupFn);
    wlCloseReporting(mContentsLinkDatabase, kCleanupFn);
    mContentsLinkIndexRangeArray.reset();
}

bool WLDatabase::getName(QString *word, QString *link, int *contentsID, int contentsLinkID)
{
    WLSqliteStatement &statement = mContentsLinkGetStatement;
    const WLStatementResetter resetter(statement, kGetFn);
    if (!wlStepToRow(statement, contentsLinkID, kGetFn))
        return false;
    const std::optional<QString> wordString =
        wlColumnString(statement, 0, kGetFn, "wordString == nil");
    if (!wordString)
        return false;
    const std::optional<QString> linkString =
        wlColumnString(statement, 1, kGetFn, "linkString == nil");
    if (!linkString)
        return false;
    const int targetID = statement.columnInt(2);
    if (targetID <= 0) {
        WL_REPORT(kGetFn, "contentsID <= 0");
        return false;
    }
    if (word)
        *word = *wordString;
    if (link)
        *link = *linkString;
    if (contentsID)
        *contentsID = targetID;
    return true;
}

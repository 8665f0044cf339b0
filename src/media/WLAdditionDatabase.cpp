#include "WLAdditionDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLProperty.h"
#include "WLReport.h"

#include <sqlite3.h>

namespace {

// The blob of column `column`, copied; an empty blob counts as missing.
bool copyBlob(const WLSqliteStatement &statement, int column, QByteArray *data,
              const char *function)
{
    const int dataLength = statement.columnBytes(column);
    if (dataLength == 0) {
        WL_REPORT(function, "dataLength == 0");
        return false;
    }
    const void *dataPtr = statement.columnBlob(column);
    if (!dataPtr) {
        WL_REPORT(function, "dataPtr == NULL");
        return false;
    }
    *data = QByteArray(static_cast<const char *>(dataPtr), dataLength);
    return true;
}

} // namespace

std::unique_ptr<WLAdditionDatabase> WLAdditionDatabase::initWithAttributes(const QVariantMap &attributes)
{
    static constexpr char kFn[] = "-[WLAdditionDatabase initWithAttributes:]";
    const WLDescriptionReader reader(attributes, kFn);
    QString fileName;
    if (!reader.readNames({{KXPropAdditionsDatabaseFileName, "fileName == nil", &fileName}}))
        return nullptr;
    const QString filePath = WLBundle::pathForResource(fileName);
    if (filePath.isEmpty()) {
        WL_REPORT(kFn, "filePath == nil");
        return nullptr;
    }
    QString tableName, idColumn, nameColumn, dataColumn;
    if (!reader.readNames({{KXPropAdditionsTableName, "tableName == nil", &tableName},
                           {KXPropAdditionsIDColumn, "idColumn == nil", &idColumn},
                           {KXPropAdditionsNameColumn, "nameColumn == nil", &nameColumn},
                           {KXPropAdditionsDataColumn, "dataColumn == nil", &dataColumn}}))
        return nullptr;

    std::unique_ptr<WLAdditionDatabase> table(new WLAdditionDatabase);
    // Read-only: a missing file fails here instead of being created empty.
    if (!wlOpenReporting(table->mDatabase, filePath, kFn))
        return nullptr;
    const QString byID = wlStatementWithNames(u"SELECT %1, %2 FROM %3 WHERE %4=?;",
                                              {nameColumn, dataColumn, tableName, idColumn});
    if (!wlPrepareReporting(table->mStatementID, table->mDatabase, byID, kFn))
        return nullptr;
    const QString byName = wlStatementWithNames(u"SELECT %1 FROM %2 WHERE %3=?;",
                                                {dataColumn, tableName, nameColumn});
    if (!wlPrepareReporting(table->mStatementName, table->mDatabase, byName, kFn))
        return nullptr;
    table->mTableName = tableName;
    return table;
}

WLAdditionDatabase::~WLAdditionDatabase()
{
    static constexpr char kFn[] = "-[WLAdditionDatabase dealloc]";
    wlFinalizeReporting(mStatementID, kFn);
    wlFinalizeReporting(mStatementName, kFn);
    wlCloseReporting(mDatabase, kFn);
}

bool WLAdditionDatabase::getData(QByteArray *data, const QString &name)
{
    static constexpr char kFn[] = "-[WLAdditionDatabase getData:forName:]";
    if (name.isEmpty()) {
        WL_REPORT(kFn, "[name length] == 0");
        return false;
    }
    WLStatementResetter resetter(mStatementName, kFn);
    if (mStatementName.bindText(1, name) != SQLITE_OK) {
        WL_REPORT(kFn, "retval != SQLITE_OK");
        return false;
    }
    if (mStatementName.step() != SQLITE_ROW) {
        WL_REPORT(kFn, "retval != SQLITE_ROW");
        return false;
    }
    QByteArray bytes;
    if (!copyBlob(mStatementName, 0, &bytes, kFn))
        return false;
    if (data)
        *data = std::move(bytes);
    return true;
}

bool WLAdditionDatabase::getData(QByteArray *data, QString *name, qint64 additionID)
{
    static constexpr char kFn[] = "-[WLAdditionDatabase getData:name:forID:]";
    WLStatementResetter resetter(mStatementID, kFn);
    if (!wlStepToRow(mStatementID, additionID, kFn))
        return false;
    const std::optional<QString> nameString =
            wlColumnString(mStatementID, 0, kFn, "nameString == nil");
    if (!nameString)
        return false;
    QByteArray bytes;
    if (!copyBlob(mStatementID, 1, &bytes, kFn))
        return false;
    if (data)
        *data = std::move(bytes);
    if (name)
        *name = *nameString;
    return true;
}

#include "WLIndexRange.h"

#include "WLBundle.h"
#include "WLReport.h"
#include "WLSqlite.h"

#include <sqlite3.h>

namespace {

constexpr char kCreateFn[] = "createIndexRangeArray";
constexpr char kRangeFn[] = "rangeForKeyword";

bool checkNames(const QString &tableName, const QString &idColumn, const QString &letterColumn,
                const QString &offsetColumn)
{
    const std::pair<const QString &, const char *> names[] = {
        {tableName, "tableName == nil"},
        {idColumn, "idColumn == nil"},
        {letterColumn, "letterColumn == nil"},
        {offsetColumn, "offsetColumn == nil"},
    };
    for (const auto &[name, condition] : names) {
        if (name.isNull()) {
            WL_REPORT(kCreateFn, condition);
            return false;
        }
    }
    return true;
}

// Reads rows until the end or the first bad one; the records before a bad
// row are kept.
WLIndexRangeArray readRecords(WLSqliteStatement &statement)
{
    WLIndexRangeArray records;
    while (statement.step() == SQLITE_ROW) {
        const char *letter = statement.columnText(0);
        if (!letter) {
            WL_REPORT(kCreateFn, "stringPtr == NULL");
            break;
        }
        std::optional<QString> letterString = wlStringWithUTF8(letter);
        if (!letterString) {
            WL_REPORT(kCreateFn, "letterString == nil");
            break;
        }
        records.append({*letterString, statement.columnInt(1), statement.columnInt(2)});
    }
    return records;
}

quint32 firstUnit(const QString &text)
{
    return text.at(0).unicode();
}

} // namespace

std::optional<WLIndexRangeArray>
createIndexRangeArray(const QString &fileName, const QString &tableName, const QString &idColumn,
                      const QString &letterColumn, const QString &offsetColumn,
                      const QString &countColumn, const WLSqliteConnection *openFile)
{
    if (fileName.isNull())
        return std::nullopt;
    if (!checkNames(tableName, idColumn, letterColumn, offsetColumn))
        return std::nullopt;
    const QString path = WLBundle::pathForResource(fileName);
    if (path.isEmpty()) {
        WL_REPORT(kCreateFn, "path == nil");
        return std::nullopt;
    }

    std::optional<WLIndexRangeArray> result;
    WLSqliteConnection ownConnection;
    // Only a connection whose last call succeeded (a failed open keeps its
    // handle). SQLite gives the file's full path, with links resolved: any
    // other spelling of the same file just opens it again.
    const char *openPath = openFile && openFile->handle()
                                   && sqlite3_errcode(openFile->handle()) == SQLITE_OK
                               ? sqlite3_db_filename(openFile->handle(), "main")
                               : nullptr;
    const bool shared = openPath && path == QString::fromUtf8(openPath);
    const WLSqliteConnection &database = shared ? *openFile : ownConnection;
    WLSqliteStatement statement;
    if ((shared || wlOpenReporting(ownConnection, path, kCreateFn)) &&
        wlPrepareReporting(statement, database,
                           wlStatementWithNames(u"SELECT %1, %2, %3 FROM %4 ORDER BY %5;",
                                                {letterColumn, offsetColumn, countColumn,
                                                 tableName, idColumn}),
                           kCreateFn))
        result = readRecords(statement);
    wlFinalizeReporting(statement, kCreateFn);
    if (!shared)
        wlCloseReporting(ownConnection, kCreateFn);
    return result;
}

WLRange rangeForKeyword(const QString &keyword, const std::optional<WLIndexRangeArray> &table)
{
    if (!table || table->isEmpty())
        return kWLRangeNotFound;
    if (keyword.isEmpty()) {
        WL_REPORT(kRangeFn, "[keyword length] == 0");
        return kWLRangeNotFound;
    }
    const quint32 c = firstUnit(keyword.toLower());
    if (c == u'%' || c == u'_')
        return {1, 0x7FFFFFFE};

    const WLIndexRangeRecord &first = table->first();
    if (first.letter.isEmpty()) {
        WL_REPORT(kRangeFn, "[letterString length] == 0");
        return kWLRangeNotFound;
    }
    if (c < firstUnit(first.letter))
        return {1, quint32(qint64(first.offset) - 1)};

    const WLIndexRangeRecord &last = table->last();
    if (last.letter.isEmpty()) {
        WL_REPORT(kRangeFn, "[letterString length] == 0");
        return kWLRangeNotFound;
    }
    if (c > firstUnit(last.letter)) {
        const quint32 start = quint32(qint64(last.offset) + last.count);
        return {start, kWLNotFound - start};
    }

    for (const WLIndexRangeRecord &record : *table) {
        if (record.letter.isEmpty()) {
            WL_REPORT(kRangeFn, "[letterString length] == 0");
            return kWLRangeNotFound;
        }
        if (firstUnit(record.letter) == c)
            return {quint32(record.offset), quint32(record.count)};
    }
    return kWLRangeNotFound;
}

#include "WLSqliteBatchInsert.h"

#include "WLSqliteWriter.h"

#include <sqlite3.h>

namespace {

// "INSERT INTO table VALUES (?, ?), (?, ?), ..." for rows rows.
QByteArray batchSql(const char *table, int columnCount, int rows)
{
    QByteArray row = "(?";
    for (int column = 1; column < columnCount; ++column)
        row += ", ?";
    row += ')';
    QByteArray sql = QByteArray("INSERT INTO ") + table + " VALUES " + row;
    for (int i = 1; i < rows; ++i)
        sql += ", " + row;
    return sql + ';';
}

} // namespace

WLSqliteBatchInsert::WLSqliteBatchInsert(WLSqliteWriter &writer, const char *table, int columnCount,
                                         qsizetype rowCount, QString *errorMessage)
    : mWriter(writer), mColumnCount(columnCount), mRowCount(rowCount),
      mLastBatch(rowCount / kBatchRows * kBatchRows)
{
    const auto prepare = [&](int rows, sqlite3_stmt **stmt) {
        const QByteArray sql = batchSql(table, columnCount, rows);
        return rows == 0 || sqlite3_prepare_v2(writer.handle(), sql.constData(), int(sql.size()),
                                               stmt, nullptr) == SQLITE_OK;
    };
    mPrepared = prepare(mLastBatch > 0 ? kBatchRows : 0, &mFull) &&
                 prepare(int(rowCount - mLastBatch), &mRest);
    if (!mPrepared)
        *errorMessage = writer.error(QStringLiteral("cannot prepare"));
}

WLSqliteBatchInsert::~WLSqliteBatchInsert()
{
    // Rows of a batch left unfinished, when a bad fragment stops the build
    // half way, go with the statements.
    sqlite3_finalize(mFull);
    sqlite3_finalize(mRest);
}

void WLSqliteBatchInsert::bind(int column, qint64 value)
{
    sqlite3_bind_int64(statement(), parameter(column), value);
}

void WLSqliteBatchInsert::bindUtf8(int column, QByteArrayView utf8)
{
    sqlite3_bind_text(statement(), parameter(column), utf8.constData(), int(utf8.size()),
                      SQLITE_STATIC);
}

void WLSqliteBatchInsert::bindBlob(int column, QByteArrayView bytes)
{
    sqlite3_bind_blob(statement(), parameter(column), bytes.data(), int(bytes.size()),
                      SQLITE_STATIC);
}

void WLSqliteBatchInsert::bindNull(int column)
{
    sqlite3_bind_null(statement(), parameter(column));
}

bool WLSqliteBatchInsert::run(QString *errorMessage)
{
    Q_ASSERT(mRow < mRowCount);
    sqlite3_stmt *const stmt = statement();
    ++mRow;
    if (mRow % kBatchRows != 0 && mRow != mRowCount)
        return true;
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        *errorMessage = mWriter.error(QStringLiteral("cannot insert"));
        return false;
    }
    return true;
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class WLSqliteWriter;
struct sqlite3_stmt;

// Inserts a known number of rows into one table, many rows per statement:
// SQLite spends about as much on starting a statement (a cursor opened on
// the table, the end of it sought) as on inserting a short row. Each row
// is bound and then completed with run(); the run() that completes a batch
// inserts it, so texts must stay unchanged until then.
class WLSqliteBatchInsert
{
public:
    // table: "name(column, ...)" with columnCount columns.
    WLSqliteBatchInsert(WLSqliteWriter &writer, const char *table, int columnCount,
                        qsizetype rowCount, QString *errorMessage);
    WLSqliteBatchInsert(const WLSqliteBatchInsert &) = delete;
    WLSqliteBatchInsert &operator=(const WLSqliteBatchInsert &) = delete;
    ~WLSqliteBatchInsert();

    explicit operator bool() const { return mPrepared; }

    // Columns of the row being made, counted from 1.
    void bind(int column, qint64 value);
    // Read in place (see above); temporaries cannot be bound.
    void bindUtf8(int column, QByteArrayView utf8);
    void bindUtf8(int column, QByteArray &&) = delete;
    void bindBlob(int column, QByteArrayView bytes);
    void bindBlob(int column, QByteArray &&) = delete;
    void bindNull(int column);

    // Rows go into the table this many to a statement: a row's texts must
    // stay unchanged until the row that completes its batch has run.
    static constexpr int kBatchRows = 64;
    // Completes the row.
    bool run(QString *errorMessage);

private:
    // The statement the row being made goes into: full batches, then one
    // for the rows left over.
    sqlite3_stmt *statement() const { return mRow < mLastBatch ? mFull : mRest; }
    int parameter(int column) const { return int(mRow % kBatchRows) * mColumnCount + column; }

    WLSqliteWriter &mWriter;
    const int mColumnCount;
    const qsizetype mRowCount;
    const qsizetype mLastBatch; // the first row left over
    qsizetype mRow = 0;
    sqlite3_stmt *mFull = nullptr;
    sqlite3_stmt *mRest = nullptr;
    bool mPrepared = false;
};

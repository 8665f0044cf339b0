#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A database file the compiler fills: created new, written in one
// transaction without a journal (a failed build throws the whole file away
// anyway). Errors are returned as text naming the file.
class WLSqliteWriter
{
public:
    WLSqliteWriter() = default;
    WLSqliteWriter(const WLSqliteWriter &) = delete;
    WLSqliteWriter &operator=(const WLSqliteWriter &) = delete;
    ~WLSqliteWriter();

    // Creates the file and begins the transaction.
    bool create(const QString &path, QString *errorMessage);
    bool exec(const char *sql, QString *errorMessage);
    // Commits and closes.
    bool finish(QString *errorMessage);

    sqlite3 *handle() const { return m_db; }
    QString error(const QString &what) const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

// One prepared INSERT, bound and run once per row.
class WLSqliteInsert
{
public:
    WLSqliteInsert(WLSqliteWriter &writer, const char *sql, QString *errorMessage);
    WLSqliteInsert(const WLSqliteInsert &) = delete;
    WLSqliteInsert &operator=(const WLSqliteInsert &) = delete;
    ~WLSqliteInsert();

    explicit operator bool() const { return m_stmt != nullptr; }

    // SQLite counts bound parameters from 1.
    void bind(int index, qint64 value);
    void bind(int index, const QString &text);
    // Text already in UTF-8, and bytes. SQLite reads them in place, so
    // they must stay unchanged until run(); temporaries cannot be bound.
    void bindUtf8(int index, const QByteArray &utf8);
    void bindUtf8(int index, QByteArray &&) = delete;
    void bindBlob(int index, const QByteArray &bytes);
    void bindBlob(int index, QByteArray &&) = delete;
    void bindNull(int index);
    // Inserts the row and clears the bindings.
    bool run(QString *errorMessage);

private:
    WLSqliteWriter &m_writer;
    sqlite3_stmt *m_stmt = nullptr;
};

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

    explicit operator bool() const { return m_prepared; }

    // Columns of the row being made, counted from 1.
    void bind(int column, qint64 value);
    // Read in place (see above); temporaries cannot be bound.
    void bindUtf8(int column, const QByteArray &utf8);
    void bindUtf8(int column, QByteArray &&) = delete;
    // Completes the row.
    bool run(QString *errorMessage);

private:
    static constexpr int kBatchRows = 64;

    // The statement the row being made goes into: full batches, then one
    // for the rows left over.
    sqlite3_stmt *statement() const { return m_row < m_lastBatch ? m_full : m_rest; }
    int parameter(int column) const { return int(m_row % kBatchRows) * m_columnCount + column; }

    WLSqliteWriter &m_writer;
    const int m_columnCount;
    const qsizetype m_rowCount;
    const qsizetype m_lastBatch; // the first row left over
    qsizetype m_row = 0;
    sqlite3_stmt *m_full = nullptr;
    sqlite3_stmt *m_rest = nullptr;
    bool m_prepared = false;
};

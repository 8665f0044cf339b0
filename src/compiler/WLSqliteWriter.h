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

    sqlite3 *handle() const { return mDb; }
    QString error(const QString &what) const;

private:
    sqlite3 *mDb = nullptr;
    QString mPath;
};

// One prepared INSERT, bound and run once per row.
class WLSqliteInsert
{
public:
    WLSqliteInsert(WLSqliteWriter &writer, const char *sql, QString *errorMessage);
    WLSqliteInsert(const WLSqliteInsert &) = delete;
    WLSqliteInsert &operator=(const WLSqliteInsert &) = delete;
    ~WLSqliteInsert();

    explicit operator bool() const { return mStmt != nullptr; }

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
    WLSqliteWriter &mWriter;
    sqlite3_stmt *mStmt = nullptr;
};

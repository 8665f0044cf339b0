#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// One owner per SQLite handle. The explicit close() and finalize() return
// SQLite's result so callers can report a failure; the destructors only
// release what was left open, silently.

class WLSqliteConnection
{
public:
    WLSqliteConnection() = default;
    WLSqliteConnection(const WLSqliteConnection &) = delete;
    WLSqliteConnection &operator=(const WLSqliteConnection &) = delete;
    ~WLSqliteConnection();

    // Dictionary files are only ever read: opening never creates a file.
    // Like sqlite3_open, the handle is kept even when the open fails.
    // A double-quoted name that matches no column is an error, never the
    // string literal SQLite would otherwise take it for.
    int openReadOnly(const QString &path);
    int close();

    sqlite3 *handle() const { return m_db; }
    explicit operator bool() const { return m_db != nullptr; }

private:
    sqlite3 *m_db = nullptr;
};

class WLSqliteStatement
{
public:
    WLSqliteStatement() = default;
    WLSqliteStatement(const WLSqliteStatement &) = delete;
    WLSqliteStatement &operator=(const WLSqliteStatement &) = delete;
    ~WLSqliteStatement();

    int prepare(const WLSqliteConnection &connection, const QString &sql);
    int finalize();

    int reset();
    int step();
    int bindInt(int index, qint64 value);
    // The bytes are not copied: they must stay alive until the next reset.
    int bindStaticText(int index, const QByteArray &utf8);
    int bindText(int index, const QString &text);

    // SQLite uses 1-based indexes for binds, 0-based for columns.
    const char *columnText(int column) const;
    const void *columnBlob(int column) const;
    int columnBytes(int column) const;
    qint64 columnInt64(int column) const;
    // Saturates at the limits of int.
    int columnInt(int column) const;

    sqlite3_stmt *handle() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// Resets a statement when the scope ends, on every path, and reports a
// failing reset under the caller's name.
class WLStatementResetter
{
public:
    WLStatementResetter(WLSqliteStatement &statement, const char *function)
        : m_statement(statement), m_function(function)
    {
    }
    WLStatementResetter(const WLStatementResetter &) = delete;
    WLStatementResetter &operator=(const WLStatementResetter &) = delete;
    ~WLStatementResetter();

private:
    WLSqliteStatement &m_statement;
    const char *m_function;
};

// Process-wide settings for a program that runs for a moment, such as a
// one-shot command: call at the start of main(), before SQLite is first
// used (later, SQLite refuses them and nothing changes). Nothing reads
// SQLite's memory statistics, which cost a global mutex on every allocation;
// and no connection makes its block of page slots in advance, which touches
// some twenty fresh pages of memory per connection where an opening reads a
// few pages.
void wlConfigureSqliteForShortRuns();

// A table or column name as SQL text: in double quotes with each double
// quote doubled, so whatever a description names stays one identifier.
QString wlQuotedIdentifier(QStringView name);

// Statement text from a format whose %1 to %9 stand for names, each put in
// quoted. One pass: a "%2" inside a name is left as it is.
QString wlStatementWithNames(QStringView format, std::initializer_list<QStringView> names);

// Open and prepare as every preparation step does them: false after
// reporting "retval != SQLITE_OK" under the step's name.
bool wlOpenReporting(WLSqliteConnection &connection, const QString &path, const char *function);
bool wlPrepareReporting(WLSqliteStatement &statement, const WLSqliteConnection &connection,
                        const QString &sql, const char *function);

// Finalize and close as every cleanup does them: a failure is reported
// under the cleanup's name and the handle is released all the same.
void wlFinalizeReporting(WLSqliteStatement &statement, const char *function);
void wlCloseReporting(WLSqliteConnection &connection, const char *function);

// A column's UTF-8 text as a string; nothing when the bytes are not valid
// UTF-8 (a stored text is taken whole or not at all).
std::optional<QString> wlStringWithUTF8(const char *utf8);

// Lookups by ID: binds the ID to parameter 1 and steps to its row, reporting
// "retval != SQLITE_OK" or "retval != SQLITE_ROW" under the caller's name.
// The caller resets (WLStatementResetter).
bool wlStepToRow(WLSqliteStatement &statement, qint64 id, const char *function);

// A text column of the current row: "stringPtr == NULL" for NULL, the
// caller's condition when the text is not valid UTF-8.
std::optional<QString> wlColumnString(const WLSqliteStatement &statement, int column,
                                      const char *function, const char *condition);

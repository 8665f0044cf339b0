#include "WLSqlite.h"

#include "WLReport.h"

#include <QStringDecoder>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

void wlConfigureSqliteForShortRuns()
{
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
}

WLSqliteConnection::~WLSqliteConnection()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

int WLSqliteConnection::openReadOnly(const QString &path)
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    }
    return rc;
}

int WLSqliteConnection::close()
{
    if (!m_db)
        return SQLITE_OK;
    const int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK)
        sqlite3_close_v2(m_db); // released once its statements are gone
    m_db = nullptr;
    return rc;
}

WLSqliteStatement::~WLSqliteStatement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

int WLSqliteStatement::prepare(const WLSqliteConnection &connection, const QString &sql)
{
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    const QByteArray text = sql.toUtf8();
    return sqlite3_prepare_v2(connection.handle(), text.constData(), int(text.size()), &m_stmt,
                              nullptr);
}

int WLSqliteStatement::finalize()
{
    if (!m_stmt)
        return SQLITE_OK;
    const int rc = sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return rc;
}

int WLSqliteStatement::reset()
{
    return m_stmt ? sqlite3_reset(m_stmt) : SQLITE_MISUSE;
}

int WLSqliteStatement::step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

int WLSqliteStatement::bindInt(int index, qint64 value)
{
    return m_stmt ? sqlite3_bind_int64(m_stmt, index, value) : SQLITE_MISUSE;
}

int WLSqliteStatement::bindStaticText(int index, const QByteArray &utf8)
{
    return m_stmt ? sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                      SQLITE_STATIC)
                  : SQLITE_MISUSE;
}

int WLSqliteStatement::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return m_stmt ? sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                      SQLITE_TRANSIENT)
                  : SQLITE_MISUSE;
}

const char *WLSqliteStatement::columnText(int column) const
{
    return reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
}

const void *WLSqliteStatement::columnBlob(int column) const
{
    return sqlite3_column_blob(m_stmt, column);
}

int WLSqliteStatement::columnBytes(int column) const
{
    return sqlite3_column_bytes(m_stmt, column);
}

qint64 WLSqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

int WLSqliteStatement::columnInt(int column) const
{
    // SQLite would keep the low 32 bits of a wider value, turning an ID
    // beyond the range into some other, existing one.
    return int(std::clamp(sqlite3_column_int64(m_stmt, column),
                          sqlite3_int64(std::numeric_limits<int>::min()),
                          sqlite3_int64(std::numeric_limits<int>::max())));
}

WLStatementResetter::~WLStatementResetter()
{
    if (m_statement && m_statement.reset() != SQLITE_OK)
        wlReport(m_function, __LINE__, "retval != SQLITE_OK");
}

QString wlQuotedIdentifier(QStringView name)
{
    QString quoted;
    quoted.reserve(name.size() + 2);
    quoted += u'"';
    for (const QChar c : name) {
        quoted += c;
        if (c == u'"')
            quoted += u'"';
    }
    quoted += u'"';
    return quoted;
}

QString wlStatementWithNames(QStringView format, std::initializer_list<QStringView> names)
{
    QString text;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const int number = format[i + 1].digitValue();
            if (number >= 1 && size_t(number) <= names.size()) {
                text += wlQuotedIdentifier(*(names.begin() + (number - 1)));
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

bool wlOpenReporting(WLSqliteConnection &connection, const QString &path, const char *function)
{
    if (connection.openReadOnly(path) == SQLITE_OK)
        return true;
    wlReport(function, __LINE__, "retval != SQLITE_OK");
    return false;
}

bool wlPrepareReporting(WLSqliteStatement &statement, const WLSqliteConnection &connection,
                        const QString &sql, const char *function)
{
    if (statement.prepare(connection, sql) == SQLITE_OK)
        return true;
    wlReport(function, __LINE__, "retval != SQLITE_OK");
    return false;
}

void wlFinalizeReporting(WLSqliteStatement &statement, const char *function)
{
    if (statement.finalize() != SQLITE_OK)
        wlReport(function, __LINE__, "retval != SQLITE_OK");
}

void wlCloseReporting(WLSqliteConnection &connection, const char *function)
{
    if (connection.close() != SQLITE_OK)
        wlReport(function, __LINE__, "retval != SQLITE_OK");
}

std::optional<QString> wlStringWithUTF8(const char *utf8)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(QByteArrayView(utf8));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool wlStepToRow(WLSqliteStatement &statement, qint64 id, const char *function)
{
    if (statement.bindInt(1, id) != SQLITE_OK) {
        wlReport(function, __LINE__, "retval != SQLITE_OK");
        return false;
    }
    if (statement.step() != SQLITE_ROW) {
        wlReport(function, __LINE__, "retval != SQLITE_ROW");
        return false;
    }
    return true;
}

std::optional<QString> wlColumnString(const WLSqliteStatement &statement, int column,
                                      const char *function, const char *condition)
{
    const char *text = statement.columnText(column);
    if (!text) {
        wlReport(function, __LINE__, "stringPtr == NULL");
        return std::nullopt;
    }
    std::optional<QString> string = wlStringWithUTF8(text);
    if (!string)
        wlReport(function, __LINE__, condition);
    return string;
}

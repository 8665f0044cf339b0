#include "WLSqlite.h"

#include "WLReport.h"

#include <sqlite3.h>

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
    return sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
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
    return sqlite3_column_int(m_stmt, column);
}

WLStatementResetter::~WLStatementResetter()
{
    if (m_statement && m_statement.reset() != SQLITE_OK)
        wlReport(m_function, __LINE__, "retval != SQLITE_OK");
}

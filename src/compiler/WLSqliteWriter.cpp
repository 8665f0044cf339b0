#include "WLSqliteWriter.h"

#include <QFileInfo>

#include <sqlite3.h>

WLSqliteWriter::~WLSqliteWriter()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

QString WLSqliteWriter::error(const QString &what) const
{
    return QStringLiteral("%1: %2: %3")
        .arg(QFileInfo(m_path).fileName(), what,
             QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "out of memory"));
}

bool WLSqliteWriter::create(const QString &path, QString *errorMessage)
{
    m_path = path;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        *errorMessage = error(QStringLiteral("cannot create"));
        return false;
    }
    // Page size pinned so the same source gives the same bytes everywhere.
    return exec("PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                "PRAGMA locking_mode = EXCLUSIVE; BEGIN;",
                errorMessage);
}

bool WLSqliteWriter::exec(const char *sql, QString *errorMessage)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *errorMessage = QStringLiteral("%1: %2").arg(QFileInfo(m_path).fileName(),
                                                 QString::fromUtf8(message ? message : "failed"));
    sqlite3_free(message);
    return false;
}

bool WLSqliteWriter::finish(QString *errorMessage)
{
    if (!exec("COMMIT;", errorMessage))
        return false;
    const int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK) {
        *errorMessage = error(QStringLiteral("cannot close"));
        return false;
    }
    m_db = nullptr;
    return true;
}

WLSqliteInsert::WLSqliteInsert(WLSqliteWriter &writer, const char *sql, QString *errorMessage)
    : m_writer(writer)
{
    if (sqlite3_prepare_v2(writer.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        *errorMessage = writer.error(QStringLiteral("cannot prepare"));
        m_stmt = nullptr;
    }
}

WLSqliteInsert::~WLSqliteInsert()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

void WLSqliteInsert::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void WLSqliteInsert::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void WLSqliteInsert::bindUtf8(int index, const QByteArray &utf8)
{
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

void WLSqliteInsert::bindBlob(int index, const QByteArray &bytes)
{
    sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
}

void WLSqliteInsert::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

bool WLSqliteInsert::run(QString *errorMessage)
{
    const int rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (rc != SQLITE_DONE) {
        *errorMessage = m_writer.error(QStringLiteral("cannot insert"));
        return false;
    }
    return true;
}

#include "WLSqliteWriter.h"

#include <QFileInfo>

#include <sqlite3.h>

WLSqliteWriter::~WLSqliteWriter()
{
    if (mDb)
        sqlite3_close_v2(mDb);
}

QString WLSqliteWriter::error(const QString &what) const
{
    return QStringLiteral("%1: %2: %3")
        .arg(QFileInfo(mPath).fileName(), what,
             QString::fromUtf8(mDb ? sqlite3_errmsg(mDb) : "out of memory"));
}

bool WLSqliteWriter::create(const QString &path, QString *errorMessage)
{
    mPath = path;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &mDb,
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
    if (sqlite3_exec(mDb, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *errorMessage = QStringLiteral("%1: %2").arg(QFileInfo(mPath).fileName(),
                                                 QString::fromUtf8(message ? message : "failed"));
    sqlite3_free(message);
    return false;
}

bool WLSqliteWriter::finish(QString *errorMessage)
{
    if (!exec("COMMIT;", errorMessage))
        return false;
    const int rc = sqlite3_close(mDb);
    if (rc != SQLITE_OK) {
        *errorMessage = error(QStringLiteral("cannot close"));
        return false;
    }
    mDb = nullptr;
    return true;
}

WLSqliteInsert::WLSqliteInsert(WLSqliteWriter &writer, const char *sql, QString *errorMessage)
    : mWriter(writer)
{
    if (sqlite3_prepare_v2(writer.handle(), sql, -1, &mStmt, nullptr) != SQLITE_OK) {
        *errorMessage = writer.error(QStringLiteral("cannot prepare"));
        mStmt = nullptr;
    }
}

WLSqliteInsert::~WLSqliteInsert()
{
    if (mStmt)
        sqlite3_finalize(mStmt);
}

void WLSqliteInsert::bind(int index, qint64 value)
{
    sqlite3_bind_int64(mStmt, index, value);
}

void WLSqliteInsert::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(mStmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void WLSqliteInsert::bindUtf8(int index, const QByteArray &utf8)
{
    sqlite3_bind_text(mStmt, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

void WLSqliteInsert::bindBlob(int index, const QByteArray &bytes)
{
    sqlite3_bind_blob(mStmt, index, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
}

void WLSqliteInsert::bindNull(int index)
{
    sqlite3_bind_null(mStmt, index);
}

bool WLSqliteInsert::run(QString *errorMessage)
{
    const int rc = sqlite3_step(mStmt);
    sqlite3_reset(mStmt);
    sqlite3_clear_bindings(mStmt);
    if (rc != SQLITE_DONE) {
        *errorMessage = mWriter.error(QStringLiteral("cannot insert"));
        return false;
    }
    return true;
}

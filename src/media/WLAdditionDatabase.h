#pragma once

#include "WLSqlite.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <memory>

// One media table of the dictionary: rows of (ID, file name, bytes) in a
// database file of the bundle, opened read-only with both lookups prepared
// once. Table and column names come from the description and go into the
// SQL text verbatim.
//
// Main thread only; the statements are not shared with the search worker.
class WLAdditionDatabase
{
public:
    // One dictionary of the description's media table list; nothing (after
    // a report) when a key is missing or the table cannot be prepared.
    static std::unique_ptr<WLAdditionDatabase> initWithAttributes(const QVariantMap &attributes);
    ~WLAdditionDatabase();
    WLAdditionDatabase(const WLAdditionDatabase &) = delete;
    WLAdditionDatabase &operator=(const WLAdditionDatabase &) = delete;

    QString tableName() const { return mTableName; }
    void setTableName(const QString &tableName) { mTableName = tableName; }

    // The bytes of the first row with that name. Out arguments may be null;
    // they are written only on success. An empty blob is a failure.
    bool getData(QByteArray *data, const QString &name);
    // The bytes and the name of the row with that ID; a row without a name
    // fails even when the name is not asked for.
    bool getData(QByteArray *data, QString *name, qint64 additionID);

private:
    WLAdditionDatabase() = default;

    WLSqliteConnection mDatabase;
    WLSqliteStatement mStatementID;
    WLSqliteStatement mStatementName;
    QString mTableName;
};

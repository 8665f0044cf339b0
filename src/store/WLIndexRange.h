#pragma once

#include <QList>
#include <QString>

#include <optional>

// A letter index table in memory: one record per row of the stored table,
// in the order read. Letters are kept as stored (no folding, no trimming).
struct WLIndexRangeRecord {
    QString letter;
    int offset = 0;
    int count = 0;

    bool operator==(const WLIndexRangeRecord &) const = default;
};
using WLIndexRangeArray = QList<WLIndexRangeRecord>;

// The IDs location ... location + length - 1.
struct WLRange {
    quint32 location = 0;
    quint32 length = 0;

    bool operator==(const WLRange &) const = default;
};

inline constexpr quint32 kWLNotFound = 0x7FFFFFFF;
inline constexpr WLRange kWLRangeNotFound{kWLNotFound, 0};

class WLSqliteConnection;

// Loads a letter index table from a database file of the bundle. Nothing
// when the file name is empty or a check fails; a bad row ends the reading
// and keeps the records before it. When openFile is already open on that
// same file, it is read there rather than through a connection of its own,
// which would open the file and parse its schema again.
std::optional<WLIndexRangeArray> createIndexRangeArray(const QString &fileName,
                                                       const QString &tableName,
                                                       const QString &idColumn,
                                                       const QString &letterColumn,
                                                       const QString &offsetColumn,
                                                       const QString &countColumn,
                                                       const WLSqliteConnection *openFile = nullptr);

// Narrows a keyword (or LIKE pattern) to the ID range of its first letter.
// kWLRangeNotFound when the table is absent or empty, or nothing matches.
WLRange rangeForKeyword(const QString &keyword, const std::optional<WLIndexRangeArray> &table);

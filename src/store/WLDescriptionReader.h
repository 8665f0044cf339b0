#pragma once

#include "WLIndexRange.h"

#include <QString>
#include <QVariantMap>

#include <initializer_list>
#include <optional>

// The keys of one letter index group of the description, in the order
// they are checked.
struct WLIndexKeys
{
    const QString &table;
    const QString &id;
    const QString &letter;
    const QString &offset;
    const QString &count;
};

// The names of a letter index table and the file that holds it.
struct WLIndexNames
{
    QString file;
    QString table;
    QString id;
    QString letter;
    QString offset;
    QString count;

    std::optional<WLIndexRangeArray> load(const WLSqliteConnection *openFile = nullptr) const
    {
        return createIndexRangeArray(file, table, id, letter, offset, count, openFile);
    }
};

// Reads the values a preparation step needs from the description, in the
// step's order, and reports the first one missing under the step's name.
// Names of files, tables and columns only have to be present; a value of
// another type is used by its text.
class WLDescriptionReader
{
public:
    struct Name
    {
        const QString &key;
        const char *condition;
        QString *value;
    };

    WLDescriptionReader(const QVariantMap &info, const char *function)
        : mInfo(info), mFunction(function)
    {
    }

    // False after reporting the first name that is missing.
    bool readNames(std::initializer_list<Name> names) const;
    // Like readNames, but each value must be a string.
    bool readStrings(std::initializer_list<Name> names) const;
    // The table, ID, letter, offset and count names of a letter index group.
    bool readIndexNames(const WLIndexKeys &keys, WLIndexNames *names) const;
    // An optional letter index group: false without a report when its file
    // key is absent; otherwise false after a report when a name is missing
    // or the table cannot be read ("indexRangeArray == nil"). openFile: as
    // for createIndexRangeArray.
    bool readOptionalIndex(const QString &fileKey, const WLIndexKeys &keys,
                           std::optional<WLIndexRangeArray> *table,
                           const WLSqliteConnection *openFile = nullptr) const;
    // The path of a database file of the bundle, which must exist and not be
    // a directory; empty after the report.
    QString existingFilePath(const QString &fileName, const char *pathCondition,
                             const char *existsCondition) const;
    // A number of the description read as unsigned; nothing after the
    // report "![number isKindOfClass:[NSNumber class]]" for any other value.
    std::optional<uint> readNumber(const QString &key) const;

private:
    const QVariantMap &mInfo;
    const char *mFunction;
};

// The unsigned value of a property-list number; reals are truncated.
uint wlUnsignedValue(const QVariant &number);

// The dictionary identifier of the description at this path, read without
// opening the dictionary; empty when the file, the key or its text is
// missing.
QString wlDictionaryIdentifier(const QString &descriptionPath);

#include "WLDescriptionReader.h"

#include "WLBundle.h"
#include "WLProperty.h"
#include "WLPropertyList.h"
#include "WLReport.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

bool WLDescriptionReader::readNames(std::initializer_list<Name> names) const
{
    for (const Name &name : names) {
        const QVariant value = mInfo.value(name.key);
        if (!value.isValid()) {
            WL_REPORT(mFunction, name.condition);
            return false;
        }
        *name.value = value.toString();
    }
    return true;
}

bool WLDescriptionReader::readStrings(std::initializer_list<Name> names) const
{
    for (const Name &name : names) {
        const QVariant value = mInfo.value(name.key);
        if (!WLPropertyList::isString(value)) {
            WL_REPORT(mFunction, name.condition);
            return false;
        }
        *name.value = value.toString();
    }
    return true;
}

bool WLDescriptionReader::readIndexNames(const WLIndexKeys &keys, WLIndexNames *names) const
{
    return readNames({{keys.table, "tableName == nil", &names->table},
                      {keys.id, "idColumn == nil", &names->id},
                      {keys.letter, "letterColumn == nil", &names->letter},
                      {keys.offset, "offsetColumn == nil", &names->offset},
                      {keys.count, "countColumn == nil", &names->count}});
}

bool WLDescriptionReader::readOptionalIndex(const QString &fileKey, const WLIndexKeys &keys,
                                            std::optional<WLIndexRangeArray> *table,
                                            const WLSqliteConnection *openFile) const
{
    const QVariant file = mInfo.value(fileKey);
    if (!file.isValid())
        return false;
    WLIndexNames names;
    names.file = file.toString();
    if (!readIndexNames(keys, &names))
        return false;
    std::optional<WLIndexRangeArray> loaded = names.load(openFile);
    if (!loaded) {
        WL_REPORT(mFunction, "indexRangeArray == nil");
        return false;
    }
    *table = std::move(loaded);
    return true;
}

QString WLDescriptionReader::existingFilePath(const QString &fileName, const char *pathCondition,
                                              const char *existsCondition) const
{
    const QString path = WLBundle::pathForResource(fileName);
    if (path.isEmpty()) {
        WL_REPORT(mFunction, pathCondition);
        return {};
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        WL_REPORT(mFunction, existsCondition);
        return {};
    }
    if (info.isDir()) {
        WL_REPORT(mFunction, "isDirectory");
        return {};
    }
    return path;
}

std::optional<uint> WLDescriptionReader::readNumber(const QString &key) const
{
    const QVariant value = mInfo.value(key);
    if (!WLPropertyList::isNumber(value)) {
        WL_REPORT(mFunction, "![number isKindOfClass:[NSNumber class]]");
        return std::nullopt;
    }
    return wlUnsignedValue(value);
}

uint wlUnsignedValue(const QVariant &number)
{
    if (number.typeId() == QMetaType::Double || number.typeId() == QMetaType::Float) {
        const double real = number.toDouble();
        if (!std::isfinite(real))
            return 0;
        return uint(qint64(std::trunc(std::clamp(real, -9.0e18, 9.0e18))));
    }
    return uint(number.toULongLong());
}

QString wlDictionaryIdentifier(const QString &descriptionPath)
{
    const QVariant value =
        WLPropertyList::readFile(descriptionPath).toMap().value(KXPropDictionaryIdentifier);
    return WLPropertyList::isString(value) ? value.toString() : QString();
}

#include "WLRecordListPreference.h"

#include "WLPropertyList.h"
#include "WLReport.h"
#include "WLUserDefaults.h"

#include <QVariantMap>

#include <algorithm>
#include <utility>

WLRecordListPreference::WLRecordListPreference(QString listKey, QString versionKey,
                                               QStringList stringKeys, QStringList arrayKeys)
    : mListKey(std::move(listKey)), mVersionKey(std::move(versionKey)),
      mStringKeys(std::move(stringKeys)), mArrayKeys(std::move(arrayKeys))
{
}

std::optional<QVariantList> WLRecordListPreference::read(const char *function,
                                                         const char *badRecordCondition) const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    if (!ud) {
        WL_REPORT(function, "ud == nil");
        return std::nullopt;
    }
    const QVariant number = ud->objectForKey(mVersionKey);
    if (!number.isValid())
        return std::nullopt;
    if (!WLPropertyList::isNumber(number)) {
        WL_REPORT(function, "![number isKindOfClass:[NSNumber class]]");
        return std::nullopt;
    }
    if (ud->integerForKey(mVersionKey) == 0)
        return std::nullopt;
    const QVariant stored = ud->objectForKey(mListKey);
    if (!WLPropertyList::isArray(stored))
        return std::nullopt;

    // Records are used without further checks later, so one of the wrong
    // shape rejects the whole list rather than a part of it.
    QVariantList records = stored.toList();
    const bool wellFormed =
        std::all_of(records.cbegin(), records.cend(),
                    [this](const QVariant &record) { return isRecord(record); });
    if (!wellFormed) {
        WL_REPORT(function, badRecordCondition);
        return std::nullopt;
    }
    return records;
}

void WLRecordListPreference::write(const QVariantList &records, const char *function) const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    if (!ud) {
        WL_REPORT(function, "ud == nil");
        return;
    }
    ud->setObject(records, mListKey);
    ud->setInteger(1, mVersionKey);
}

bool WLRecordListPreference::isRecord(const QVariant &record) const
{
    if (!WLPropertyList::isDictionary(record))
        return false;
    const QVariantMap info = record.toMap();
    const auto holds = [&info](const QStringList &keys, bool (*isKind)(const QVariant &)) {
        return std::all_of(keys.cbegin(), keys.cend(),
                           [&](const QString &key) { return isKind(info.value(key)); });
    };
    return holds(mStringKeys, WLPropertyList::isString) &&
           holds(mArrayKeys, WLPropertyList::isArray);
}

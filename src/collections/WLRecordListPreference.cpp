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
    return recordsIn(ud->objectForKey(mVersionKey), ud->objectForKey(mListKey), function,
                     badRecordCondition);
}

std::optional<QVariantList> WLRecordListPreference::recordsIn(const QVariant &number,
                                                              const QVariant &stored,
                                                              const char *function,
                                                              const char *badRecordCondition) const
{
    if (!number.isValid())
        return std::nullopt;
    if (!WLPropertyList::isNumber(number)) {
        if (function)
            WL_REPORT(function, "![number isKindOfClass:[NSNumber class]]");
        return std::nullopt;
    }
    if (WLUserDefaults::integerValue(number) == 0)
        return std::nullopt;
    if (!WLPropertyList::isArray(stored))
        return std::nullopt;

    // Records are used without further checks later, so one of the wrong
    // shape rejects the whole list rather than a part of it.
    QVariantList records = stored.toList();
    const bool wellFormed =
        std::all_of(records.cbegin(), records.cend(),
                    [this](const QVariant &record) { return isRecord(record); });
    if (!wellFormed) {
        if (function)
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

void WLRecordListPreference::edit(std::function<QVariantList(QVariantList)> change,
                                  const char *function) const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    if (!ud) {
        WL_REPORT(function, "ud == nil");
        return;
    }
    // By value: the edit may run again after this preference is gone.
    ud->editObject(mListKey, [preference = *this, change = std::move(change)](const QVariantMap &values) {
        return QVariant(change(preference
                                   .recordsIn(values.value(preference.mVersionKey),
                                              values.value(preference.mListKey), nullptr, nullptr)
                                   .value_or(QVariantList())));
    });
    ud->setInteger(1, mVersionKey);
}

bool WLRecordListPreference::isStoredUnder(const QStringList &keys) const
{
    return keys.contains(mListKey) || keys.contains(mVersionKey);
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

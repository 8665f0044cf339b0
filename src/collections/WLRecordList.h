#pragma once

#include "WLNotificationCenter.h"
#include "WLRecordListPreference.h"
#include "WLUserDefaults.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Which member of Record holds the value under each key of its stored
// dictionary: strings and arrays.
template<typename Record>
struct WLRecordFields {
    std::vector<std::pair<QString, QString Record::*>> strings;
    std::vector<std::pair<QString, QVariantList Record::*>> arrays;
};

// A list of Record kept in the user defaults store as an array of
// dictionaries (WLRecordListPreference), converted through its fields.
//
// Threading: main thread only, like the user defaults store.
template<typename Record>
class WLRecordList
{
public:
    WLRecordList(QString listKey, QString versionKey, WLRecordFields<Record> fields)
        : mPreference(std::move(listKey), std::move(versionKey), keys(fields.strings),
                      keys(fields.arrays)),
          mFields(std::move(fields))
    {
    }

    // The stored records, at most limit of them (all when negative); nothing
    // when the stored list is missing or of the wrong shape, as
    // WLRecordListPreference::read says. Records past the limit are checked
    // with the rest but not kept.
    std::optional<QList<Record>> read(const char *function, const char *badRecordCondition,
                                      qsizetype limit = -1) const
    {
        const std::optional<QVariantList> stored = mPreference.read(function, badRecordCondition);
        if (!stored)
            return std::nullopt;
        return records(*stored, limit);
    }

    void write(const QList<Record> &records, const char *function) const
    {
        mPreference.write(stored(records), function);
    }

    // Changes the stored records; made again on what another process
    // stores first (WLRecordListPreference::edit).
    void edit(std::function<void(QList<Record> &)> change, const char *function) const
    {
        mPreference.edit(
            [list = *this, change = std::move(change)](const QVariantList &storedRecords) {
                QList<Record> changed = list.records(storedRecords, -1);
                change(changed);
                return list.stored(changed);
            },
            function);
    }

    // Calls changed whenever another process has stored a change of the
    // list (WLUserDefaultsDidChangeNotification), while the token lives.
    [[nodiscard]] WLObserverToken observeStoredChanges(std::function<void()> changed) const
    {
        return WLNotificationCenter::defaultCenter().addObserver(
            QLatin1String(WLUserDefaultsDidChangeNotification), nullptr,
            [preference = mPreference, changed = std::move(changed)](const WLNotification &notification) {
                if (preference.isStoredUnder(notification.userInfo.value(QStringLiteral("keys")).toStringList()))
                    changed();
            });
    }

private:
    template<typename Member>
    static QStringList keys(const std::vector<std::pair<QString, Member>> &fields)
    {
        QStringList result;
        for (const auto &field : fields)
            result.append(field.first);
        return result;
    }

    QList<Record> records(const QVariantList &stored, qsizetype limit) const
    {
        const qsizetype count = limit < 0 ? stored.size() : std::min(limit, stored.size());
        QList<Record> result;
        result.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            const QVariantMap info = stored.at(i).toMap();
            Record &record = result.emplace_back();
            for (const auto &[key, member] : mFields.strings)
                record.*member = info.value(key).toString();
            for (const auto &[key, member] : mFields.arrays)
                record.*member = info.value(key).toList();
        }
        return result;
    }

    QVariantList stored(const QList<Record> &records) const
    {
        QVariantList result;
        result.reserve(records.size());
        for (const Record &record : records) {
            QVariantMap info;
            for (const auto &[key, member] : mFields.strings)
                info.insert(key, record.*member);
            for (const auto &[key, member] : mFields.arrays)
                info.insert(key, record.*member);
            result.append(info);
        }
        return result;
    }

    WLRecordListPreference mPreference;
    WLRecordFields<Record> mFields;
};

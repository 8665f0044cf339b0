#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <optional>

// A list of records kept in the user defaults store: an array of
// dictionaries under one key, with a format version (written as 1) under
// another. A record must hold strings under its string keys and arrays under
// its array keys; other keys are let through.
//
// Reports go out under the caller's method name, so that each store keeps
// its own.
//
// Threading: main thread only, like the user defaults store.
class WLRecordListPreference
{
public:
    WLRecordListPreference(QString listKey, QString versionKey, QStringList stringKeys,
                           QStringList arrayKeys);

    // The stored records in their stored order. Nothing without a store
    // (reported), without a version, with a version that is not a number
    // (reported) or is 0, when the list is not an array, or when one record
    // has the wrong shape (reported as badRecordCondition): the stored list
    // is taken whole or not at all.
    std::optional<QVariantList> read(const char *function, const char *badRecordCondition) const;
    // Replaces the stored list and sets the version; without a store,
    // reports and writes nothing.
    void write(const QVariantList &records, const char *function) const;
    // Changes the stored list (taken as empty where read() finds none) and
    // sets the version. The change is made again on whatever another process
    // stores first, so it must depend on nothing but the list it gets.
    void edit(std::function<QVariantList(QVariantList)> change, const char *function) const;

    // Whether a change of these keys changes the list.
    bool isStoredUnder(const QStringList &keys) const;

private:
    // The list among stored values, by the rules of read(); reports only
    // with a function name.
    std::optional<QVariantList> recordsIn(const QVariant &number, const QVariant &stored,
                                          const char *function, const char *badRecordCondition) const;
    bool isRecord(const QVariant &record) const;

    QString mListKey;
    QString mVersionKey;
    QStringList mStringKeys;
    QStringList mArrayKeys;
};

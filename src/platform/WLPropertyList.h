#pragma once

#include <QString>
#include <QVariant>

// Property lists as QVariant trees: QVariantMap (dictionary), QVariantList
// (array), QString, qint64 or quint64 (integer), double (real), bool,
// QByteArray (data) and QDateTime (date). XML and binary files are read;
// files are written as XML unless binary is asked for.
namespace WLPropertyList {

enum class Format { Xml, Binary };

// Parses bytes of either format; an invalid value and a message on failure.
QVariant fromData(const QByteArray &data, QString *errorMessage = nullptr);
QVariant readFile(const QString &path, QString *errorMessage = nullptr);

// Serializes a tree; an empty array when a value has no property-list form.
QByteArray toData(const QVariant &value, Format format = Format::Xml);

// True for the values a property list stores as a number: integers, reals
// and booleans. Everything else counts as "not a number".
bool isNumber(const QVariant &value);
bool isString(const QVariant &value);
bool isDictionary(const QVariant &value);
bool isArray(const QVariant &value);

} // namespace WLPropertyList

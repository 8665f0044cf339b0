#include "WLPropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <plist/plist.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QVariant toVariant(plist_t node, bool &nulFound)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Negative integers arrive in two's complement.
        return QVariant(qint64(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_STRING: {
        // libplist asserts when a string holds a NUL character, so its
        // length is compared here instead; such a string makes the whole
        // list unreadable.
        uint64_t length = 0;
        const char *value = plist_get_string_ptr(node, &length);
        if (!value)
            return QVariant(QString());
        if (length != std::strlen(value)) {
            nulFound = true;
            return {};
        }
        return QVariant(QString::fromUtf8(value, qsizetype(length)));
    }
    case PLIST_DATA: {
        char *value = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &value, &length);
        QByteArray bytes(value ? value : "", qsizetype(length));
        std::free(value);
        return QVariant(bytes);
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return QVariant(referenceDate().addMSecs(qint64(seconds) * 1000 + microseconds / 1000));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            QVariant item = toVariant(plist_array_get_item(node, i), nulFound);
            if (item.isValid())
                list.append(std::move(item));
        }
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            if (!key)
                break;
            QVariant item = toVariant(value, nulFound);
            if (item.isValid())
                map.insert(QString::fromUtf8(key), std::move(item));
            std::free(key);
        }
        std::free(iter);
        return QVariant(map);
    }
    case PLIST_UID: {
        // Archiver references mean nothing here; their number is kept.
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return QVariant(qint64(value));
    }
    case PLIST_KEY:
    case PLIST_NONE:
        break;
    }
    // Nodes of no value type are left out of their container, so that
    // whatever was read can be written back: a defaults file holding one
    // would otherwise refuse every later save.
    return {};
}

// Big-endian unsigned integer of width bytes at offset, if it lies inside.
std::optional<quint64> readBigEndian(const QByteArray &data, quint64 offset, unsigned width)
{
    if (width == 0 || width > 8 || offset > quint64(data.size())
        || quint64(data.size()) - offset < width)
        return std::nullopt;
    quint64 value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = value << 8 | uchar(data.at(qsizetype(offset + i)));
    return value;
}

// True when a UTF-16 string object of a binary property list holds U+0000.
// libplist asserts when it hands out such a string as a dictionary key, so
// these lists are refused before it builds its tree. Objects are found
// through the offset table, as libplist finds them; anything out of bounds
// is left for libplist to refuse.
bool binaryStringHoldsNul(const QByteArray &data)
{
    constexpr qsizetype kHeader = 8, kTrailer = 32;
    if (!data.startsWith("bplist") || data.size() < kHeader + kTrailer)
        return false;
    const quint64 trailer = quint64(data.size() - kTrailer);
    const unsigned offsetSize = uchar(data.at(qsizetype(trailer + 6)));
    const quint64 objects = readBigEndian(data, trailer + 8, 8).value_or(0);
    const quint64 table = readBigEndian(data, trailer + 24, 8).value_or(trailer);
    if (offsetSize == 0 || offsetSize > 8 || table >= trailer)
        return false;
    const quint64 listed = std::min(objects, (trailer - table) / offsetSize);
    for (quint64 index = 0; index < listed; ++index) {
        const std::optional<quint64> offset =
            readBigEndian(data, table + index * offsetSize, offsetSize);
        if (!offset || *offset >= trailer)
            continue;
        const uchar marker = uchar(data.at(qsizetype(*offset)));
        if ((marker >> 4) != 0x6)
            continue;
        quint64 count = marker & 0x0f;
        quint64 start = *offset + 1;
        if (count == 0x0f) {
            // The length follows as an integer object of 2^n bytes.
            if (start >= trailer || (uchar(data.at(qsizetype(start))) >> 4) != 0x1)
                continue;
            const unsigned width = 1u << (uchar(data.at(qsizetype(start))) & 0x0f);
            const std::optional<quint64> length = readBigEndian(data, start + 1, width);
            if (!length)
                continue;
            count = *length;
            start += 1 + width;
        }
        if (start > trailer || count > (trailer - start) / 2)
            continue;
        for (quint64 unit = 0; unit < count; ++unit) {
            if (data.at(qsizetype(start + 2 * unit)) == 0
                && data.at(qsizetype(start + 2 * unit + 1)) == 0)
                return true;
        }
    }
    return false;
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 msecs = referenceDate().msecsTo(value.toDateTime());
        return plist_new_date(int32_t(msecs / 1000), int32_t((msecs % 1000) * 1000));
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        const QVariantList list = value.toList();
        for (const QVariant &item : list) {
            plist_t child = fromVariant(item);
            if (!child) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, child);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t child = fromVariant(it.value());
            if (!child) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), child);
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

} // namespace

QVariant WLPropertyList::fromData(const QByteArray &data, QString *errorMessage)
{
    if (binaryStringHoldsNul(data)) {
        if (errorMessage)
            *errorMessage = QStringLiteral("a string holds a NUL character");
        return {};
    }
    plist_t root = nullptr;
    if (!data.isEmpty())
        plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    if (!root) {
        if (errorMessage)
            *errorMessage = QStringLiteral("not a property list");
        return {};
    }
    PlistPtr owner(root);
    bool nulFound = false;
    QVariant value = toVariant(root, nulFound);
    if (nulFound) {
        if (errorMessage)
            *errorMessage = QStringLiteral("a string holds a NUL character");
        return {};
    }
    if (!value.isValid() && errorMessage)
        *errorMessage = QStringLiteral("unsupported property-list value");
    return value;
}

QVariant WLPropertyList::readFile(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return {};
    }
    return fromData(file.readAll(), errorMessage);
}

QByteArray WLPropertyList::toData(const QVariant &value, Format format)
{
    plist_t root = fromVariant(value);
    if (!root)
        return {};
    PlistPtr owner(root);
    char *bytes = nullptr;
    uint32_t length = 0;
    QByteArray result;
    if (format == Format::Binary) {
        plist_to_bin(root, &bytes, &length);
        result = QByteArray(bytes, qsizetype(length));
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml(root, &bytes, &length);
        result = QByteArray(bytes, qsizetype(length));
        plist_to_xml_free(bytes);
    }
    return result;
}

bool WLPropertyList::isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool WLPropertyList::isString(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

bool WLPropertyList::isDictionary(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap;
}

bool WLPropertyList::isArray(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

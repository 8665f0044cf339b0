#include "WLStarDictItems.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

bool isType(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// One item of the given type at at; last: the item runs to the end.
bool readItem(const QByteArray &data, quint64 base, qsizetype &at, char type, bool last,
              std::vector<WLStarDictItem> &items, QString *problem)
{
    WLStarDictItem item;
    item.type = type;
    if (WLStarDictItems::isText(type)) {
        const qsizetype zero = data.indexOf('\0', at);
        if (zero < 0 && !last) {
            *problem = u"offset %1: the text of type '%2' has no terminating zero"_s.arg(base + quint64(at)).arg(
                QLatin1Char(type));
            return false;
        }
        const qsizetype end = zero < 0 ? data.size() : zero;
        item.offset = base + quint64(at);
        item.data = data.sliced(at, end - at);
        at = zero < 0 ? data.size() : zero + 1;
        if (last)
            at = data.size(); // anything after a last text's zero is padding
    } else if (last) {
        item.offset = base + quint64(at);
        item.data = data.sliced(at);
        at = data.size();
    } else {
        if (data.size() - at < 4) {
            *problem = u"offset %1: the size of the data of type '%2' is cut short"_s.arg(base + quint64(at)).arg(
                QLatin1Char(type));
            return false;
        }
        const quint64 size = quint64(uchar(data[at])) << 24 | quint64(uchar(data[at + 1])) << 16 |
                             quint64(uchar(data[at + 2])) << 8 | quint64(uchar(data[at + 3]));
        if (size > quint64(data.size() - at - 4)) {
            *problem = u"offset %1: %2 bytes of type '%3' run past the end of the entry (%4 "
                       "bytes)"_s.arg(base + quint64(at))
                           .arg(size)
                           .arg(QLatin1Char(type))
                           .arg(data.size());
            return false;
        }
        item.offset = base + quint64(at) + 4;
        item.data = data.sliced(at + 4, qsizetype(size));
        at += 4 + qsizetype(size);
    }
    items.push_back(std::move(item));
    return true;
}

} // namespace

bool WLStarDictItems::split(const QByteArray &data, quint64 base,
                            const QByteArray &sameTypeSequence,
                            std::vector<WLStarDictItem> &items, QString *problem)
{
    items.clear();
    qsizetype at = 0;
    if (!sameTypeSequence.isEmpty()) {
        for (qsizetype i = 0; i < sameTypeSequence.size(); ++i) {
            if (!readItem(data, base, at, sameTypeSequence[i], i + 1 == sameTypeSequence.size(), items,
                          problem))
                return false;
        }
        return true;
    }
    while (at < data.size()) {
        const char type = data[at];
        if (!isType(type)) {
            *problem = u"offset %1: 0x%2 is no data type"_s.arg(base + quint64(at))
                           .arg(uchar(type), 2, 16, QLatin1Char('0'));
            return false;
        }
        ++at;
        if (!readItem(data, base, at, type, false, items, problem))
            return false;
    }
    return true;
}

qsizetype WLStarDictItems::firstInvalidUtf8(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        uchar low = 0x80; // the second byte's range, which rules out
        uchar high = 0xbf; // overlong forms, surrogates and too large values
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return i;
        }
        if (size - i < length)
            return i;
        const uchar second = uchar(bytes[i + 1]);
        if (second < low || second > high)
            return i;
        for (int k = 2; k < length; ++k) {
            if ((uchar(bytes[i + k]) & 0xc0) != 0x80)
                return i;
        }
        i += length;
    }
    return -1;
}

#pragma once

#include <QByteArray>

#include <vector>

// One piece of a StarDict entry's data: its type letter (lower case: text
// that ends at a zero byte; upper case: binary data with its size before
// it) and its bytes, without the terminator or the size.
struct WLStarDictItem
{
    char type = 0;
    QByteArray data;
    quint64 offset = 0; // of the bytes in the .dict
};

// Splits an entry's data into its items. With a sametypesequence the types
// are not stored and the last item has neither terminator nor size: it
// runs to the end of the data. Without one each item starts with its type.
class WLStarDictItems
{
public:
    // data lies at offset base of the .dict. False with the problem (naming
    // the offset in the .dict) for data that does not hold what the types
    // say.
    static bool split(const QByteArray &data, quint64 base, const QByteArray &sameTypeSequence,
                      std::vector<WLStarDictItem> &items, QString *problem);

    static bool isText(char type) { return type >= 'a' && type <= 'z'; }
    // The offset of the first byte that is not part of well-formed UTF-8
    // (no overlong forms, surrogates or code points past U+10FFFF), or -1.
    static qsizetype firstInvalidUtf8(QByteArrayView bytes);
};

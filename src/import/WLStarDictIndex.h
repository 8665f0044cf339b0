#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// One record of a StarDict .idx: the headword (UTF-8 up to a zero byte)
// and where its data lies in the .dict (big-endian, the offset 32 or 64
// bits wide, the size 32 bits).
struct WLStarDictWord
{
    QString headword;
    quint64 offset = 0;
    quint32 size = 0;
    qsizetype position = 0; // the record's offset in the .idx
};

// One record of a .syn: another headword for the .idx record numbered
// original (from 0).
struct WLStarDictSynonym
{
    QString headword;
    quint32 original = 0;
    qsizetype position = 0;
};

// Reads the .idx and .syn files whole (headwords are small; the data is
// what streams). Every fault is reported with the file and the offset of
// the record at fault.
class WLStarDictIndex
{
public:
    // The format allows headwords shorter than 256 bytes.
    static constexpr qsizetype kLongestWord = 255;
    static constexpr qint64 kLargestFile = qint64(1) << 30;

    // The bytes of a file, inflated when it is gzip (".idx.gz"): at most
    // limit + 1 of them, so that the caller sees a file that holds more
    // than it should, and at most kLargestFile + 1.
    static std::optional<QByteArray> load(const QString &path, qint64 limit, QString *error);

    static bool parseIndex(const QByteArray &bytes, int offsetBits, const QString &fileName,
                           std::vector<WLStarDictWord> &words, QString *error);
    // Each synonym must name a record below wordCount.
    static bool parseSynonyms(const QByteArray &bytes, quint64 wordCount, const QString &fileName,
                              std::vector<WLStarDictSynonym> &synonyms, QString *error);
};

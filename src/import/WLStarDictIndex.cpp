#include "WLStarDictIndex.h"

#include <QFile>
#include <QStringDecoder>

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

quint64 bigEndian(const char *bytes, int width)
{
    quint64 value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | uchar(bytes[i]);
    return value;
}

// The headword ending at the next zero byte from at; nothing with the
// problem set when it is cut short, too long or not UTF-8.
std::optional<QString> headwordAt(const QByteArray &bytes, qsizetype at, qsizetype *end,
                                  QString *problem)
{
    const qsizetype zero = bytes.indexOf('\0', at);
    if (zero < 0) {
        *problem = u"the file ends inside a headword"_s;
        return std::nullopt;
    }
    if (zero - at > WLStarDictIndex::kLongestWord) {
        *problem = u"a headword of %1 bytes; the format allows %2"_s.arg(zero - at).arg(
            WLStarDictIndex::kLongestWord);
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString word = decoder.decode(QByteArrayView(bytes).sliced(at, zero - at));
    if (decoder.hasError()) {
        *problem = u"the headword is not valid UTF-8"_s;
        return std::nullopt;
    }
    *end = zero + 1;
    return word;
}

QString located(const QString &fileName, qsizetype offset, const QString &problem)
{
    return u"%1: offset %2: %3"_s.arg(fileName).arg(offset).arg(problem);
}

} // namespace

std::optional<QByteArray> WLStarDictIndex::load(const QString &path, qint64 limit, QString *error)
{
    limit = std::min(limit, kLargestFile) + 1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    const bool zipped = file.peek(2) == QByteArrayLiteral("\x1f\x8b");
    // Compressed, a small file may hold much; the inflating stops at limit.
    QByteArray bytes = file.read(zipped ? kLargestFile : limit);
    if (file.error() != QFile::NoError) {
        *error = u"%1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    if (!zipped)
        return bytes;
    z_stream z{};
    if (inflateInit2(&z, MAX_WBITS + 16) != Z_OK) {
        *error = u"%1: zlib cannot start"_s.arg(path);
        return std::nullopt;
    }
    QByteArray out;
    QByteArray block(1 << 16, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(bytes.data());
    z.avail_in = uInt(bytes.size());
    int rc = Z_OK;
    QString problem;
    while (problem.isEmpty() && out.size() < limit) {
        if (rc == Z_STREAM_END) {
            if (z.avail_in == 0)
                break;
            inflateReset(&z); // another member
        }
        z.next_out = reinterpret_cast<Bytef *>(block.data());
        z.avail_out = uInt(block.size());
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(block.constData(), block.size() - qsizetype(z.avail_out));
        const qsizetype at = bytes.size() - qsizetype(z.avail_in);
        if (rc == Z_BUF_ERROR || (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0))
            problem = u"gzip data cut short at offset %1"_s.arg(at);
        else if (rc != Z_OK && rc != Z_STREAM_END)
            problem = u"damaged gzip data at offset %1"_s.arg(at);
    }
    inflateEnd(&z);
    if (!problem.isEmpty()) {
        *error = u"%1: %2"_s.arg(path, problem);
        return std::nullopt;
    }
    out.truncate(limit);
    return out;
}

bool WLStarDictIndex::parseIndex(const QByteArray &bytes, int offsetBits, const QString &fileName,
                                 std::vector<WLStarDictWord> &words, QString *error)
{
    const int width = offsetBits / 8;
    words.clear();
    for (qsizetype at = 0; at < bytes.size();) {
        WLStarDictWord word;
        word.position = at;
        QString problem;
        qsizetype end = 0;
        std::optional<QString> headword = headwordAt(bytes, at, &end, &problem);
        if (!headword) {
            *error = located(fileName, at, problem);
            return false;
        }
        if (bytes.size() - end < width + 4) {
            *error = located(fileName, at, u"the record is cut short: the file ends %1 bytes "
                                            "into its %2 bytes of offset and size"_s
                                                .arg(bytes.size() - end)
                                                .arg(width + 4));
            return false;
        }
        word.headword = std::move(*headword);
        word.offset = bigEndian(bytes.constData() + end, width);
        word.size = quint32(bigEndian(bytes.constData() + end + width, 4));
        words.push_back(std::move(word));
        at = end + width + 4;
    }
    return true;
}

bool WLStarDictIndex::parseSynonyms(const QByteArray &bytes, quint64 wordCount,
                                    const QString &fileName,
                                    std::vector<WLStarDictSynonym> &synonyms, QString *error)
{
    synonyms.clear();
    for (qsizetype at = 0; at < bytes.size();) {
        WLStarDictSynonym synonym;
        synonym.position = at;
        QString problem;
        qsizetype end = 0;
        std::optional<QString> headword = headwordAt(bytes, at, &end, &problem);
        if (!headword) {
            *error = located(fileName, at, problem);
            return false;
        }
        if (bytes.size() - end < 4) {
            *error = located(fileName, at, u"the record is cut short"_s);
            return false;
        }
        synonym.headword = std::move(*headword);
        synonym.original = quint32(bigEndian(bytes.constData() + end, 4));
        if (synonym.original >= wordCount) {
            *error = located(fileName, at, u"\"%1\" names headword %2 of an index of %3"_s
                                               .arg(synonym.headword)
                                               .arg(synonym.original)
                                               .arg(wordCount));
            return false;
        }
        synonyms.push_back(std::move(synonym));
        at = end + 4;
    }
    return true;
}

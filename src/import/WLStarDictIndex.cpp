#include "WLStarDictIndex.h"

#include <QFile>
#include <QStringDecoder>

#include <zlib.h>

#include <functional>

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
    // read() allocates all it is asked for, so it is asked for no more than
    // the file has.
    QByteArray bytes = file.read(std::min(file.size(), zipped ? kLargestFile : limit));
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

namespace {

// Every record of an .idx or .syn: a headword, then tail bytes of numbers,
// handed to take(headword, where the numbers are, the record's offset),
// which answers a problem or nothing.
bool eachRecord(const QByteArray &bytes, int tail, const QString &what, const QString &fileName,
                QString *error,
                const std::function<QString(QString &&, const char *, qsizetype)> &take)
{
    for (qsizetype at = 0; at < bytes.size();) {
        QString problem;
        qsizetype end = 0;
        std::optional<QString> headword = headwordAt(bytes, at, &end, &problem);
        if (headword && bytes.size() - end < tail) {
            problem = u"the record is cut short: the file ends %1 bytes into its %2 bytes of %3"_s
                          .arg(bytes.size() - end)
                          .arg(tail)
                          .arg(what);
        }
        if (problem.isEmpty())
            problem = take(std::move(*headword), bytes.constData() + end, at);
        if (!problem.isEmpty()) {
            *error = located(fileName, at, problem);
            return false;
        }
        at = end + tail;
    }
    return true;
}

} // namespace

bool WLStarDictIndex::parseIndex(const QByteArray &bytes, int offsetBits, const QString &fileName,
                                 std::vector<WLStarDictWord> &words, QString *error)
{
    const int width = offsetBits / 8;
    words.clear();
    return eachRecord(bytes, width + 4, u"offset and size"_s, fileName, error,
                      [&](QString &&headword, const char *numbers, qsizetype at) {
                          words.push_back({std::move(headword), bigEndian(numbers, width),
                                           quint32(bigEndian(numbers + width, 4)), at});
                          return QString();
                      });
}

bool WLStarDictIndex::parseSynonyms(const QByteArray &bytes, quint64 wordCount,
                                    const QString &fileName,
                                    std::vector<WLStarDictSynonym> &synonyms, QString *error)
{
    synonyms.clear();
    return eachRecord(bytes, 4, u"headword number"_s, fileName, error,
                      [&](QString &&headword, const char *numbers, qsizetype at) {
                          const quint32 original = quint32(bigEndian(numbers, 4));
                          if (original >= wordCount) {
                              return u"\"%1\" names headword %2 of an index of %3"_s.arg(
                                  headword, QString::number(original),
                                  QString::number(wordCount));
                          }
                          synonyms.push_back({std::move(headword), original, at});
                          return QString();
                      });
}

#include "WLStarDictInfo.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kMagic = "StarDict's dict ifo file";

std::optional<quint64> decimal(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 19)
        return std::nullopt;
    quint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + quint64(c - '0');
    }
    return value;
}

// Letters only: lower case for text, upper case for binary data.
bool isTypeSequence(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

} // namespace

std::optional<WLStarDictInfo> WLStarDictInfo::parse(const QByteArray &bytes,
                                                    const QString &fileName, QString *error)
{
    const auto fail = [&](int line, const QString &problem) {
        *error = u"%1:%2: %3"_s.arg(fileName).arg(line).arg(problem);
        return std::nullopt;
    };
    QByteArray text = bytes;
    if (text.startsWith("\xef\xbb\xbf"))
        text.remove(0, 3);
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.first().trimmed() != kMagic)
        return fail(1, u"not a StarDict .ifo file: the first line must be \"%1\""_s.arg(
                           QString::fromLatin1(kMagic)));

    WLStarDictInfo info;
    QList<QByteArray> seen;
    std::optional<int> versionLine;
    std::optional<int> bitsLine;
    QByteArray bits;
    bool haveWordCount = false;
    bool haveIdxFileSize = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int number = int(i) + 1;
        const QByteArray &line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            return fail(number, u"a line of the form key=value was expected"_s);
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray raw = line.mid(equals + 1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString value = QString(decoder.decode(raw)).trimmed();
        if (decoder.hasError())
            return fail(number, u"\"%1\" is not valid UTF-8"_s.arg(QString::fromLatin1(key)));
        if (seen.contains(key))
            return fail(number, u"\"%1\" is given twice"_s.arg(QString::fromLatin1(key)));
        seen.append(key);
        const auto number64 = [&](quint64 *out) {
            const std::optional<quint64> parsed = decimal(raw.trimmed());
            if (parsed)
                *out = *parsed;
            return parsed.has_value();
        };
        if (key == "version") {
            info.version = value;
            versionLine = number;
        } else if (key == "bookname") {
            info.bookName = value;
        } else if (key == "wordcount") {
            if (!number64(&info.wordCount))
                return fail(number, u"wordcount must be a whole number"_s);
            haveWordCount = true;
        } else if (key == "synwordcount") {
            quint64 count = 0;
            if (!number64(&count))
                return fail(number, u"synwordcount must be a whole number"_s);
            info.synWordCount = count;
        } else if (key == "idxfilesize") {
            if (!number64(&info.idxFileSize))
                return fail(number, u"idxfilesize must be a whole number"_s);
            haveIdxFileSize = true;
        } else if (key == "idxoffsetbits") {
            bits = raw.trimmed();
            bitsLine = number;
        } else if (key == "sametypesequence") {
            info.sameTypeSequence = raw.trimmed();
            if (!isTypeSequence(info.sameTypeSequence))
                return fail(number, u"sametypesequence must be type letters, such as \"m\" or "
                                    "\"tm\""_s);
        } else if (key == "author") {
            info.author = value;
        } else if (key == "email") {
            info.email = value;
        } else if (key == "website") {
            info.website = value;
        } else if (key == "description") {
            info.description = value;
        } else if (key == "date") {
            info.date = value;
        }
    }
    if (!versionLine)
        return fail(1, u"no version"_s);
    if (info.version != u"2.4.2"_s && info.version != u"3.0.0"_s)
        return fail(*versionLine, u"version %1 is neither 2.4.2 nor 3.0.0"_s.arg(info.version));
    // The format reads the offsets' width only from version 3.0.0 on.
    if (bitsLine && info.version == u"3.0.0"_s) {
        if (bits != "32" && bits != "64")
            return fail(*bitsLine, u"idxoffsetbits must be 32 or 64"_s);
        info.idxOffsetBits = bits.toInt();
    }
    if (info.bookName.isEmpty())
        return fail(1, u"no bookname"_s);
    if (!haveWordCount)
        return fail(1, u"no wordcount"_s);
    if (!haveIdxFileSize)
        return fail(1, u"no idxfilesize"_s);
    return info;
}

std::optional<WLStarDictInfo> WLStarDictInfo::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), kLargestFile) + 1);
    if (bytes.size() > kLargestFile) {
        *error = u"%1: too large for a .ifo file"_s.arg(path);
        return std::nullopt;
    }
    return parse(bytes, path, error);
}

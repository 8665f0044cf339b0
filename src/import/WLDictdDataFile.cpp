#include "WLDictdDataFile.h"

#include "WLProgress.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kBlock = 1 << 16;
// The bytes read after dictzip's last chunk to find the end of the stream.
constexpr qsizetype kDictzipEndSlack = 64;
// A gzip header's name and comment are read this far at most.
constexpr qint64 kLongestHeader = 12 + 65535 + 2 * 65536;

// Every member of a gzip stream from the file's position on, one after
// another, into out, until at least needed bytes are out.
bool inflateGzip(QFile &in, QFile &out, QString *why, WLProgressMeter *meter, quint64 &produced,
                 quint64 needed)
{
    z_stream z{};
    if (inflateInit2(&z, MAX_WBITS + 16) != Z_OK) {
        *why = u"zlib cannot start"_s;
        return false;
    }
    QByteArray input(kBlock, Qt::Uninitialized);
    QByteArray output(kBlock, Qt::Uninitialized);
    int rc = Z_OK;
    bool ok = true;
    while (ok && produced < needed) {
        if (z.avail_in == 0) {
            const qint64 got = in.read(input.data(), input.size());
            if (got < 0) {
                *why = in.errorString();
                ok = false;
                break;
            }
            if (got == 0)
                break;
            if (meter)
                meter->add(got);
            z.next_in = reinterpret_cast<Bytef *>(input.data());
            z.avail_in = uInt(got);
        }
        if (rc == Z_STREAM_END)
            inflateReset(&z); // another member follows
        z.next_out = reinterpret_cast<Bytef *>(output.data());
        z.avail_out = uInt(output.size());
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            *why = u"damaged gzip data"_s;
            ok = false;
            break;
        }
        const qint64 made = output.size() - qsizetype(z.avail_out);
        produced += quint64(made);
        if (out.write(output.constData(), made) != made) {
            *why = out.errorString();
            ok = false;
        }
    }
    inflateEnd(&z);
    if (ok && produced < needed && rc != Z_STREAM_END) {
        *why = u"gzip data cut short"_s;
        ok = false;
    }
    return ok;
}

quint32 little16(const QByteArray &bytes, qsizetype at)
{
    return quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8;
}

quint32 little32(const QByteArray &bytes, qsizetype at)
{
    return little16(bytes, at) | little16(bytes, at + 2) << 16;
}

// dictzip's table, from the gzip header's extra field "RA": the length of
// every chunk once inflated (the last may be shorter) and each chunk's
// deflated length.
struct DictzipTable
{
    qint64 dataStart = 0;
    quint32 chunkLength = 0;
    std::vector<quint32> chunkSizes;
};

// The table of a gzip header, if it has one; nothing without a problem for
// plain gzip, nothing with the problem for a malformed header or table.
std::optional<DictzipTable> readDictzipTable(QFile &file, QString *problem)
{
    const QByteArray header = file.peek(kLongestHeader);
    const qsizetype size = header.size();
    if (size < 10) {
        *problem = u"the gzip header is cut short"_s;
        return std::nullopt;
    }
    if (uchar(header[2]) != 8) {
        *problem = u"offset 2: compression method %1 is not deflate"_s.arg(uchar(header[2]));
        return std::nullopt;
    }
    const uchar flags = uchar(header[3]);
    qsizetype at = 10;
    std::optional<DictzipTable> table;
    if (flags & 0x04) {
        if (size < 12) {
            *problem = u"offset 10: the gzip header is cut short"_s;
            return std::nullopt;
        }
        const qsizetype extraLength = little16(header, 10);
        if (12 + extraLength > size) {
            *problem = u"offset 10: the extra field runs past the end of the file"_s;
            return std::nullopt;
        }
        for (qsizetype p = 12; p + 4 <= 12 + extraLength;) {
            const qsizetype length = little16(header, p + 2);
            if (p + 4 + length > 12 + extraLength) {
                *problem = u"offset %1: a subfield runs past the extra field"_s.arg(p);
                return std::nullopt;
            }
            if (header[p] == 'R' && header[p + 1] == 'A') {
                const qsizetype body = p + 4;
                if (length < 6) {
                    *problem = u"offset %1: the chunk table is cut short"_s.arg(p);
                    return std::nullopt;
                }
                const quint32 version = little16(header, body);
                const quint32 chunkLength = little16(header, body + 2);
                const quint32 count = little16(header, body + 4);
                if (version != 1) {
                    *problem = u"offset %1: chunk table version %2, not 1"_s.arg(body).arg(version);
                    return std::nullopt;
                }
                if (chunkLength == 0 || count == 0 || length != 6 + 2 * qsizetype(count)) {
                    *problem = u"offset %1: a chunk table of %2 chunks of %3 bytes in a field "
                               "of %4 bytes"_s.arg(body)
                                   .arg(count)
                                   .arg(chunkLength)
                                   .arg(length);
                    return std::nullopt;
                }
                table.emplace();
                table->chunkLength = chunkLength;
                for (quint32 i = 0; i < count; ++i)
                    table->chunkSizes.push_back(little16(header, body + 6 + 2 * qsizetype(i)));
            }
            p += 4 + length;
        }
        at = 12 + extraLength;
    }
    for (const uchar field : {uchar(0x08), uchar(0x10)}) { // the name, the comment
        if (!(flags & field))
            continue;
        const qsizetype zero = header.indexOf('\0', at);
        if (zero < 0) {
            *problem = u"offset %1: the gzip header is cut short"_s.arg(at);
            return std::nullopt;
        }
        at = zero + 1;
    }
    if (flags & 0x02)
        at += 2;
    if (table)
        table->dataStart = at;
    return table;
}

// The chunks one by one, each inflated on its own as the table places it,
// then the gzip trailer; stops early once needed bytes are out. The file
// is left at the end of the member.
bool inflateDictzip(QFile &in, QFile &out, const DictzipTable &table, QString *why,
                    WLProgressMeter *meter, quint64 &produced, quint64 needed)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
        *why = u"zlib cannot start"_s;
        return false;
    }
    const auto fail = [&](const QString &problem) {
        *why = problem;
        inflateEnd(&z);
        return false;
    };
    QByteArray input;
    QByteArray output(qsizetype(table.chunkLength) + 1, Qt::Uninitialized);
    uLong crc = crc32(0, nullptr, 0);
    qint64 at = table.dataStart;
    const size_t count = table.chunkSizes.size();
    for (size_t i = 0; i < count; ++i) {
        const bool last = i + 1 == count;
        const QString chunk = u"dictzip chunk %1 of %2 at offset %3"_s.arg(i + 1).arg(count).arg(at);
        input.resize(table.chunkSizes[i]);
        if (!in.seek(at) || in.read(input.data(), input.size()) != input.size())
            return fail(chunk + u": runs past the end of the file"_s);
        if (meter)
            meter->add(input.size());
        inflateReset(&z);
        z.next_in = reinterpret_cast<Bytef *>(input.data());
        z.avail_in = uInt(input.size());
        z.next_out = reinterpret_cast<Bytef *>(output.data());
        z.avail_out = uInt(output.size());
        int rc = inflate(&z, Z_SYNC_FLUSH);
        const quint32 made = quint32(output.size()) - quint32(z.avail_out);
        qint64 consumed = input.size();
        if (last && rc != Z_STREAM_END && z.avail_in == 0) {
            // dictzip counts the last chunk without the empty block that
            // ends the stream: the bytes after it must only end it.
            QByteArray end(kDictzipEndSlack, Qt::Uninitialized);
            const qint64 got = in.read(end.data(), end.size());
            z.next_in = reinterpret_cast<Bytef *>(end.data());
            z.avail_in = uInt(std::max<qint64>(got, 0));
            rc = inflate(&z, Z_SYNC_FLUSH);
            if (quint32(output.size()) - quint32(z.avail_out) != made)
                return fail(chunk + u": the data goes on past the chunk table's end"_s);
            consumed += std::max<qint64>(got, 0) - qint64(z.avail_in);
            z.avail_in = 0;
        }
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
            return fail(chunk + u": damaged data"_s);
        if (z.avail_in != 0 || (rc == Z_STREAM_END) != last)
            return fail(chunk + u": the data does not end where the chunk table says"_s);
        if (last ? (made == 0 || made > table.chunkLength) : made != table.chunkLength)
            return fail(chunk + u": inflates to %1 bytes, not the table's %2"_s.arg(made).arg(
                                    table.chunkLength));
        crc = crc32(crc, reinterpret_cast<const Bytef *>(output.constData()), made);
        produced += made;
        if (out.write(output.constData(), made) != qint64(made))
            return fail(out.errorString());
        at += consumed;
        if (produced >= needed) {
            inflateEnd(&z);
            return true;
        }
    }
    inflateEnd(&z);
    QByteArray trailer(8, Qt::Uninitialized);
    if (!in.seek(at) || in.read(trailer.data(), 8) != 8) {
        *why = u"offset %1: the gzip trailer is cut short"_s.arg(at);
        return false;
    }
    if (little32(trailer, 0) != quint32(crc) || little32(trailer, 4) != quint32(produced)) {
        *why = u"offset %1: the gzip trailer's checksum or length does not match the chunks"_s
                   .arg(at);
        return false;
    }
    return true;
}

} // namespace

WLDictdDataFile::WLDictdDataFile() = default;
WLDictdDataFile::~WLDictdDataFile() = default;

bool WLDictdDataFile::measure(QFile &file, QString *error)
{
    const qint64 size = file.size();
    if (size < 0) {
        *error = u"%1: %2"_s.arg(mPath, file.errorString());
        return false;
    }
    mSize = quint64(size);
    return true;
}

std::unique_ptr<WLDictdDataFile> WLDictdDataFile::open(const QString &path, QString *error,
                                                       WLProgressMeter *meter, quint64 needed)
{
    std::unique_ptr<WLDictdDataFile> data(new WLDictdDataFile);
    data->mPath = path;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, file->errorString());
        return nullptr;
    }
    const QByteArray magic = file->peek(2);
    if (magic != QByteArrayLiteral("\x1f\x8b")) {
        data->mFile = std::move(file);
        if (!data->measure(*data->mFile, error))
            return nullptr;
        return data;
    }
    QString why;
    const std::optional<DictzipTable> table = readDictzipTable(*file, &why);
    if (!why.isEmpty()) {
        *error = u"%1: %2"_s.arg(path, why);
        return nullptr;
    }
    auto inflated = std::make_unique<QTemporaryFile>();
    if (!inflated->open()) {
        *error = u"%1: no temporary file: %2"_s.arg(path, inflated->errorString());
        return nullptr;
    }
    // Unlinked at once (QFile::remove would close it): nothing is left
    // behind, whatever happens later.
    ::unlink(QFile::encodeName(inflated->fileName()).constData());
    if (meter)
        meter->begin(QStringLiteral("inflating %1").arg(QFileInfo(path).fileName()), file->size());
    quint64 produced = 0;
    bool ok = true;
    if (table) {
        ok = inflateDictzip(*file, *inflated, *table, &why, meter, produced, needed);
        // Another gzip member may follow the one the table describes.
        ok = ok && (produced >= needed || file->atEnd() ||
                    inflateGzip(*file, *inflated, &why, meter, produced, needed));
    } else {
        ok = inflateGzip(*file, *inflated, &why, meter, produced, needed);
    }
    if (!ok || !inflated->flush()) {
        *error = u"%1: %2"_s.arg(path, why.isEmpty() ? inflated->errorString() : why);
        return nullptr;
    }
    data->mFile = std::move(inflated);
    if (!data->measure(*data->mFile, error))
        return nullptr;
    return data;
}

std::optional<QByteArray> WLDictdDataFile::read(quint64 offset, quint64 length,
                                                QString *error) const
{
    if (offset > mSize || length > mSize - offset) {
        *error = u"%1: definition past the end of the data"_s.arg(mPath);
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(mFile->handle(), bytes.data() + done,
                                    size_t(bytes.size() - done), off_t(offset + quint64(done)));
        if (got <= 0) {
            *error = u"%1: cannot read: %2"_s.arg(mPath, QString::fromLocal8Bit(strerror(errno)));
            return std::nullopt;
        }
        done += got;
    }
    return bytes;
}

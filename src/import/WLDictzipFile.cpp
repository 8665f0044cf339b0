#include "WLDictzipFile.h"

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

constexpr size_t kCachedChunks = 8;

quint16 le16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}

quint32 le32(const uchar *p)
{
    return quint32(le16(p)) | (quint32(le16(p + 2)) << 16);
}

} // namespace

WLDictzipFile::WLDictzipFile() = default;

WLDictzipFile::~WLDictzipFile()
{
    if (m_stream)
        inflateEnd(m_stream.get());
}

std::pair<WLDictzipFile::Status, std::unique_ptr<WLDictzipFile>> WLDictzipFile::open(const QString &path,
                                                                                     QString *error)
{
    std::unique_ptr<WLDictzipFile> zip(new WLDictzipFile);
    zip->m_file.setFileName(path);
    if (!zip->m_file.open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, zip->m_file.errorString());
        return {Status::Damaged, nullptr};
    }
    const auto damaged = [&](const QString &what) {
        *error = u"%1: %2"_s.arg(path, what);
        return std::pair{Status::Damaged, std::unique_ptr<WLDictzipFile>()};
    };
    const qint64 fileSize = zip->m_file.size();
    const QByteArray fixed = zip->m_file.read(10);
    const auto *h = reinterpret_cast<const uchar *>(fixed.constData());
    if (fixed.size() < 10 || h[0] != 0x1f || h[1] != 0x8b || h[2] != 8)
        return {Status::NotGzip, nullptr};
    const uchar flags = h[3];
    if (!(flags & 0x04))
        return {Status::NoChunkTable, nullptr};

    const QByteArray xlenBytes = zip->m_file.read(2);
    if (xlenBytes.size() < 2)
        return damaged(u"truncated gzip header"_s);
    const quint16 xlen = le16(reinterpret_cast<const uchar *>(xlenBytes.constData()));
    const QByteArray extra = zip->m_file.read(xlen);
    if (extra.size() < xlen)
        return damaged(u"truncated gzip header"_s);
    const auto *x = reinterpret_cast<const uchar *>(extra.constData());
    std::vector<quint16> sizes;
    bool found = false;
    for (qsizetype at = 0; at + 4 <= xlen;) {
        const quint16 fieldLength = le16(x + at + 2);
        if (at + 4 + fieldLength > xlen)
            return damaged(u"bad gzip extra field"_s);
        if (x[at] == 'R' && x[at + 1] == 'A') {
            const uchar *f = x + at + 4;
            if (fieldLength < 6 || le16(f) != 1)
                return damaged(u"unknown dictzip chunk table"_s);
            zip->m_chunkLength = le16(f + 2);
            const quint16 count = le16(f + 4);
            if (zip->m_chunkLength == 0 || fieldLength < 6 + 2 * count)
                return damaged(u"bad dictzip chunk table"_s);
            for (quint16 i = 0; i < count; ++i)
                sizes.push_back(le16(f + 6 + 2 * i));
            found = true;
        }
        at += 4 + fieldLength;
    }
    if (!found)
        return {Status::NoChunkTable, nullptr};

    // Name, comment and header checksum come between the header and the data.
    for (const uchar zeroTerminated : {uchar(0x08), uchar(0x10)}) {
        if (!(flags & zeroTerminated))
            continue;
        char c = 1;
        while (c != 0) {
            if (!zip->m_file.getChar(&c))
                return damaged(u"truncated gzip header"_s);
        }
    }
    if ((flags & 0x02) && zip->m_file.read(2).size() < 2)
        return damaged(u"truncated gzip header"_s);

    qint64 at = zip->m_file.pos();
    zip->m_chunkStart.reserve(sizes.size() + 1);
    for (const quint16 s : sizes) {
        zip->m_chunkStart.push_back(at);
        at += s;
    }
    zip->m_chunkStart.push_back(at);
    // The 8-byte trailer follows the last chunk: CRC and size modulo 2^32.
    if (at + 8 > fileSize)
        return damaged(u"chunk table runs past the end of the file"_s);
    zip->m_file.seek(fileSize - 4);
    const QByteArray isize = zip->m_file.read(4);
    if (isize.size() < 4)
        return damaged(u"truncated gzip trailer"_s);
    const quint64 sizeMod32 = le32(reinterpret_cast<const uchar *>(isize.constData()));
    const quint64 maxSize = quint64(sizes.size()) * zip->m_chunkLength;
    // The chunk table bounds the size; the trailer gives it exactly.
    quint64 size = sizeMod32;
    while (size + (quint64(1) << 32) <= maxSize)
        size += quint64(1) << 32;
    if (size > maxSize || (maxSize - size) >= zip->m_chunkLength)
        return damaged(u"size does not match the chunk table"_s);
    zip->m_size = size;

    zip->m_stream = std::make_unique<z_stream_s>();
    if (inflateInit2(zip->m_stream.get(), -MAX_WBITS) != Z_OK) {
        zip->m_stream.reset();
        return damaged(u"zlib cannot start"_s);
    }
    return {Status::Ok, std::move(zip)};
}

const QByteArray *WLDictzipFile::chunk(qsizetype index, QString *error)
{
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        if (it->first == index) {
            m_cache.splice(m_cache.begin(), m_cache, it);
            return &m_cache.front().second;
        }
    }
    const qint64 start = m_chunkStart[size_t(index)];
    const qint64 compressedSize = m_chunkStart[size_t(index) + 1] - start;
    QByteArray compressed;
    if (!m_file.seek(start) || (compressed = m_file.read(compressedSize)).size() != compressedSize) {
        *error = u"%1: cannot read chunk %2"_s.arg(m_file.fileName()).arg(index);
        return nullptr;
    }
    QByteArray plain(m_chunkLength, Qt::Uninitialized);
    z_stream_s &z = *m_stream;
    inflateReset(&z);
    z.next_in = reinterpret_cast<Bytef *>(compressed.data());
    z.avail_in = uInt(compressed.size());
    z.next_out = reinterpret_cast<Bytef *>(plain.data());
    z.avail_out = uInt(plain.size());
    // Each chunk ends on a full flush (the last one on the final block),
    // so one call inflates all of it.
    const int rc = inflate(&z, Z_SYNC_FLUSH);
    if ((rc != Z_OK && rc != Z_STREAM_END) || z.avail_in != 0) {
        *error = u"%1: damaged chunk %2"_s.arg(m_file.fileName()).arg(index);
        return nullptr;
    }
    plain.truncate(plain.size() - qsizetype(z.avail_out));
    const quint64 expected = std::min<quint64>(m_chunkLength, m_size - quint64(index) * m_chunkLength);
    if (quint64(plain.size()) != expected) {
        *error = u"%1: damaged chunk %2"_s.arg(m_file.fileName()).arg(index);
        return nullptr;
    }
    if (m_cache.size() >= kCachedChunks)
        m_cache.pop_back();
    m_cache.emplace_front(index, std::move(plain));
    return &m_cache.front().second;
}

std::optional<QByteArray> WLDictzipFile::read(quint64 offset, quint64 length, QString *error)
{
    if (offset > m_size || length > m_size - offset) {
        *error = u"%1: definition past the end of the data"_s.arg(m_file.fileName());
        return std::nullopt;
    }
    QByteArray out;
    out.reserve(qsizetype(length));
    quint64 at = offset;
    const quint64 end = offset + length;
    while (at < end) {
        const qsizetype index = qsizetype(at / m_chunkLength);
        const QByteArray *plain = chunk(index, error);
        if (!plain)
            return std::nullopt;
        const quint64 within = at - quint64(index) * m_chunkLength;
        const quint64 take = std::min<quint64>(end - at, quint64(plain->size()) - within);
        out.append(plain->constData() + within, qsizetype(take));
        at += take;
    }
    return out;
}

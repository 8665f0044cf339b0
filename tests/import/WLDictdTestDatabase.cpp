#include "WLDictdTestDatabase.h"

#include "WLDictdIndex.h"

#include <QDir>
#include <QFile>

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

void put16(QByteArray &out, quint32 v)
{
    out += char(v & 0xff);
    out += char((v >> 8) & 0xff);
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

QByteArray deflateRaw(z_stream &z, const QByteArray &in, int flush)
{
    QByteArray out;
    QByteArray buffer(4096, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    z.avail_in = uInt(in.size());
    do {
        z.next_out = reinterpret_cast<Bytef *>(buffer.data());
        z.avail_out = uInt(buffer.size());
        deflate(&z, flush);
        out.append(buffer.constData(), buffer.size() - qsizetype(z.avail_out));
    } while (z.avail_out == 0);
    return out;
}

} // namespace

void WLDictdTestDatabase::add(const QByteArray &headword, const QByteArray &text)
{
    m_lastPlace = WLDictdIndex::encodeNumber(quint64(m_data.size())) + '\t' +
                  WLDictdIndex::encodeNumber(quint64(text.size()));
    m_index += headword + '\t' + m_lastPlace + '\n';
    m_data += text;
}

void WLDictdTestDatabase::addShared(const QByteArray &headword)
{
    m_index += headword + '\t' + m_lastPlace + '\n';
}

void WLDictdTestDatabase::addRawIndexLine(const QByteArray &line)
{
    m_index += line + '\n';
}

QByteArray WLDictdTestDatabase::dictzip(const QByteArray &plain, int chunkLength)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QList<QByteArray> chunks;
    for (qsizetype at = 0; at < plain.size(); at += chunkLength) {
        const bool last = at + chunkLength >= plain.size();
        chunks.append(deflateRaw(z, plain.mid(at, chunkLength), last ? Z_FINISH : Z_FULL_FLUSH));
    }
    deflateEnd(&z);

    QByteArray extra("RA");
    put16(extra, quint32(6 + 2 * chunks.size()));
    put16(extra, 1);
    put16(extra, quint32(chunkLength));
    put16(extra, quint32(chunks.size()));
    for (const QByteArray &c : chunks)
        put16(extra, quint32(c.size()));

    QByteArray out("\x1f\x8b\x08", 3);
    out += char(0x04 | 0x08); // extra field and a name, as dictzip writes
    put32(out, 0);
    out += char(2);
    out += char(3);
    put16(out, quint32(extra.size()));
    out += extra;
    out += QByteArray("test.dict", 10); // with its terminating zero
    for (const QByteArray &c : chunks)
        out += c;
    put32(out, quint32(crc32(0, reinterpret_cast<const Bytef *>(plain.constData()),
                             uInt(plain.size()))));
    put32(out, quint32(plain.size()));
    return out;
}

QByteArray WLDictdTestDatabase::gzip(const QByteArray &plain)
{
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out = deflateRaw(z, plain, Z_FINISH);
    deflateEnd(&z);
    return out;
}

QString WLDictdTestDatabase::write(const QString &dir, const QString &name, Format format,
                                   int chunkLength) const
{
    QDir().mkpath(dir);
    const auto save = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    };
    save(QDir(dir).filePath(name + u".index"_s), m_index);
    switch (format) {
    case Format::Plain: {
        const QString path = QDir(dir).filePath(name + u".dict"_s);
        save(path, m_data);
        return path;
    }
    case Format::Dictzip: {
        const QString path = QDir(dir).filePath(name + u".dict.dz"_s);
        save(path, dictzip(m_data, chunkLength));
        return path;
    }
    case Format::Gzip: {
        const QString path = QDir(dir).filePath(name + u".dict.dz"_s);
        save(path, gzip(m_data));
        return path;
    }
    }
    return {};
}

#include "WLDictdDataFile.h"

#include "WLDictzipFile.h"

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

// All members of a gzip file, one after another.
std::optional<QByteArray> inflateGzip(const QByteArray &compressed)
{
    QByteArray out;
    z_stream z{};
    if (inflateInit2(&z, MAX_WBITS + 16) != Z_OK)
        return std::nullopt;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    z.avail_in = uInt(compressed.size());
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    int rc = Z_OK;
    while (true) {
        z.next_out = reinterpret_cast<Bytef *>(buffer.data());
        z.avail_out = uInt(buffer.size());
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer.constData(), buffer.size() - qsizetype(z.avail_out));
        if (rc == Z_STREAM_END) {
            if (z.avail_in == 0)
                break;
            inflateReset(&z);
            continue;
        }
        if (rc != Z_OK)
            break;
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace

WLDictdDataFile::WLDictdDataFile() = default;
WLDictdDataFile::~WLDictdDataFile() = default;

std::unique_ptr<WLDictdDataFile> WLDictdDataFile::open(const QString &path, QString *error)
{
    std::unique_ptr<WLDictdDataFile> data(new WLDictdDataFile);
    data->m_path = path;
    auto [status, zip] = WLDictzipFile::open(path, error);
    switch (status) {
    case WLDictzipFile::Status::Ok:
        data->m_dictzip = std::move(zip);
        return data;
    case WLDictzipFile::Status::Damaged:
        return nullptr;
    case WLDictzipFile::Status::NoChunkTable: {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = u"%1: %2"_s.arg(path, file.errorString());
            return nullptr;
        }
        auto inflated = inflateGzip(file.readAll());
        if (!inflated) {
            *error = u"%1: damaged gzip data"_s.arg(path);
            return nullptr;
        }
        data->m_inflated = std::move(*inflated);
        data->m_isInflated = true;
        return data;
    }
    case WLDictzipFile::Status::NotGzip:
        break;
    }
    data->m_plain.setFileName(path);
    if (!data->m_plain.open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, data->m_plain.errorString());
        return nullptr;
    }
    if (data->m_plain.size() > 0)
        data->m_mapped = data->m_plain.map(0, data->m_plain.size());
    return data;
}

quint64 WLDictdDataFile::size() const
{
    if (m_dictzip)
        return m_dictzip->size();
    if (m_isInflated)
        return quint64(m_inflated.size());
    return quint64(m_plain.size());
}

std::optional<QByteArray> WLDictdDataFile::read(quint64 offset, quint64 length, QString *error)
{
    if (m_dictzip)
        return m_dictzip->read(offset, length, error);
    const quint64 total = size();
    if (offset > total || length > total - offset) {
        *error = u"%1: definition past the end of the data"_s.arg(m_path);
        return std::nullopt;
    }
    if (m_isInflated)
        return m_inflated.mid(qsizetype(offset), qsizetype(length));
    if (m_mapped)
        return QByteArray(reinterpret_cast<const char *>(m_mapped) + offset, qsizetype(length));
    if (!m_plain.seek(qint64(offset))) {
        *error = u"%1: %2"_s.arg(m_path, m_plain.errorString());
        return std::nullopt;
    }
    QByteArray bytes = m_plain.read(qint64(length));
    if (quint64(bytes.size()) != length) {
        *error = u"%1: %2"_s.arg(m_path, m_plain.errorString());
        return std::nullopt;
    }
    return bytes;
}

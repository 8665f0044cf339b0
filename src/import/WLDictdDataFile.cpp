#include "WLDictdDataFile.h"

#include "WLProgress.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <zlib.h>

#include <cerrno>
#include <cstring>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kBlock = 1 << 16;

// Every member of a gzip stream, one after another, into out.
bool inflateGzip(QFile &in, QFile &out, QString *why, WLProgressMeter *meter)
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
    while (ok) {
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
        const qint64 produced = output.size() - qsizetype(z.avail_out);
        if (out.write(output.constData(), produced) != produced) {
            *why = out.errorString();
            ok = false;
        }
    }
    inflateEnd(&z);
    if (ok && rc != Z_STREAM_END) {
        *why = u"gzip data cut short"_s;
        ok = false;
    }
    return ok;
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
                                                       WLProgressMeter *meter)
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
    auto inflated = std::make_unique<QTemporaryFile>();
    QString why;
    if (!inflated->open()) {
        *error = u"%1: no temporary file: %2"_s.arg(path, inflated->errorString());
        return nullptr;
    }
    // Unlinked at once (QFile::remove would close it): nothing is left
    // behind, whatever happens later.
    ::unlink(QFile::encodeName(inflated->fileName()).constData());
    if (meter)
        meter->begin(QStringLiteral("inflating %1").arg(QFileInfo(path).fileName()), file->size());
    if (!inflateGzip(*file, *inflated, &why, meter) || !inflated->flush()) {
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

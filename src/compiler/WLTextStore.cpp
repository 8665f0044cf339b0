#include "WLTextStore.h"

#include <QDir>
#include <QHashFunctions>
#include <QTemporaryFile>

#include <unistd.h>

namespace {

constexpr qsizetype kBuffer = 1 << 20;
constexpr quint64 kOffsetBits = (quint64(1) << 48) - 1;

} // namespace

WLTextStore::WLTextStore(QString directory) : mDirectory(std::move(directory)) {}

WLTextStore::~WLTextStore() = default;

bool WLTextStore::open(int count, QString *errorMessage)
{
    for (int i = 0; i < count; ++i) {
        auto file =
            std::make_unique<QTemporaryFile>(QDir(mDirectory).filePath(QStringLiteral(".wl-text-XXXXXX")));
        if (!file->open()) {
            *errorMessage = QStringLiteral("%1: cannot keep the fragments' text here: %2")
                                .arg(QDir::toNativeSeparators(mDirectory), file->errorString());
            return false;
        }
        // Unlinked at once (QFile::remove would close it): nothing is left
        // behind, whatever happens later.
        ::unlink(QFile::encodeName(file->fileName()).constData());
        mFiles.push_back(std::move(file));
    }
    mWriters.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        mWriters[size_t(i)].mFile = mFiles[size_t(i)].get();
        mWriters[size_t(i)].mFileBits = quint64(i) << 48;
    }
    return true;
}

quint32 WLTextStore::hash(QByteArrayView utf8)
{
    return quint32(qHash(utf8, 0));
}

WLTextRef WLTextStore::Writer::append(QByteArrayView utf8)
{
    const WLTextRef ref{mFileBits | quint64(mWritten + mBuffer.size()), quint32(utf8.size()),
                        hash(utf8)};
    mBuffer.append(utf8);
    if (mBuffer.size() >= kBuffer)
        flush();
    return ref;
}

bool WLTextStore::Writer::flush()
{
    if (mBuffer.isEmpty())
        return true;
    const bool ok = mFile->write(mBuffer) == mBuffer.size();
    mWritten += mBuffer.size();
    mBuffer.clear();
    return ok;
}

bool WLTextStore::finish(QString *errorMessage)
{
    for (Writer &writer : mWriters) {
        // A failed write shows here: the file's error stays set.
        if (!writer.flush() || !writer.mFile->flush() ||
            writer.mFile->error() != QFileDevice::NoError) {
            *errorMessage = QStringLiteral("%1: cannot keep the fragments' text here: %2")
                                .arg(QDir::toNativeSeparators(mDirectory),
                                     writer.mFile->errorString());
            return false;
        }
        writer.mBuffer.squeeze();
    }
    return true;
}

std::optional<QByteArray> WLTextStore::read(const WLTextRef &text) const
{
    const size_t file = size_t(text.place >> 48);
    if (file >= mFiles.size())
        return std::nullopt;
    QByteArray bytes(qsizetype(text.size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(mFiles[file]->handle(), bytes.data() + done, size_t(bytes.size() - done),
                    off_t((text.place & kOffsetBits) + quint64(done)));
        if (got <= 0)
            return std::nullopt;
        done += got;
    }
    return bytes;
}

bool WLTextStore::equal(const WLTextRef &a, const WLTextRef &b) const
{
    if (a.size != b.size || a.hash != b.hash)
        return false;
    if (a.place == b.place)
        return true;
    const std::optional<QByteArray> x = read(a);
    return x && x == read(b);
}

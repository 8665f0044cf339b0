#include "WLTextStore.h"

#include <QDir>
#include <QHashFunctions>
#include <QTemporaryFile>

#include <unistd.h>

namespace {

constexpr qsizetype kBuffer = 1 << 20;
constexpr quint64 kOffsetBits = (quint64(1) << 48) - 1;

} // namespace

WLTextStore::WLTextStore(QString directory) : m_directory(std::move(directory)) {}

WLTextStore::~WLTextStore() = default;

bool WLTextStore::open(int count, QString *errorMessage)
{
    for (int i = 0; i < count; ++i) {
        auto file =
            std::make_unique<QTemporaryFile>(QDir(m_directory).filePath(QStringLiteral(".wl-text-XXXXXX")));
        if (!file->open()) {
            *errorMessage = QStringLiteral("%1: cannot keep the fragments' text here: %2")
                                .arg(QDir::toNativeSeparators(m_directory), file->errorString());
            return false;
        }
        // Unlinked at once (QFile::remove would close it): nothing is left
        // behind, whatever happens later.
        ::unlink(QFile::encodeName(file->fileName()).constData());
        m_files.push_back(std::move(file));
    }
    m_writers.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        m_writers[size_t(i)].m_file = m_files[size_t(i)].get();
        m_writers[size_t(i)].m_fileBits = quint64(i) << 48;
    }
    return true;
}

quint32 WLTextStore::hash(QByteArrayView utf8)
{
    return quint32(qHash(utf8, 0));
}

WLTextRef WLTextStore::Writer::append(QByteArrayView utf8)
{
    const WLTextRef ref{m_fileBits | quint64(m_written + m_buffer.size()), quint32(utf8.size()),
                        hash(utf8)};
    m_buffer.append(utf8);
    if (m_buffer.size() >= kBuffer)
        flush();
    return ref;
}

bool WLTextStore::Writer::flush()
{
    if (m_buffer.isEmpty())
        return true;
    const bool ok = m_file->write(m_buffer) == m_buffer.size();
    m_written += m_buffer.size();
    m_buffer.clear();
    return ok;
}

bool WLTextStore::finish(QString *errorMessage)
{
    for (Writer &writer : m_writers) {
        // A failed write shows here: the file's error stays set.
        if (!writer.flush() || !writer.m_file->flush() ||
            writer.m_file->error() != QFileDevice::NoError) {
            *errorMessage = QStringLiteral("%1: cannot keep the fragments' text here: %2")
                                .arg(QDir::toNativeSeparators(m_directory),
                                     writer.m_file->errorString());
            return false;
        }
        writer.m_buffer.squeeze();
    }
    return true;
}

std::optional<QByteArray> WLTextStore::read(const WLTextRef &text) const
{
    const size_t file = size_t(text.place >> 48);
    if (file >= m_files.size())
        return std::nullopt;
    QByteArray bytes(qsizetype(text.size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(m_files[file]->handle(), bytes.data() + done, size_t(bytes.size() - done),
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

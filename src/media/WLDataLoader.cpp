#include "WLDataLoader.h"

#include "WLFileSystem.h"
#include "WLReport.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using WLFileSystem::PathKind;
using WLFileSystem::pathKind;

bool isSymbolicLink(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Writes the bytes to a new file beside the destination and renames it over
// the destination, so that whoever opens the path finds the old file or the
// new one whole. Unlike QSaveFile nothing is synced to disk: the page
// directory is scratch space deleted at shutdown, and a sync costs a
// millisecond or more for each preloaded file of every opening.
bool replaceFile(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(path);
    // An existing file that may not be written keeps its contents.
    if (::access(target.constData(), W_OK) != 0 && errno != ENOENT)
        return false;
    // A short name of its own, however long the destination's name is.
    static std::atomic<unsigned> serial{0};
    const QByteArray directory = target.left(target.lastIndexOf('/') + 1);
    QByteArray temporary;
    WLFileSystem::FileDescriptor fd;
    for (int attempt = 0; !fd.isValid() && attempt < 100; ++attempt) {
        temporary = directory + ".wl-" + QByteArray::number(::getpid()) + '-' +
                    QByteArray::number(++serial);
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.isValid() && errno != EEXIST)
            return false;
    }
    if (!fd.isValid())
        return false;
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n =
            ::write(fd.get(), data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool closed = fd.close();
    if (written != data.size() || !closed ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

constexpr char kCleanupName[] = "cleanupDirectoryContents";

bool removeTree(const QByteArray &directoryPath)
{
    WLFileSystem::DirectoryStream directory(directoryPath);
    if (!directory.isValid()) {
        WL_REPORT(kCleanupName, "contents == nil");
        return false;
    }
    const QList<QByteArray> names = directory.names();

    bool succeeded = true;
    for (const QByteArray &name : std::as_const(names)) {
        const QByteArray itemPath = directoryPath + '/' + name;
        switch (pathKind(itemPath)) {
        case PathKind::Missing:
            WL_REPORT(kCleanupName, "![fm fileExistsAtPath:itemPath isDirectory:&isDirectory]");
            succeeded = false;
            break;
        case PathKind::Directory:
            succeeded = removeTree(itemPath) && succeeded;
            break;
        case PathKind::Other:
            // unlink removes a symbolic link itself, never its target.
            if (::unlink(itemPath.constData()) != 0) {
                WL_REPORT(kCleanupName, "![fm removeItemAtPath:itemPath error:&error]");
                succeeded = false;
            }
            break;
        }
    }
    if (::rmdir(directoryPath.constData()) != 0) {
        WL_REPORT(kCleanupName, "![fm removeItemAtPath:directoryPath error:&error]");
        return false;
    }
    return succeeded;
}

} // namespace

bool isSafeRelativePath(QStringView path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    for (QStringView component : path.split(u'/')) {
        if (component.isEmpty() || component == u"." || component == u"..")
            return false;
    }
    return true;
}

bool cleanupDirectoryContents(const QString &directoryPath)
{
    if (directoryPath.isEmpty()) {
        WL_REPORT(kCleanupName, "directoryPath == nil");
        return false;
    }
    const QByteArray path = QFile::encodeName(directoryPath);
    switch (pathKind(path)) {
    case PathKind::Missing:
        WL_REPORT(kCleanupName, "![fm fileExistsAtPath:directoryPath isDirectory:&isDirectory]");
        return false;
    case PathKind::Other:
        WL_REPORT(kCleanupName, "!isDirectory");
        return false;
    case PathKind::Directory:
        break;
    }
    return removeTree(path);
}

WLDataLoader::WLDataLoader(const QUrl &baseURL) : mBaseURL(baseURL) {}

std::unique_ptr<WLDataLoader> WLDataLoader::initWithBaseURL(const QUrl &baseURL)
{
    static constexpr char kFn[] = "-[WLDataLoader initWithBaseURL:]";
    if (baseURL.isEmpty() || !baseURL.isValid()) {
        WL_REPORT(kFn, "baseURL == nil");
        return nullptr;
    }
    if (!baseURL.isLocalFile()) {
        WL_REPORT(kFn, "![baseURL isFileURL]");
        return nullptr;
    }
    // Relative references resolve below the base only when it ends in "/".
    QUrl directoryURL = baseURL;
    if (!directoryURL.path().endsWith(u'/'))
        directoryURL.setPath(directoryURL.path() + u'/');
    return std::unique_ptr<WLDataLoader>(new WLDataLoader(directoryURL));
}

WLDataLoader::~WLDataLoader()
{
    if (!mKeepsBaseDirectory)
        cleanupDirectoryContents(basePath());
}

QString WLDataLoader::basePath() const
{
    QString path = mBaseURL.toLocalFile();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QString WLDataLoader::outputPathForRelativePath(const QString &relativePath,
                                                const char *function) const
{
    if (!isSafeRelativePath(relativePath)) {
        WL_REPORT(function, "!isSafeRelativePath(relativePath)");
        return {};
    }
    const QUrl reference(relativePath, QUrl::StrictMode);
    if (!reference.isValid()) {
        WL_REPORT(function, "outputURL == nil");
        return {};
    }
    const QUrl outputURL = mBaseURL.resolved(reference);
    const QString outputPath = outputURL.isLocalFile() ? outputURL.toLocalFile() : QString();
    if (outputPath.isEmpty()) {
        WL_REPORT(function, "outputPath == nil");
        return {};
    }
    // Decoding can bring back what the reference hid ("%2E%2E", "%2F") and
    // a reference with a scheme of its own ignores the base: only a plain
    // path below the base is written.
    const QString base = basePath() + u'/';
    if (!outputPath.startsWith(base) || !isSafeRelativePath(QStringView(outputPath).mid(base.size()))) {
        WL_REPORT(function, "!isInsideBaseDirectory(outputPath)");
        return {};
    }
    return outputPath;
}

bool WLDataLoader::fileExistsAtRelativePath(const QString &relativePath) const
{
    static constexpr char kFn[] = "-[WLDataLoader fileExistsAtRelativePath:]";
    const QString outputPath = outputPathForRelativePath(relativePath, kFn);
    return !outputPath.isEmpty() && pathKind(outputPath) != PathKind::Missing;
}

QString WLDataLoader::prepareOutputPath(const QString &relativePath, quint64 size, bool cached,
                                        const char *function)
{
    const QString outputPath = outputPathForRelativePath(relativePath, function);
    if (outputPath.isEmpty())
        return {};
    // Eviction comes before the directories: room is made even if the
    // write then fails.
    if (cached)
        prepareCacheSpace(size);
    if (!prepareDirectoryForRelativePath(relativePath)) {
        WL_REPORT(function, "![self prepareDirectoryForRelativePath:relativePath]");
        return {};
    }
    // A link in its place would carry the write to whatever it points to.
    if (isSymbolicLink(outputPath)) {
        WL_REPORT(function, "isSymbolicLink(outputPath)");
        return {};
    }
    return outputPath;
}

void WLDataLoader::recordFile(const QString &outputPath, quint64 size, bool cached)
{
    if (cached) {
        mCacheFileArray.append({outputPath, size});
        mUsedCacheSize += size;
    } else {
        mStoreFileArray.append(outputPath);
    }
}

bool WLDataLoader::storeData(const QByteArray &data, const QString &relativePath)
{
    return writeData(data, relativePath, false);
}

bool WLDataLoader::cacheData(const QByteArray &data, const QString &relativePath)
{
    return writeData(data, relativePath, true);
}

bool WLDataLoader::writeData(const QByteArray &data, const QString &relativePath, bool cached)
{
    static constexpr char kCacheFn[] = "-[WLDataLoader cacheData:relativePath:]";
    static constexpr char kStoreFn[] = "-[WLDataLoader storeData:relativePath:]";
    const char *const kFn = cached ? kCacheFn : kStoreFn;
    if (data.isNull()) {
        WL_REPORT(kFn, "data == nil");
        return false;
    }
    if (relativePath.isNull()) {
        WL_REPORT(kFn, "relativePath == nil");
        return false;
    }
    // An empty stored file is written; an empty cached one is refused.
    if (cached && data.isEmpty()) {
        WL_REPORT(kFn, "dataLength == 0");
        return false;
    }
    const QString outputPath = prepareOutputPath(relativePath, quint64(data.size()), cached, kFn);
    if (outputPath.isEmpty())
        return false;
    if (!replaceFile(outputPath, data)) {
        WL_REPORT(kFn, "![data writeToFile:outputPath atomically:YES]");
        return false;
    }
    recordFile(outputPath, quint64(data.size()), cached);
    return true;
}

bool WLDataLoader::storeBytes(const void *bytes, qint64 length, const QString &relativePath)
{
    return writeBytes(bytes, length, relativePath, false);
}

bool WLDataLoader::cacheBytes(const void *bytes, qint64 length, const QString &relativePath)
{
    return writeBytes(bytes, length, relativePath, true);
}

bool WLDataLoader::writeBytes(const void *bytes, qint64 length, const QString &relativePath,
                              bool cached)
{
    static constexpr char kCacheFn[] = "-[WLDataLoader cacheBytes:length:relativePath:]";
    static constexpr char kStoreFn[] = "-[WLDataLoader storeBytes:length:relativePath:]";
    const char *const kFn = cached ? kCacheFn : kStoreFn;
    if (!bytes) {
        WL_REPORT(kFn, "bytes == NULL");
        return false;
    }
    if (length <= 0) {
        WL_REPORT(kFn, "length == 0");
        return false;
    }
    if (relativePath.isNull()) {
        WL_REPORT(kFn, "relativePath == nil");
        return false;
    }
    const QString outputPath = prepareOutputPath(relativePath, quint64(length), cached, kFn);
    if (outputPath.isEmpty())
        return false;

    // Unbuffered, so that every write answers what really reached the file.
    QFile stream(outputPath);
    if (!stream.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        WL_REPORT(kFn, "outputStream == nil");
        return false;
    }
    const char *const start = static_cast<const char *>(bytes);
    qint64 offset = 0;
    qint64 remain = length;
    bool succeeded = true;
    while (remain != 0) {
        // The cached variant hands the stream at most 2,048 bytes a pass.
        const qint64 chunk = cached ? std::min<qint64>(remain, 2048) : remain;
        const qint64 actual = stream.write(start + offset, chunk);
        if (actual < 0) {
            if (cached) {
                WL_REPORT_PREFIX(kFn);
                wlReportMessage("actual: %d ( %s )\n", int(actual),
                                relativePath.toLocal8Bit().constData());
            } else {
                WL_REPORT(kFn, "actual < 0");
            }
            WL_REPORT(kFn, "0 < remain");
            succeeded = false;
            break;
        }
        if (actual == 0) {
            WL_REPORT(kFn, "actual == 0");
            WL_REPORT(kFn, "0 < remain");
            succeeded = false;
            break;
        }
        offset += actual;
        remain -= actual;
    }
    stream.close();
    if (!succeeded) {
        // The stream truncated the file: what is left is a fragment.
        if (pathKind(outputPath) == PathKind::Other)
            QFile::remove(outputPath);
        return false;
    }
    recordFile(outputPath, quint64(length), cached);
    return true;
}

void WLDataLoader::prepareCacheSpace(quint64 expectSize)
{
    static constexpr char kFn[] = "-[WLDataLoader prepareCacheSpace:]";
    if (mMaxCacheSize == 0)
        return;
    if (expectSize == 0) {
        WL_REPORT(kFn, "expectSize == 0");
        return;
    }
    while (!mCacheFileArray.isEmpty() && mMaxCacheSize < mUsedCacheSize + expectSize) {
        const WLCacheRecord record = mCacheFileArray.takeFirst();
        if (record.path.isEmpty()) {
            WL_REPORT(kFn, "removeFilePath == nil");
            continue;
        }
        if (record.size == 0)
            WL_REPORT(kFn, "removeFileSize == 0");
        // A record whose file is gone or cannot be removed leaves the list
        // but its bytes stay counted.
        switch (pathKind(record.path)) {
        case PathKind::Missing:
            WL_REPORT(kFn, "![fm fileExistsAtPath:removeFilePath isDirectory:&isDirectory]");
            continue;
        case PathKind::Directory:
            WL_REPORT(kFn, "isDirectory");
            continue;
        case PathKind::Other:
            break;
        }
        if (::unlink(QFile::encodeName(record.path).constData()) != 0) {
            WL_REPORT(kFn, "![fm removeItemAtPath:removeFilePath error:&error]");
            continue;
        }
        if (record.size > mUsedCacheSize) {
            WL_REPORT_PREFIX(kFn);
            wlReportMessage("mUsedCacheSize < removeFileSize\n");
            mUsedCacheSize = 0;
        } else {
            mUsedCacheSize -= record.size;
        }
    }
}

bool WLDataLoader::prepareDirectoryForRelativePath(const QString &relativePath)
{
    static constexpr char kFn[] = "-[WLDataLoader prepareDirectoryForRelativePath:]";
    if (relativePath.isNull()) {
        WL_REPORT(kFn, "relativePath == nil");
        return false;
    }
    if (relativePath.isEmpty()) {
        WL_REPORT(kFn, "count == 0");
        return false;
    }
    if (!isSafeRelativePath(relativePath)) {
        WL_REPORT(kFn, "!isSafeRelativePath(relativePath)");
        return false;
    }
    const QStringList components = relativePath.split(u'/');
    if (components.size() == 1)
        return true;

    static constexpr char kNotDirectory[] = "!isDirectory";
    static constexpr char kCreateFailed[] =
        "![fm createDirectoryAtPath:directoryPath attributes:nil]";
    QString directoryPath = basePath();
    if (!WLFileSystem::ensureDirectory(directoryPath, kFn, kNotDirectory, kCreateFailed))
        return false;
    for (qsizetype index = 0; index < components.size() - 1; ++index) {
        directoryPath += u'/' + components.at(index);
        if (!WLFileSystem::ensureDirectory(directoryPath, kFn, kNotDirectory, kCreateFailed)) {
            WL_REPORT(kFn, "index < count - 1");
            return false;
        }
    }
    return true;
}

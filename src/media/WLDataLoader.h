#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <memory>

// One file written as a cached file: its absolute path and its length.
struct WLCacheRecord {
    QString path;
    quint64 size = 0;
};

// Writes blocks of bytes into files below one base directory, addressed by
// paths relative to it. Stored files stay for the loader's life; cached
// files count against a byte budget (0: no limit) and are deleted oldest
// first when a new one would not fit. The budget is soft: when nothing is
// left to evict the new file is written anyway. Destroying the loader
// deletes the base directory with everything in it.
//
// A relative path is resolved as a URL reference against the base, the way
// a page loaded from the base directory resolves it, so "a%20b.png" names
// the file "a b.png". Paths that could leave the base directory (absolute,
// empty, "." or ".." components, another scheme) are refused.
//
// Main thread only; the lists live in memory and start empty.
class WLDataLoader
{
public:
    // Nothing (after a report) without a local base URL. Touches no disk.
    static std::unique_ptr<WLDataLoader> initWithBaseURL(const QUrl &baseURL);
    ~WLDataLoader();
    WLDataLoader(const WLDataLoader &) = delete;
    WLDataLoader &operator=(const WLDataLoader &) = delete;

    QUrl baseURL() const { return mBaseURL; }
    // For tools that hand the files to another program: the base directory
    // then outlives the loader.
    void setKeepsBaseDirectory(bool keep) { mKeepsBaseDirectory = keep; }
    QString basePath() const;

    quint64 maxCacheSize() const { return mMaxCacheSize; }
    void setMaxCacheSize(quint64 size) { mMaxCacheSize = size; }
    quint64 usedCacheSize() const { return mUsedCacheSize; }
    const QStringList &storeFileArray() const { return mStoreFileArray; }
    const QList<WLCacheRecord> &cacheFileArray() const { return mCacheFileArray; }

    // Asks the file system, not the lists: a file or directory is there.
    bool fileExistsAtRelativePath(const QString &relativePath) const;

    // Atomic writes: an existing file is replaced whole or not at all.
    bool storeData(const QByteArray &data, const QString &relativePath);
    bool cacheData(const QByteArray &data, const QString &relativePath);
    // Streamed writes of a byte range; a failed write leaves no partial file.
    bool storeBytes(const void *bytes, qint64 length, const QString &relativePath);
    bool cacheBytes(const void *bytes, qint64 length, const QString &relativePath);

    // Evicts cached files, oldest first, until expectSize more bytes fit.
    void prepareCacheSpace(quint64 expectSize);
    // Creates every directory on the way to the file; a bare file name
    // needs none and touches nothing.
    bool prepareDirectoryForRelativePath(const QString &relativePath);

private:
    explicit WLDataLoader(const QUrl &baseURL);
    // The file a relative path names, checked to lie below the base; empty
    // after a report under the caller's name.
    QString outputPathForRelativePath(const QString &relativePath, const char *function) const;
    // The file a write goes to, made ready: room in the cache for a cached
    // file, the directories on the way, no symbolic link in its place. Empty
    // after a report under the caller's name.
    QString prepareOutputPath(const QString &relativePath, quint64 size, bool cached,
                              const char *function);
    // Enters a written file in the stored or the cached list.
    void recordFile(const QString &outputPath, quint64 size, bool cached);
    bool writeData(const QByteArray &data, const QString &relativePath, bool cached);
    bool writeBytes(const void *bytes, qint64 length, const QString &relativePath, bool cached);

    QUrl mBaseURL;
    QStringList mStoreFileArray;
    QList<WLCacheRecord> mCacheFileArray;
    // 64 bits, so that a large budget cannot wrap the comparison.
    quint64 mUsedCacheSize = 0;
    quint64 mMaxCacheSize = 0;
    bool mKeepsBaseDirectory = false;
};

// True for a relative path that stays below its base: not empty, not
// absolute, and no empty, "." or ".." component.
bool isSafeRelativePath(QStringView path);

// Deletes a directory tree. Symbolic links are removed as links and never
// followed, so nothing outside the tree is touched; a symbolic link given
// as the tree itself is refused. Goes on past items it cannot remove.
bool cleanupDirectoryContents(const QString &directoryPath);

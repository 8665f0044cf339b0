#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include <dirent.h>

// The few file-system steps of the page directory and the file cache, on
// plain system calls so that a symbolic link is never followed: a link is
// neither taken for a directory nor entered.
namespace WLFileSystem {

// What lies at a path; a symbolic link counts as Other.
enum class PathKind { Missing, Directory, Other };

PathKind pathKind(const QByteArray &path);
PathKind pathKind(const QString &path);

// One directory level, mode 0777 less the umask.
bool makeDirectory(const QString &path);

// A directory at the path, created (one level) when nothing is there.
// Something else in its place or a failed creation is reported under the
// caller's name with the caller's condition text.
bool ensureDirectory(const QString &path, const char *function, const char *notDirectoryCondition,
                     const char *createFailedCondition);

// When a running process started (clock ticks after boot): with its ID it
// names the process for good, since an ID is used again once its process
// has ended. Nothing when no process has this ID.
std::optional<quint64> processStartTime(qint64 pid);
// The process ID namespace this process lives in: an ID names a process
// only inside its namespace. Nothing when it cannot be told.
std::optional<quint64> processNamespace();

// Owns an open file descriptor; closes it unless close() already did.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : mFd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return mFd; }
    bool isValid() const { return mFd >= 0; }
    // Closes the one held and takes this one.
    void reset(int fd);
    // Gives the descriptor up to a new owner.
    int release();
    // False when closing failed, which for a written file means its data
    // may not have reached it.
    bool close();

private:
    int mFd;
};

// Owns a directory listing opened on a descriptor of a directory, which is
// never followed if it is a link.
class DirectoryStream
{
public:
    explicit DirectoryStream(const QByteArray &path);
    ~DirectoryStream();
    DirectoryStream(const DirectoryStream &) = delete;
    DirectoryStream &operator=(const DirectoryStream &) = delete;

    bool isValid() const { return mDirectory != nullptr; }
    // The names in the directory, without "." and "..".
    QList<QByteArray> names();

private:
    DIR *mDirectory = nullptr;
};

} // namespace WLFileSystem

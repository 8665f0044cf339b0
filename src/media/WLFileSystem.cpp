#include "WLFileSystem.h"

#include "WLReport.h"

#include <QFile>
#include <QList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace WLFileSystem {

PathKind pathKind(const QByteArray &path)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return PathKind::Missing;
    return S_ISDIR(info.st_mode) ? PathKind::Directory : PathKind::Other;
}

PathKind pathKind(const QString &path)
{
    return pathKind(QFile::encodeName(path));
}

bool makeDirectory(const QString &path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

bool ensureDirectory(const QString &path, const char *function, const char *notDirectoryCondition,
                     const char *createFailedCondition)
{
    switch (pathKind(path)) {
    case PathKind::Directory:
        return true;
    case PathKind::Other:
        WL_REPORT(function, notDirectoryCondition);
        return false;
    case PathKind::Missing:
        break;
    }
    if (!makeDirectory(path)) {
        WL_REPORT(function, createFailedCondition);
        return false;
    }
    return true;
}

std::optional<quint64> processStartTime(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The command name in parentheses may hold anything, spaces and ")"
    // too: the fields are counted from the last ")". The start time is the
    // 22nd field, the 20th after it.
    const QByteArray line = stat.read(4096);
    const qsizetype end = line.lastIndexOf(')');
    if (end < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(end + 1).simplified().split(' ');
    if (fields.size() < 20)
        return std::nullopt;
    bool ok = false;
    const quint64 start = fields.at(19).toULongLong(&ok);
    return ok ? std::optional<quint64>(start) : std::nullopt;
}

std::optional<quint64> processNamespace()
{
    struct stat info;
    if (::stat("/proc/self/ns/pid", &info) != 0)
        return std::nullopt;
    return quint64(info.st_ino);
}

FileDescriptor::~FileDescriptor()
{
    close();
}

void FileDescriptor::reset(int fd)
{
    close();
    mFd = fd;
}

int FileDescriptor::release()
{
    const int fd = mFd;
    mFd = -1;
    return fd;
}

bool FileDescriptor::close()
{
    if (mFd < 0)
        return true;
    // Linux releases the descriptor even when close fails: never retried.
    const int fd = release();
    return ::close(fd) == 0;
}

DirectoryStream::DirectoryStream(const QByteArray &path)
{
    // O_NOFOLLOW: a directory swapped for a link since it was tested is not
    // opened through the link.
    FileDescriptor fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.isValid())
        return;
    mDirectory = ::fdopendir(fd.get());
    if (mDirectory)
        fd.release(); // the stream closes it now
}

DirectoryStream::~DirectoryStream()
{
    if (mDirectory)
        ::closedir(mDirectory);
}

QList<QByteArray> DirectoryStream::names()
{
    QList<QByteArray> names;
    if (!mDirectory)
        return names;
    while (const dirent *entry = ::readdir(mDirectory)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    return names;
}

} // namespace WLFileSystem

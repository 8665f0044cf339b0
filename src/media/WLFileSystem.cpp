#include "WLFileSystem.h"

#include "WLReport.h"

#include <QFile>

#include <sys/stat.h>

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

} // namespace WLFileSystem

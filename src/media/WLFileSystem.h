#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace WLFileSystem

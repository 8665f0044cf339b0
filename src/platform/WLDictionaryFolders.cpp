#include "WLDictionaryFolders.h"

#include "WLBundle.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QStringList WLDictionaryFolders::searchPaths()
{
    // The user's data folder, then the system's, as XDG orders them.
    QStringList paths;
    const QStringList dataFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &folder : dataFolders)
        paths.append(QDir(folder).filePath(QStringLiteral("wlreader/dictionaries")));
    // Then those installed with the program, wherever its prefix is.
    const QString own = QDir::cleanPath(WLBundle::applicationDirectory() +
                                        QStringLiteral("/../share/wlreader/dictionaries"));
    if (!paths.contains(own))
        paths.append(own);
    return paths;
}

QString WLDictionaryFolders::resolve(const QString &folderOrName)
{
    if (folderOrName.isEmpty() || QFileInfo(folderOrName).isDir())
        return folderOrName;
    // Only a plain name is looked up: "a/b" or ".." stays a path.
    if (folderOrName.contains(QLatin1Char('/')) || folderOrName == QLatin1String(".") ||
        folderOrName == QLatin1String(".."))
        return folderOrName;
    const QStringList paths = searchPaths();
    for (const QString &path : paths) {
        const QString bundle = QDir(path).filePath(folderOrName);
        if (QFileInfo(QDir(bundle).filePath(QStringLiteral("DatabaseInfo.plist"))).isFile())
            return bundle;
    }
    return folderOrName;
}

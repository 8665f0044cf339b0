#include "WLBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString &storedResourcePath()
{
    static QString path;
    return path;
}
} // namespace

QString WLBundle::resourcePath()
{
    return storedResourcePath();
}

void WLBundle::setResourcePath(const QString &path)
{
    storedResourcePath() = path;
}

QString WLBundle::pathForResource(const QString &name)
{
    const QString base = resourcePath();
    if (base.isEmpty())
        return {};
    // Names are always taken inside the bundle, as path components: an
    // absolute name does not escape it, an empty one names the bundle itself.
    QString path = base;
    for (const QString &component : name.split(u'/', Qt::SkipEmptyParts))
        path += u'/' + component;
    return path;
}

QString WLBundle::applicationDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists, as the reader's start asks.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

QString WLBundle::defaultBundlePath()
{
    return defaultBundlePath(applicationDirectory());
}

QString WLBundle::defaultBundlePath(const QString &applicationDirectory)
{
    const QString fromEnvironment = qEnvironmentVariable("WL_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (applicationDirectory.isEmpty())
        return {};
    // Programs are installed in PREFIX/bin and built in build/src/NAME (tests
    // in build/tests/NAME): the same two steps up from either.
    const QDir application(applicationDirectory);
    for (const char *candidate : {"../share/wlreader/dictionaries/demo", "../../dictionaries/demo"}) {
        const QString path = QDir::cleanPath(application.filePath(QLatin1String(candidate)));
        if (QFileInfo(path + QStringLiteral("/DatabaseInfo.plist")).isFile())
            return path;
    }
    return {};
}

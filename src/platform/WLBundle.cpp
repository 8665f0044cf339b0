#include "WLBundle.h"

#include <QDir>

#ifndef WL_DEMO_BUNDLE
#define WL_DEMO_BUNDLE ""
#endif

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
    if (base.isEmpty() || name.isEmpty())
        return {};
    return QDir(base).filePath(name);
}

QString WLBundle::defaultBundlePath()
{
    const QString fromEnvironment = qEnvironmentVariable("WL_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(WL_DEMO_BUNDLE);
}

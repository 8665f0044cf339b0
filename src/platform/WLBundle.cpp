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
    if (base.isEmpty())
        return {};
    // Names are always taken inside the bundle, as path components: an
    // absolute name does not escape it, an empty one names the bundle itself.
    QString path = base;
    for (const QString &component : name.split(u'/', Qt::SkipEmptyParts))
        path += u'/' + component;
    return path;
}

QString WLBundle::defaultBundlePath()
{
    const QString fromEnvironment = qEnvironmentVariable("WL_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(WL_DEMO_BUNDLE);
}

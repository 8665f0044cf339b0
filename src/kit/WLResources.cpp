#include "WLResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {
QString &storedResourcePath()
{
    static QString path = QStringLiteral(":/wlreader");
    return path;
}
} // namespace

QString WLResources::resourcePath()
{
    return storedResourcePath();
}

void WLResources::setResourcePath(const QString &path)
{
    storedResourcePath() = path;
}

QString WLResources::pathForResource(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return {};
    const QString path = resourcePath() + u'/' + name;
    return QFileInfo(path).isFile() ? path : QString();
}

QString WLResources::imageURLNamed(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name) && !name.startsWith(u':'))
        return QFileInfo(name).isFile() ? QUrl::fromLocalFile(name).toString() : QString();
    const QString path = pathForResource(name);
    if (path.isEmpty())
        return {};
    return path.startsWith(u':') ? QStringLiteral("qrc") + path
                                 : QUrl::fromLocalFile(path).toString();
}

std::optional<QByteArray> WLResources::dataForResource(const QString &name)
{
    const QString path = pathForResource(name);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

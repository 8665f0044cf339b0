#include "WLImage.h"

#include <QImageReader>
#include <QUrl>

std::optional<WLImage> WLImage::imageWithContentsOfFile(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    // Read in whole, so a damaged file is found here rather than drawn
    // empty; the reader's allocation limit keeps a hostile size out.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    return WLImage{path, QSizeF(image.size())};
}

QString WLImage::url() const
{
    return QUrl::fromLocalFile(path).toString();
}

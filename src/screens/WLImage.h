#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

// A picture read from a file: where it is, for the view to draw, and its
// natural size, for the picture viewer's geometry.
struct WLImage {
    QString path;
    QSizeF size;

    // Nothing when the file cannot be read as a picture, in whole.
    static std::optional<WLImage> imageWithContentsOfFile(const QString &path);

    // A URL the views can load.
    QString url() const;

    bool operator==(const WLImage &) const = default;
};

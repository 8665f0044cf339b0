#pragma once

#include "WLControl.h"

#include <QString>

// A picture shown at its natural size unless a frame is set. The image is
// a URL the views can load ("qrc:" or "file:"); empty shows nothing.
class WLImageView : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(QString image READ image NOTIFY imageChanged)

public:
    explicit WLImageView(QObject *parent = nullptr);

    QString image() const { return mImage; }
    void setImage(const QString &image);

Q_SIGNALS:
    void imageChanged();

private:
    QString mImage;
};

#include "WLImageView.h"

WLImageView::WLImageView(QObject *parent) : WLControl(QStringLiteral("ImageView"), parent) {}

void WLImageView::setImage(const QString &image)
{
    if (mImage == image)
        return;
    mImage = image;
    Q_EMIT imageChanged();
}

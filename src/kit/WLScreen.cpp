#include "WLScreen.h"

WLScreen *WLScreen::mainScreen()
{
    static WLScreen screen;
    return &screen;
}

void WLScreen::setApplicationFrameSize(double width, double height)
{
    const QSizeF size(qMax(width, 0.0), qMax(height, 0.0));
    if (size == mSize)
        return;
    mSize = size;
    Q_EMIT sizeChanged();
}

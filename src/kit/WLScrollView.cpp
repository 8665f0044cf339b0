#include "WLScrollView.h"

WLScrollView::WLScrollView(QObject *parent) : WLControl(QStringLiteral("ScrollView"), parent) {}

void WLScrollView::setDelegate(WLScrollViewDelegate *delegate)
{
    if (mDelegate == delegate)
        return;
    mDelegate = delegate;
    Q_EMIT subviewsChanged();
}

void WLScrollView::addSubview(WLControl *view)
{
    if (!view || mSubviews.contains(view))
        return;
    mSubviews.append(view);
    Q_EMIT subviewsChanged();
}

void WLScrollView::removeSubview(WLControl *view)
{
    if (mSubviews.removeAll(view) > 0)
        Q_EMIT subviewsChanged();
}

QList<WLControl *> WLScrollView::subviews() const
{
    QList<WLControl *> result;
    for (const QPointer<WLControl> &view : mSubviews) {
        if (view)
            result.append(view);
    }
    return result;
}

QList<QObject *> WLScrollView::subviewObjects() const
{
    QList<QObject *> result;
    for (WLControl *view : subviews())
        result.append(view);
    return result;
}

WLControl *WLScrollView::zoomingView() const
{
    WLControl *view = mDelegate ? mDelegate->viewForZoomingInScrollView(const_cast<WLScrollView *>(this))
                                : nullptr;
    // Only a view on show zooms.
    return view && mSubviews.contains(view) ? view : nullptr;
}

void WLScrollView::setMinimumZoomScale(double scale)
{
    setZoomLimit(mMinimumZoomScale, scale);
}

void WLScrollView::setMaximumZoomScale(double scale)
{
    setZoomLimit(mMaximumZoomScale, scale);
}

void WLScrollView::setZoomLimit(double &limit, double scale)
{
    if (limit == scale || !(scale > 0))
        return;
    limit = scale;
    clampZoomScale();
    Q_EMIT zoomChanged();
}

void WLScrollView::clampZoomScale()
{
    // A maximum below the minimum counts as the minimum.
    mZoomScale = qMax(mMinimumZoomScale, qMin(mZoomScale, mMaximumZoomScale));
}

void WLScrollView::setZoomScale(double scale)
{
    if (!zoomingView() || !(scale > 0))
        return;
    const double previous = mZoomScale;
    mZoomScale = scale;
    clampZoomScale();
    if (mZoomScale != previous)
        Q_EMIT zoomChanged();
}

void WLScrollView::toggleZoom()
{
    setZoomScale(mZoomScale > mMinimumZoomScale ? mMinimumZoomScale : mMaximumZoomScale);
}

void WLScrollView::setContentSize(const QSizeF &size)
{
    if (mContentSize == size)
        return;
    mContentSize = size;
    Q_EMIT contentChanged();
}

void WLScrollView::setContentOffset(const QPointF &offset)
{
    if (mContentOffset == offset)
        return;
    mContentOffset = offset;
    Q_EMIT contentChanged();
}

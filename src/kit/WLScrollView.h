#pragma once

#include "WLControl.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QSizeF>

class WLScrollView;

class WLScrollViewDelegate
{
public:
    virtual ~WLScrollViewDelegate() = default;
    // The subview that zooms; nothing: the content does not zoom.
    virtual WLControl *viewForZoomingInScrollView(WLScrollView *scrollView) = 0;
};

// A view that scrolls its subviews and zooms the one its delegate names
// between a minimum and a maximum scale. The model holds the limits and
// the scale; the view draws the subviews at their frames times the scale
// and asks for every change of scale (a pinch, a wheel turn, a double
// click), which the model keeps within the limits.
//
// Threading: main thread only.
class WLScrollView : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(QList<QObject *> subviews READ subviewObjects NOTIFY subviewsChanged)
    Q_PROPERTY(QObject *zoomingView READ zoomingView NOTIFY subviewsChanged)
    Q_PROPERTY(double minimumZoomScale READ minimumZoomScale NOTIFY zoomChanged)
    Q_PROPERTY(double maximumZoomScale READ maximumZoomScale NOTIFY zoomChanged)
    Q_PROPERTY(double zoomScale READ zoomScale NOTIFY zoomChanged)
    Q_PROPERTY(QSizeF contentSize READ contentSize NOTIFY contentChanged)
    // Where the view shows the content from; the view moves there whenever
    // it changes.
    Q_PROPERTY(QPointF contentOffset READ contentOffset NOTIFY contentChanged)

public:
    explicit WLScrollView(QObject *parent = nullptr);

    WLScrollViewDelegate *delegate() const { return mDelegate; }
    void setDelegate(WLScrollViewDelegate *delegate);

    // The scroll view shows them; their owner keeps them alive.
    void addSubview(WLControl *view);
    void removeSubview(WLControl *view);
    QList<WLControl *> subviews() const;
    WLControl *zoomingView() const;

    double minimumZoomScale() const { return mMinimumZoomScale; }
    void setMinimumZoomScale(double scale);
    double maximumZoomScale() const { return mMaximumZoomScale; }
    void setMaximumZoomScale(double scale);
    double zoomScale() const { return mZoomScale; }
    // Kept within the limits.
    Q_INVOKABLE void setZoomScale(double scale);
    // The view's double click: all the way in, or back out when zoomed.
    Q_INVOKABLE void toggleZoom();

    QSizeF contentSize() const { return mContentSize; }
    void setContentSize(const QSizeF &size);
    QPointF contentOffset() const { return mContentOffset; }
    void setContentOffset(const QPointF &offset);

Q_SIGNALS:
    void subviewsChanged();
    void zoomChanged();
    void contentChanged();

private:
    QList<QObject *> subviewObjects() const;
    void setZoomLimit(double &limit, double scale);
    void clampZoomScale();

    WLScrollViewDelegate *mDelegate = nullptr;
    QList<QPointer<WLControl>> mSubviews;
    double mMinimumZoomScale = 1;
    double mMaximumZoomScale = 1;
    double mZoomScale = 1;
    QSizeF mContentSize;
    QPointF mContentOffset;
};

#include "WLDisplayCell.h"

#include "WLControl.h"

#include <cmath>

namespace {
constexpr double kMargin = 8;
constexpr double kNameLabelHeight = 20;
} // namespace

WLDisplayCell::WLDisplayCell(QObject *parent) : QObject(parent) {}

void WLDisplayCell::setContentBounds(const QRectF &bounds)
{
    if (mContentBounds == bounds)
        return;
    mContentBounds = bounds;
    layoutSubviews();
}

void WLDisplayCell::setView(QObject *view)
{
    auto *control = qobject_cast<WLControl *>(view);
    if (mView == control)
        return;
    mView = control;
    layoutSubviews();
}

void WLDisplayCell::layoutSubviews()
{
    // Measured from the content view's own edges, whatever its origin.
    const double width = mContentBounds.width();
    const double height = mContentBounds.height();
    const QSizeF viewSize = mView ? mView->frame().size() : QSizeF();
    mNameLabelFrame = QRectF(kMargin, std::ceil((height - kNameLabelHeight) / 2),
                             width - viewSize.width() - 2 * kMargin, kNameLabelHeight);
    if (mView) {
        // std::round takes halves away from zero.
        mView->setFrame(QRectF(width - viewSize.width() - kMargin,
                               std::round((height - viewSize.height()) / 2), viewSize.width(),
                               viewSize.height()));
    }
    Q_EMIT layoutChanged();
}

#include "WLTextViewCell.h"

WLTextViewCell::WLTextViewCell(QString reuseIdentifier, QObject *parent)
    : QObject(parent), mReuseIdentifier(std::move(reuseIdentifier))
{
}

void WLTextViewCell::setTextView(WLTextView *textView)
{
    mTextView = textView;
    layoutSubviews();
    Q_EMIT layoutChanged();
}

void WLTextViewCell::setContentBounds(const QRectF &bounds)
{
    if (mContentBounds == bounds)
        return;
    mContentBounds = bounds;
    layoutSubviews();
    Q_EMIT layoutChanged();
}

void WLTextViewCell::layoutSubviews()
{
    if (!mTextView)
        return;
    const QRectF &b = mContentBounds;
    mTextView->setFrame(QRectF(b.x() + 2, b.y() + 4, b.width() - 6, b.height() - 12));
}

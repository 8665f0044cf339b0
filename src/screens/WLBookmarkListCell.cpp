#include "WLBookmarkListCell.h"

WLBookmarkListCell::WLBookmarkListCell(QObject *parent) : QObject(parent) {}

void WLBookmarkListCell::setContentBounds(const QRectF &bounds)
{
    if (mContentBounds == bounds)
        return;
    mContentBounds = bounds;
    Q_EMIT layoutChanged();
}

void WLBookmarkListCell::setHasNotes(bool hasNotes)
{
    if (mHasNotes == hasNotes)
        return;
    mHasNotes = hasNotes;
    Q_EMIT layoutChanged();
}

QRectF WLBookmarkListCell::wordLabelFrame() const
{
    const QRectF &b = mContentBounds;
    // With a note, the word takes the top 34 points and the note overlaps
    // it by 4.
    return {b.x() + 10, b.y(), b.width() - 20, mHasNotes ? 34 : b.height()};
}

QRectF WLBookmarkListCell::notesLabelFrame() const
{
    const QRectF &b = mContentBounds;
    return mHasNotes ? QRectF(b.x() + 10, b.y() + 30, b.width() - 20, 16) : QRectF();
}

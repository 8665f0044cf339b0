#pragma once

#include "WLTextView.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

// The table row that hosts a text view (the bookmark editor's note field):
// the view gives the row's content bounds, the cell places the text view
// inside them with a small inset. Rows of this kind are not selectable.
class WLTextViewCell : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QRectF contentBounds READ contentBounds WRITE setContentBounds NOTIFY layoutChanged)
    Q_PROPERTY(WLTextView *textView READ textView NOTIFY layoutChanged)

public:
    WLTextViewCell(QString reuseIdentifier, QObject *parent = nullptr);

    QString reuseIdentifier() const { return mReuseIdentifier; }

    WLTextView *textView() const { return mTextView; }
    // The cell shows it, laid out at once; the previous one leaves.
    void setTextView(WLTextView *textView);

    QRectF contentBounds() const { return mContentBounds; }
    void setContentBounds(const QRectF &bounds);
    void layoutSubviews();

Q_SIGNALS:
    void layoutChanged();

private:
    QString mReuseIdentifier;
    QPointer<WLTextView> mTextView;
    QRectF mContentBounds;
};

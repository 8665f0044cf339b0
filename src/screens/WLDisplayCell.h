#pragma once

#include "WLControl.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

// The layout of a settings row: a name at the left and a control (a
// switch) at the right, both centred in the row's height. The row's
// content view gives the bounds; the cell places the control by its
// frame, and the views draw the name at nameLabelFrame.
class WLDisplayCell : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QRectF contentBounds READ contentBounds WRITE setContentBounds NOTIFY layoutChanged)
    Q_PROPERTY(QObject *view READ view WRITE setView NOTIFY layoutChanged)
    Q_PROPERTY(QRectF nameLabelFrame READ nameLabelFrame NOTIFY layoutChanged)
    Q_PROPERTY(int nameFontSize READ nameFontSize CONSTANT)

public:
    explicit WLDisplayCell(QObject *parent = nullptr);

    QRectF contentBounds() const { return mContentBounds; }
    void setContentBounds(const QRectF &bounds);
    // A control keeps its size; the cell moves it.
    QObject *view() const { return mView; }
    void setView(QObject *view);

    QRectF nameLabelFrame() const { return mNameLabelFrame; }
    int nameFontSize() const { return 17; }

    void layoutSubviews();

Q_SIGNALS:
    void layoutChanged();

private:
    QRectF mContentBounds;
    QPointer<WLControl> mView;
    QRectF mNameLabelFrame;
};

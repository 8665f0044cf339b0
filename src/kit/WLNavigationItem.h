#pragma once

#include "WLBarButtonItem.h"

#include <QObject>
#include <QPointer>
#include <QString>


// What a screen shows in the navigation bar while it is on top: a title or
// a title view, the items at the left and right, and the item its
// successor shows as the way back.
//
// The item does not own what it shows: the screen that sets an item or a
// view keeps it alive.
class WLNavigationItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QObject *titleView READ titleView NOTIFY changed)
    Q_PROPERTY(WLBarButtonItem *leftBarButtonItem READ leftBarButtonItem NOTIFY changed)
    Q_PROPERTY(WLBarButtonItem *rightBarButtonItem READ rightBarButtonItem NOTIFY changed)
    Q_PROPERTY(WLBarButtonItem *backBarButtonItem READ backBarButtonItem NOTIFY changed)
    Q_PROPERTY(bool hidesBackButton READ hidesBackButton NOTIFY changed)

public:
    explicit WLNavigationItem(QObject *parent = nullptr);

    QString title() const { return mTitle; }
    void setTitle(const QString &title);
    QObject *titleView() const { return mTitleView; }
    void setTitleView(QObject *view);
    WLBarButtonItem *leftBarButtonItem() const { return mLeftBarButtonItem; }
    void setLeftBarButtonItem(WLBarButtonItem *item);
    WLBarButtonItem *rightBarButtonItem() const { return mRightBarButtonItem; }
    void setRightBarButtonItem(WLBarButtonItem *item);
    WLBarButtonItem *backBarButtonItem() const { return mBackBarButtonItem; }
    void setBackBarButtonItem(WLBarButtonItem *item);
    bool hidesBackButton() const { return mHidesBackButton; }
    void setHidesBackButton(bool hides);

Q_SIGNALS:
    void changed();

private:
    template <typename T>
    void assign(T &field, const T &value);

    QString mTitle;
    QPointer<QObject> mTitleView;
    QPointer<WLBarButtonItem> mLeftBarButtonItem;
    QPointer<WLBarButtonItem> mRightBarButtonItem;
    QPointer<WLBarButtonItem> mBackBarButtonItem;
    bool mHidesBackButton = false;
};

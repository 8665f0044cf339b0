#include "WLNavigationItem.h"

#include "WLBarButtonItem.h"

WLNavigationItem::WLNavigationItem(QObject *parent) : QObject(parent) {}

template <typename T>
void WLNavigationItem::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT changed();
}

void WLNavigationItem::setTitle(const QString &title)
{
    assign(mTitle, title);
}

void WLNavigationItem::setTitleView(QObject *view)
{
    assign(mTitleView, QPointer<QObject>(view));
}

void WLNavigationItem::setLeftBarButtonItem(WLBarButtonItem *item)
{
    assign(mLeftBarButtonItem, QPointer<WLBarButtonItem>(item));
}

void WLNavigationItem::setRightBarButtonItem(WLBarButtonItem *item)
{
    assign(mRightBarButtonItem, QPointer<WLBarButtonItem>(item));
}

void WLNavigationItem::setBackBarButtonItem(WLBarButtonItem *item)
{
    assign(mBackBarButtonItem, QPointer<WLBarButtonItem>(item));
}

void WLNavigationItem::setHidesBackButton(bool hides)
{
    assign(mHidesBackButton, hides);
}

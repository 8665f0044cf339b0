#include "WLBarButtonItem.h"

#include "WLLocalization.h"

WLBarButtonItem::WLBarButtonItem(SystemItem systemItem, Action action, QObject *parent)
    : QObject(parent), mSystemItem(systemItem), mAction(std::move(action))
{
}

WLBarButtonItem::WLBarButtonItem(const QString &title, Style style, Action action,
                                 QObject *parent)
    : QObject(parent), mTitle(title), mStyle(style), mAction(std::move(action))
{
}

WLBarButtonItem::WLBarButtonItem(QObject *customView, QObject *parent)
    : QObject(parent), mCustomView(customView)
{
}

void WLBarButtonItem::setSystemItem(SystemItem item)
{
    if (mSystemItem == item)
        return;
    mSystemItem = item;
    Q_EMIT changed();
}

QString WLBarButtonItem::title() const
{
    switch (mSystemItem) {
    case Done:
        return WLLocalization::localizedString("Done");
    case Cancel:
        return WLLocalization::localizedString("Cancel");
    case Edit:
        return WLLocalization::localizedString("Edit");
    case Save:
        return WLLocalization::localizedString("Save");
    case Add:
        return QStringLiteral("+");
    default:
        return mTitle;
    }
}

void WLBarButtonItem::setTitle(const QString &title)
{
    if (mTitle == title)
        return;
    mTitle = title;
    Q_EMIT changed();
}

QString WLBarButtonItem::accessibilityLabel() const
{
    if (!mAccessibilityLabel.isEmpty())
        return mAccessibilityLabel;
    if (mSystemItem == Add)
        return WLLocalization::localizedString("Accessibility.Add");
    return title();
}

void WLBarButtonItem::setAccessibilityLabel(const QString &label)
{
    if (mAccessibilityLabel == label)
        return;
    mAccessibilityLabel = label;
    Q_EMIT changed();
}

void WLBarButtonItem::setStyle(Style style)
{
    if (mStyle == style)
        return;
    mStyle = style;
    Q_EMIT changed();
}

void WLBarButtonItem::setEnabled(bool enabled)
{
    if (mEnabled == enabled)
        return;
    mEnabled = enabled;
    Q_EMIT changed();
}

void WLBarButtonItem::trigger()
{
    if (mEnabled && mAction)
        mAction(this);
}

#include "WLButton.h"

WLButton::WLButton(ButtonType type, QObject *parent)
    : WLControl(QStringLiteral("Button"), parent), mButtonType(type)
{
}

void WLButton::setTitle(const QString &title)
{
    if (mTitle == title)
        return;
    mTitle = title;
    Q_EMIT titleChanged();
}

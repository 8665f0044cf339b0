#include "WLSearchBar.h"

WLSearchBar::WLSearchBar(QObject *parent) : WLControl(QStringLiteral("SearchBar"), parent) {}

void WLSearchBar::setText(const QString &text)
{
    if (mText == text)
        return;
    mText = text;
    Q_EMIT textChanged();
}

void WLSearchBar::setShowsCancelButton(bool shows, double animationDuration)
{
    if (mShowsCancelButton == shows)
        return;
    mShowsCancelButton = shows;
    mCancelButtonAnimationDuration = animationDuration;
    Q_EMIT cancelButtonChanged();
}

void WLSearchBar::setAutocapitalizationType(AutocapitalizationType type)
{
    if (mAutocapitalizationType == type)
        return;
    mAutocapitalizationType = type;
    Q_EMIT textInputTraitsChanged();
}

void WLSearchBar::setAutocorrectionType(AutocorrectionType type)
{
    if (mAutocorrectionType == type)
        return;
    mAutocorrectionType = type;
    Q_EMIT textInputTraitsChanged();
}

bool WLSearchBar::becomeFirstResponder()
{
    if (mFirstResponder)
        return true;
    if (!isEnabled() || (mDelegate && !mDelegate->searchBarShouldBeginEditing(this)))
        return false;
    mFirstResponder = true;
    Q_EMIT firstResponderChanged();
    return true;
}

void WLSearchBar::resignFirstResponder()
{
    if (!mFirstResponder)
        return;
    mFirstResponder = false;
    Q_EMIT firstResponderChanged();
    if (mDelegate)
        mDelegate->searchBarTextDidEndEditing(this);
}

void WLSearchBar::editText(const QString &text)
{
    if (mText == text)
        return;
    setText(text);
    if (mDelegate)
        mDelegate->searchBarTextDidChange(this, text);
}

void WLSearchBar::clickSearchButton()
{
    if (mDelegate)
        mDelegate->searchBarSearchButtonClicked(this);
}

void WLSearchBar::clickCancelButton()
{
    if (mDelegate)
        mDelegate->searchBarCancelButtonClicked(this);
}

#include "WLTextView.h"

#include "WLColorName.h"

WLTextView::WLTextView(QObject *parent) : WLControl(QStringLiteral("TextView"), parent) {}

void WLTextView::setText(const QString &text)
{
    if (mText == text)
        return;
    mText = text;
    Q_EMIT textChanged();
}

void WLTextView::setTextColor(const std::optional<WLColor> &color)
{
    if (mTextColor == color)
        return;
    mTextColor = color;
    Q_EMIT appearanceChanged();
}

void WLTextView::setBackgroundColor(const std::optional<WLColor> &color)
{
    if (mBackgroundColor == color)
        return;
    mBackgroundColor = color;
    Q_EMIT appearanceChanged();
}

void WLTextView::setFontSize(double size)
{
    if (mFontSize == size)
        return;
    mFontSize = size;
    Q_EMIT appearanceChanged();
}

QString WLTextView::textColorName() const
{
    return wlColorName(mTextColor);
}

QString WLTextView::backgroundColorName() const
{
    return wlColorName(mBackgroundColor);
}

bool WLTextView::beginEditing()
{
    if (mEditing)
        return true;
    if (!isEnabled() || (mDelegate && !mDelegate->textViewShouldBeginEditing(this)))
        return false;
    mEditing = true;
    Q_EMIT editingChanged();
    return true;
}

void WLTextView::textEdited(const QString &text)
{
    // Typing reaches only a field that is being edited.
    if (mEditing)
        setText(text);
}

void WLTextView::resignFirstResponder()
{
    if (!mEditing)
        return;
    mEditing = false;
    Q_EMIT editingChanged();
    if (mDelegate)
        mDelegate->textViewDidEndEditing(this);
}

#include "WLSegmentedControl.h"

WLSegmentedControl::WLSegmentedControl(QStringList titles, QStringList images, QObject *parent)
    : WLControl(QStringLiteral("SegmentedControl"), parent),
      mTitles(std::move(titles)),
      mImages(std::move(images))
{
}

void WLSegmentedControl::setSelectedSegmentIndex(int index)
{
    if (index < kNoSegment || index >= count())
        index = kNoSegment;
    if (mSelectedSegmentIndex == index)
        return;
    mSelectedSegmentIndex = index;
    Q_EMIT selectedSegmentIndexChanged();
}

void WLSegmentedControl::setMomentary(bool momentary)
{
    if (mMomentary == momentary)
        return;
    mMomentary = momentary;
    Q_EMIT momentaryChanged();
}

void WLSegmentedControl::setSegmentedControlStyle(int style)
{
    if (mStyle == style)
        return;
    mStyle = style;
    Q_EMIT styleChanged();
}

void WLSegmentedControl::tapSegment(int index)
{
    if (index < 0 || index >= count() || !isEnabled())
        return;
    // A selected segment of a lasting control sends nothing when tapped again.
    if (!mMomentary && index == mSelectedSegmentIndex)
        return;
    setSelectedSegmentIndex(index);
    sendActionsForControlEvents(WLControlEvent::ValueChanged);
    if (mMomentary)
        setSelectedSegmentIndex(kNoSegment);
}

void WLSegmentedControl::setAccessibilityLabels(const QStringList &labels)
{
    if (mSegmentLabels == labels)
        return;
    mSegmentLabels = labels;
    Q_EMIT accessibilityLabelChanged();
}

#pragma once

#include "WLControl.h"

#include <QStringList>

// A row of segments, each a title or a picture. Tapping one selects it and
// sends ValueChanged; a momentary control forgets the selection once its
// actions have run, so no segment stays highlighted.
class WLSegmentedControl : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(QStringList titles READ titles CONSTANT)
    Q_PROPERTY(QStringList images READ images CONSTANT)
    Q_PROPERTY(int count READ count CONSTANT)
    Q_PROPERTY(QStringList accessibilityLabels READ accessibilityLabels NOTIFY accessibilityLabelChanged)
    Q_PROPERTY(int selectedSegmentIndex READ selectedSegmentIndex NOTIFY selectedSegmentIndexChanged)
    Q_PROPERTY(bool momentary READ isMomentary WRITE setMomentary NOTIFY momentaryChanged)
    Q_PROPERTY(int segmentedControlStyle READ segmentedControlStyle WRITE setSegmentedControlStyle NOTIFY styleChanged)

public:
    static constexpr int kNoSegment = -1;
    enum Style { Plain = 0, Bordered = 1, Bar = 2 };

    // Segments of titles, or of pictures when images is not empty (URLs).
    WLSegmentedControl(QStringList titles, QStringList images, QObject *parent = nullptr);

    QStringList titles() const { return mTitles; }
    QStringList images() const { return mImages; }
    int count() const { return int(qMax(mTitles.size(), mImages.size())); }
    QString titleForSegmentAtIndex(int index) const { return mTitles.value(index); }
    // What a screen reader calls each segment: the labels set, else the
    // titles (picture segments need labels).
    QStringList accessibilityLabels() const { return mSegmentLabels.isEmpty() ? mTitles : mSegmentLabels; }
    void setAccessibilityLabels(const QStringList &labels);

    int selectedSegmentIndex() const { return mSelectedSegmentIndex; }
    // Programmatic selection sends no action.
    void setSelectedSegmentIndex(int index);
    bool isMomentary() const { return mMomentary; }
    void setMomentary(bool momentary);
    int segmentedControlStyle() const { return mStyle; }
    void setSegmentedControlStyle(int style);

    // The view's tap on a segment.
    Q_INVOKABLE void tapSegment(int index);

Q_SIGNALS:
    void selectedSegmentIndexChanged();
    void momentaryChanged();
    void styleChanged();

private:
    QStringList mTitles;
    QStringList mImages;
    QStringList mSegmentLabels;
    int mSelectedSegmentIndex = kNoSegment;
    bool mMomentary = false;
    int mStyle = Plain;
};

#pragma once

#include <QObject>
#include <QRectF>

// The layout of a bookmark row: the word alone, or the word with its note
// in a second, smaller line under it. The row's content view gives the
// bounds; the views place their labels at the frames.
class WLBookmarkListCell : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QRectF contentBounds READ contentBounds WRITE setContentBounds NOTIFY layoutChanged)
    Q_PROPERTY(bool hasNotes READ hasNotes WRITE setHasNotes NOTIFY layoutChanged)
    Q_PROPERTY(QRectF wordLabelFrame READ wordLabelFrame NOTIFY layoutChanged)
    Q_PROPERTY(QRectF notesLabelFrame READ notesLabelFrame NOTIFY layoutChanged)
    Q_PROPERTY(int wordFontSize READ wordFontSize CONSTANT)
    Q_PROPERTY(int notesFontSize READ notesFontSize CONSTANT)
    Q_PROPERTY(QString notesTextColor READ notesTextColor CONSTANT)

public:
    explicit WLBookmarkListCell(QObject *parent = nullptr);

    QRectF contentBounds() const { return mContentBounds; }
    void setContentBounds(const QRectF &bounds);
    // The two-line kind of row.
    bool hasNotes() const { return mHasNotes; }
    void setHasNotes(bool hasNotes);

    QRectF wordLabelFrame() const;
    // Empty for the one-line kind.
    QRectF notesLabelFrame() const;

    int wordFontSize() const { return 20; }
    int notesFontSize() const { return 12; }
    // The notes line's own colour, red 66, green 73, blue 113.
    QString notesTextColor() const { return QStringLiteral("#424971"); }

Q_SIGNALS:
    void layoutChanged();

private:
    QRectF mContentBounds;
    bool mHasNotes = false;
};

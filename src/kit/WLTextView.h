#pragma once

#include "WLColor.h"
#include "WLControl.h"

#include <QString>

#include <optional>

class WLTextView;

class WLTextViewDelegate
{
public:
    virtual ~WLTextViewDelegate() = default;
    // Asked when the user taps the field; false keeps it from editing.
    virtual bool textViewShouldBeginEditing(WLTextView *) { return true; }
    virtual void textViewDidEndEditing(WLTextView *) {}
};

// A multi-line text field. The model holds the text and its look; the view
// draws it, asks to begin editing when tapped, hands back what the user
// types, and gives up the keyboard when the model ends the editing.
//
// Threading: main thread only.
class WLTextView : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
    Q_PROPERTY(QString textColor READ textColorName NOTIFY appearanceChanged)
    Q_PROPERTY(QString backgroundColor READ backgroundColorName NOTIFY appearanceChanged)
    Q_PROPERTY(double fontSize READ fontSize NOTIFY appearanceChanged)
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)

public:
    // The phone's standard gray (half white) and its black and white.
    static constexpr WLColor kGrayColor{0.5, 0.5, 0.5, 1};
    static constexpr WLColor kBlackColor{0, 0, 0, 1};
    static constexpr WLColor kWhiteColor{1, 1, 1, 1};

    explicit WLTextView(QObject *parent = nullptr);

    void setDelegate(WLTextViewDelegate *delegate) { mDelegate = delegate; }

    QString text() const { return mText; }
    void setText(const QString &text);
    std::optional<WLColor> textColor() const { return mTextColor; }
    void setTextColor(const std::optional<WLColor> &color);
    void setBackgroundColor(const std::optional<WLColor> &color);
    double fontSize() const { return mFontSize; }
    void setFontSize(double size);
    bool isEditing() const { return mEditing; }

    // Ends the editing (the delegate hears of it).
    void resignFirstResponder();

    // From the view: a tap on the field; true when editing began.
    Q_INVOKABLE bool beginEditing();
    // From the view: the text as the user left it.
    Q_INVOKABLE void textEdited(const QString &text);
    // From the view: the field lost the keyboard by other means.
    Q_INVOKABLE void endEditing() { resignFirstResponder(); }

Q_SIGNALS:
    void textChanged();
    void appearanceChanged();
    void editingChanged();

private:
    QString textColorName() const;
    QString backgroundColorName() const;

    WLTextViewDelegate *mDelegate = nullptr;
    QString mText;
    std::optional<WLColor> mTextColor;
    std::optional<WLColor> mBackgroundColor;
    double mFontSize = 17;
    bool mEditing = false;
};

#pragma once

#include "WLControl.h"

#include <QString>

class WLSearchBar;

// What a search bar tells the screen that owns it, as on the phone.
class WLSearchBarDelegate
{
public:
    virtual ~WLSearchBarDelegate() = default;
    // The user changed the text (typing, erasing, pasting).
    virtual void searchBarTextDidChange(WLSearchBar *searchBar, const QString &text) = 0;
    // Before editing begins; false keeps the field from taking the focus.
    virtual bool searchBarShouldBeginEditing(WLSearchBar *) { return true; }
    virtual void searchBarTextDidEndEditing(WLSearchBar *) {}
    virtual void searchBarSearchButtonClicked(WLSearchBar *) {}
    virtual void searchBarCancelButtonClicked(WLSearchBar *) {}
};

// A search field with an optional Cancel button. The field takes the
// keyboard focus when it becomes the first responder; the view gives it
// the focus while firstResponder holds and reports the user's edits and
// buttons back.
//
// Threading: main thread only.
class WLSearchBar : public WLControl
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
    Q_PROPERTY(bool showsCancelButton READ showsCancelButton NOTIFY cancelButtonChanged)
    Q_PROPERTY(double cancelButtonAnimationDuration READ cancelButtonAnimationDuration NOTIFY cancelButtonChanged)
    Q_PROPERTY(bool firstResponder READ isFirstResponder NOTIFY firstResponderChanged)
    Q_PROPERTY(int autocapitalizationType READ autocapitalizationType NOTIFY textInputTraitsChanged)
    Q_PROPERTY(int autocorrectionType READ autocorrectionType NOTIFY textInputTraitsChanged)

public:
    // The phone's values.
    enum AutocapitalizationType { CapitalizationNone = 0, CapitalizationWords = 1, CapitalizationSentences = 2 };
    enum AutocorrectionType { CorrectionDefault = 0, CorrectionNo = 1, CorrectionYes = 2 };
    static constexpr double kHeight = 44;

    explicit WLSearchBar(QObject *parent = nullptr);

    void setDelegate(WLSearchBarDelegate *delegate) { mDelegate = delegate; }
    WLSearchBarDelegate *delegate() const { return mDelegate; }

    QString text() const { return mText; }
    // Tells the delegate nothing: only the user's edits do.
    void setText(const QString &text);

    bool showsCancelButton() const { return mShowsCancelButton; }
    // Inside an animation of that many seconds (0: at once).
    void setShowsCancelButton(bool shows, double animationDuration = 0);
    double cancelButtonAnimationDuration() const { return mCancelButtonAnimationDuration; }

    int autocapitalizationType() const { return mAutocapitalizationType; }
    void setAutocapitalizationType(AutocapitalizationType type);
    int autocorrectionType() const { return mAutocorrectionType; }
    void setAutocorrectionType(AutocorrectionType type);

    bool isFirstResponder() const { return mFirstResponder; }
    // Asks the delegate first; false when it refused.
    bool becomeFirstResponder();
    // Ends editing; the delegate hears textDidEndEditing.
    void resignFirstResponder();

    // From the view.
    Q_INVOKABLE void editText(const QString &text);
    // The user put the focus into the field; false when editing may not begin.
    Q_INVOKABLE bool beginEditing() { return becomeFirstResponder(); }
    Q_INVOKABLE void endEditing() { resignFirstResponder(); }
    Q_INVOKABLE void clickSearchButton();
    Q_INVOKABLE void clickCancelButton();

Q_SIGNALS:
    void textChanged();
    void cancelButtonChanged();
    void firstResponderChanged();
    void textInputTraitsChanged();

private:
    WLSearchBarDelegate *mDelegate = nullptr;
    QString mText;
    bool mShowsCancelButton = false;
    double mCancelButtonAnimationDuration = 0;
    int mAutocapitalizationType = CapitalizationSentences;
    int mAutocorrectionType = CorrectionDefault;
    bool mFirstResponder = false;
};

#pragma once

#include <QObject>

// Whether the user is working the window with the keyboard: set by a key,
// cleared by a press of the pointer or a touch. The views draw the focus
// ring only then, as a browser does for :focus-visible.
//
// Threading: main thread only.
class WLInputMode : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool keyboard READ isKeyboard NOTIFY keyboardChanged)

public:
    explicit WLInputMode(QObject *parent = nullptr) : QObject(parent) {}

    bool isKeyboard() const { return mKeyboard; }
    void setKeyboard(bool keyboard)
    {
        if (mKeyboard == keyboard)
            return;
        mKeyboard = keyboard;
        Q_EMIT keyboardChanged();
    }

Q_SIGNALS:
    void keyboardChanged();

private:
    bool mKeyboard = false;
};

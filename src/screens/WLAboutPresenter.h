#pragma once

class QObject;

// Who flips the window between the tabs and the About screen: the screens
// that offer the way there (the list tabs' info button) and back (About's
// Done) are given one when they are made.
class WLAboutPresenter
{
public:
    virtual ~WLAboutPresenter() = default;
    virtual void showAbout(QObject *sender) = 0;
    virtual void hideAbout(QObject *sender) = 0;
};

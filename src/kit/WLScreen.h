#pragma once

#include <QObject>
#include <QSizeF>

// The main screen's application frame: on the desktop, the window's inner
// size in logical pixels. Layout rules take their width W from here; the
// window reports every change.
//
// Threading: main thread only.
class WLScreen : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double width READ width NOTIFY sizeChanged)
    Q_PROPERTY(double height READ height NOTIFY sizeChanged)

public:
    // The phone-shaped window's default and smallest sizes.
    static constexpr QSizeF kDefaultSize{390, 760};
    static constexpr QSizeF kMinimumSize{320, 480};
    // Heights of the bars the containers put around a screen's view.
    static constexpr double kNavigationBarHeight = 44;
    static constexpr double kTabBarHeight = 49;

    static WLScreen *mainScreen();

    QSizeF applicationFrameSize() const { return mSize; }
    double width() const { return mSize.width(); }
    double height() const { return mSize.height(); }
    Q_INVOKABLE void setApplicationFrameSize(double width, double height);

Q_SIGNALS:
    void sizeChanged();

private:
    WLScreen() = default;
    QSizeF mSize = kDefaultSize;
};

#pragma once

#include <QObject>
#include <QTimer>

#include <cmath>
#include <utility>

// performSelector:withObject:afterDelay: — runs work on the main thread after
// a delay in seconds, unless context is destroyed first.
template <typename Work>
void wlPerformAfterDelay(QObject *context, double seconds, Work &&work)
{
    QTimer::singleShot(int(std::lround(seconds * 1000)), context, std::forward<Work>(work));
}

#pragma once

#include <QMetaObject>
#include <QObject>

#include <utility>

// Requests from a worker thread to the thread of a receiver object (the
// main thread for everything the engine makes). A request is queued and
// the caller goes on at once; requests to one receiver run in the order
// they were made. A request whose receiver has been destroyed before it
// could run is dropped. Callable from any thread.
namespace WLMainThread {

template <typename Function>
void post(QObject *receiver, Function &&function)
{
    QMetaObject::invokeMethod(receiver, std::forward<Function>(function), Qt::QueuedConnection);
}

} // namespace WLMainThread

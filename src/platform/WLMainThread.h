#pragma once

#include <QMutex>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>

class QSocketNotifier;

// Requests from a worker thread to the thread this object lives on (the
// main thread for everything the engine makes). post() queues a request and
// returns at once, from any thread, without waiting for the receiving
// thread; the requests run there in the order they were posted. Requests
// still queued when the object is destroyed are dropped, so an owner that
// makes it a member never hears from its worker after it is gone, provided
// the worker stops before the owner's members are destroyed.
//
// The requests wait in a queue of our own under a QMutex and the receiving
// thread is woken through an event file descriptor, not through Qt's event
// queue: both hand-overs stay visible to ThreadSanitizer, and nothing made
// on the worker thread is freed inside Qt.
class WLMainThread : public QObject
{
    Q_OBJECT

public:
    explicit WLMainThread(QObject *parent = nullptr);
    ~WLMainThread() override;

    void post(std::function<void()> request);

private:
    void runRequests();

    QMutex mMutex;
    std::deque<std::function<void()>> mRequests;
    bool mWakeUpPending = false;
    int mWakeUpFd = -1;
    std::unique_ptr<QSocketNotifier> mNotifier;
};

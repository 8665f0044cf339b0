#include "WLMainThread.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WLMainThread::WLMainThread(QObject *parent) : QObject(parent)
{
    mWakeUpFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (mWakeUpFd < 0)
        qFatal("WLMainThread: no event file descriptor");
    mNotifier = std::make_unique<QSocketNotifier>(mWakeUpFd, QSocketNotifier::Read);
    connect(mNotifier.get(), &QSocketNotifier::activated, this, &WLMainThread::runRequests);
}

WLMainThread::~WLMainThread()
{
    mNotifier.reset();
    ::close(mWakeUpFd);
}

void WLMainThread::post(std::function<void()> request)
{
    bool wakeUp = false;
    {
        QMutexLocker locker(&mMutex);
        mRequests.push_back(std::move(request));
        wakeUp = !mWakeUpPending;
        mWakeUpPending = true;
    }
    // One wake-up runs everything queued until then. The counter of an
    // event descriptor only adds up, so the write never blocks.
    if (wakeUp) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(mWakeUpFd, &one, sizeof one);
    }
}

void WLMainThread::runRequests()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(mWakeUpFd, &count, sizeof count);
    {
        QMutexLocker locker(&mMutex);
        mWakeUpPending = false;
    }
    // One at a time: a request that runs a nested event loop lets the
    // requests after it run there, still in order.
    for (;;) {
        std::function<void()> request;
        {
            QMutexLocker locker(&mMutex);
            if (mRequests.empty())
                return;
            request = std::move(mRequests.front());
            mRequests.pop_front();
        }
        request();
    }
}

#include "WLMainThread.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WLMainThread::WLMainThread(QObject *parent) : QObject(parent)
{
    m_wakeUpFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeUpFd < 0)
        qFatal("WLMainThread: no event file descriptor");
    m_notifier = std::make_unique<QSocketNotifier>(m_wakeUpFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &WLMainThread::runRequests);
}

WLMainThread::~WLMainThread()
{
    m_notifier.reset();
    ::close(m_wakeUpFd);
}

void WLMainThread::post(std::function<void()> request)
{
    bool wakeUp = false;
    {
        QMutexLocker locker(&m_mutex);
        m_requests.push_back(std::move(request));
        wakeUp = !m_wakeUpPending;
        m_wakeUpPending = true;
    }
    // One wake-up runs everything queued until then. The counter of an
    // event descriptor only adds up, so the write never blocks.
    if (wakeUp) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeUpFd, &one, sizeof one);
    }
}

void WLMainThread::runRequests()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_wakeUpFd, &count, sizeof count);
    {
        QMutexLocker locker(&m_mutex);
        m_wakeUpPending = false;
    }
    // One at a time: a request that runs a nested event loop lets the
    // requests after it run there, still in order.
    for (;;) {
        std::function<void()> request;
        {
            QMutexLocker locker(&m_mutex);
            if (m_requests.empty())
                return;
            request = std::move(m_requests.front());
            m_requests.pop_front();
        }
        request();
    }
}

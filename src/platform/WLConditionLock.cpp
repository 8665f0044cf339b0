#include "WLConditionLock.h"

void WLConditionLock::lockWhenCondition(int condition)
{
    m_mutex.lock();
    m_changed.wait(m_mutex, [&] { return m_condition == condition; });
}

bool WLConditionLock::lockWhenCondition(int condition, QDeadlineTimer deadline)
{
    // The lock is only ever held for a moment; the wait is for the condition.
    m_mutex.lock();
    const auto until = deadline.deadline<std::chrono::steady_clock>();
    if (m_changed.wait_until(m_mutex, until,
                             [&] { return m_condition == condition || m_interrupted; }) &&
        m_condition == condition)
        return true;
    m_mutex.unlock();
    return false;
}

void WLConditionLock::interruptTimedWaits()
{
    QMutexLocker locker(&m_mutex);
    m_interrupted = true;
    m_changed.notify_all();
}

void WLConditionLock::unlockWithCondition(int condition)
{
    m_condition = condition;
    m_changed.notify_all();
    m_mutex.unlock();
}

int WLConditionLock::condition() const
{
    QMutexLocker locker(&m_mutex);
    return m_condition;
}

#include "WLConditionLock.h"

void WLConditionLock::lockWhenCondition(int condition)
{
    mMutex.lock();
    mChanged.wait(mMutex, [&] { return mCondition == condition; });
}

bool WLConditionLock::lockWhenCondition(int condition, QDeadlineTimer deadline)
{
    // The lock is only ever held for a moment; the wait is for the condition.
    mMutex.lock();
    const auto until = deadline.deadline<std::chrono::steady_clock>();
    if (mChanged.wait_until(mMutex, until,
                             [&] { return mCondition == condition || mInterrupted; }) &&
        mCondition == condition)
        return true;
    mMutex.unlock();
    return false;
}

void WLConditionLock::interruptTimedWaits()
{
    QMutexLocker locker(&mMutex);
    mInterrupted = true;
    mChanged.notify_all();
}

void WLConditionLock::unlockWithCondition(int condition)
{
    mCondition = condition;
    mChanged.notify_all();
    mMutex.unlock();
}

int WLConditionLock::condition() const
{
    QMutexLocker locker(&mMutex);
    return mCondition;
}

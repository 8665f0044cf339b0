#pragma once

#include <QDeadlineTimer>
#include <QMutex>

#include <condition_variable>

// A lock that carries an integer condition: it can be taken only when the
// condition has a given value, and whoever releases it sets the next value.
// Used to hand one value at a time from one thread to another. Taking the
// lock and releasing it must happen on the same thread. Thread-safe.
class WLConditionLock
{
public:
    explicit WLConditionLock(int condition = 0) : mCondition(condition) {}
    WLConditionLock(const WLConditionLock &) = delete;
    WLConditionLock &operator=(const WLConditionLock &) = delete;

    // Waits without limit until the condition equals the given value, then
    // holds the lock.
    void lockWhenCondition(int condition);
    // As above, giving up at the deadline: false when the lock was not taken.
    bool lockWhenCondition(int condition, QDeadlineTimer deadline);
    // Ends every timed wait, now and later, as if its deadline had passed:
    // a worker polling for work notices a stop request at once.
    void interruptTimedWaits();
    // Releases the held lock with a new condition and wakes the waiters.
    void unlockWithCondition(int condition);

    // The condition at this moment; for tests and diagnostics only.
    int condition() const;

private:
    mutable QMutex mMutex;
    // Not QWaitCondition: its wait releases the mutex inside QtCore, out of
    // ThreadSanitizer's sight; this one releases it through QMutex's own
    // inline (annotated) calls.
    std::condition_variable_any mChanged;
    int mCondition;
    bool mInterrupted = false;
};

#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>

// Told how a long build or import goes, so that it can be shown. Calls
// come from the working threads, one at a time, a few times a second at
// most (WLProgressMeter sees to both).
class WLProgress
{
public:
    virtual ~WLProgress() = default;
    // What is being done ("reading entries.jsonl") and how much of it:
    // done of total steps, total 0 when it is not known.
    virtual void progress(const QString &phase, qint64 done, qint64 total) = 0;
};

// Counts the steps of one phase after another for a WLProgress, which may
// be absent. Any thread may add steps; the sink hears of them at most ten
// times a second, and at once when a phase begins.
class WLProgressMeter
{
public:
    explicit WLProgressMeter(WLProgress *sink) : mSink(sink) {}
    WLProgressMeter(const WLProgressMeter &) = delete;
    WLProgressMeter &operator=(const WLProgressMeter &) = delete;

    void begin(const QString &phase, qint64 total)
    {
        if (!mSink)
            return;
        const std::lock_guard lock(mMutex);
        mPhase = phase;
        mDetail.clear();
        mTotal = total;
        mDone = 0;
        report(0);
    }

    // Names what the phase is busy with now ("headword.db"), or nothing.
    void setDetail(const QString &detail)
    {
        if (!mSink)
            return;
        const std::lock_guard lock(mMutex);
        mDetail = detail;
        report(mDone);
    }

    void add(qint64 steps)
    {
        if (!mSink)
            return;
        const qint64 done = mDone.fetch_add(steps, std::memory_order_relaxed) + steps;
        const qint64 now = ticks();
        qint64 due = mDue.load(std::memory_order_relaxed);
        if (now < due || !mDue.compare_exchange_strong(due, now + kInterval))
            return;
        const std::lock_guard lock(mMutex);
        report(done);
    }

    // Adds steps in batches, so a loop over millions of rows costs the
    // meter nothing measurable.
    class Counter
    {
    public:
        explicit Counter(WLProgressMeter &meter) : mMeter(meter) {}
        Counter(const Counter &) = delete;
        Counter &operator=(const Counter &) = delete;
        ~Counter() { flush(); }
        void flush()
        {
            mMeter.add(mPending);
            mPending = 0;
        }
        void step(qint64 steps = 1)
        {
            mPending += steps;
            if (mPending >= kBatch) {
                mMeter.add(mPending);
                mPending = 0;
            }
        }

    private:
        static constexpr qint64 kBatch = 4096;
        WLProgressMeter &mMeter;
        qint64 mPending = 0;
    };

private:
    static constexpr qint64 kInterval = 100; // milliseconds

    static qint64 ticks()
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    // With mMutex held.
    void report(qint64 done)
    {
        mSink->progress(mDetail.isEmpty() ? mPhase : mPhase + QStringLiteral(", ") + mDetail,
                         done, mTotal);
        mDue.store(ticks() + kInterval, std::memory_order_relaxed);
    }

    WLProgress *const mSink;
    std::mutex mMutex;
    QString mPhase;
    QString mDetail;
    qint64 mTotal = 0;
    std::atomic<qint64> mDone = 0;
    std::atomic<qint64> mDue = 0;
};

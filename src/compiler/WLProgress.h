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
    explicit WLProgressMeter(WLProgress *sink) : m_sink(sink) {}
    WLProgressMeter(const WLProgressMeter &) = delete;
    WLProgressMeter &operator=(const WLProgressMeter &) = delete;

    void begin(const QString &phase, qint64 total)
    {
        if (!m_sink)
            return;
        const std::lock_guard lock(m_mutex);
        m_phase = phase;
        m_detail.clear();
        m_total = total;
        m_done = 0;
        report(0);
    }

    // Names what the phase is busy with now ("headword.db"), or nothing.
    void setDetail(const QString &detail)
    {
        if (!m_sink)
            return;
        const std::lock_guard lock(m_mutex);
        m_detail = detail;
        report(m_done);
    }

    void add(qint64 steps)
    {
        if (!m_sink)
            return;
        const qint64 done = m_done.fetch_add(steps, std::memory_order_relaxed) + steps;
        const qint64 now = ticks();
        qint64 due = m_due.load(std::memory_order_relaxed);
        if (now < due || !m_due.compare_exchange_strong(due, now + kInterval))
            return;
        const std::lock_guard lock(m_mutex);
        report(done);
    }

    // Adds steps in batches, so a loop over millions of rows costs the
    // meter nothing measurable.
    class Counter
    {
    public:
        explicit Counter(WLProgressMeter &meter) : m_meter(meter) {}
        Counter(const Counter &) = delete;
        Counter &operator=(const Counter &) = delete;
        ~Counter() { flush(); }
        void flush()
        {
            m_meter.add(m_pending);
            m_pending = 0;
        }
        void step(qint64 steps = 1)
        {
            m_pending += steps;
            if (m_pending >= kBatch) {
                m_meter.add(m_pending);
                m_pending = 0;
            }
        }

    private:
        static constexpr qint64 kBatch = 4096;
        WLProgressMeter &m_meter;
        qint64 m_pending = 0;
    };

private:
    static constexpr qint64 kInterval = 100; // milliseconds

    static qint64 ticks()
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    // With m_mutex held.
    void report(qint64 done)
    {
        m_sink->progress(m_detail.isEmpty() ? m_phase : m_phase + QStringLiteral(", ") + m_detail,
                         done, m_total);
        m_due.store(ticks() + kInterval, std::memory_order_relaxed);
    }

    WLProgress *const m_sink;
    std::mutex m_mutex;
    QString m_phase;
    QString m_detail;
    qint64 m_total = 0;
    std::atomic<qint64> m_done = 0;
    std::atomic<qint64> m_due = 0;
};

#include "WLConditionLock.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

class TestWLConditionLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deadlinePassesWhenConditionNeverComes();
    void deadlineWaitEndsWhenConditionComes();
    void handsOverEveryValueOnce();
    void interruptEndsTimedWaitsOnly();
};

void TestWLConditionLock::deadlinePassesWhenConditionNeverComes()
{
    WLConditionLock lock(0);
    QVERIFY(!lock.lockWhenCondition(1, QDeadlineTimer(50)));
    // Not left held: the other condition can still be taken.
    QVERIFY(lock.lockWhenCondition(0, QDeadlineTimer(50)));
    lock.unlockWithCondition(1);
    QCOMPARE(lock.condition(), 1);
}

void TestWLConditionLock::deadlineWaitEndsWhenConditionComes()
{
    WLConditionLock lock(0);
    std::thread setter([&lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lock.lockWhenCondition(0);
        lock.unlockWithCondition(1);
    });
    // Generous: this is a hang check, not a timing claim.
    const bool taken = lock.lockWhenCondition(1, QDeadlineTimer(10000));
    if (taken)
        lock.unlockWithCondition(0);
    setter.join();
    QVERIFY(taken);
}

// The keyword hand-over in miniature: the producer waits for 0, the
// consumer polls for 1 with short deadlines; nothing is lost or merged.
void TestWLConditionLock::handsOverEveryValueOnce()
{
    constexpr int kCount = 2000;
    WLConditionLock lock(0);
    int slot = -1;
    std::vector<int> received;
    std::atomic<bool> done{false};

    std::thread consumer([&] {
        while (!done.load() || received.size() < size_t(kCount)) {
            if (!lock.lockWhenCondition(1, QDeadlineTimer(5)))
                continue;
            received.push_back(slot);
            slot = -1;
            lock.unlockWithCondition(0);
        }
    });
    for (int i = 0; i < kCount; ++i) {
        lock.lockWhenCondition(0);
        slot = i;
        lock.unlockWithCondition(1);
    }
    done.store(true);
    consumer.join();

    QCOMPARE(received.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i)
        QCOMPARE(received[size_t(i)], i);
}

void TestWLConditionLock::interruptEndsTimedWaitsOnly()
{
    WLConditionLock lock(0);
    QElapsedTimer clock;
    clock.start();
    std::thread interrupter([&lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lock.interruptTimedWaits();
    });
    const bool taken = lock.lockWhenCondition(1, QDeadlineTimer(10000));
    interrupter.join();
    QVERIFY(!taken);
    QVERIFY2(clock.elapsed() < 5000, "the wait ran to its deadline");
    // Later timed waits give up at once; the lock itself still works.
    QVERIFY(!lock.lockWhenCondition(1, QDeadlineTimer(10000)));
    QVERIFY(lock.lockWhenCondition(0, QDeadlineTimer(10000)));
    lock.unlockWithCondition(1);
    lock.lockWhenCondition(1);
    lock.unlockWithCondition(0);
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_GUILESS_MAIN(TestWLConditionLock)
#include "tst_wlconditionlock.moc"

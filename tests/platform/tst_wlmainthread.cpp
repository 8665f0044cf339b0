#include "WLMainThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>
#include <vector>

class TestWLMainThread : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsRequestsInOrderOnOwnThread();
    void keepsOrderAcrossNestedEventLoops();
    void dropsRequestsWhenDestroyed();
};

void TestWLMainThread::runsRequestsInOrderOnOwnThread()
{
    WLMainThread mainThread;
    std::vector<int> seen;
    bool allOnMainThread = true;
    const auto thread = QThread::currentThread();

    // The worker is joined before the main thread runs a single request:
    // posting must never wait for the receiving thread.
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i) {
            mainThread.post([&, i] {
                allOnMainThread = allOnMainThread && QThread::currentThread() == thread;
                seen.push_back(i);
            });
        }
    });
    worker.join();
    QVERIFY(seen.empty());

    QCoreApplication::processEvents();
    QCOMPARE(seen.size(), size_t(500));
    for (int i = 0; i < 500; ++i)
        QCOMPARE(seen[size_t(i)], i);
    QVERIFY(allOnMainThread);
}

// A request that spins an event loop (a modal dialog, say) must not let
// later requests overtake the ones queued before them.
void TestWLMainThread::keepsOrderAcrossNestedEventLoops()
{
    WLMainThread mainThread;
    std::vector<int> seen;
    mainThread.post([&] {
        seen.push_back(0);
        std::thread([&] { mainThread.post([&] { seen.push_back(2); }); }).join();
        QCoreApplication::processEvents();
    });
    mainThread.post([&] { seen.push_back(1); });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(seen, (std::vector<int>{0, 1, 2}));
}

void TestWLMainThread::dropsRequestsWhenDestroyed()
{
    int runs = 0;
    auto mainThread = std::make_unique<WLMainThread>();
    std::thread worker([&] {
        for (int i = 0; i < 10; ++i)
            mainThread->post([&runs] { ++runs; });
    });
    worker.join();
    mainThread.reset();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
}

QTEST_GUILESS_MAIN(TestWLMainThread)
#include "tst_wlmainthread.moc"

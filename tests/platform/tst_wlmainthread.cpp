#include "WLMainThread.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <thread>
#include <vector>

class TestWLMainThread : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsRequestsInOrderOnReceiverThread();
    void dropsRequestsOfDestroyedReceiver();
};

void TestWLMainThread::runsRequestsInOrderOnReceiverThread()
{
    QObject receiver;
    std::vector<int> seen;
    bool allOnMainThread = true;
    const auto mainThread = QThread::currentThread();

    // The worker is joined before the main thread runs a single request:
    // posting must never wait for the receiver's thread.
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i) {
            WLMainThread::post(&receiver, [&, i] {
                allOnMainThread = allOnMainThread && QThread::currentThread() == mainThread;
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

void TestWLMainThread::dropsRequestsOfDestroyedReceiver()
{
    int runs = 0;
    auto receiver = std::make_unique<QObject>();
    std::thread worker([&] {
        for (int i = 0; i < 10; ++i)
            WLMainThread::post(receiver.get(), [&runs] { ++runs; });
    });
    worker.join();
    receiver.reset();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
}

QTEST_GUILESS_MAIN(TestWLMainThread)
#include "tst_wlmainthread.moc"

#include "WLNotificationCenter.h"

#include "WLTestSupport.h"

#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

class TestWLNotificationCenter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deliversByNameAndSender_data();
    void deliversByNameAndSender();
    void runsObserversBeforePostReturnsInOrder();
    void stopsObservingWhenTokenEnds();
    void handlersMayStartAndStopObserving();
    void refusesPostsFromOtherThreads();
    void tokenMayOutliveItsCentre();
};

namespace {
const QString kName = QStringLiteral("WLTestNotification");
int senderA = 0;
int senderB = 0;
} // namespace

void TestWLNotificationCenter::deliversByNameAndSender_data()
{
    QTest::addColumn<bool>("observeOneSender");
    QTest::addColumn<QString>("postedName");
    QTest::addColumn<bool>("postFromB");
    QTest::addColumn<int>("expectedCalls");

    QTest::newRow("any sender, A") << false << kName << false << 1;
    QTest::newRow("any sender, B") << false << kName << true << 1;
    QTest::newRow("sender A, A") << true << kName << false << 1;
    QTest::newRow("sender A, B") << true << kName << true << 0;
    QTest::newRow("other name") << false << QStringLiteral("WLOtherNotification") << false << 0;
}

void TestWLNotificationCenter::deliversByNameAndSender()
{
    QFETCH(bool, observeOneSender);
    QFETCH(QString, postedName);
    QFETCH(bool, postFromB);
    QFETCH(int, expectedCalls);

    WLNotificationCenter center;
    int calls = 0;
    WLNotification received;
    const auto token = center.addObserver(kName, observeOneSender ? &senderA : nullptr,
                                          [&](const WLNotification &n) {
                                              ++calls;
                                              received = n;
                                          });
    const void *sender = postFromB ? &senderB : &senderA;
    const QVariantMap info{{QStringLiteral("count"), 3}};
    center.postNotificationName(postedName, sender, info);
    QCOMPARE(calls, expectedCalls);
    if (calls) {
        QCOMPARE(received.name, kName);
        QCOMPARE(received.object, sender);
        QCOMPARE(received.userInfo, info);
    }
}

void TestWLNotificationCenter::runsObserversBeforePostReturnsInOrder()
{
    WLNotificationCenter center;
    QStringList calls;
    const auto first = center.addObserver(kName, nullptr, [&](auto &) { calls << u"first"_s; });
    const auto second = center.addObserver(kName, &senderA, [&](auto &) { calls << u"second"_s; });
    center.postNotificationName(kName, &senderA);
    QCOMPARE(calls, (QStringList{u"first"_s, u"second"_s}));
}

void TestWLNotificationCenter::stopsObservingWhenTokenEnds()
{
    WLNotificationCenter center;
    int calls = 0;
    auto token = center.addObserver(kName, nullptr, [&](auto &) { ++calls; });
    QVERIFY(token.isObserving());

    // A moved token carries the observation with it.
    WLObserverToken moved = std::move(token);
    QVERIFY(!token.isObserving());
    center.postNotificationName(kName, nullptr);
    QCOMPARE(calls, 1);

    moved.reset();
    QVERIFY(!moved.isObserving());
    center.postNotificationName(kName, nullptr);
    QCOMPARE(calls, 1);

    {
        const auto scoped = center.addObserver(kName, nullptr, [&](auto &) { ++calls; });
    }
    center.postNotificationName(kName, nullptr);
    QCOMPARE(calls, 1);
}

void TestWLNotificationCenter::handlersMayStartAndStopObserving()
{
    WLNotificationCenter center;
    QStringList calls;
    WLObserverToken second;
    WLObserverToken late;
    const auto first = center.addObserver(kName, nullptr, [&](auto &) {
        calls << u"first"_s;
        second.reset();
        if (!late.isObserving())
            late = center.addObserver(kName, nullptr, [&](auto &) { calls << u"late"_s; });
    });
    second = center.addObserver(kName, nullptr, [&](auto &) { calls << u"second"_s; });

    center.postNotificationName(kName, nullptr);
    QCOMPARE(calls, QStringList{u"first"_s});
    center.postNotificationName(kName, nullptr);
    QCOMPARE(calls, (QStringList{u"first"_s, u"first"_s, u"late"_s}));
}

void TestWLNotificationCenter::refusesPostsFromOtherThreads()
{
    WLNotificationCenter center;
    int calls = 0;
    const auto token = center.addObserver(kName, nullptr, [&](auto &) { ++calls; });
    StderrCapture capture;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { center.postNotificationName(kName, nullptr); }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QCOMPARE(calls, 0);
    QCOMPARE(capture.reports(),
             QStringList{u"-[WLNotificationCenter postNotificationName:object:userInfo:]: "
                         "(![NSThread isMainThread])"_s});
}

void TestWLNotificationCenter::tokenMayOutliveItsCentre()
{
    WLObserverToken token;
    {
        WLNotificationCenter center;
        token = center.addObserver(kName, nullptr, [](auto &) {});
        QVERIFY(token.isObserving());
    }
    QVERIFY(!token.isObserving());
    token.reset();
}

QTEST_GUILESS_MAIN(TestWLNotificationCenter)
#include "tst_wlnotificationcenter.moc"

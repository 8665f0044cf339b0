#include "WLSearchSession.h"
#include "WLDatabase.h"
#include "WLSearchTestSupport.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// 4 letters x 1500 looks: long enough partial-match scans that keywords
// arrive while results stream.
QList<WLSearchRow> rows(bool whole)
{
    QList<WLSearchRow> result;
    const QString letters = u"abde"_s;
    for (QChar first : letters) {
        for (int i = 0; i < 1500; ++i) {
            const QString look = first + QString::number(i * 7919 % 100000, 36);
            if (whole && i % 3 != 0)
                continue;
            result.append({look, look, look + u"#1"_s, QString::number(i + 1)});
        }
    }
    return result;
}

QString randomKeyword(QRandomGenerator &random)
{
    static const QString alphabet = u"abde0123*?"_s;
    QString keyword;
    const int length = int(random.bounded(0, 4));
    for (int i = 0; i < length; ++i)
        keyword += alphabet.at(int(random.bounded(alphabet.size())));
    return keyword;
}

} // namespace

class TestWLSearchStress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lastKeywordWins();
    void shutdownWhileResultsStream();

private:
    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLSearchStress::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
    writeSearchTable(*m_fixture, rows(false));
    writeEqualSearchTable(*m_fixture, rows(true));
}

void TestWLSearchStress::cleanup()
{
    m_fixture.reset();
}

void TestWLSearchStress::lastKeywordWins()
{
    StderrCapture quiet; // keywords outside every letter report
    auto database = m_fixture->open();
    QVERIFY(database);
    WLSearchRecorder recorder(database.get());

    // The answer when "b" is searched alone ("b" is never a random keyword).
    QVERIFY(recorder.search(u"b"_s));
    const QStringList expected = recorder.sections();
    QVERIFY(expected.size() > 100);
    QVERIFY(recorder.search(QString()));

    QRandomGenerator random(20240611);
    for (int i = 0; i < 3000; ++i) {
        WLSearchSession::of(*database)->setSearchKeywordOnThread(randomKeyword(random));
        if (i % 7 == 0)
            QCoreApplication::processEvents();
    }
    recorder.clear();
    WLSearchSession::of(*database)->setSearchKeywordOnThread(u"b"_s);
    QVERIFY(recorder.waitForFinished(u"b"_s));
    QCOMPARE(recorder.sections(), expected);
}

void TestWLSearchStress::shutdownWhileResultsStream()
{
    StderrCapture quiet;
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        auto database = m_fixture->open();
        QVERIFY(database);
        WLSearchRecorder recorder(database.get());
        for (int i = 0; i < 200; ++i) {
            WLSearchSession::of(*database)->setSearchKeywordOnThread(randomKeyword(random));
            if (i % 11 == 0)
                QCoreApplication::processEvents();
        }
        // A long scan is running or waiting; the snapshots already queued
        // must not reach a destroyed object.
        WLSearchSession::of(*database)->setSearchKeywordOnThread(u"*"_s);
        if (round % 2)
            QCoreApplication::processEvents();
        database.reset();
        QCoreApplication::processEvents();
    }
}

QTEST_GUILESS_MAIN(TestWLSearchStress)
#include "tst_wlsearchstress.moc"

// The search on the generated 200,000-headword bundle, measured on the main
// thread from the hand-over of a keyword: the first snapshot, the first
// snapshot with results, and the end of the keyword (both halves final).
// And how long the main thread is held in setSearchKeywordOnThread when
// keywords arrive while a partial-match search runs.

#include "WLSearchSession.h"
#include "WLBenchBundle.h"
#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLNotificationCenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

WLDatabase &openDatabase()
{
    static std::unique_ptr<WLDatabase> database = [] {
        const QString bundle = WLBenchBundle::bundlePath();
        WLBundle::setResourcePath(bundle);
        return WLDatabase::initWithPropertyListFile(
            QDir(bundle).filePath(QStringLiteral("DatabaseInfo.plist")));
    }();
    if (!database)
        std::abort();
    return *database;
}

// What the main thread saw of one keyword, in nanoseconds from the hand-over.
struct Arrivals {
    qint64 firstSnapshot = -1;
    qint64 firstResult = -1;
    qint64 final = -1;
    int results = 0;
};

class Watcher
{
public:
    explicit Watcher(WLDatabase &database) : m_database(database)
    {
        m_token = WLNotificationCenter::defaultCenter().addObserver(
            WLDatabaseSearchedWordsUpdate, &database, [this](const WLNotification &notification) {
                const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
                if (!update.receiver.isEmpty() && m_arrivals.firstSnapshot < 0)
                    m_arrivals.firstSnapshot = m_timer.nsecsElapsed();
                if (update.count > 0 && m_arrivals.firstResult < 0)
                    m_arrivals.firstResult = m_timer.nsecsElapsed();
                if (update.finished && update.keyword == m_keyword)
                    m_arrivals.final = m_timer.nsecsElapsed();
            });
    }

    Arrivals search(const QString &keyword)
    {
        expect(keyword);
        WLSearchSession::of(m_database)->setSearchKeywordOnThread(keyword);
        return waitForFinished();
    }

    // Times from now the keyword that is about to be handed over.
    void expect(const QString &keyword)
    {
        m_keyword = keyword;
        m_arrivals = {};
        m_timer.start();
    }

    Arrivals waitForFinished()
    {
        while (m_arrivals.final < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_arrivals.results = 0;
        for (uint section = 0; section < WLSearchSession::of(m_database)->searchSectionCount(); ++section)
            m_arrivals.results += int(WLSearchSession::of(m_database)->itemCountOfSearchSectionAtIndex(section));
        return m_arrivals;
    }

private:
    WLDatabase &m_database;
    WLObserverToken m_token;
    QString m_keyword;
    QElapsedTimer m_timer;
    Arrivals m_arrivals;
};

const QString kKeywords[] = {QStringLiteral("t"), QStringLiteral("tr"), QStringLiteral("tra"),
                             QStringLiteral("*ing"), QStringLiteral("qxzv")};

void BM_Search(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    Watcher watcher(database);
    const QString keyword = kKeywords[state.range(0)];
    state.SetLabel(keyword.toStdString());
    double firstSnapshot = 0, firstResult = 0;
    int results = 0;
    for (auto _ : state) {
        watcher.search(QString()); // start from an empty list, as after clearing the bar
        const Arrivals arrivals = watcher.search(keyword);
        state.SetIterationTime(double(arrivals.final) / 1e9);
        firstSnapshot += double(arrivals.firstSnapshot) / 1e6;
        firstResult += double(std::max<qint64>(arrivals.firstResult, 0)) / 1e6;
        results = arrivals.results;
    }
    const double n = double(state.iterations());
    state.counters["first_snapshot_ms"] = firstSnapshot / n;
    state.counters["first_result_ms"] = firstResult / n;
    state.counters["results"] = results;
}
BENCHMARK(BM_Search)->DenseRange(0, 4)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the search list does on the main thread after the last snapshot: every
// row read through the accessors its data source calls, once per reload.
void BM_ReadResults(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    Watcher watcher(database);
    const QString keyword = kKeywords[state.range(0)];
    state.SetLabel(keyword.toStdString());
    watcher.search(keyword);
    qint64 rows = 0;
    for (auto _ : state) {
        for (uint section = 0; section < WLSearchSession::of(database)->searchSectionCount(); ++section) {
            benchmark::DoNotOptimize(WLSearchSession::of(database)->searchSectionNameAtIndex(section));
            const uint count = WLSearchSession::of(database)->itemCountOfSearchSectionAtIndex(section);
            for (uint item = 0; item < count; ++item) {
                benchmark::DoNotOptimize(WLSearchSession::of(database)->itemNameAtIndexOfSearchSectionAtIndex(item, section));
                benchmark::DoNotOptimize(WLSearchSession::of(database)->itemLinksAtIndexOfSearchSectionAtIndex(item, section));
                benchmark::DoNotOptimize(
                    WLSearchSession::of(database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(item, section));
            }
            rows += count;
        }
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_ReadResults)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Typing over a long partial-match search: "s" streams the partial matches
// of a whole letter, then "a", "ab", "abc" arrive back to back. The second and third
// hand-overs wait until the worker has taken the one before.
void BM_HandOverWhileSearching(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    Watcher watcher(database);
    qint64 longest = 0, total = 0, calls = 0;
    for (auto _ : state) {
        bool streaming = false;
        const WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
            WLDatabaseSearchedWordsUpdate, &database, [&](const WLNotification &notification) {
                const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
                if (update.receiver.startsWith(QLatin1String("setSearchKeyword")) && update.count > 0)
                    streaming = true;
            });
        watcher.expect(QStringLiteral("abc"));
        WLSearchSession::of(database)->setSearchKeywordOnThread(QStringLiteral("s"));
        while (!streaming)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        for (const char *typed : {"a", "ab", "abc"}) {
            QElapsedTimer timer;
            timer.start();
            WLSearchSession::of(database)->setSearchKeywordOnThread(QLatin1String(typed));
            const qint64 held = timer.nsecsElapsed();
            longest = std::max(longest, held);
            total += held;
            ++calls;
        }
        watcher.waitForFinished();
    }
    state.counters["longest_hold_ms"] = double(longest) / 1e6;
    state.counters["mean_hold_ms"] = double(total) / 1e6 / double(calls);
}
BENCHMARK(BM_HandOverWhileSearching)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

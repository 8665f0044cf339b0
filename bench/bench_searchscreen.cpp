// The Search tab in the real window, offscreen, on WordNet (147,306
// headwords): from a keystroke to the first snapshot drawn and to the final
// list drawn, for keywords of one, two and three letters and a wildcard; and
// the main thread's longest stall while a ten-letter word is typed at ten
// keys a second.
//
// The bundle: $WL_WORDNET_BUNDLE, else build/dictionaries/wn (`make
// dictionaries`, or wldict build --from-dictd on Debian's dict-wn).

#include "WLAppDelegate.h"
#include "WLDatabase.h"
#include "WLNavigationController.h"
#include "WLNotificationCenter.h"
#include "WLReaderShell.h"
#include "WLSearchDataSource.h"
#include "WLSearchResult.h"
#include "WLSearchSession.h"
#include "WLSearchViewController.h"
#include "WLTabBarController.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QAbstractItemModel>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// Time for the web engine, started after the first frame, to settle.
constexpr int kWarmUpMs = 4000;
// How long the list must stay unchanged after the worker's end.
constexpr int kQuietMs = 250;

struct Reader {
    std::unique_ptr<WLReaderShell> shell;
    WLSearchViewController *search = nullptr;
    WLSearchDataSource *results = nullptr;
    QElapsedTimer clock;
};

Reader &reader()
{
    static Reader reader = [] {
        Reader made;
        made.clock.start();
        QString bundle = qEnvironmentVariable("WL_WORDNET_BUNDLE");
        if (bundle.isEmpty())
            bundle = QStringLiteral(WL_DEFAULT_WORDNET_BUNDLE);
        if (!QDir(bundle).exists(QStringLiteral("DatabaseInfo.plist"))) {
            std::fprintf(stderr, "bench_searchscreen: no WordNet bundle at %s (make dictionaries)\n",
                         qPrintable(bundle));
            std::exit(1);
        }
        made.shell = std::make_unique<WLReaderShell>();
        WLReaderShell::Options options;
        options.dictionaryPath = bundle;
        options.quitWhenStopped = false;
        if (!made.shell->start(options) || !QTest::qWaitForWindowExposed(made.shell->window()))
            std::exit(1);
        QTest::qWait(kWarmUpMs);
        WLTabBarController *tabs = made.shell->appDelegate()->tabBarController();
        tabs->selectTab(1);
        auto *navigation = qobject_cast<WLNavigationController *>(tabs->selectedViewController());
        made.search = qobject_cast<WLSearchViewController *>(navigation->topViewController());
        made.results = static_cast<WLSearchDataSource *>(made.search->dataSource());
        if (!QTest::qWaitFor([&] { return made.search->searchBar()->isFirstResponder(); }))
            std::exit(1);
        QTest::qWait(500);
        return made;
    }();
    return reader;
}

qint64 now()
{
    return reader().clock.nsecsElapsed();
}

// What the main thread did after a keystroke: when the list was reloaded
// (and for which keyword), when frames were drawn, when the worker ended.
class Trace
{
public:
    explicit Trace(Reader &r) : mReader(r)
    {
        QObject::connect(r.search->tableView(), &WLTableView::reloaded, &mGuard,
                         [this] { mReloads.append({now(), mReader.results->shownKeyword()}); });
        QObject::connect(r.shell->window(), &QQuickWindow::frameSwapped, &mGuard,
                         [this] { mFrames.append(now()); });
        mFinishedObserver = WLNotificationCenter::defaultCenter().addObserver(
            WLDatabaseSearchedWordsUpdate, r.shell->appDelegate()->database(),
            [this](const WLNotification &notification) {
                const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
                if (update.finished && update.keyword == mKeyword)
                    mFinished = now();
            });
    }

    void expect(const QString &keyword)
    {
        mKeyword = keyword;
        mFinished = -1;
        mReloads.clear();
        mFrames.clear();
    }

    // Until the worker has ended the keyword and the list stays still.
    void settle()
    {
        while (mFinished < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        qint64 last = now();
        while (now() - last < qint64(kQuietMs) * 1000000) {
            const qsizetype seen = mReloads.size() + mFrames.size();
            QTest::qWait(10);
            if (mReloads.size() + mFrames.size() != seen)
                last = now();
        }
    }

    // The first frame drawn after the first, or the last, reload showing
    // the keyword; the reload itself when it changed nothing on screen (rows
    // added below the visible ones draw no frame); -1 if none.
    qint64 drawn(bool last) const
    {
        qint64 reload = -1;
        for (const auto &[time, keyword] : mReloads) {
            if (keyword == mKeyword && (last || reload < 0))
                reload = time;
        }
        for (qint64 frame : mFrames) {
            if (reload >= 0 && frame >= reload)
                return frame;
        }
        return reload;
    }

private:
    Reader &mReader;
    WLObserverToken mFinishedObserver;
    QObject mGuard;
    QString mKeyword;
    qint64 mFinished = -1;
    QList<std::pair<qint64, QString>> mReloads;
    QList<qint64> mFrames;
};

// The list settled on a keyword, the field with the focus.
void showResults(Reader &r, Trace &trace, const QString &keyword)
{
    WLSearchBar *bar = r.search->searchBar();
    if (!bar->isFirstResponder())
        bar->becomeFirstResponder();
    if (bar->text() == keyword)
        return;
    trace.expect(keyword);
    bar->editText(keyword);
    trace.settle();
}

const QString kKeywords[] = {QStringLiteral("s"), QStringLiteral("st"), QStringLiteral("str"),
                             QStringLiteral("*ness")};

void BM_Keystroke(benchmark::State &state)
{
    Reader &r = reader();
    Trace trace(r);
    const QString keyword = kKeywords[state.range(0)];
    state.SetLabel(keyword.toStdString());
    double first = 0;
    int results = 0;
    for (auto _ : state) {
        // The keyword before the last keystroke, then the keystroke.
        showResults(r, trace, keyword.left(keyword.size() - 1));
        trace.expect(keyword);
        const qint64 start = now();
        QTest::keyClick(r.shell->window(), keyword.back().toLatin1());
        trace.settle();
        const qint64 final = trace.drawn(true);
        state.SetIterationTime(double(final - start) / 1e9);
        first += double(trace.drawn(false) - start) / 1e6;
        results = int(r.search->tableView()->model()->rowCount());
    }
    state.counters["first_drawn_ms"] = first / double(state.iterations());
    state.counters["results"] = results;
}
BENCHMARK(BM_Keystroke)->DenseRange(0, 3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// A ten-letter word at ten keys a second, while a one-millisecond timer
// notes how late it runs: its longest gap less the millisecond is the
// longest time the main thread could not turn (searching, reloading and
// drawing the list all count).
void BM_TypingStall(benchmark::State &state)
{
    Reader &r = reader();
    Trace trace(r);
    const QString word = QStringLiteral("dictionary");
    double longest = 0, reloads = 0, frames = 0;
    for (auto _ : state) {
        showResults(r, trace, QString());
        trace.expect(word);
        // Where the time goes: the list's reloads, and the frames drawn on
        // the main thread.
        qint64 reloadStart = 0, longestReload = 0, frameStart = 0, longestFrame = 0;
        QObject probes;
        QAbstractItemModel *model = r.search->tableView()->model();
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, &probes,
                         [&] { reloadStart = now(); });
        QObject::connect(model, &QAbstractItemModel::modelReset, &probes,
                         [&] { longestReload = std::max(longestReload, now() - reloadStart); });
        QObject::connect(r.shell->window(), &QQuickWindow::beforeSynchronizing, &probes,
                         [&] { frameStart = now(); }, Qt::DirectConnection);
        QObject::connect(r.shell->window(), &QQuickWindow::frameSwapped, &probes,
                         [&] { longestFrame = std::max(longestFrame, now() - frameStart); });
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        qint64 lastTick = now();
        qint64 longestGap = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 tick = now();
            longestGap = std::max(longestGap, tick - lastTick);
            lastTick = tick;
        });
        ticker.start();
        QElapsedTimer typing;
        typing.start();
        for (int i = 0; i < word.size(); ++i) {
            while (typing.elapsed() < i * 100)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QTest::keyClick(r.shell->window(), word.at(i).toLatin1());
        }
        trace.settle();
        ticker.stop();
        longest = std::max(longest, double(longestGap) / 1e6 - 1);
        reloads = std::max(reloads, double(longestReload) / 1e6);
        frames = std::max(frames, double(longestFrame) / 1e6);
        state.SetIterationTime(double(typing.nsecsElapsed()) / 1e9);
    }
    state.counters["longest_stall_ms"] = longest;
    state.counters["longest_reload_ms"] = reloads;
    state.counters["longest_frame_ms"] = frames;
}
BENCHMARK(BM_TypingStall)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The reader keeps its state as it goes: not in the user's file.
    QTemporaryDir state;
    if (!qEnvironmentVariableIsSet("WL_DEFAULTS_FILE"))
        qputenv("WL_DEFAULTS_FILE", QFile::encodeName(state.filePath(QStringLiteral("defaults.plist"))));
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    reader().shell->terminate();
    return 0;
}

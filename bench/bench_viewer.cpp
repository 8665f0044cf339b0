// bench_viewer: the entry viewer in the real window, offscreen, with the real
// web engine. Times a selected row of the Index list to its page's
// loadFinished and a followed cross-reference the same way, then shows many
// entries in a row and prints the memory of the reader and of the web
// engine's processes as it goes (see docs/PERFORMANCE.md).
#include "WLAppDelegate.h"
#include "WLNavigationController.h"
#include "WLLocalization.h"
#include "WLReaderShell.h"
#include "WLTabBarController.h"
#include "WLTableViewController.h"
#include "WLWebViewController.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Spins the event loop until the condition holds, woken by the signal;
// false after the timeout.
template <typename Sender, typename Signal>
bool waitFor(const Sender *sender, Signal signal, const std::function<bool()> &done, int timeoutMs = 30000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    timeout.start(timeoutMs);
    loop.exec();
    return done();
}

bool waitForPage(WLWebView *webView)
{
    return waitFor(webView, &WLWebView::loadedSerialChanged,
                   [webView] { return webView->loadedSerial() == webView->contentSerial(); });
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Resident and peak memory of a process, in kB, from /proc.
struct Memory {
    qint64 rss = 0;
    qint64 peak = 0;
};

Memory memoryOf(const QString &pid)
{
    QFile status(u"/proc/"_s + pid + u"/status"_s);
    Memory memory;
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            memory.rss = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        else if (line.startsWith("VmHWM:"))
            memory.peak = line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return memory;
}

// The web engine's processes: every descendant of this one.
Memory engineMemory()
{
    const QString self = QString::number(QCoreApplication::applicationPid());
    QHash<QString, QString> parents;
    for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/"_s + pid + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        parents.insert(pid, QString::fromLatin1(fields.value(1)));
    }
    Memory total;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        for (QString up = it.value(); !up.isEmpty() && up != u"0"_s && up != u"1"_s; up = parents.value(up)) {
            if (up == self) {
                const Memory child = memoryOf(it.key());
                total.rss += child.rss;
                total.peak += child.peak;
                break;
            }
        }
    }
    return total;
}

struct Figures {
    double median = 0;
    double p90 = 0;
    double min = 0;
    double max = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    if (ms.empty())
        return {};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 9 / 10)], ms.front(), ms.back()};
}

void print(const char *what, const std::vector<double> &ms)
{
    const Figures f = figuresOf(ms);
    std::printf("%-34s n=%-4zu median %6.1f ms  p90 %6.1f ms  min %6.1f ms  max %6.1f ms\n", what,
                ms.size(), f.median, f.p90, f.min, f.max);
}

class Bench
{
public:
    explicit Bench(WLReaderShell &shell) : mShell(shell)
    {
        WLTabBarController *tabs = shell.appDelegate()->tabBarController();
        mIndex = qobject_cast<WLNavigationController *>(tabs->viewControllers().value(0));
        mList = qobject_cast<WLTableViewController *>(mIndex->viewControllers().value(0));
        mViewer = WLWebViewController::sharedWebViewController();
        mList->loadViewIfNeeded();
        mList->tableView()->reloadDataIfNeeded();
    }

    int rowCount() const { return mList->tableView()->model()->rowCount(); }

    // Row selected to the page's loadFinished, in ms; the viewer is taken
    // back off the stack afterwards (its blank page loaded, untimed).
    double showRow(int row, bool back = true)
    {
        QElapsedTimer clock;
        clock.start();
        mList->tableView()->tapRow(row);
        if (!waitForPage(mViewer->webView()))
            std::fprintf(stderr, "row %d: the page did not load\n", row);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (back)
            leave();
        return ms;
    }

    void leave()
    {
        mIndex->popViewControllerAnimated(false);
        waitForPage(mViewer->webView());
    }

    // The first cross-reference of the page shown, followed as the page's
    // script reports a tap; -1 when the page has none.
    double followFirstLink()
    {
        static const QRegularExpression link(u"href=\"(#[0-9]+)\""_s);
        const QRegularExpressionMatch match = link.match(QString::fromUtf8(mViewer->currentContentsData()));
        if (!match.hasMatch())
            return -1;
        QElapsedTimer clock;
        clock.start();
        mViewer->webView()->linkActivated(match.captured(1));
        if (!waitForPage(mViewer->webView()))
            std::fprintf(stderr, "link %s: the page did not load\n", qPrintable(match.captured(1)));
        return clock.nsecsElapsed() / 1e6;
    }

private:
    WLReaderShell &mShell;
    WLNavigationController *mIndex = nullptr;
    WLTableViewController *mList = nullptr;
    WLWebViewController *mViewer = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The history of the run goes to a file of its own, not the user's.
    QTemporaryDir defaults;
    if (!qEnvironmentVariableIsSet("WL_DEFAULTS_FILE"))
        qputenv("WL_DEFAULTS_FILE", QFile::encodeName(defaults.filePath(u"defaults.plist"_s)));
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    // The window's texts, as the reader has them.
    WLLocalization::install();
    QCommandLineParser parser;
    parser.addOption({u"dictionary"_s, u"The bundle (default: the demo)."_s, u"DIR"_s});
    parser.addOption({u"entries"_s, u"Entries timed (default 50)."_s, u"N"_s, u"50"_s});
    parser.addOption({u"memory"_s, u"Entries shown in a row for the memory (default 500)."_s, u"N"_s, u"500"_s});
    parser.process(app);

    WLReaderShell shell;
    WLReaderShell::Options options;
    options.dictionaryPath = parser.isSet(u"dictionary"_s) ? parser.value(u"dictionary"_s)
                                                             : QStringLiteral(WL_DEMO_BUNDLE_DIR);
    options.quitWhenStopped = false;
    if (options.dictionaryPath.isEmpty() || !shell.start(options)) {
        std::fprintf(stderr, "bench_viewer: cannot start the reader on '%s'\n", qPrintable(options.dictionaryPath));
        return 1;
    }
    bool shown = false;
    QObject::connect(&shell, &WLReaderShell::firstFrameShown, [&] { shown = true; });
    waitFor(&shell, &WLReaderShell::firstFrameShown, [&] { return shown; });

    Bench bench(shell);
    const int rows = bench.rowCount();
    const int entries = qMax(1, parser.value(u"entries"_s).toInt());
    std::printf("dictionary %s: %d headwords\n", qPrintable(QDir(options.dictionaryPath).absolutePath()), rows);
    // The web engine's start is not an entry's.
    bench.showRow(0);
    settle(500);

    std::vector<double> select;
    std::vector<double> follow;
    for (int i = 0; i < entries; ++i) {
        const int row = int(qint64(i) * rows / entries);
        select.push_back(bench.showRow(row, false));
        const double ms = bench.followFirstLink();
        if (ms >= 0)
            follow.push_back(ms);
        bench.leave();
    }
    print("row selected -> loadFinished", select);
    print("cross-reference -> loadFinished", follow);

    const int many = parser.value(u"memory"_s).toInt();
    if (many > 0) {
        std::printf("%8s %12s %12s %14s %14s\n", "entries", "reader RSS", "reader peak", "engine RSS", "engine peak");
        for (int i = 1; i <= many; ++i) {
            bench.showRow(int((qint64(i) * 7919) % rows));
            if (i % 100 == 0 || i == 1) {
                const Memory own = memoryOf(u"self"_s);
                const Memory engine = engineMemory();
                std::printf("%8d %9lld kB %9lld kB %11lld kB %11lld kB\n", i, own.rss, own.peak,
                            engine.rss, engine.peak);
                std::fflush(stdout);
            }
        }
    }
    shell.terminate();
    return 0;
}

// The Index list in the real window, offscreen: time to the first frame,
// and the cost of each frame while the list is flung through the whole
// headword list and while the section index jumps from letter to letter.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_index [BUNDLE]
#include "WLAppDelegate.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLScreenViews.h"
#include "WLTableViewController.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickItem>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root || root->objectName() == name)
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// One frame after a change: from the change to the frame on screen.
double frameAfter(QQuickWindow *window, const std::function<void()> &change)
{
    QEventLoop loop;
    QElapsedTimer clock;
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
    clock.start();
    change();
    window->requestUpdate();
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return double(clock.nsecsElapsed()) / 1e6;
}

void print(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) { return times[size_t(q * double(times.size() - 1))]; };
    std::printf("%-34s frames %5zu  median %6.2f ms  p95 %6.2f ms  max %6.2f ms\n", what,
                times.size(), at(0.5), at(0.95), times.back());
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer startClock;
    startClock.start();
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    WLReaderShell shell;
    WLReaderShell::Options options;
    options.dictionaryPath = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                      : qEnvironmentVariable("WL_DEMO_BUNDLE", QStringLiteral(WL_DEMO_BUNDLE));
    options.quitWhenStopped = false;
    double firstFrame = 0;
    QObject::connect(&shell, &WLReaderShell::firstFrameShown, [&] { firstFrame = double(startClock.nsecsElapsed()) / 1e6; });
    if (!shell.start(options))
        return 1;
    while (firstFrame == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("first frame after %.1f ms (process start to the list on screen)\n", firstFrame);

    // The Index tab, whatever the last run left open.
    shell.appDelegate()->tabBarController()->selectTab(0);
    auto *navigation = qobject_cast<WLNavigationController *>(
        shell.appDelegate()->tabBarController()->viewControllers().value(0));
    navigation->popToRootViewControllerAnimated(false);
    auto *screen = qobject_cast<WLTableViewController *>(navigation->topViewController());
    QQuickItem *list = findItem(shell.screenViews()->viewFor(screen), QStringLiteral("list"));
    if (!list)
        return 1;
    QQuickWindow *window = shell.window();
    const int rows = screen->tableView()->model()->rowCount();
    std::printf("%d headwords\n", rows);

    // The web engine starts right after the first frame; measure the list,
    // not that.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    // A fling: a screenful further every frame, through the whole list.
    std::vector<double> fling;
    const qreal height = list->height();
    for (int i = 0; i < 600; ++i) {
        fling.push_back(frameAfter(window, [&] {
            const qreal y = list->property("contentY").toReal() + height;
            list->setProperty("contentY", y);
        }));
    }
    print("fling, a screenful a frame", fling);

    // Jumps as the section index gives them, letter after letter.
    std::vector<double> jumps;
    const QStringList titles = screen->tableView()->sectionIndexTitles();
    for (int round = 0; round < 5; ++round) {
        for (int entry = 0; entry < titles.size(); ++entry) {
            jumps.push_back(frameAfter(window, [&] {
                QMetaObject::invokeMethod(list, "positionViewAtIndex",
                                          Q_ARG(int, screen->tableView()->rowForSectionIndex(entry)),
                                          Q_ARG(int, 1));
            }));
        }
    }
    print("section index jumps", jumps);
    shell.terminate();
    return 0;
}

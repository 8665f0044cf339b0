// Pictures of the reader's screens for the README and the AppStream
// description, made by the reader itself offscreen on the demo dictionary:
//   tools/make-screenshots.sh        (builds this and writes docs/screenshots)
#include "WLAboutImageViewController.h"
#include "WLAddBookmarkViewController.h"
#include "WLAppDelegate.h"
#include "WLBookmarksDataSource.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLSearchViewController.h"
#include "WLTabBarController.h"
#include "WLTextView.h"
#include "WLWebViewController.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// Lets the window settle: animations end and pages load.
void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool waitFor(const std::function<bool()> &done, int ms = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

bool shoot(WLReaderShell &shell, const QDir &directory, const QString &name)
{
    const QString path = directory.filePath(name + QStringLiteral(".png"));
    if (!shell.window()->grabWindow().save(path)) {
        std::fprintf(stderr, "wl_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // WxH: the window's size, to see the screens at the smallest too.
    const QStringList size = argc == 4 ? QString::fromLocal8Bit(argv[3]).split(u'x') : QStringList();
    if ((argc != 3 && argc != 4) || (argc == 4 && size.size() != 2)) {
        std::fprintf(stderr, "usage: wl_screenshots DEMO_BUNDLE OUTPUT_DIR [WIDTHxHEIGHT]\n");
        return 2;
    }
    // The pictures show a fresh reader, whatever the user's own state.
    QTemporaryDir state;
    qputenv("WL_DEFAULTS_FILE", QFile::encodeName(state.filePath(QStringLiteral("defaults.plist"))));
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    WLLocalization::install();
    const QDir directory(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(directory.path());

    WLReaderShell shell;
    WLReaderShell::Options options;
    options.dictionaryPath = QString::fromLocal8Bit(argv[1]);
    options.quitWhenStopped = false;
    if (!size.isEmpty())
        options.windowSize = QSize(size[0].toInt(), size[1].toInt());
    if (!shell.start(options))
        return 1;
    WLAppDelegate *delegate = shell.appDelegate();
    WLTabBarController *tabs = delegate->tabBarController();
    auto tab = [&](int index) { return qobject_cast<WLNavigationController *>(tabs->viewControllers().value(index)); };
    settle(1500);
    bool ok = shoot(shell, directory, QStringLiteral("index"));

    // Search: a keyword typed, both sections listed.
    tabs->selectTab(1);
    auto *search = qobject_cast<WLSearchViewController *>(tab(1)->topViewController());
    settle(500);
    search->searchForTypedText(QStringLiteral("hot"));
    settle(1500);
    ok = shoot(shell, directory, QStringLiteral("search")) && ok;

    // An entry with a picture, as "wlreader map" shows it.
    delegate->lookUpWord(QStringLiteral("map"));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    ok = waitFor([&] {
        return viewer->parentViewController() && viewer->webView()->loadedSerial() == viewer->webView()->contentSerial();
    }) && ok;
    settle(1500);
    ok = shoot(shell, directory, QStringLiteral("entry")) && ok;

    // Its picture in the viewer, then back.
    const QUrl map = viewer->webView()->baseUrl().resolved(QUrl(QStringLiteral("pictures/map.png")));
    if (viewer->receiveLinkRequest(map)) {
        settle(1500);
        ok = shoot(shell, directory, QStringLiteral("picture")) && ok;
        tab(1)->popViewControllerAnimated(false);
        settle(500);
    }

    // The bookmark editor over it, with a note.
    viewer->addButtonPressed(nullptr);
    if (WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController()) {
        settle(800);
        editor->textView()->beginEditing();
        editor->textView()->textEdited(QStringLiteral("drawn by hand"));
        editor->endEditing();
        settle(700);
        ok = shoot(shell, directory, QStringLiteral("editor")) && ok;
        editor->cancel();
        settle(700);
    }

    // Bookmarks with a note.
    if (WLBookmarksDataSource *bookmarks = WLBookmarksDataSource::sharedBookmarks()) {
        bookmarks->addBookmark(QStringLiteral("apple"), QVariantList{QStringLiteral("apple#1")},
                               QStringLiteral("red, green or yellow"), QVariantList{QStringLiteral("12")});
        bookmarks->addBookmark(QStringLiteral("map"), QVariantList{QStringLiteral("map#1")}, QString(),
                               QVariantList{QStringLiteral("207")});
    }
    tabs->selectTab(2);
    settle(1200);
    ok = shoot(shell, directory, QStringLiteral("bookmarks")) && ok;

    // About, flipped in over the tabs, and its Settings.
    delegate->showAbout(nullptr);
    settle(1800);
    ok = shoot(shell, directory, QStringLiteral("about")) && ok;
    auto *aboutStack = qobject_cast<WLNavigationController *>(delegate->containerView()->content());
    if (auto *about = aboutStack ? qobject_cast<WLAboutImageViewController *>(aboutStack->topViewController()) : nullptr) {
        about->settingsButtonPressed(about);
        settle(1200);
        ok = shoot(shell, directory, QStringLiteral("settings")) && ok;
    }
    shell.terminate();
    return ok ? 0 : 1;
}

#pragma once

// What the fuzz targets share: the application object the engine's
// threads and timers need, private scratch directories, and a copy of the
// demo bundle to open. Header only; each target is one executable.

#include "WLSearchSession.h"
#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLNotificationCenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace WLFuzz {

// A failed expectation is a finding: abort so libFuzzer saves the input.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// Writes an input where the code under test will read it.
inline void writeInput(const QString &path, const char *bytes, qsizetype length)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes, length) != length)
        fail("cannot write the input file");
}

// Made once and never destroyed: the engine's objects that outlive a run
// (static stores, the open dictionary) may still need it at exit.
inline QCoreApplication *application()
{
    static int argc = 1;
    static char name[] = "wlfuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    return app;
}

// A scratch directory below the temporary directory the run was started
// with, removed at a normal exit.
inline QString scratchDirectory()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/wlfuzz-XXXXXX"));
    if (!dir.isValid())
        fail("no scratch directory");
    return dir.path();
}

// Copies the demo bundle this build made into target (files and folders).
inline void copyDemoBundle(const QString &target)
{
    const QString source = QStringLiteral(WL_DEMO_BUNDLE_DIR);
    if (!QFileInfo(source + QStringLiteral("/DatabaseInfo.plist")).isFile())
        fail("the demo bundle is missing: build the demo_dictionary target");
    QDir().mkpath(target);
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString to = target + u'/' + QDir(source).relativeFilePath(path);
        if (it.fileInfo().isDir())
            QDir().mkpath(to);
        else if (!QFile::copy(path, to))
            fail("cannot copy the demo bundle");
    }
}

// Points the temporary directory (and so the page directory) at a fresh
// folder of the scratch directory, so that what the engine writes there
// can be checked.
inline QString isolateTemporaryDirectory()
{
    const QString tmp = scratchDirectory() + QStringLiteral("/tmp");
    QDir().mkpath(tmp);
    qputenv("TMPDIR", QFile::encodeName(tmp));
    return tmp;
}

// Opens a bundle folder as the reader does; nothing when it fails.
inline std::unique_ptr<WLDatabase> openBundle(const QString &bundle)
{
    WLBundle::setResourcePath(bundle);
    return WLDatabase::initWithPropertyListFile(bundle + QStringLiteral("/DatabaseInfo.plist"));
}

// The demo bundle, opened once per process from a private copy.
inline WLDatabase *demoDatabase()
{
    static std::unique_ptr<WLDatabase> database = [] {
        application();
        const QString bundle = scratchDirectory() + QStringLiteral("/demo");
        copyDemoBundle(bundle);
        std::unique_ptr<WLDatabase> opened = openBundle(bundle);
        if (!opened)
            fail("the demo bundle does not open");
        return opened;
    }();
    return database.get();
}

// Runs one keyword through the search worker and waits for its last
// snapshot; a search that does not end within the bound is a hang.
inline void runSearch(WLDatabase &database, const QString &keyword, int boundMilliseconds = 5000)
{
    QEventLoop loop;
    bool finished = false;
    const WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, &database, [&](const WLNotification &notification) {
            const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
            if (update.finished && update.keyword == keyword) {
                finished = true;
                loop.quit();
            }
        });
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(boundMilliseconds);
    WLSearchSession::of(database)->setSearchKeywordOnThread(keyword);
    loop.exec();
    if (!finished)
        fail("the search did not finish in time");
}

} // namespace WLFuzz

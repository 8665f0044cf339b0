// wlreader-window: the dictionary reader's window. The wlreader front
// program starts it (front.cpp) when no running reader took the word.
#include "WLLocalization.h"
#include "WLReaderCommandLine.h"
#include "WLReaderHandOver.h"
#include "WLReaderShell.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char *argv[])
{
    const WLReaderCommandLine arguments = WLReaderCommandLine::parse(argc, argv);
    if (const int status = arguments.answerWithoutWindow(); status >= 0)
        return status;

    WLReaderShell::Options options;
    options.dictionaryPath = arguments.dictionaryPath;
    options.screenshotDirectory = arguments.screenshotDirectory;
    options.word = arguments.word;
    options.windowSize = arguments.windowSize;
    options.verbose = arguments.verbose;
    // The front has asked already; this is for a start of this program
    // by itself (and a reader that came up meanwhile).
    if (options.screenshotDirectory.isEmpty() && WLReaderHandOver::handOver(options.dictionaryPath, options.word))
        return 0;

    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("wlreader"));
    QGuiApplication::setApplicationVersion(QStringLiteral(WL_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("WL Reader"));
    WLLocalization::install();

    int code = 0;
    {
        WLReaderShell shell;
        if (!shell.start(options)) {
            std::fprintf(stderr, "wlreader: the window could not be made\n");
            return 1;
        }
        // The stop sequence has saved the bookmarks, the history and the
        // last state by the time the loop ends; the shell goes with our
        // own objects.
        code = app.exec();
    }
    // Chromium inside this process may hang or crash in its teardown; there
    // is nothing of ours left to save, so the process ends without it.
    if (WLReaderShell::webEngineInOneProcess()) {
#if defined(__SANITIZE_ADDRESS__)
        // _Exit skips the leak check that would run at exit.
        __lsan_do_leak_check();
#endif
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    return code;
}

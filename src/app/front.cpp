// wlreader: hands the word to a reader already open on the dictionary, else
// starts the window program in its place. A word handed over this way
// costs the loading of Qt Core alone, not of Qt Quick and the web engine.
#include "WLReaderCommandLine.h"
#include "WLReaderHandOver.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// The window program: beside this one in the build tree, else where it is
// installed relative to this one (WL_WINDOW_FROM_BIN, set by CMake).
QByteArray windowProgram()
{
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    const QString folder = self.section(u'/', 0, -2);
    if (folder.isEmpty())
        return {};
    for (const QString &candidate : {folder + QStringLiteral("/wlreader-window"),
                                     folder + QStringLiteral("/" WL_WINDOW_FROM_BIN)}) {
        const QByteArray path = QFile::encodeName(candidate);
        if (::access(path.constData(), X_OK) == 0)
            return path;
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    const WLReaderCommandLine arguments = WLReaderCommandLine::parse(argc, argv);
    if (const int status = arguments.answerWithoutWindow(); status >= 0)
        return status;
    if (arguments.screenshotDirectory.isEmpty() &&
        WLReaderHandOver::handOver(arguments.dictionaryPath, arguments.word))
        return 0;

    const QByteArray window = windowProgram();
    if (window.isEmpty()) {
        std::fprintf(stderr, "wlreader: the window program (wlreader-window) is missing beside %s and in %s\n",
                     qPrintable(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))), WL_WINDOW_FROM_BIN);
        return 1;
    }
    // The same arguments and name (the window's WM_CLASS comes from it);
    // the same process, so whoever started wlreader can signal the window.
    ::execv(window.constData(), argv);
    std::fprintf(stderr, "wlreader: cannot start %s: %s\n", window.constData(), std::strerror(errno));
    return 1;
}

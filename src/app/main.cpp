// wlreader: the dictionary reader's window.
#include "WLLocalization.h"
#include "WLReaderShell.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

struct Arguments {
    WLReaderShell::Options options;
    bool help = false;
    bool version = false;
    QString error;
};

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Reads a dictionary in a phone-shaped window: the headword index, search as "
                       "you type, entries with pictures and sounds, bookmarks and history.\n\n"
                       "Example: wlreader --dictionary ~/dictionaries/wn"));
    parser.addOption({QStringLiteral("dictionary"),
                      QStringLiteral("The dictionary: a bundle folder, or the name of an installed "
                                     "one (default: $WL_DICTIONARY, else the one used last, else "
                                     "the demo dictionary)."),
                      QStringLiteral("DIR|NAME")});
    parser.addOption({QStringLiteral("screenshots"),
                      QStringLiteral("Save a picture of each tab into DIR, print their paths and "
                                     "end (use with QT_QPA_PLATFORM=offscreen)."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("size"),
                      QStringLiteral("The window's size in logical pixels (default 390x760, at "
                                     "least 320x480)."),
                      QStringLiteral("WxH")});
    parser.addOption({QStringLiteral("verbose"), QStringLiteral("Print start-up milestones.")});
    parser.addPositionalArgument(
        QStringLiteral("WORD"),
        QStringLiteral("Show the entry of WORD's first whole-word match, else search for WORD. "
                       "A reader already open on the dictionary shows it instead, and this "
                       "one ends."),
        QStringLiteral("[WORD]"));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")});
    parser.addOption({QStringLiteral("version"), QStringLiteral("Show the version.")});
}

// Read before the application object exists, so --help and --version
// work without a display.
Arguments parse(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    describe(parser);
    Arguments arguments;
    if (!parser.parse(list)) {
        arguments.error = parser.errorText();
        return arguments;
    }
    arguments.help = parser.isSet(QStringLiteral("help"));
    arguments.version = parser.isSet(QStringLiteral("version"));
    arguments.options.dictionaryPath = parser.value(QStringLiteral("dictionary"));
    arguments.options.screenshotDirectory = parser.value(QStringLiteral("screenshots"));
    arguments.options.verbose = parser.isSet(QStringLiteral("verbose"));
    if (parser.isSet(QStringLiteral("size"))) {
        const QStringList size = parser.value(QStringLiteral("size")).split(u'x');
        bool widthOk = false;
        bool heightOk = false;
        const int width = size.value(0).toInt(&widthOk);
        const int height = size.value(1).toInt(&heightOk);
        if (size.size() != 2 || !widthOk || !heightOk || width < 320 || height < 480 ||
            width > 10000 || height > 10000)
            arguments.error = QStringLiteral("--size wants WIDTHxHEIGHT of at least 320x480, as 390x760");
        else
            arguments.options.windowSize = QSize(width, height);
    }
    // "wlreader ice cream" looks up "ice cream".
    arguments.options.word = parser.positionalArguments().join(u' ').simplified();
    return arguments;
}

QString helpText()
{
    QCommandLineParser parser;
    describe(parser);
    QString text = parser.helpText();
    // The parser names the program from the application object, which does
    // not exist yet.
    const qsizetype usage = text.indexOf(QLatin1String("Usage: "));
    const qsizetype end = text.indexOf(u' ', usage + 7);
    if (usage >= 0 && end > usage)
        text.replace(usage + 7, end - usage - 7, QStringLiteral("wlreader"));
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    const Arguments arguments = parse(argc, argv);
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "wlreader: %s\nTry 'wlreader --help'.\n", qPrintable(arguments.error));
        return 2;
    }
    if (arguments.help) {
        std::printf("%s", qPrintable(helpText()));
        return 0;
    }
    if (arguments.version) {
        std::printf("wlreader %s\n", WL_VERSION);
        return 0;
    }

    // A reader already open on this dictionary takes the word; this one
    // ends before it starts a web engine.
    if (arguments.options.screenshotDirectory.isEmpty() &&
        WLReaderShell::handOverToRunningReader(arguments.options))
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
        if (!shell.start(arguments.options)) {
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
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    return code;
}

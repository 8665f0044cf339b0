#include "WLReaderCommandLine.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QStringList>

namespace {

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

} // namespace

WLReaderCommandLine WLReaderCommandLine::parse(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    describe(parser);
    WLReaderCommandLine arguments;
    if (!parser.parse(list)) {
        arguments.error = parser.errorText();
        return arguments;
    }
    arguments.help = parser.isSet(QStringLiteral("help"));
    arguments.version = parser.isSet(QStringLiteral("version"));
    arguments.dictionaryPath = parser.value(QStringLiteral("dictionary"));
    arguments.screenshotDirectory = parser.value(QStringLiteral("screenshots"));
    arguments.verbose = parser.isSet(QStringLiteral("verbose"));
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
            arguments.windowSize = QSize(width, height);
    }
    // "wlreader ice cream" looks up "ice cream".
    arguments.word = parser.positionalArguments().join(u' ').simplified();
    return arguments;
}

QString WLReaderCommandLine::helpText()
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

int WLReaderCommandLine::answerWithoutWindow() const
{
    if (!error.isEmpty()) {
        std::fprintf(stderr, "wlreader: %s\nTry 'wlreader --help'.\n", qPrintable(error));
        return 2;
    }
    if (help) {
        std::printf("%s", qPrintable(helpText()));
        return 0;
    }
    if (version) {
        std::printf("wlreader %s\n", WL_VERSION);
        return 0;
    }
    return -1;
}

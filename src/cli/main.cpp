#include "WLBundle.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLSqlite.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void printHelp(std::FILE *to)
{
    QString text = QStringLiteral(
        "usage: wldict [--dictionary DIR] [--json] COMMAND [ARGUMENTS]\n"
        "\n"
        "Reads and builds WL Reader dictionaries.\n"
        "\n"
        "Options:\n"
        "  --dictionary DIR  the bundle to read (default: $WL_DICTIONARY, else the demo)\n"
        "  --json            machine-readable output\n"
        "  --help            this text\n"
        "\n"
        "Commands:\n");
    // Summaries in one column; a call too long for it puts its summary on
    // the next line.
    constexpr qsizetype kColumn = 28;
    const QList<WLCommand *> commands = WLCommandRegistry::all();
    for (const WLCommand *command : commands) {
        const QString call = (command->name() + QLatin1Char(' ') + command->arguments()).trimmed();
        if (call.size() <= kColumn)
            text +=
                QStringLiteral("  %1  %2\n").arg(call.leftJustified(kColumn), command->summary());
        else
            text += QStringLiteral("  %1\n  %2  %3\n")
                        .arg(call, QString(kColumn, QLatin1Char(' ')), command->summary());
    }
    std::fputs(text.toUtf8().constData(), to);
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "wldict: %s\n", message.toUtf8().constData());
    std::fputs("Try 'wldict --help'.\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    wlConfigureSqliteForShortRuns();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wldict"));

    // Global options may stand anywhere before "--"; everything else goes to
    // the command.
    QString dictionary;
    bool json = false;
    QStringList rest;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            rest += arguments.mid(i + 1);
            break;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            printHelp(stdout);
            return 0;
        }
        if (argument == QLatin1String("--json")) {
            json = true;
        } else if (argument == QLatin1String("--dictionary")) {
            if (++i >= arguments.size())
                return usageError(QStringLiteral("--dictionary needs a folder"));
            dictionary = arguments[i];
        } else if (argument.startsWith(QLatin1String("--dictionary="))) {
            dictionary = argument.mid(int(sizeof "--dictionary=") - 1);
        } else {
            rest.append(argument);
        }
    }
    if (rest.isEmpty())
        return usageError(QStringLiteral("no command given"));
    WLCommand *command = WLCommandRegistry::find(rest.first());
    if (!command)
        return usageError(QStringLiteral("unknown command \"%1\"").arg(rest.first()));

    if (dictionary.isEmpty())
        dictionary = WLBundle::defaultBundlePath();
    WLCliContext context(dictionary, json);
    return command->run(context, rest.mid(1));
}

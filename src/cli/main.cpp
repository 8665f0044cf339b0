#include "WLBundle.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLCommandHelp.h"
#include "WLDictionaryFolders.h"
#include "WLSearchSession.h"
#include "WLSqlite.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "wldict: %s\n", message.toUtf8().constData());
    std::fputs("Try 'wldict --help'.\n", stderr);
    return 2;
}

void print(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

QStringList commandNames()
{
    QStringList names;
    const QList<WLCommand *> commands = WLCommandRegistry::all();
    for (const WLCommand *command : commands)
        names.append(command->name());
    return names;
}

QStringList globalOptionNames()
{
    QStringList names;
    const QList<WLCommandOption> options = WLCommandHelp::globalOptions();
    for (const WLCommandOption &option : options)
        names.append(option.name);
    return names;
}

} // namespace

int main(int argc, char *argv[])
{
    wlConfigureSqliteForShortRuns();
    WLSearchSession::setSearchOnCallingThread(true);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wldict"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WL_VERSION));

    // Global options may stand anywhere before "--"; everything else goes to
    // the command. --help before the command is the program's, after it
    // the command's.
    QString dictionary;
    bool json = false;
    bool help = false;
    QStringList rest;
    QStringList afterSeparator;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            afterSeparator = arguments.mid(i + 1);
            break;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            if (rest.isEmpty()) {
                print(WLCommandHelp::programHelp(QCoreApplication::applicationVersion()));
                return 0;
            }
            help = true;
        } else if (argument == QLatin1String("--version")) {
            print(QStringLiteral("wldict %1\n").arg(QCoreApplication::applicationVersion()));
            return 0;
        } else if (argument == QLatin1String("--json")) {
            json = true;
        } else if (argument == QLatin1String("--dictionary")) {
            if (++i >= arguments.size())
                return usageError(QStringLiteral("--dictionary needs a folder or a name"));
            dictionary = arguments[i];
        } else if (argument.startsWith(QLatin1String("--dictionary="))) {
            dictionary = argument.mid(int(sizeof "--dictionary=") - 1);
        } else {
            rest.append(argument);
        }
    }
    if (rest.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString name = rest.first();
    WLCommand *command = WLCommandRegistry::find(name);
    if (!command && name.startsWith(QLatin1Char('-'))) {
        return usageError(QStringLiteral("unknown option \"%1\"%2")
                              .arg(name, WLCommandHelp::didYouMean(name, globalOptionNames())));
    }
    if (!command) {
        return usageError(QStringLiteral("unknown command \"%1\"%2")
                              .arg(name, WLCommandHelp::didYouMean(name, commandNames())));
    }
    if (help) {
        print(WLCommandHelp::commandHelp(*command));
        return 0;
    }

    if (dictionary.isEmpty())
        dictionary = WLBundle::defaultBundlePath();
    WLCliContext context(WLDictionaryFolders::resolve(dictionary), json);
    const QStringList commandArguments = rest.mid(1);
    const QString unknown = WLCommandHelp::unknownOption(*command, commandArguments);
    if (!unknown.isEmpty()) {
        return context.usage(*command,
                             QStringLiteral("unknown option \"%1\"%2")
                                 .arg(unknown, WLCommandHelp::didYouMean(
                                                   unknown, WLCommandHelp::optionNames(*command))));
    }
    return command->run(context, commandArguments + afterSeparator);
}

#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class WLCliContext;

// An option of a command: wldict refuses any other, and its help and the
// manual page list these.
struct WLCommandOption
{
    QString name;  // "--trace"
    QString value; // what follows it, "TEXT", or empty for a switch
    QString help;
};

// One subcommand of wldict. Each lives in a file of its own and registers
// itself with WL_REGISTER_COMMAND, so adding a command touches no other.
class WLCommand
{
public:
    virtual ~WLCommand() = default;

    virtual QString name() const = 0;
    // The arguments after the name, for the usage line: "[--large] ID...".
    virtual QString arguments() const = 0;
    // One line for the list of commands, at most 60 characters.
    virtual QString summary() const = 0;
    // What "wldict COMMAND --help" says: a paragraph or two, and calls that
    // show the command at work.
    virtual QString description() const = 0;
    virtual QStringList examples() const = 0;
    virtual QList<WLCommandOption> options() const { return {}; }
    // False for commands that never read the dictionary (build, the user's
    // collections); the dictionary is opened only when a command asks.
    virtual bool needsDictionary() const { return true; }
    // The exit status: 0 done, 1 failed, 2 wrong use.
    virtual int run(WLCliContext &context, const QStringList &arguments) = 0;
};

// The commands, in name order.
namespace WLCommandRegistry {

bool add(std::unique_ptr<WLCommand> command);
WLCommand *find(const QString &name);
QList<WLCommand *> all();

} // namespace WLCommandRegistry

#define WL_REGISTER_COMMAND(Class)                                                                 \
    namespace {                                                                                    \
    const bool registered##Class = WLCommandRegistry::add(std::make_unique<Class>());              \
    }

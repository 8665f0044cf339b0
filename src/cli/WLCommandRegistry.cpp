#include "WLCommand.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace {

// Built on first use: commands register from static initialisers, whose
// order between files is unknown.
std::vector<std::unique_ptr<WLCommand>> &commands()
{
    static std::vector<std::unique_ptr<WLCommand>> list;
    return list;
}

} // namespace

bool WLCommandRegistry::add(std::unique_ptr<WLCommand> command)
{
    commands().push_back(std::move(command));
    return true;
}

WLCommand *WLCommandRegistry::find(const QString &name)
{
    for (const auto &command : commands()) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QList<WLCommand *> WLCommandRegistry::all()
{
    QList<WLCommand *> list;
    for (const auto &command : commands())
        list.append(command.get());
    std::sort(list.begin(), list.end(),
              [](const WLCommand *a, const WLCommand *b) { return a->name() < b->name(); });
    return list;
}

#include "WLCommandHelp.h"

#include "WLCommand.h"
#include "WLTextLayout.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Help is read in a terminal of at least this width.
constexpr int kWidth = 80;

// "LEAD  text…" with the text wrapped and its continuation lines starting
// under its first line.
QString hanging(const QString &lead, const QString &text, int column)
{
    const int textColumn = qMax(column, int(lead.size()) + 2);
    const QString body = WLTextLayout::wrapped(text, kWidth - textColumn)
                             .replace(u'\n', u'\n' + QString(textColumn, u' '));
    return lead.leftJustified(textColumn) + body + u'\n';
}

QString item(const QString &label, const QString &text, int column)
{
    return hanging(u"  "_s + label, text, column);
}

// A usage line, broken between its arguments but not inside brackets.
QString usageLine(const QString &lead, const QString &form)
{
    QString glued = form;
    int depth = 0;
    for (QChar &c : glued) {
        if (c == u'[')
            ++depth;
        else if (c == u']')
            --depth;
        else if (c == u' ' && depth > 0)
            c = QChar(0xa0);
    }
    if (glued.isEmpty())
        return lead + u'\n';
    const int column = int(lead.size()) + 1;
    const QString body = WLTextLayout::wrapped(glued, kWidth - column)
                             .replace(u'\n', u'\n' + QString(column, u' '))
                             .replace(QChar(0xa0), u' ');
    return lead + u' ' + body + u'\n';
}

QString optionLabel(const WLCommandOption &option)
{
    return option.value.isEmpty() ? option.name : option.name + u' ' + option.value;
}

QString optionList(const QList<WLCommandOption> &options)
{
    int column = 0;
    for (const WLCommandOption &option : options)
        column = qMax(column, int(optionLabel(option).size()) + 4);
    QString text;
    for (const WLCommandOption &option : options)
        text += item(optionLabel(option), option.help, column);
    return text;
}

QString exampleList(const QStringList &examples)
{
    QString text;
    for (const QString &example : examples)
        text += u"  "_s + example + u'\n';
    return text;
}

// "A | B [C | D]" is the forms A and B [C | D]: only a bar outside brackets
// parts two ways of calling.
QStringList alternatives(const QString &arguments)
{
    QStringList forms;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QChar c = arguments[i];
        if (c == u'[')
            ++depth;
        else if (c == u']')
            --depth;
        else if (c == u'|' && depth == 0) {
            forms.append(arguments.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    forms.append(arguments.mid(start).trimmed());
    return forms;
}

// Optimal string alignment distance: insertions, deletions, substitutions
// and swaps of neighbours ("histroy") each count one.
int editDistance(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<int>> d(size_t(n + 1), std::vector<int>(size_t(m + 1)));
    for (qsizetype i = 0; i <= n; ++i)
        d[size_t(i)][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const size_t x = size_t(i);
            const size_t y = size_t(j);
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[x][y] = std::min({d[x - 1][y] + 1, d[x][y - 1] + 1, d[x - 1][y - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[x][y] = std::min(d[x][y], d[x - 2][y - 2] + 1);
        }
    }
    return d[size_t(n)][size_t(m)];
}

} // namespace

QList<WLCommandOption> WLCommandHelp::globalOptions()
{
    return {
        {u"--dictionary"_s, u"DIR|NAME"_s,
         u"the dictionary to read: a bundle folder, or the name of an installed dictionary "
         "(default: $WL_DICTIONARY, else the demo)"_s},
        {u"--json"_s, {}, u"machine-readable output on standard output"_s},
        {u"--help"_s, {}, u"this text; after a command, that command's help"_s},
        {u"--version"_s, {}, u"the version of wldict"_s},
    };
}

QString WLCommandHelp::programHelp(const QString &version)
{
    QString text = u"usage: wldict [--dictionary DIR|NAME] [--json] COMMAND [ARGUMENTS]\n"
                   "       wldict COMMAND --help\n\n"
                   "Looks words up in WL Reader dictionaries, searches and inspects them, and\n"
                   "builds them from source folders or dictd databases (wldict %1).\n\n"
                   "Options:\n"_s.arg(version);
    text += optionList(globalOptions());
    text += u"\nCommands:\n"_s;
    const QList<WLCommand *> commands = WLCommandRegistry::all();
    int column = 0;
    for (const WLCommand *command : commands)
        column = qMax(column, int(command->name().size()) + 4);
    for (const WLCommand *command : commands)
        text += item(command->name(), command->summary(), column);
    text += u"\nExamples:\n"_s;
    text += exampleList({u"wldict lookup apple"_s, u"wldict --dictionary wn search 'bank*'"_s,
                         u"wldict build --from-dictd wn.index wn.dict.dz wn"_s});
    text += u"\nThe exit status is 0 on success, 1 when the operation fails and 2 on wrong\n"
            "use. 'wldict COMMAND --help' tells more about a command, 'man wldict' about\n"
            "them all.\n"_s;
    return text;
}

QString WLCommandHelp::commandHelp(const WLCommand &command)
{
    QString text;
    const QStringList forms = alternatives(command.arguments());
    for (qsizetype i = 0; i < forms.size(); ++i) {
        const QString lead =
            u"%1 wldict %2"_s.arg(i == 0 ? u"usage:"_s : u"   or:"_s, command.name());
        text += usageLine(lead, forms[i]);
    }
    text += u'\n';
    text += WLTextLayout::wrapped(command.description(), kWidth - 2) + u'\n';
    const QList<WLCommandOption> options = command.options();
    if (!options.isEmpty())
        text += u"\nOptions:\n"_s + optionList(options);
    text += u"\nExamples:\n"_s + exampleList(command.examples());
    text += u"\nThe global options --dictionary and --json may stand anywhere before \"--\";\n"
            "see 'wldict --help'.\n"_s;
    return text;
}

QStringList WLCommandHelp::closeNames(const QString &typed, const QStringList &candidates)
{
    const QString wanted = typed.toLower();
    if (wanted.isEmpty())
        return {};
    const int allowed = wanted.size() <= 3 ? 1 : 2;
    int best = allowed + 1;
    QStringList closest;
    for (const QString &candidate : candidates) {
        const QString name = candidate.toLower();
        // A beginning counts as closest of all: "hist" means "history". Names
        // whose lengths differ by more than the edits allowed are not
        // measured (a long argument would cost its length squared).
        const bool measured = qAbs(name.size() - wanted.size()) <= allowed;
        const int distance = name.startsWith(wanted) ? 0
                             : measured              ? editDistance(wanted, name)
                                                     : allowed + 1;
        if (distance < best) {
            best = distance;
            closest = {candidate};
        } else if (distance == best) {
            closest.append(candidate);
        }
    }
    return best <= allowed ? closest : QStringList{};
}

QString WLCommandHelp::didYouMean(const QString &typed, const QStringList &candidates)
{
    QStringList names = closeNames(typed, candidates);
    if (names.isEmpty())
        return {};
    for (QString &name : names)
        name = u"'"_s + name + u"'"_s;
    const QString last = names.takeLast();
    return u" (did you mean %1?)"_s.arg(names.isEmpty() ? last
                                                        : names.join(u", "_s) + u" or "_s + last);
}

QStringList WLCommandHelp::optionNames(const WLCommand &command)
{
    QStringList names;
    for (const WLCommandOption &option : command.options() + globalOptions())
        names.append(option.name);
    return names;
}

QString WLCommandHelp::unknownOption(const WLCommand &command, const QStringList &arguments)
{
    const QList<WLCommandOption> options = command.options();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--"_s)
            return {};
        if (!argument.startsWith(u"--"_s))
            continue;
        const auto known =
            std::find_if(options.begin(), options.end(),
                         [&](const WLCommandOption &option) { return option.name == argument; });
        if (known == options.end())
            return argument;
        // Its value may look like an option: "--title --".
        if (!known->value.isEmpty())
            ++i;
    }
    return {};
}

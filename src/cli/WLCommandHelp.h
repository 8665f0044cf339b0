#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class WLCommand;
struct WLCommandOption;

// The texts of "wldict --help" and "wldict COMMAND --help", and what to
// say when a command or option is misspelt.
namespace WLCommandHelp {

// The options every command takes, wherever they stand before "--".
QList<WLCommandOption> globalOptions();

QString programHelp(const QString &version);
QString commandHelp(const WLCommand &command);

// The candidates closest to what was typed: those it begins, else those
// one or two edits away (one for names of up to three characters); none
// when nothing is close.
QStringList closeNames(const QString &typed, const QStringList &candidates);
// " (did you mean 'search'?)", or empty when nothing is close.
QString didYouMean(const QString &typed, const QStringList &candidates);

// The first argument before "--" that looks like an option ("--name") but
// is none of the command's or the global ones; empty when there is none.
QString unknownOption(const WLCommand &command, const QStringList &arguments);
// The names of the command's options and the global ones.
QStringList optionNames(const WLCommand &command);

} // namespace WLCommandHelp

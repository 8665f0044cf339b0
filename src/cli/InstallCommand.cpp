#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictionaryFolders.h"
#include "WLDictionaryInstaller.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

namespace {

class InstallCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("install"); }
    QString arguments() const override { return QStringLiteral("[--force] [--name NAME] BUNDLE"); }
    QString summary() const override { return QStringLiteral("install a compiled dictionary for this user"); }
    QString description() const override
    {
        return QStringLiteral(
            "Copies a compiled bundle into $XDG_DATA_HOME/wlreader/dictionaries/NAME "
            "(~/.local/share/...), where wldict and wlreader find it by NAME. NAME is the "
            "bundle folder's name unless --name gives another. The bundle must open; it is "
            "copied under a hidden name first and put in place in one step, so an "
            "interrupted install leaves the dictionary that was there whole. An installed "
            "dictionary of the same name is replaced only with --force.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict install wn"),
                QStringLiteral("wldict install --force --name wordnet build/dictionaries/wn"),
                QStringLiteral("wlreader --dictionary wordnet")};
    }
    QList<WLCommandOption> options() const override
    {
        return {{QStringLiteral("--force"), {}, QStringLiteral("replace an installed dictionary of that name")},
                {QStringLiteral("--name"), QStringLiteral("NAME"),
                 QStringLiteral("install under this name instead of the folder's")}};
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        bool force = false;
        QString name;
        QStringList rest;
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            if (arguments.at(i) == QLatin1String("--force")) {
                force = true;
            } else if (arguments.at(i) == QLatin1String("--name")) {
                if (++i >= arguments.size())
                    return context.usage(*this, QStringLiteral("--name needs a NAME"));
                name = arguments.at(i);
            } else {
                rest.append(arguments.at(i));
            }
        }
        if (rest.size() != 1)
            return context.usage(*this, QStringLiteral("takes one BUNDLE"));
        if (!name.isEmpty() && !WLDictionaryInstaller::isValidName(name))
            return context.usage(*this, QStringLiteral("\"%1\" cannot name a dictionary").arg(name));
        const WLDictionaryInstaller::Result result = WLDictionaryInstaller::install(rest.first(), name, force);
        if (!result.ok)
            return context.fail(result.error);
        if (context.json())
            context.writeJson(QJsonObject{{QStringLiteral("path"), result.path}});
        else
            context.writeLine(QStringLiteral("installed %1").arg(QDir::toNativeSeparators(result.path)));
        return 0;
    }
};

class ListCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("list"); }
    QString arguments() const override { return {}; }
    QString summary() const override { return QStringLiteral("the installed dictionaries"); }
    QString description() const override
    {
        return QStringLiteral(
            "Lists the dictionaries installed in $XDG_DATA_HOME/wlreader/dictionaries and in "
            "wlreader/dictionaries under each of $XDG_DATA_DIRS: the name --dictionary takes, "
            "the title, and where the bundle is. A name installed twice is found in the "
            "user's folder first; the other is marked as hidden by it.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict list"), QStringLiteral("wldict --json list")};
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (!arguments.isEmpty())
            return context.usage(*this, QStringLiteral("takes no arguments"));
        const QList<WLDictionaryInstaller::Installed> installed = WLDictionaryInstaller::installed();
        if (context.json()) {
            QJsonArray array;
            for (const WLDictionaryInstaller::Installed &entry : installed) {
                array.append(QJsonObject{{QStringLiteral("name"), entry.name},
                                         {QStringLiteral("title"), entry.title},
                                         {QStringLiteral("identifier"), entry.identifier},
                                         {QStringLiteral("path"), entry.path},
                                         {QStringLiteral("user"), entry.user},
                                         {QStringLiteral("hidden"), entry.shadowed}});
            }
            context.writeJson(array);
            return 0;
        }
        if (installed.isEmpty()) {
            context.writeLine(QStringLiteral("No dictionaries are installed; wldict install BUNDLE installs one."));
            return 0;
        }
        QList<QStringList> rows;
        for (const WLDictionaryInstaller::Installed &entry : installed) {
            rows.append({entry.name + (entry.shadowed ? QStringLiteral(" (hidden)") : QString()),
                         entry.title, QDir::toNativeSeparators(entry.path)});
        }
        context.writeTable(rows);
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(InstallCommand)
WL_REGISTER_COMMAND(ListCommand)

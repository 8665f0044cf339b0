#include "ImportDictdCommand.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictionaryCompiler.h"

#include <QJsonObject>

namespace {

class BuildCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("build"); }
    QString arguments() const override
    {
        return QStringLiteral("SOURCE OUTDIR | --from-dictd [OPTIONS] NAME.index NAME.dict[.dz] "
                              "OUTDIR");
    }
    QString summary() const override
    {
        return QStringLiteral("compile a source folder or a dictd database into a bundle");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Compiles a source folder (manifest.json and entries.jsonl, described in "
            "docs/SOURCE_FORMAT.md) into the bundle folder OUTDIR that the reader opens. With "
            "--from-dictd the input is a dictd database, its .index and .dict or .dict.dz "
            "files, converted first in a temporary folder beside OUTDIR (import-dictd does "
            "that step alone). A build that fails leaves no OUTDIR.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict build dictionaries/demo demo"),
                QStringLiteral("wldict build --from-dictd --language en wn.index wn.dict.dz wn")};
    }
    QList<WLCommandOption> options() const override
    {
        return {{QStringLiteral("--from-dictd"), {},
                 QStringLiteral("the input is a dictd database")},
                {QStringLiteral("--title"), QStringLiteral("TEXT"),
                 QStringLiteral("with --from-dictd: the title, instead of the database's own")},
                {QStringLiteral("--language"), QStringLiteral("LOCALE"),
                 QStringLiteral("with --from-dictd: the ICU locale whose collation orders the "
                                "headwords, such as en or de")}};
    }

    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (!arguments.isEmpty() && arguments.first() == QLatin1String("--from-dictd"))
            return wlBuildFromDictd(context, *this, arguments.mid(1));
        if (arguments.size() != 2)
            return context.usage(*this,
                                 QStringLiteral("takes a source folder and an output folder"));
        QString error;
        if (!WLDictionaryCompiler::build(arguments[0], arguments[1], &error))
            return context.fail(error);
        if (context.json())
            context.writeJson(QJsonObject{{QStringLiteral("bundle"), arguments[1]}});
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(BuildCommand)

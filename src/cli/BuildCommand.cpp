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
        return QStringLiteral("SOURCE OUTDIR | --from-dictd [import-dictd options] NAME.index "
                              "NAME.dict[.dz] OUTDIR");
    }
    QString summary() const override
    {
        return QStringLiteral("compile a source folder into a bundle (see docs/SOURCE_FORMAT.md)");
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

#include "ImportDictdCommand.h"
#include "ImportStarDictCommand.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictionaryCompiler.h"
#include "WLProgressPrinter.h"

#include <QElapsedTimer>
#include <QJsonObject>

#include <cstdio>

namespace {

class BuildCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("build"); }
    QString arguments() const override
    {
        return QStringLiteral("[--quiet] SOURCE OUTDIR | --from-dictd [import-dictd options] "
                              "NAME.index NAME.dict[.dz] OUTDIR | --from-stardict "
                              "[import-stardict options] NAME.ifo OUTDIR");
    }
    QString summary() const override
    {
        return QStringLiteral("compile a source folder, dictd or StarDict into a bundle");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Compiles a source folder (manifest.json and entries.jsonl, described in "
            "docs/SOURCE_FORMAT.md) into the bundle folder OUTDIR that the reader opens. With "
            "--from-dictd the input is a dictd database, its .index and .dict or .dict.dz "
            "files, converted first in a temporary folder beside OUTDIR (import-dictd does "
            "that step alone); with --from-stardict it is a StarDict dictionary, its .ifo "
            "file with the files beside it (import-stardict does that step alone). A build "
            "that fails leaves no OUTDIR.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict build dictionaries/demo demo"),
                QStringLiteral("wldict build --from-dictd --language en wn.index wn.dict.dz wn"),
                QStringLiteral("wldict build --from-stardict --language fr XMLittre.ifo littre")};
    }
    QList<WLCommandOption> options() const override
    {
        return {{QStringLiteral("--from-dictd"), {},
                 QStringLiteral("the input is a dictd database")},
                {QStringLiteral("--from-stardict"), {},
                 QStringLiteral("the input is a StarDict dictionary")},
                {QStringLiteral("--quiet"), {},
                 QStringLiteral("no progress on a terminal, only the summary")},
                {QStringLiteral("--title"), QStringLiteral("TEXT"),
                 QStringLiteral("with --from-dictd or --from-stardict: the title, instead of "
                                "the dictionary's own")},
                {QStringLiteral("--language"), QStringLiteral("LOCALE"),
                 QStringLiteral("with --from-dictd or --from-stardict: the ICU locale whose "
                                "collation orders the headwords, such as en or de")}};
    }

    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        // --from-dictd and --from-stardict may come anywhere among the options.
        const bool dictd = arguments.contains(QStringLiteral("--from-dictd"));
        const bool stardict = arguments.contains(QStringLiteral("--from-stardict"));
        if (dictd && stardict)
            return context.usage(*this, QStringLiteral("takes --from-dictd or --from-stardict, "
                                                       "not both"));
        if (stardict) {
            QStringList rest = arguments;
            rest.removeOne(QStringLiteral("--from-stardict"));
            return wlBuildFromStarDict(context, *this, rest);
        }
        if (dictd) {
            QStringList rest = arguments;
            rest.removeOne(QStringLiteral("--from-dictd"));
            return wlBuildFromDictd(context, *this, rest);
        }
        QStringList folders = arguments;
        const bool quiet = folders.removeAll(QStringLiteral("--quiet")) > 0;
        if (folders.size() != 2)
            return context.usage(*this,
                                 QStringLiteral("takes a source folder and an output folder"));
        return wlRunBuild(context, folders[0], folders[1], quiet, {});
    }
};

} // namespace

int wlRunBuild(WLCliContext &context, const QString &source, const QString &output, bool quiet,
               QJsonObject summary)
{
    QElapsedTimer timer;
    timer.start();
    WLProgressPrinter printer(stderr, !quiet && WLProgressPrinter::isTerminal(stderr));
    QString error;
    WLBuildSummary built;
    const bool ok = WLDictionaryCompiler::build(source, output, &error, &printer, &built);
    printer.finish();
    if (!ok)
        return context.fail(error);
    const qint64 elapsed = timer.elapsed();
    if (context.json()) {
        summary.insert(QStringLiteral("bundle"), output);
        summary.insert(QStringLiteral("headwords"), double(built.headwords));
        summary.insert(QStringLiteral("fragments"), double(built.fragments));
        summary.insert(QStringLiteral("storedFragments"), double(built.storedFragments));
        summary.insert(QStringLiteral("bytes"), double(built.bytes));
        summary.insert(QStringLiteral("seconds"), double(elapsed) / 1000.0);
        context.writeJson(summary);
    } else {
        std::fprintf(stderr, "%s\n",
                     WLProgressPrinter::buildSummary(output, built, elapsed).toUtf8().constData());
    }
    return 0;
}

WL_REGISTER_COMMAND(BuildCommand)

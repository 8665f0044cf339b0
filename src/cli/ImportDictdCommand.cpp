#include "ImportDictdCommand.h"

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictdImporter.h"
#include "WLImportCall.h"
#include "WLProgressPrinter.h"

#include <QJsonObject>


using namespace Qt::StringLiterals;

namespace {

// The import with its progress; its summary line, or nothing after a
// message.
std::optional<QString> runImport(WLCliContext &context, const WLImportCall &call,
                                 const QString &sourceDir, QJsonObject *summary)
{
    WLProgressPrinter printer(stderr, !call.quiet && WLProgressPrinter::isTerminal(stderr));
    WLDictdImporter importer(call.files[0], call.files[1]);
    importer.setTitle(call.title);
    importer.setLanguage(call.language);
    importer.setProgress(&printer);
    const bool ok = importer.writeSource(sourceDir);
    printer.finish();
    if (!ok) {
        context.fail(importer.errorString());
        return std::nullopt;
    }
    *summary = QJsonObject{
        {u"title"_s, importer.title()},
        {u"headwords"_s, double(importer.headwordCount())},
        {u"definitions"_s, double(importer.definitionCount())},
        {u"sharedDefinitions"_s, double(importer.sharedCount())},
        {u"links"_s, double(importer.linkCount())},
        {u"referencesWithoutTarget"_s, double(importer.unresolvedCount())},
        {u"indexLinesWithoutHeadword"_s, double(importer.skippedCount())},
    };
    // The title is the database's own text: it takes no part in the format.
    return importer.title() +
           u": %1 headwords, %2 definitions, %3 links, %4 references without a target, "
           "%5 definitions shared"_s.arg(importer.headwordCount())
               .arg(importer.definitionCount())
               .arg(importer.linkCount())
               .arg(importer.unresolvedCount())
               .arg(importer.sharedCount());
}

// [--quiet] [--title TEXT] [--language LOCALE] NAME.index NAME.dict[.dz]
// OUT.
std::optional<WLImportCall> parseCall(const QStringList &arguments, QString *problem)
{
    return WLImportCall::parse(arguments, 3,
                               u"takes an index file, a data file and an output folder"_s, problem);
}

class ImportDictdCommand : public WLCommand
{
public:
    QString name() const override { return u"import-dictd"_s; }
    QString arguments() const override
    {
        return u"[--quiet] [--title TEXT] [--language LOCALE] NAME.index NAME.dict[.dz] "
               "SOURCE_DIR"_s;
    }
    QString summary() const override
    {
        return u"convert a dictd database into a source folder for build"_s;
    }
    QString description() const override
    {
        return u"Converts a dictd database, its .index and .dict or .dict.dz files, into a "
               "source folder for build, to be edited before it is built. Cross-references "
               "{word} become links; the counts of headwords, definitions, links and "
               "references without a target go to standard error."_s;
    }
    QStringList examples() const override
    {
        return {u"wldict import-dictd --title WordNet wn.index wn.dict.dz wn-source"_s};
    }
    QList<WLCommandOption> options() const override
    {
        return WLImportCall::options(u"en or de"_s);
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        QString problem;
        const std::optional<WLImportCall> call = parseCall(arguments, &problem);
        if (!call)
            return context.usage(*this, problem);
        return wlRunImport(context, call->files[2],
                           [&](const QString &sourceDir, QJsonObject *summary) {
                               return runImport(context, *call, sourceDir, summary);
                           });
    }
};

} // namespace

int wlBuildFromDictd(WLCliContext &context, const WLCommand &command, const QStringList &arguments)
{
    QString problem;
    const std::optional<WLImportCall> call = parseCall(arguments, &problem);
    if (!call)
        return context.usage(command, problem);
    return wlRunImportAndBuild(context, call->files[2], call->quiet, u".wldict-dictd"_s,
                               [&](const QString &sourceDir, QJsonObject *summary) {
                                   return runImport(context, *call, sourceDir, summary);
                               });
}

WL_REGISTER_COMMAND(ImportDictdCommand)

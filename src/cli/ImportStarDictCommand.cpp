#include "ImportStarDictCommand.h"

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLImportCall.h"
#include "WLProgressPrinter.h"
#include "WLStarDictImporter.h"

#include <QJsonObject>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// [--quiet] [--title TEXT] [--language LOCALE] NAME.ifo OUT.
std::optional<WLImportCall> parseCall(const QStringList &arguments, QString *problem)
{
    return WLImportCall::parse(arguments, 2, u"takes a .ifo file and an output folder"_s, problem);
}

// The import with its progress; its summary line, or nothing after a
// message.
std::optional<QString> runImport(WLCliContext &context, const WLImportCall &call,
                                 const QString &sourceDir, QJsonObject *summary)
{
    WLProgressPrinter printer(stderr, !call.quiet && WLProgressPrinter::isTerminal(stderr));
    WLStarDictImporter importer(call.files[0]);
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
        {u"synonyms"_s, double(importer.synonymCount())},
        {u"sharedDefinitions"_s, double(importer.sharedCount())},
        {u"links"_s, double(importer.linkCount())},
        {u"referencesWithoutTarget"_s, double(importer.unresolvedCount())},
        {u"pictures"_s, double(importer.pictureCount())},
        {u"sounds"_s, double(importer.soundCount())},
        {u"missingResources"_s, double(importer.missingResourceCount())},
        {u"removedAsUnsafe"_s, double(importer.removedCount())},
        {u"itemsNotShown"_s, double(importer.skippedItemCount())},
        {u"recordsWithoutHeadword"_s, double(importer.blankCount())},
    };
    QString line = importer.title() +
                   u": %1 headwords, %2 definitions, %3 synonyms, %4 links, %5 references "
                   "without a target, %6 definitions shared"_s.arg(importer.headwordCount())
                       .arg(importer.definitionCount())
                       .arg(importer.synonymCount())
                       .arg(importer.linkCount())
                       .arg(importer.unresolvedCount())
                       .arg(importer.sharedCount());
    if (importer.pictureCount() + importer.soundCount() + importer.missingResourceCount() > 0)
        line += u", %1 pictures, %2 sounds, %3 missing files"_s.arg(importer.pictureCount())
                    .arg(importer.soundCount())
                    .arg(importer.missingResourceCount());
    if (importer.removedCount() > 0)
        line += u", %1 unsafe elements or links removed"_s.arg(importer.removedCount());
    if (importer.skippedItemCount() > 0)
        line += u", %1 items not shown"_s.arg(importer.skippedItemCount());
    return line;
}

class ImportStarDictCommand : public WLCommand
{
public:
    QString name() const override { return u"import-stardict"_s; }
    QString arguments() const override
    {
        return u"[--quiet] [--title TEXT] [--language LOCALE] NAME.ifo SOURCE_DIR"_s;
    }
    QString summary() const override
    {
        return u"convert a StarDict dictionary into a source folder"_s;
    }
    QString description() const override
    {
        return u"Converts a StarDict dictionary, its .ifo with the .idx (or .idx.gz), "
               ".dict (or .dict.dz), .syn and res/ beside it, into a source folder for build, "
               "to be edited before it is built. SOURCE_DIR must be new or empty. Pictures and "
               "sounds of res/ that entries show go to its media folders; HTML is cleaned of "
               "anything that could run or load something. The counts go to standard error."_s;
    }
    QStringList examples() const override
    {
        return {u"wldict import-stardict --language fr XMLittre.ifo littre-source"_s};
    }
    QList<WLCommandOption> options() const override
    {
        return WLImportCall::options(u"en or fr"_s);
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        QString problem;
        const std::optional<WLImportCall> call = parseCall(arguments, &problem);
        if (!call)
            return context.usage(*this, problem);
        return wlRunImport(context, call->files[1],
                           [&](const QString &sourceDir, QJsonObject *summary) {
                               return runImport(context, *call, sourceDir, summary);
                           });
    }
};

} // namespace

int wlBuildFromStarDict(WLCliContext &context, const WLCommand &command,
                        const QStringList &arguments)
{
    QString problem;
    const std::optional<WLImportCall> call = parseCall(arguments, &problem);
    if (!call)
        return context.usage(command, problem);
    return wlRunImportAndBuild(context, call->files[1], call->quiet, u".wldict-stardict"_s,
                               [&](const QString &sourceDir, QJsonObject *summary) {
                                   return runImport(context, *call, sourceDir, summary);
                               });
}

WL_REGISTER_COMMAND(ImportStarDictCommand)

#include "ImportStarDictCommand.h"

#include "ImportDictdCommand.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLProgressPrinter.h"
#include "WLStarDictImporter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct ImportCall
{
    bool quiet = false;
    QString title;
    QString language;
    QString ifo;
    QString output;
};

// [--quiet] [--title TEXT] [--language LOCALE] NAME.ifo OUT; the message
// of a wrong call otherwise.
std::optional<ImportCall> parseCall(const QStringList &arguments, QString *problem)
{
    ImportCall call;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString *option = argument == u"--title"_s      ? &call.title
                          : argument == u"--language"_s ? &call.language
                                                        : nullptr;
        if (argument == u"--quiet"_s) {
            call.quiet = true;
        } else if (option) {
            if (++i >= arguments.size()) {
                *problem = u"%1 needs a value"_s.arg(argument);
                return std::nullopt;
            }
            *option = arguments[i];
        } else if (argument.startsWith(u"--"_s)) {
            *problem = u"unknown option %1"_s.arg(argument);
            return std::nullopt;
        } else {
            rest.append(argument);
        }
    }
    if (rest.size() != 2) {
        *problem = u"takes a .ifo file and an output folder"_s;
        return std::nullopt;
    }
    call.ifo = rest[0];
    call.output = rest[1];
    return call;
}

// The import with its progress; its summary line, or nothing after a
// message.
std::optional<QString> runImport(WLCliContext &context, const ImportCall &call,
                                 const QString &sourceDir, QJsonObject *summary)
{
    WLProgressPrinter printer(stderr, !call.quiet && WLProgressPrinter::isTerminal(stderr));
    WLStarDictImporter importer(call.ifo);
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

void printSummary(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
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
        return {{u"--quiet"_s, {}, u"no progress on a terminal, only the summary"_s},
                {u"--title"_s, u"TEXT"_s, u"the title, instead of the dictionary's own"_s},
                {u"--language"_s, u"LOCALE"_s,
                 u"the ICU locale whose collation orders the headwords, such as en or fr"_s}};
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        QString problem;
        const std::optional<ImportCall> call = parseCall(arguments, &problem);
        if (!call)
            return context.usage(*this, problem);
        QElapsedTimer timer;
        timer.start();
        QJsonObject summary;
        const std::optional<QString> line = runImport(context, *call, call->output, &summary);
        if (!line)
            return 1;
        if (context.json()) {
            summary.insert(u"source"_s, call->output);
            summary.insert(u"seconds"_s, double(timer.elapsed()) / 1000.0);
            context.writeJson(summary);
        } else {
            printSummary(*line + u"; source folder "_s + call->output + u" in "_s +
                         WLProgressPrinter::seconds(timer.elapsed()));
        }
        return 0;
    }
};

} // namespace

int wlBuildFromStarDict(WLCliContext &context, const WLCommand &command,
                        const QStringList &arguments)
{
    QString problem;
    const std::optional<ImportCall> call = parseCall(arguments, &problem);
    if (!call)
        return context.usage(command, problem);
    // Beside the bundle: the source is about as big, and the system's
    // temporary directory may be small.
    const QString parent = QFileInfo(call->output).absolutePath();
    if (!QDir().mkpath(parent))
        return context.fail(u"%1: cannot create the folder"_s.arg(parent));
    QTemporaryDir source(QDir(parent).filePath(u".wldict-stardict-XXXXXX"_s));
    if (!source.isValid())
        return context.fail(u"%1: no temporary folder: %2"_s.arg(parent, source.errorString()));
    QJsonObject summary;
    const std::optional<QString> line = runImport(context, *call, source.path(), &summary);
    if (!line)
        return 1;
    if (!context.json())
        printSummary(*line);
    return wlRunBuild(context, source.path(), call->output, call->quiet, summary);
}

WL_REGISTER_COMMAND(ImportStarDictCommand)

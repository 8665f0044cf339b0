#include "ImportDictdCommand.h"

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictdImporter.h"
#include "WLProgressPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct ImportCall
{
    bool quiet = false;
    QString title;
    QString language;
    QString index;
    QString data;
    QString output;
};

// [--quiet] [--title TEXT] [--language LOCALE] NAME.index NAME.dict[.dz]
// OUT; the message of a wrong call otherwise.
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
    if (rest.size() != 3) {
        *problem = u"takes an index file, a data file and an output folder"_s;
        return std::nullopt;
    }
    call.index = rest[0];
    call.data = rest[1];
    call.output = rest[2];
    return call;
}

// The import with its progress; its summary line, or nothing after a
// message.
std::optional<QString> runImport(WLCliContext &context, const ImportCall &call,
                                 const QString &sourceDir, QJsonObject *summary)
{
    WLProgressPrinter printer(stderr, !call.quiet && WLProgressPrinter::isTerminal(stderr));
    WLDictdImporter importer(call.index, call.data);
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

// Summaries go to standard error, so that standard output stays free for
// --json.
void printSummary(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
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
        return {{u"--quiet"_s, {}, u"no progress on a terminal, only the summary"_s},
                {u"--title"_s, u"TEXT"_s, u"the title, instead of the database's own"_s},
                {u"--language"_s, u"LOCALE"_s,
                 u"the ICU locale whose collation orders the headwords, such as en or de"_s}};
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

int wlBuildFromDictd(WLCliContext &context, const WLCommand &command, const QStringList &arguments)
{
    QString problem;
    const std::optional<ImportCall> call = parseCall(arguments, &problem);
    if (!call)
        return context.usage(command, problem);
    // The source folder sits beside the bundle: it is about as big, and the
    // system's temporary directory may be small.
    const QString parent = QFileInfo(call->output).absolutePath();
    if (!QDir().mkpath(parent))
        return context.fail(u"%1: cannot create the folder"_s.arg(parent));
    QTemporaryDir source(QDir(parent).filePath(u".wldict-dictd-XXXXXX"_s));
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

WL_REGISTER_COMMAND(ImportDictdCommand)

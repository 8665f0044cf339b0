#include "ImportDictdCommand.h"

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDictdImporter.h"
#include "WLDictionaryCompiler.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct ImportCall
{
    QString title;
    QString language;
    QString index;
    QString data;
    QString output;
};

// [--title TEXT] [--language LOCALE] NAME.index NAME.dict[.dz] OUT; the
// message of a wrong call otherwise.
std::optional<ImportCall> parseCall(const QStringList &arguments, QString *problem)
{
    ImportCall call;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString *option = argument == u"--title"_s      ? &call.title
                          : argument == u"--language"_s ? &call.language
                                                        : nullptr;
        if (option) {
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

bool runImport(WLCliContext &context, const ImportCall &call, const QString &sourceDir,
               QJsonObject *summary)
{
    WLDictdImporter importer(call.index, call.data);
    importer.setTitle(call.title);
    importer.setLanguage(call.language);
    if (!importer.writeSource(sourceDir)) {
        context.fail(importer.errorString());
        return false;
    }
    *summary = QJsonObject{
        {u"title"_s, importer.title()},
        {u"headwords"_s, double(importer.headwordCount())},
        {u"definitions"_s, double(importer.definitionCount())},
        {u"links"_s, double(importer.linkCount())},
        {u"referencesWithoutTarget"_s, double(importer.unresolvedCount())},
        {u"indexLinesWithoutHeadword"_s, double(importer.skippedCount())},
    };
    // The counts go to standard error so that standard output stays free
    // for --json.
    if (!context.json()) {
        std::fprintf(stderr,
                     "%s: %lld headwords, %lld definitions, %lld links, "
                     "%lld references without a target\n",
                     qPrintable(importer.title()), qlonglong(importer.headwordCount()),
                     qlonglong(importer.definitionCount()), qlonglong(importer.linkCount()),
                     qlonglong(importer.unresolvedCount()));
    }
    return true;
}

class ImportDictdCommand : public WLCommand
{
public:
    QString name() const override { return u"import-dictd"_s; }
    QString arguments() const override
    {
        return u"[--title TEXT] [--language LOCALE] NAME.index NAME.dict[.dz] SOURCE_DIR"_s;
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
        return {{u"--title"_s, u"TEXT"_s, u"the title, instead of the database's own"_s},
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
        QJsonObject summary;
        if (!runImport(context, *call, call->output, &summary))
            return 1;
        if (context.json()) {
            summary.insert(u"source"_s, call->output);
            context.writeJson(summary);
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
    if (!runImport(context, *call, source.path(), &summary))
        return 1;
    QString error;
    if (!WLDictionaryCompiler::build(source.path(), call->output, &error))
        return context.fail(error);
    if (context.json()) {
        summary.insert(u"bundle"_s, call->output);
        context.writeJson(summary);
    }
    return 0;
}

WL_REGISTER_COMMAND(ImportDictdCommand)

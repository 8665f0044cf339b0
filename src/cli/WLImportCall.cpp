#include "WLImportCall.h"

#include "ImportDictdCommand.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLProgressPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Summaries go to standard error, so that standard output stays free for
// --json.
void printSummary(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

} // namespace

std::optional<WLImportCall> WLImportCall::parse(const QStringList &arguments, qsizetype count,
                                                const QString &filesProblem, QString *problem)
{
    WLImportCall call;
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
            call.files.append(argument);
        }
    }
    if (call.files.size() != count) {
        *problem = filesProblem;
        return std::nullopt;
    }
    return call;
}

QList<WLCommandOption> WLImportCall::options(const QString &locales)
{
    return {{u"--quiet"_s, {}, u"no progress on a terminal, only the summary"_s},
            {u"--title"_s, u"TEXT"_s, u"the title, instead of the dictionary's own"_s},
            {u"--language"_s, u"LOCALE"_s,
             u"the ICU locale whose collation orders the headwords, such as "_s + locales}};
}

int wlRunImport(WLCliContext &context, const QString &output, const WLImportRun &import)
{
    QElapsedTimer timer;
    timer.start();
    QJsonObject summary;
    const std::optional<QString> line = import(output, &summary);
    if (!line)
        return 1;
    if (context.json()) {
        summary.insert(u"source"_s, output);
        summary.insert(u"seconds"_s, double(timer.elapsed()) / 1000.0);
        context.writeJson(summary);
    } else {
        printSummary(*line + u"; source folder "_s + output + u" in "_s +
                     WLProgressPrinter::seconds(timer.elapsed()));
    }
    return 0;
}

int wlRunImportAndBuild(WLCliContext &context, const QString &output, bool quiet,
                        const QString &prefix, const WLImportRun &import)
{
    // The source folder sits beside the bundle: it is about as big, and the
    // system's temporary directory may be small.
    const QString parent = QFileInfo(output).absolutePath();
    if (!QDir().mkpath(parent))
        return context.fail(u"%1: cannot create the folder"_s.arg(parent));
    QTemporaryDir source(QDir(parent).filePath(prefix + u"-XXXXXX"_s));
    if (!source.isValid())
        return context.fail(u"%1: no temporary folder: %2"_s.arg(parent, source.errorString()));
    QJsonObject summary;
    const std::optional<QString> line = import(source.path(), &summary);
    if (!line)
        return 1;
    if (!context.json())
        printSummary(*line);
    return wlRunBuild(context, source.path(), output, quiet, summary);
}

#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class WLCliContext;
struct WLCommandOption;

// What import-dictd and import-stardict (and build --from-dictd and
// --from-stardict) share: their options, the run into a source folder and
// the summary.
struct WLImportCall
{
    bool quiet = false;
    QString title;
    QString language;
    QStringList files; // the inputs, then the output folder

    // [--quiet] [--title TEXT] [--language LOCALE] and count files; nothing
    // with the message of a wrong call otherwise (filesProblem when the
    // number of files is wrong).
    static std::optional<WLImportCall> parse(const QStringList &arguments, qsizetype count,
                                             const QString &filesProblem, QString *problem);
    // The three options for help; locales: examples, "en or de".
    static QList<WLCommandOption> options(const QString &locales);
};

// An import into a source folder: its summary line and JSON, or nothing
// after it has reported its failure.
using WLImportRun = std::function<std::optional<QString>(const QString &sourceDir,
                                                         QJsonObject *summary)>;

// import-…: the import into output, then the summary (JSON with --json).
int wlRunImport(WLCliContext &context, const QString &output, const WLImportRun &import);

// build --from-…: the import into a temporary folder beside output (named
// from prefix), then the build of it.
int wlRunImportAndBuild(WLCliContext &context, const QString &output, bool quiet,
                        const QString &prefix, const WLImportRun &import);

#include "WLDictionaryAdder.h"

#include "WLBundle.h"
#include "WLDictionaryFolders.h"
#include "WLDictionaryInstaller.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The first of the files that is there, or nothing.
QString firstFile(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace

std::optional<WLDictionaryAdder::Source> WLDictionaryAdder::identify(const QString &chosen, QString *why)
{
    // A bundle's description stands for its folder (a file chooser picks files).
    const QString path = QFileInfo(chosen).fileName() == u"DatabaseInfo.plist"
                             ? QFileInfo(chosen).absolutePath()
                             : chosen;
    const QFileInfo file(path);
    if (!file.exists()) {
        *why = QStringLiteral("%1: there is no such file or folder.").arg(shown(path));
        return std::nullopt;
    }
    Source source;
    source.path = file.absoluteFilePath();
    if (file.isDir()) {
        if (!QFileInfo(QDir(path).filePath(QStringLiteral("DatabaseInfo.plist"))).isFile()) {
            *why = QStringLiteral("%1 is a folder, but not a dictionary: it has no DatabaseInfo.plist.")
                       .arg(shown(path));
            return std::nullopt;
        }
        source.kind = Kind::Bundle;
        source.name = WLDictionaryInstaller::availableName(file.fileName());
        return source;
    }
    // The base name of a database's files: "wn" of wn.index and wn.dict.dz.
    QString base = source.path;
    for (const char *suffix : {".dict.dz", ".dict", ".index", ".ifo", ".idx.gz", ".idx", ".syn"}) {
        if (base.endsWith(QLatin1String(suffix))) {
            base.chop(qsizetype(qstrlen(suffix)));
            break;
        }
    }
    const QString name = QFileInfo(base).fileName();
    if (QFileInfo(base + QStringLiteral(".ifo")).isFile() && !source.path.endsWith(QLatin1String(".index"))) {
        source.kind = Kind::StarDict;
        source.path = base + QStringLiteral(".ifo");
    } else if (QFileInfo(base + QStringLiteral(".index")).isFile()) {
        source.kind = Kind::Dictd;
        source.path = base + QStringLiteral(".index");
        source.data = firstFile({base + QStringLiteral(".dict.dz"), base + QStringLiteral(".dict")});
        if (source.data.isEmpty()) {
            *why = QStringLiteral("%1 is a dictd index, but %2.dict.dz or %2.dict is not beside it.")
                       .arg(shown(source.path), name);
            return std::nullopt;
        }
    } else {
        *why = QStringLiteral("%1 is not a dictionary WL Reader can read: choose a dictionary's "
                              "folder, a dictd .index file or a StarDict .ifo file.")
                   .arg(shown(path));
        return std::nullopt;
    }
    source.name = WLDictionaryInstaller::availableName(name);
    return source;
}

QString WLDictionaryAdder::wldictProgram()
{
    const QString fromEnvironment = qEnvironmentVariable("WLDICT");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    // Installed side by side (the window in PREFIX/libexec, wldict in
    // PREFIX/bin), or in the build tree (src/app and src/cli).
    const QDir here(WLBundle::applicationDirectory());
    for (const QString &candidate : {here.filePath(QStringLiteral("wldict")),
                                     here.filePath(QStringLiteral("../bin/wldict")),
                                     here.filePath(QStringLiteral("../cli/wldict")),
                                     here.filePath(QStringLiteral("../../src/cli/wldict"))}) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable())
            return program.canonicalFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("wldict"));
}

WLDictionaryAdder::WLDictionaryAdder(QObject *parent) : QObject(parent) {}

WLDictionaryAdder::~WLDictionaryAdder()
{
    if (mProcess) {
        mProcess->disconnect(this);
        mProcess->kill();
        mProcess->waitForFinished(10000);
    }
}

void WLDictionaryAdder::start(const Source &source, std::function<void(const Progress &)> progress,
                              std::function<void(const Result &)> finished)
{
    mSource = source;
    mProgress = std::move(progress);
    mFinished = std::move(finished);
    mCancelled = false;
    mReplacing = false;
    mLastError.clear();
    mProgram = wldictProgram();
    if (mProgram.isEmpty()) {
        finish({false, false, {}, QStringLiteral("wldict, which adds dictionaries, is not installed.")});
        return;
    }
    if (source.kind == Kind::Bundle) {
        runStep(Step::Installing, {QStringLiteral("--json"), QStringLiteral("install"), QStringLiteral("--name"),
                                   source.name, source.path});
        return;
    }
    // Built beside the dictionaries, on their disk, under a hidden name.
    const QString folder = WLDictionaryFolders::searchPaths().value(0);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        finish({false, false, {}, QStringLiteral("The folder for dictionaries, %1, cannot be made.").arg(shown(folder))});
        return;
    }
    mWork = std::make_unique<QTemporaryDir>(QDir(folder).filePath(QStringLiteral(".add-XXXXXX")));
    if (!mWork->isValid()) {
        finish({false, false, {}, QStringLiteral("Nothing can be written in %1.").arg(shown(folder))});
        return;
    }
    const QString bundle = mWork->filePath(QStringLiteral("bundle"));
    if (source.kind == Kind::Dictd)
        runStep(Step::Building, {QStringLiteral("build"), QStringLiteral("--from-dictd"), source.path, source.data, bundle});
    else
        runStep(Step::Building, {QStringLiteral("build"), QStringLiteral("--from-stardict"), source.path, bundle});
}

void WLDictionaryAdder::runStep(Step step, const QStringList &arguments)
{
    mStep = step;
    mPending.clear();
    mProcess = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WLDICT_PROGRESS"), QStringLiteral("lines"));
    mProcess->setProcessEnvironment(environment);
    connect(mProcess.get(), &QProcess::readyReadStandardError, this, &WLDictionaryAdder::readProgress);
    connect(mProcess.get(), &QProcess::finished, this, &WLDictionaryAdder::stepFinished);
    connect(mProcess.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish({false, false, {}, QStringLiteral("wldict did not start: %1").arg(mProcess->errorString())});
    });
    if (mProgress)
        mProgress({step == Step::Installing ? QStringLiteral("installing") : QStringLiteral("starting"), 0, 0});
    mProcess->start(mProgram, arguments);
}

void WLDictionaryAdder::readProgress()
{
    mPending += mProcess->readAllStandardError();
    qsizetype end;
    while ((end = mPending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(mPending.left(end)).trimmed();
        mPending.remove(0, end + 1);
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 4 && fields.at(0) == u"progress") {
            if (mProgress)
                mProgress({fields.at(1), fields.at(2).toLongLong(), fields.at(3).toLongLong()});
        } else if (!line.isEmpty()) {
            mLastError = line;
        }
    }
}

void WLDictionaryAdder::stepFinished(int exitCode, QProcess::ExitStatus status)
{
    readProgress();
    const Step step = mStep;
    const QByteArray output = mProcess->readAllStandardOutput();
    const bool ok = status == QProcess::NormalExit && exitCode == 0;
    if (!ok) {
        QString error = mLastError;
        if (error.startsWith(QLatin1String("wldict: ")))
            error.remove(0, 8);
        if (error.isEmpty())
            error = QStringLiteral("wldict ended without a word (status %1).").arg(exitCode);
        finish({false, mCancelled, {}, mCancelled ? QString() : error});
        return;
    }
    if (step == Step::Building) {
        if (mCancelled) {
            finish({false, true, {}, {}});
            return;
        }
        // The same dictionary added again (a newer copy, say) replaces the
        // user's own in place, under its name, with its bookmarks; another
        // gets a free name.
        const QString bundle = mWork->filePath(QStringLiteral("bundle"));
        const WLDictionaryInstaller::Installed built = WLDictionaryInstaller::describe(bundle);
        QStringList arguments{QStringLiteral("--json"), QStringLiteral("install"), QStringLiteral("--name"),
                              mSource.name, bundle};
        for (const WLDictionaryInstaller::Installed &installed : WLDictionaryInstaller::installed()) {
            if (installed.user && !built.identifier.isEmpty() && installed.identifier == built.identifier
                && installed.title == built.title) {
                arguments = {QStringLiteral("--json"), QStringLiteral("install"), QStringLiteral("--force"),
                             QStringLiteral("--name"), installed.name, bundle};
                mReplacing = true;
                break;
            }
        }
        runStep(Step::Installing, arguments);
        return;
    }
    const QString path = QJsonDocument::fromJson(output).object().value(QStringLiteral("path")).toString();
    // A replacement is not undone: the copy it replaced is gone by then.
    if (mCancelled && !mReplacing) {
        // Cancelled while it was put in place: taken out again.
        if (!path.isEmpty())
            WLDictionaryInstaller::remove(WLDictionaryInstaller::describe(path), false);
        finish({false, true, {}, {}});
        return;
    }
    finish({!path.isEmpty(), false, path, path.isEmpty() ? QStringLiteral("wldict said nothing of where it installed.") : QString()});
}

void WLDictionaryAdder::cancel()
{
    if (mStep == Step::Idle)
        return;
    mCancelled = true;
    // A build in progress goes at once with its folder; an install is let
    // finish, then undone.
    if (mStep == Step::Building && mProcess)
        mProcess->kill();
}

void WLDictionaryAdder::finish(Result result)
{
    mStep = Step::Idle;
    if (mProcess) {
        mProcess->disconnect(this);
        // Not destroyed inside its own signal.
        mProcess.release()->deleteLater();
    }
    mWork.reset();
    if (mFinished)
        mFinished(result);
}

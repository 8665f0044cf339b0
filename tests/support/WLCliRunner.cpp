#include "WLCliRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {
// Long enough for a dictd import on a loaded machine.
constexpr int kTimeoutMs = 120000;
} // namespace

QJsonValue WLCliResult::json() const
{
    const QJsonDocument document = QJsonDocument::fromJson(out);
    if (document.isArray())
        return document.array();
    if (document.isObject())
        return document.object();
    return {};
}

WLCliRunner::WLCliRunner()
    : mProgram(qEnvironmentVariable("WLDICT")),
      mEnvironment(QProcessEnvironment::systemEnvironment())
{
    mEnvironment.remove(QStringLiteral("WL_DICTIONARY"));
    mEnvironment.remove(QStringLiteral("COLUMNS"));
}

void WLCliRunner::setEnvironment(const QString &name, const QString &value)
{
    mEnvironment.insert(name, value);
}

WLCliResult WLCliRunner::run(const QStringList &arguments, const QByteArray &input) const
{
    QProcess process;
    process.setProcessEnvironment(mEnvironment);
    const QStringList dictionary = mDictionary.isEmpty()
                                       ? QStringList{}
                                       : QStringList{QStringLiteral("--dictionary"), mDictionary};
    process.start(mProgram, dictionary + arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    WLCliResult result;
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.status = process.exitCode();
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QJsonValue WLCliRunner::json(const QStringList &arguments) const
{
    const WLCliResult result = run(QStringList{QStringLiteral("--json")} + arguments);
    if (result.status != 0 || result.json().isNull())
        qWarning("wldict %s: status %d\n%s%s", qPrintable(arguments.join(QLatin1Char(' '))),
                 result.status, result.out.constData(), result.err.constData());
    return result.json();
}

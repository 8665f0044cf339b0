#include "WLBenchBundle.h"

#include "WLDictionaryCompiler.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

QString WLBenchBundle::sourcePath()
{
    const QString source = QStringLiteral(WL_BENCH_DATA_DIR "/large-source");
    if (QFileInfo::exists(source + QStringLiteral("/manifest.json")))
        return source;
    std::fprintf(stderr, "Generating %d entries in %s\n", kEntries, qPrintable(source));
    const int status = QProcess::execute(
        QStringLiteral("python3"),
        {QStringLiteral(WL_SOURCE_DIR "/tools/gen_large_source.py"), source,
         QStringLiteral("--entries"), QString::number(kEntries)});
    return status == 0 ? source : QString();
}

QString WLBenchBundle::bundlePath()
{
    const QString fromEnvironment = qEnvironmentVariable("WL_BENCH_BUNDLE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString bundle = QStringLiteral(WL_BENCH_DATA_DIR "/large-bundle");
    if (QFileInfo::exists(bundle + QStringLiteral("/DatabaseInfo.plist")))
        return bundle;
    const QString source = sourcePath();
    QString error;
    if (source.isEmpty() || !WLDictionaryCompiler::build(source, bundle, &error)) {
        std::fprintf(stderr, "Cannot make the benchmark bundle: %s\n", qPrintable(error));
        return {};
    }
    return bundle;
}

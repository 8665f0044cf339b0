#include "WLDictionaryCompiler.h"

#include "WLAboutWriter.h"
#include "WLBundleWriter.h"
#include "WLCollator.h"
#include "WLDictionaryLayout.h"
#include "WLEntriesReader.h"
#include "WLManifestReader.h"
#include "WLMediaWriter.h"
#include "WLProgress.h"
#include "WLSourceEntry.h"
#include "WLSourceManifest.h"
#include "WLTextEncoder.h"
#include "WLTextStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <malloc.h>

namespace {

// A directory that is deleted with everything in it unless released.
class ScratchDirectory
{
public:
    explicit ScratchDirectory(QString path) : mPath(std::move(path)) {}
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;
    ~ScratchDirectory()
    {
        if (!mPath.isEmpty())
            QDir(mPath).removeRecursively();
    }
    void release() { mPath.clear(); }

private:
    QString mPath;
};

// A fresh, empty sibling of target, made with the usual permissions (a
// QTemporaryDir would be private to the user, and stay so after the move).
QString makeSibling(const QFileInfo &target, const char *purpose)
{
    const QDir parent = target.absoluteDir();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString name = QStringLiteral(".%1.%2-%3-%4")
                                 .arg(target.fileName(), QLatin1String(purpose))
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(attempt);
        if (!parent.exists(name) && parent.mkdir(name))
            return parent.filePath(name);
    }
    return {};
}

bool isInside(const QString &path, const QString &directory)
{
    return path == directory || path.startsWith(directory + QLatin1Char('/'));
}

// Checks the output place before any work: its parent must be a directory
// and an existing directory there must be a bundle or empty.
bool checkOutput(const QFileInfo &output, const QString &sourceDir, QString *errorMessage)
{
    const QString shown = QDir::toNativeSeparators(output.filePath());
    if (!QDir().mkpath(output.absolutePath())) {
        *errorMessage = QStringLiteral("%1: cannot create the folder it goes in").arg(shown);
        return false;
    }
    const QString source = QFileInfo(sourceDir).canonicalFilePath();
    const QString parent = QFileInfo(output.absolutePath()).canonicalFilePath();
    const QString target = QDir(parent).filePath(output.fileName());
    if (QFileInfo(target).canonicalFilePath() == source) {
        *errorMessage = QStringLiteral("%1: the output must not be the source folder").arg(shown);
        return false;
    }
    if (isInside(source, target)) {
        *errorMessage =
            QStringLiteral("%1: the output must not contain the source folder").arg(shown);
        return false;
    }
    if (!output.exists())
        return true;
    if (!output.isDir() || output.isSymLink()) {
        *errorMessage = QStringLiteral("%1: exists and is not a folder").arg(shown);
        return false;
    }
    const QDir existing(output.absoluteFilePath());
    if (!existing.exists(QStringLiteral("DatabaseInfo.plist")) &&
        !existing.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        *errorMessage =
            QStringLiteral("%1: is not a dictionary bundle; refusing to replace it").arg(shown);
        return false;
    }
    return true;
}

// Moves the finished bundle to target, replacing what is there; on failure
// the old bundle stays where it was.
bool moveIntoPlace(const QString &built, const QFileInfo &target, QString *errorMessage)
{
    const QString targetPath = target.absoluteFilePath();
    QDir parent = target.absoluteDir();
    QString old;
    if (QFileInfo::exists(targetPath)) {
        old = makeSibling(target, "old");
        if (old.isEmpty() || !parent.rmdir(old) || !parent.rename(targetPath, old)) {
            *errorMessage = QStringLiteral("%1: cannot move the old bundle aside")
                                .arg(QDir::toNativeSeparators(targetPath));
            return false;
        }
    }
    if (!parent.rename(built, targetPath)) {
        if (!old.isEmpty())
            parent.rename(old, targetPath);
        *errorMessage = QStringLiteral("%1: cannot move the new bundle into place")
                            .arg(QDir::toNativeSeparators(targetPath));
        return false;
    }
    if (!old.isEmpty())
        QDir(old).removeRecursively();
    return true;
}

} // namespace

bool WLDictionaryCompiler::build(const QString &sourceDir, const QString &outputDir,
                                 QString *errorMessage, WLProgress *progress,
                                 WLBuildSummary *summary, const WLBuildOptions &options)
{
    QString message;
    WLProgressMeter meter(progress);
    const bool ok = [&] {
        if (!QFileInfo(sourceDir).isDir()) {
            message = QStringLiteral("%1: no such source folder").arg(sourceDir);
            return false;
        }
        if (outputDir.isEmpty()) {
            message = QStringLiteral("no output folder given");
            return false;
        }
        WLSourceManifest manifest;
        if (!WLManifestReader::read(sourceDir, &manifest, &message))
            return false;
        QString problem;
        const std::optional<WLTextEncoder> encoder =
            WLTextEncoder::forCharset(manifest.charset, &problem);
        const std::optional<WLCollator> collator = WLCollator::forLocale(manifest.language);
        if (!encoder || !collator) {
            message = QStringLiteral("%1: %2").arg(
                QLatin1String(WLManifestReader::kFileName),
                encoder ? QStringLiteral("no collation for \"%1\"").arg(manifest.language)
                        : problem);
            return false;
        }
        const QFileInfo output(QDir::cleanPath(QDir(outputDir).absolutePath()));
        if (!checkOutput(output, sourceDir, &message))
            return false;
        // What the caller held before (an import, say) may still count as
        // ours; the build wants its pages back.
        malloc_trim(0);
        WLAboutWriter about;
        if (!about.read(sourceDir, manifest, &message))
            return false;
        // The fragments' text waits beside the bundle, which is about as big.
        WLTextStore texts(output.absolutePath());
        QList<WLSourceEntry> entries;
        const QString entriesPath = QDir(sourceDir).filePath(manifest.entriesFile);
        meter.begin(QStringLiteral("reading %1").arg(manifest.entriesFile),
                    QFileInfo(entriesPath).size());
        if (!WLEntriesReader::read(entriesPath, manifest.entriesFile, &texts, &entries, &message,
                                   &meter))
            return false;
        WLMediaWriter media;
        if (!media.read(sourceDir, manifest.entriesFile, entries, &message))
            return false;

        qsizetype looks = 0;
        for (const WLSourceEntry &entry : std::as_const(entries))
            looks += entry.looks.size();
        meter.begin(QStringLiteral("ordering headwords"), entries.size() + looks);
        const WLDictionaryLayout layout =
            WLDictionaryLayout::arrange(entries, texts, *collator, &meter);
        // Ordering leaves many small blocks free between the ones it keeps;
        // the writing that follows needs fresh memory of other sizes.
        malloc_trim(0);

        const QString scratch = makeSibling(output, "build");
        if (scratch.isEmpty()) {
            message = QStringLiteral("%1: cannot create a folder beside it")
                          .arg(QDir::toNativeSeparators(output.filePath()));
            return false;
        }
        ScratchDirectory cleanup(scratch);
        WLBundleWriter writer(sourceDir, manifest, entries, texts, layout, *encoder,
                              options.tables);
        if (!writer.write(scratch, &message, &meter) || !media.write(scratch, &message, &meter) ||
            !about.write(scratch, &message))
            return false;
        if (summary) {
            summary->headwords = layout.headwords.size();
            summary->fragments = layout.links.size();
            summary->storedFragments = layout.contents.size();
            summary->bytes = 0;
            QDirIterator files(scratch, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (files.hasNext())
                summary->bytes += files.nextFileInfo().size();
        }
        meter.begin(QStringLiteral("moving the bundle into place"), 0);
        if (!moveIntoPlace(scratch, output, &message))
            return false;
        cleanup.release();
        return true;
    }();
    if (!ok && errorMessage)
        *errorMessage = message;
    return ok;
}

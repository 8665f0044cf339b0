// Media references of a fragment ("table/file" or "table/file/ID",
// tab-separated) extracted from the demo bundle. Nothing may be written
// outside the page directory: the temporary directory holds only the
// per-user folder, the bundle copy stays as it was.

#include "WLDatabaseMedia.h"
#include "WLFuzzSupport.h"

#include <QDir>
#include <QSet>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

QString sTemporary;
QString sBundle;
QStringList sBundleFiles;
QStringList sScratchEntries;
QSet<QString> sPageEntries;

QStringList listing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                    | QDir::NoDotAndDotDot,
                                QDir::Name);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    sTemporary = WLFuzz::isolateTemporaryDirectory();
    WLDatabase *database = WLFuzz::demoDatabase();
    for (const QString &name : listing(WLDatabaseMedia::of(*database)->dataLoader()->basePath()))
        sPageEntries.insert(name);
    for (const auto &table : *WLDatabaseMedia::of(*database)->additionArray())
        sPageEntries.insert(table->tableName());
    sBundle = WLFuzz::scratchDirectory() + QStringLiteral("/demo");
    sBundleFiles = listing(sBundle);
    sScratchEntries = listing(WLFuzz::scratchDirectory());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString additions =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    WLDatabase *database = WLFuzz::demoDatabase();
    (void)database->readDataForAdditions(additions);

    static const QStringList kPrivate{QStringLiteral("wlreader-%1").arg(::getuid())};
    WLFuzz::check(listing(sTemporary) == kPrivate,
                  "the temporary directory holds only the private folder");
    WLFuzz::check(listing(sBundle) == sBundleFiles, "the bundle is not written to");
    WLFuzz::check(listing(WLFuzz::scratchDirectory()) == sScratchEntries,
                  "nothing appears beside the temporary directory");
    const QString privateDirectory = sTemporary + u'/' + kPrivate.first();
    const QString basePath = WLDatabaseMedia::of(*database)->dataLoader()->basePath();
    WLFuzz::check(listing(privateDirectory) == QStringList{basePath.mid(basePath.lastIndexOf(u'/') + 1)},
                  "the private folder holds only the page directory");
    // In the page directory: the preloaded files and one folder per table.
    for (const QString &name : listing(WLDatabaseMedia::of(*database)->dataLoader()->basePath()))
        WLFuzz::check(sPageEntries.contains(name), "only table folders appear in the page directory");
    return 0;
}

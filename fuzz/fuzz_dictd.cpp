// A dictd database as the importer reads it. The input is split in two:
// the first two bytes (little-endian) give the length of the index, the
// index follows, the rest is the data file (plain, or gzip when it starts
// with gzip's magic bytes).

#include "WLDictdImporter.h"
#include "WLFuzzSupport.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

namespace {

QString sDirectory;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::application();
    sDirectory = WLFuzz::scratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t indexLength = std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
    const char *index = reinterpret_cast<const char *>(data + 2);
    const char *definitions = index + indexLength;
    const qsizetype definitionsLength = qsizetype(size - 2 - indexLength);

    const QString indexPath = sDirectory + QStringLiteral("/fuzz.index");
    const QString dataPath = sDirectory + QStringLiteral("/fuzz.dict");
    const QString sourcePath = sDirectory + QStringLiteral("/source");
    WLFuzz::writeInput(indexPath, index, qsizetype(indexLength));
    WLFuzz::writeInput(dataPath, definitions, definitionsLength);

    WLDictdImporter importer(indexPath, dataPath);
    if (importer.writeSource(sourcePath)) {
        WLFuzz::check(QFile::exists(sourcePath + QStringLiteral("/manifest.json")),
                      "a successful import writes the manifest");
    } else {
        WLFuzz::check(!importer.errorString().isEmpty(), "a failed import says why");
    }
    QDir(sourcePath).removeRecursively();
    return 0;
}

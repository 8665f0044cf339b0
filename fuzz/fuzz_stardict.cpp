// A StarDict dictionary as the importer reads it: the .ifo and .idx readers
// on their own (both offset widths), then the whole import. The input is
// the .ifo, the .idx and the .syn, each after its two-byte length
// (little-endian), then the .dict; an .idx or .dict that starts with gzip's
// magic bytes is written as .idx.gz or .dict.dz.

#include "WLFuzzSupport.h"
#include "WLStarDictImporter.h"
#include "WLStarDictIndex.h"
#include "WLStarDictInfo.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

QString sDirectory;

// The next part of the input: its length, then its bytes.
QByteArray take(const uint8_t *&data, size_t &size)
{
    if (size < 2) {
        size = 0;
        return {};
    }
    const size_t length = std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
    const QByteArray part(reinterpret_cast<const char *>(data + 2), qsizetype(length));
    data += 2 + length;
    size -= 2 + length;
    return part;
}

bool isGzip(const QByteArray &bytes)
{
    return bytes.startsWith("\x1f\x8b");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::application();
    sDirectory = WLFuzz::scratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray ifo = take(data, size);
    const QByteArray idx = take(data, size);
    const QByteArray syn = take(data, size);
    const QByteArray dict(reinterpret_cast<const char *>(data), qsizetype(size));

    QString error;
    const std::optional<WLStarDictInfo> info = WLStarDictInfo::parse(ifo, QStringLiteral("f.ifo"), &error);
    WLFuzz::check(info.has_value() == error.isEmpty(), "the .ifo reader says why it fails, and only then");
    for (const int bits : {32, 64}) {
        std::vector<WLStarDictWord> words;
        error.clear();
        if (WLStarDictIndex::parseIndex(idx, bits, QStringLiteral("f.idx"), words, &error)) {
            for (const WLStarDictWord &word : words)
                WLFuzz::check(word.position >= 0 && word.position < idx.size(), "a record lies in the file");
            std::vector<WLStarDictSynonym> synonyms;
            if (WLStarDictIndex::parseSynonyms(syn, words.size(), QStringLiteral("f.syn"), synonyms, &error)) {
                for (const WLStarDictSynonym &synonym : synonyms)
                    WLFuzz::check(synonym.original < words.size(), "a synonym names a record");
            }
        } else {
            WLFuzz::check(!error.isEmpty(), "the .idx reader says why it fails");
        }
    }
    if (!info)
        return 0;

    const QString dir = sDirectory + QStringLiteral("/dict");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    WLFuzz::writeInput(dir + QStringLiteral("/f.ifo"), ifo.constData(), ifo.size());
    const QString idxName = isGzip(idx) ? QStringLiteral("/f.idx.gz") : QStringLiteral("/f.idx");
    WLFuzz::writeInput(dir + idxName, idx.constData(), idx.size());
    if (!syn.isEmpty())
        WLFuzz::writeInput(dir + QStringLiteral("/f.syn"), syn.constData(), syn.size());
    const QString dictName = isGzip(dict) ? QStringLiteral("/f.dict.dz") : QStringLiteral("/f.dict");
    WLFuzz::writeInput(dir + dictName, dict.constData(), dict.size());

    const QString source = sDirectory + QStringLiteral("/source");
    WLStarDictImporter importer(dir + QStringLiteral("/f.ifo"));
    if (importer.writeSource(source)) {
        WLFuzz::check(QFile::exists(source + QStringLiteral("/manifest.json")),
                      "a successful import writes the manifest");
    } else {
        WLFuzz::check(!importer.errorString().isEmpty(), "a failed import says why");
        WLFuzz::check(!QFile::exists(source), "a failed import leaves no source folder");
    }
    QDir(source).removeRecursively();
    return 0;
}

// Contents-ID lists as the headword and whole-word tables store them
// (tab-separated decimal IDs), parsed and then paged from the demo bundle
// the way bookmarks and history hand them over: as strings.

#include "WLFuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::demoDatabase();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QList<int>> ids = contentsIDArrayFromString(text);
    if (ids) {
        for (int id : *ids)
            WLFuzz::check(id > 0, "parsed contents IDs are positive");
    }

    // A page of at most a few fragments keeps each run short.
    QVariantList pieces;
    for (const QString &piece : text.split(u'\t')) {
        if (pieces.size() == 8)
            break;
        pieces.append(piece);
    }
    WLDatabase *database = WLFuzz::demoDatabase();
    const std::optional<QByteArray> page = database->newHtmlDataForIDs(pieces, false);
    if (ids && ids->size() <= 8 && page)
        WLFuzz::check(!page->isEmpty(), "a page has its header");
    return 0;
}

// Keywords as typed: their patterns, then a real search of the demo bundle
// through the worker, waited for to the end.

#include "WLSearchSession.h"
#include "WLFuzzSupport.h"
#include "WLSearchPattern.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::demoDatabase();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString keyword =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const WLSearchPatterns patterns = searchPatternsForKeyword(keyword);
    WLFuzz::check(keyword.isEmpty() == patterns.keyword.isEmpty(),
                  "only an empty keyword gives an empty pattern");
    (void)rangeKeyForPattern(patterns.equal);
    (void)rangeKeyForPattern(patterns.keyword);

    WLDatabase &database = *WLFuzz::demoDatabase();
    WLFuzz::runSearch(database, keyword);
    for (uint section = 0; section < WLSearchSession::of(database)->searchSectionCount(); ++section) {
        (void)WLSearchSession::of(database)->searchSectionNameAtIndex(section);
        const uint count = WLSearchSession::of(database)->itemCountOfSearchSectionAtIndex(section);
        for (uint item = 0; item <= count; ++item) {
            (void)WLSearchSession::of(database)->itemNameAtIndexOfSearchSectionAtIndex(item, section);
            (void)WLSearchSession::of(database)->itemLinksAtIndexOfSearchSectionAtIndex(item, section);
            const std::optional<QVariantList> ids =
                WLSearchSession::of(database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(item, section);
            if (item < count)
                WLFuzz::check(ids.has_value(), "a result of the demo has its contents IDs");
        }
    }
    return 0;
}

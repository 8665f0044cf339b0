// Colour strings of the description's appearance: "r, g, b" on 0.0 to 1.0.

#include "WLFuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<WLColor> color = WLDatabase::colorWithString(text);
    if (color)
        WLFuzz::check(color->alpha == 1.0, "a parsed colour is opaque");
    // The same text read as Latin-1 reaches the parser with other characters.
    (void)WLDatabase::colorWithString(
        QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}

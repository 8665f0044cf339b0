// Stored fragments: any bytes of any length, and the compiler's cipher
// against the reader's.

#include "WLFragmentCipher.h"
#include "WLFuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qsizetype length = qsizetype(size);
    const std::optional<QByteArray> plain = WLDatabase::decryptDataBytes(data, length);
    WLFuzz::check(plain.has_value() == (length > 0 && length % 8 == 0),
                  "only whole blocks decipher");
    if (plain) {
        WLFuzz::check(plain->size() <= length, "deciphering never grows");
        WLFuzz::check(plain->isEmpty() || plain->back() != '\0', "trailing zeros are trimmed");
    }

    // What the compiler enciphers, the reader gives back, less the padding.
    static const WLFragmentCipher cipher;
    const QByteArray text(reinterpret_cast<const char *>(data), length);
    const QByteArray stored = cipher.encipher(text);
    WLFuzz::check(!stored.isEmpty() && stored.size() % 8 == 0, "whole blocks are stored");
    const std::optional<QByteArray> back = WLDatabase::decryptDataBytes(stored.constData(),
                                                                        stored.size());
    WLFuzz::check(back.has_value(), "a stored fragment deciphers");
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == '\0')
        --end;
    WLFuzz::check(*back == text.left(end), "the round trip keeps the text");
    return 0;
}

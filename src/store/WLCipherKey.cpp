#include "WLCipherKey.h"

#include <QtEndian>

#include <cstdint>

void WLCipherKeyBytes(unsigned char key[16])
{
    // The only place the key exists. Changing it makes every compiled
    // dictionary unreadable.
    static constexpr uint32_t words[4] = {0x574C5265u, 0x61646572u, 0x2D4B6579u, 0x9E3779B9u};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(words[i], key + 4 * i);
}

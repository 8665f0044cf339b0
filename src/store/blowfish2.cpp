#include "blowfish2.h"

#include <cstring>

namespace {

inline uint32_t F(const BLOWFISH_CTX *ctx, uint32_t x)
{
    const uint32_t a = ctx->S[0][x >> 24];
    const uint32_t b = ctx->S[1][(x >> 16) & 0xFF];
    const uint32_t c = ctx->S[2][(x >> 8) & 0xFF];
    const uint32_t d = ctx->S[3][x & 0xFF];
    return ((a + b) ^ c) + d;
}

} // namespace

void Blowfish_encipher(const BLOWFISH_CTX *ctx, uint32_t *left, uint32_t *right)
{
    uint32_t l = *left;
    uint32_t r = *right;
    for (int i = 0; i < 16; i += 2) {
        l ^= ctx->P[i];
        r ^= F(ctx, l);
        r ^= ctx->P[i + 1];
        l ^= F(ctx, r);
    }
    l ^= ctx->P[16];
    r ^= ctx->P[17];
    // The last round's swap is undone: the halves leave crossed.
    *left = r;
    *right = l;
}

void Blowfish_decipher(const BLOWFISH_CTX *ctx, uint32_t *left, uint32_t *right)
{
    uint32_t l = *left;
    uint32_t r = *right;
    for (int i = 17; i > 1; i -= 2) {
        l ^= ctx->P[i];
        r ^= F(ctx, l);
        r ^= ctx->P[i - 1];
        l ^= F(ctx, r);
    }
    l ^= ctx->P[1];
    r ^= ctx->P[0];
    *left = r;
    *right = l;
}

void Blowfish_initialize(BLOWFISH_CTX *ctx, const unsigned char *key, int keyLength)
{
    std::memcpy(ctx->P, init_P, sizeof ctx->P);
    std::memcpy(ctx->S, init_S, sizeof ctx->S);

    int j = 0;
    for (int i = 0; i < 18; ++i) {
        uint32_t data = 0;
        for (int k = 0; k < 4; ++k) {
            data = (data << 8) | key[j];
            if (++j >= keyLength)
                j = 0;
        }
        ctx->P[i] ^= data;
    }

    uint32_t l = 0;
    uint32_t r = 0;
    for (int i = 0; i < 18; i += 2) {
        Blowfish_encipher(ctx, &l, &r);
        ctx->P[i] = l;
        ctx->P[i + 1] = r;
    }
    for (auto &box : ctx->S) {
        for (int k = 0; k < 256; k += 2) {
            Blowfish_encipher(ctx, &l, &r);
            box[k] = l;
            box[k + 1] = r;
        }
    }
}

#pragma once

#include <cstdint>

// Blowfish as published: 64-bit blocks, 16 rounds, keys of 4 to 56 bytes.
// A context is not shared between threads while it is being used.

struct BLOWFISH_CTX {
    uint32_t P[18];
    uint32_t S[4][256];
};

// The published initial tables: the hexadecimal digits of pi after the point.
extern const uint32_t init_P[18];
extern const uint32_t init_S[4][256];

void Blowfish_initialize(BLOWFISH_CTX *ctx, const unsigned char *key, int keyLength);
void Blowfish_encipher(const BLOWFISH_CTX *ctx, uint32_t *left, uint32_t *right);
void Blowfish_decipher(const BLOWFISH_CTX *ctx, uint32_t *left, uint32_t *right);

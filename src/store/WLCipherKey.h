#pragma once

// The reader's fixed 16-byte key, written as four 32-bit words in
// little-endian byte order, as every stored dictionary expects it.
void WLCipherKeyBytes(unsigned char key[16]);

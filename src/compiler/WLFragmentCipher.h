#pragma once

#include <QByteArray>

#include <memory>

struct BLOWFISH_CTX;

// Enciphers fragments the way the reader deciphers them: Blowfish ECB under
// the reader's key, each block's halves taken as little-endian words.
class WLFragmentCipher
{
public:
    WLFragmentCipher();
    ~WLFragmentCipher();
    WLFragmentCipher(const WLFragmentCipher &) = delete;
    WLFragmentCipher &operator=(const WLFragmentCipher &) = delete;

    // Pads with zero bytes to a whole number of blocks, at least one: the
    // reader trims trailing zeros, and refuses an empty blob. Works in
    // place when given the only reference to the text.
    QByteArray encipher(QByteArray plain) const;

private:
    std::unique_ptr<BLOWFISH_CTX> mContext;
};

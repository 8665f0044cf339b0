#include "WLFragmentCipher.h"

#include "WLCipherKey.h"
#include "blowfish2.h"

#include <QtEndian>

WLFragmentCipher::WLFragmentCipher() : mContext(std::make_unique<BLOWFISH_CTX>())
{
    unsigned char key[16];
    WLCipherKeyBytes(key);
    Blowfish_initialize(mContext.get(), key, int(sizeof key));
}

WLFragmentCipher::~WLFragmentCipher() = default;

QByteArray WLFragmentCipher::encipher(QByteArray data) const
{
    const qsizetype padded = qMax<qsizetype>(8, (data.size() + 7) / 8 * 8);
    data.append(padded - data.size(), '\0');
    auto *bytes = reinterpret_cast<uchar *>(data.data());
    for (qsizetype at = 0; at < padded; at += 8) {
        uint32_t left = qFromLittleEndian<uint32_t>(bytes + at);
        uint32_t right = qFromLittleEndian<uint32_t>(bytes + at + 4);
        Blowfish_encipher(mContext.get(), &left, &right);
        qToLittleEndian(left, bytes + at);
        qToLittleEndian(right, bytes + at + 4);
    }
    return data;
}

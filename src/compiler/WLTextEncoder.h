#pragma once

#include "WLCharset.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Turns page text into the bytes of the dictionary's charset, and says which
// character is at fault when it cannot.
class WLTextEncoder
{
public:
    // Nothing and the reason for a charset WLCharset does not know, or one
    // whose bytes for plain ASCII differ from ASCII: pages are glued
    // together from separately encoded pieces, and stored text loses its
    // trailing zero bytes, so UTF-16 and its like cannot work.
    static std::optional<WLTextEncoder> forCharset(const QString &name, QString *problem);

    QString charsetName() const { return mCharset.name(); }
    // UTF-8 text needs no encoding, only the check for U+0000.
    bool isUtf8() const { return mUtf8; }

    // Nothing and the reason when a character has no encoding in the
    // charset, or is U+0000 (which the stored form cannot keep).
    std::optional<QByteArray> encode(const QString &text, QString *problem) const;

private:
    explicit WLTextEncoder(WLCharset charset);

    WLCharset mCharset;
    bool mUtf8 = false;
};

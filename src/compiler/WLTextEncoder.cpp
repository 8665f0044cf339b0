#include "WLTextEncoder.h"

#include "WLSourceMessage.h"

#include <QList>

#include <unicode/ucnv.h>

std::optional<WLTextEncoder> WLTextEncoder::forCharset(const QString &name, QString *problem)
{
    std::optional<WLCharset> charset = WLCharset::forName(name);
    if (!charset) {
        *problem = QStringLiteral("unknown charset \"%1\"").arg(name);
        return std::nullopt;
    }
    static const QByteArray probe = "<a href=\"#12\">Az09 ;&=/</a>\n";
    const std::optional<QByteArray> bytes = charset->encode(QString::fromLatin1(probe));
    if (!bytes || *bytes != probe) {
        *problem = QStringLiteral("charset \"%1\" does not write ASCII as ASCII").arg(name);
        return std::nullopt;
    }
    return WLTextEncoder(std::move(*charset));
}

std::optional<QByteArray> WLTextEncoder::encode(const QString &text, QString *problem) const
{
    if (text.contains(QChar(0))) {
        *problem = QStringLiteral("contains %1").arg(wlDescribeCharacter(0));
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = mCharset.encode(text);
    if (bytes)
        return bytes;
    // Only on failure: find the first character at fault.
    const QList<uint> codePoints = text.toUcs4();
    for (const uint codePoint : codePoints) {
        const char32_t c = codePoint;
        if (!mCharset.encode(QString::fromUcs4(&c, 1))) {
            *problem = QStringLiteral("character %1 cannot be written in %2")
                           .arg(wlDescribeCharacter(c), mCharset.name());
            return std::nullopt;
        }
    }
    *problem = QStringLiteral("text cannot be written in %1").arg(mCharset.name());
    return std::nullopt;
}

WLTextEncoder::WLTextEncoder(WLCharset charset) : mCharset(std::move(charset))
{
    // Any of its names: "utf-8", "UTF8", "csUTF8".
    UErrorCode status = U_ZERO_ERROR;
    const char *standard =
        ucnv_getStandardName(mCharset.name().toLatin1().constData(), "IANA", &status);
    mUtf8 = U_SUCCESS(status) && standard && qstrcmp(standard, "UTF-8") == 0;
}

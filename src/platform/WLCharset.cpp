#include "WLCharset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

struct WLCharset::Converter {
    UConverter *handle = nullptr;
    ~Converter()
    {
        if (handle)
            ucnv_close(handle);
    }
};

WLCharset::WLCharset(QString name, std::unique_ptr<Converter> converter)
    : mName(std::move(name)), mConverter(std::move(converter))
{
}

WLCharset::WLCharset(WLCharset &&) noexcept = default;
WLCharset &WLCharset::operator=(WLCharset &&) noexcept = default;
WLCharset::~WLCharset() = default;

std::optional<WLCharset> WLCharset::forName(const QString &ianaName)
{
    if (ianaName.trimmed().isEmpty())
        return std::nullopt;
    const QByteArray name = ianaName.toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    // Only names of the IANA registry (and its aliases) count; ICU's own
    // extra aliases do not.
    const char *standard = ucnv_getStandardName(name.constData(), "IANA", &status);
    if (U_FAILURE(status) || !standard) {
        status = U_ZERO_ERROR;
        standard = ucnv_getStandardName(name.constData(), "MIME", &status);
        if (U_FAILURE(status) || !standard)
            return std::nullopt;
    }
    status = U_ZERO_ERROR;
    auto converter = std::make_unique<Converter>();
    converter->handle = ucnv_open(name.constData(), &status);
    if (U_FAILURE(status) || !converter->handle)
        return std::nullopt;
    status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter->handle, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    ucnv_setToUCallBack(converter->handle, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return WLCharset(ianaName, std::move(converter));
}

std::optional<QByteArray> WLCharset::encode(const QString &text) const
{
    UConverter *cnv = mConverter->handle;
    ucnv_resetFromUnicode(cnv);
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const int32_t sourceLength = int32_t(text.size());
    QByteArray out(qsizetype(UCNV_GET_MAX_BYTES_FOR_STRING(sourceLength, ucnv_getMaxCharSize(cnv))) + 1,
                   Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(cnv, out.data(), int32_t(out.size()), source, sourceLength, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.truncate(length);
    return out;
}

std::optional<QString> WLCharset::decode(const QByteArray &bytes) const
{
    UConverter *cnv = mConverter->handle;
    ucnv_resetToUnicode(cnv);
    QString out(bytes.size() * 2 + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(cnv, reinterpret_cast<UChar *>(out.data()),
                                         int32_t(out.size()), bytes.constData(),
                                         int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.truncate(length);
    return out;
}

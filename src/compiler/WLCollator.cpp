#include "WLCollator.h"

#include <unicode/ucol.h>

struct WLCollator::Handle
{
    UCollator *collator = nullptr;
    ~Handle()
    {
        if (collator)
            ucol_close(collator);
    }
};

WLCollator::WLCollator(std::unique_ptr<Handle> handle) : mHandle(std::move(handle)) {}
WLCollator::WLCollator(WLCollator &&) noexcept = default;
WLCollator &WLCollator::operator=(WLCollator &&) noexcept = default;
WLCollator::~WLCollator() = default;

std::optional<WLCollator> WLCollator::forLocale(const QString &locale)
{
    auto handle = std::make_unique<Handle>();
    UErrorCode status = U_ZERO_ERROR;
    handle->collator = ucol_open(locale.toLatin1().constData(), &status);
    if (U_FAILURE(status) || !handle->collator)
        return std::nullopt;
    return WLCollator(std::move(handle));
}

WLCollator WLCollator::clone() const
{
    auto handle = std::make_unique<Handle>();
    UErrorCode status = U_ZERO_ERROR;
#if U_ICU_VERSION_MAJOR_NUM >= 71
    handle->collator = ucol_clone(mHandle->collator, &status);
#else
    handle->collator = ucol_safeClone(mHandle->collator, nullptr, nullptr, &status);
#endif
    // Cloning copies what is open already; it fails only without memory.
    Q_CHECK_PTR(handle->collator);
    return WLCollator(std::move(handle));
}

QByteArray WLCollator::sortKey(const QString &text) const
{
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = int32_t(text.size());
    QByteArray key(64, Qt::Uninitialized);
    int32_t needed = ucol_getSortKey(mHandle->collator, source, length,
                                     reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = ucol_getSortKey(mHandle->collator, source, length,
                                 reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    }
    // The key ends in a zero byte that takes no part in comparing.
    key.truncate(qMax(0, needed - 1));
    return key;
}

#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// ICU collation for one locale, as sort keys: comparing two keys byte by
// byte orders their texts as the locale does. Not thread-safe: one per
// thread (see clone()).
class WLCollator
{
public:
    // Nothing for a locale ICU refuses outright (unknown locales fall back
    // to the root order, as ICU does).
    static std::optional<WLCollator> forLocale(const QString &locale);

    WLCollator(WLCollator &&) noexcept;
    WLCollator &operator=(WLCollator &&) noexcept;
    ~WLCollator();

    // An independent collator for the same locale, for another thread.
    WLCollator clone() const;

    QByteArray sortKey(const QString &text) const;

private:
    struct Handle;
    explicit WLCollator(std::unique_ptr<Handle> handle);

    std::unique_ptr<Handle> mHandle;
};

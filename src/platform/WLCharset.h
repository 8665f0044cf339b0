#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// A character set named by its IANA name, converting in both directions
// with ICU. Conversion is strict: a character the charset cannot represent
// (or bytes it cannot decode) fails the whole text instead of being
// replaced. Not thread-safe: one instance per thread.
class WLCharset
{
public:
    // Nothing for a name ICU does not know.
    static std::optional<WLCharset> forName(const QString &ianaName);

    WLCharset(WLCharset &&) noexcept;
    WLCharset &operator=(WLCharset &&) noexcept;
    ~WLCharset();

    QString name() const { return mName; }

    std::optional<QByteArray> encode(const QString &text) const;
    std::optional<QString> decode(const QByteArray &bytes) const;

private:
    struct Converter;
    WLCharset(QString name, std::unique_ptr<Converter> converter);

    QString mName;
    std::unique_ptr<Converter> mConverter;
};

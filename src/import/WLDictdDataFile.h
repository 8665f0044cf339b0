#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class WLDictzipFile;

// The definitions file of a dictd database, read by offset and length
// whatever its form: plain text (mapped), dictzip (chunk by chunk), or a
// gzip file without dictzip's chunk table (inflated whole into memory,
// the only way to reach its middle). Not thread-safe.
class WLDictdDataFile
{
public:
    static std::unique_ptr<WLDictdDataFile> open(const QString &path, QString *error);
    ~WLDictdDataFile();
    WLDictdDataFile(const WLDictdDataFile &) = delete;
    WLDictdDataFile &operator=(const WLDictdDataFile &) = delete;

    quint64 size() const;
    // Nothing, with the reason in error, for a range past the end or a
    // damaged file.
    std::optional<QByteArray> read(quint64 offset, quint64 length, QString *error);

private:
    WLDictdDataFile();

    QString m_path;
    std::unique_ptr<WLDictzipFile> m_dictzip;
    QFile m_plain;
    const uchar *m_mapped = nullptr;
    QByteArray m_inflated;
    bool m_isInflated = false;
};

#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct z_stream_s;

// Random access into a dictzip file: a gzip file whose header carries a
// table of independently inflatable chunks (the "RA" extra field), so a
// definition is read by inflating only the chunks it spans. A few recent
// chunks are kept, since definitions are mostly read in file order.
// Not thread-safe.
class WLDictzipFile
{
public:
    enum class Status { Ok, NotGzip, NoChunkTable, Damaged };

    // Ok and a reader, or why not: NotGzip and NoChunkTable leave it to
    // the caller to read the file another way.
    static std::pair<Status, std::unique_ptr<WLDictzipFile>> open(const QString &path, QString *error);

    ~WLDictzipFile();
    WLDictzipFile(const WLDictzipFile &) = delete;
    WLDictzipFile &operator=(const WLDictzipFile &) = delete;

    // Uncompressed size.
    quint64 size() const { return m_size; }

    // Nothing past the end or for a damaged chunk (with the reason in error).
    std::optional<QByteArray> read(quint64 offset, quint64 length, QString *error);

private:
    WLDictzipFile();
    const QByteArray *chunk(qsizetype index, QString *error);

    QFile m_file;
    quint32 m_chunkLength = 0;
    std::vector<qint64> m_chunkStart; // file offsets, one past the last chunk at the end
    quint64 m_size = 0;
    std::list<std::pair<qsizetype, QByteArray>> m_cache; // most recent first
    std::unique_ptr<z_stream_s> m_stream;
};

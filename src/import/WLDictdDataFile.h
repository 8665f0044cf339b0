#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryFile;
class WLProgressMeter;

// The definitions file of a dictd database (or a StarDict .dict), read by
// offset and length. A gzip file (dictzip or not) is inflated once, in
// order, into an unnamed temporary file: the index visits definitions in
// headword order, not in file order, so reading dictzip's chunks on demand
// would inflate most chunks many times over. A dictzip file is inflated
// chunk by chunk as its table describes them, each chunk on its own as a
// reader with random access would, so a table that does not fit its data
// is found here and reported with the chunk's offset. Definitions are read
// with pread, not mapped, so the text stays in the page cache and out of
// the process's memory; any thread may read.
class WLDictdDataFile
{
public:
    // Nothing, with the reason in error, for a file that cannot be read or
    // gzip data that is damaged or cut short.
    // The meter, if any, counts the bytes inflated from the file. Gzip data
    // is inflated only up to needed bytes, when the caller knows how much
    // it reads: a small hostile file cannot fill the disk.
    static std::unique_ptr<WLDictdDataFile> open(const QString &path, QString *error,
                                                 WLProgressMeter *meter = nullptr,
                                                 quint64 needed = ~quint64(0));
    ~WLDictdDataFile();
    WLDictdDataFile(const WLDictdDataFile &) = delete;
    WLDictdDataFile &operator=(const WLDictdDataFile &) = delete;

    quint64 size() const { return mSize; }
    // Nothing, with the reason in error, for a range past the end.
    std::optional<QByteArray> read(quint64 offset, quint64 length, QString *error) const;

private:
    WLDictdDataFile();
    bool measure(QFile &file, QString *error);

    QString mPath;
    std::unique_ptr<QFile> mFile;
    quint64 mSize = 0;
};

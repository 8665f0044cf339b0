#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryFile;

// The definitions file of a dictd database, read by offset and length.
// A plain file is mapped. A gzip file (dictzip or not) is inflated once,
// in order, into an unnamed temporary file that is then mapped: the index
// visits definitions in headword order, not in file order, so reading
// dictzip's chunks on demand would inflate most chunks many times over.
// Memory stays small either way; the text lives in the page cache.
// Not thread-safe.
class WLDictdDataFile
{
public:
    // Nothing, with the reason in error, for a file that cannot be read or
    // gzip data that is damaged or cut short.
    static std::unique_ptr<WLDictdDataFile> open(const QString &path, QString *error);
    ~WLDictdDataFile();
    WLDictdDataFile(const WLDictdDataFile &) = delete;
    WLDictdDataFile &operator=(const WLDictdDataFile &) = delete;

    quint64 size() const { return mSize; }
    // Nothing, with the reason in error, for a range past the end.
    std::optional<QByteArray> read(quint64 offset, quint64 length, QString *error) const;

private:
    WLDictdDataFile();
    bool map(QFile &file, QString *error);

    QString mPath;
    std::unique_ptr<QFile> mFile;
    const uchar *mMapped = nullptr;
    quint64 mSize = 0;
};

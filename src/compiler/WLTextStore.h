#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QTemporaryFile;

// Where a text of the store lies, and a hash of it: texts are compared by
// hash and size before they are read back.
struct WLTextRef
{
    quint64 place = 0; // file << 48 | offset
    quint32 size = 0;
    quint32 hash = 0;

    bool operator==(const WLTextRef &) const = default;
};

// The fragments' HTML in UTF-8, kept in unnamed files beside the bundle
// rather than in memory: a big dictionary's text is several times the rest
// of what the compiler holds. Each writer fills a file of its own, so the
// threads that read the source write side by side; once they are done, any
// thread may read.
class WLTextStore
{
public:
    class Writer
    {
    public:
        WLTextRef append(QByteArrayView utf8);

    private:
        friend class WLTextStore;
        bool flush();

        QTemporaryFile *mFile = nullptr;
        quint64 mFileBits = 0;
        qint64 mWritten = 0;
        QByteArray mBuffer;
    };

    // The files go into directory, and are unlinked at once.
    explicit WLTextStore(QString directory);
    ~WLTextStore();
    WLTextStore(const WLTextStore &) = delete;
    WLTextStore &operator=(const WLTextStore &) = delete;

    // Makes count writers; false and the reason when their files cannot be
    // made.
    bool open(int count, QString *errorMessage);
    Writer &writer(int i) { return mWriters[size_t(i)]; }
    // Writes what the writers hold, before anything is read.
    bool finish(QString *errorMessage);

    std::optional<QByteArray> read(const WLTextRef &text) const;
    bool equal(const WLTextRef &a, const WLTextRef &b) const;

    static quint32 hash(QByteArrayView utf8);

private:
    QString mDirectory;
    std::vector<std::unique_ptr<QTemporaryFile>> mFiles;
    std::vector<Writer> mWriters;
};

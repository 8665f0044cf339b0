#pragma once

#include "WLCrossReferenceResolver.h"
#include "WLFragmentCipher.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

struct WLSourceEntry;
struct WLDictionaryLayout;
class WLTextEncoder;
class WLTextStore;

// The data of every contents row: the fragment's HTML with its
// cross-references resolved, encoded and enciphered. Making them is most of
// the work of contents.db, and they are independent of each other, so they
// are made in chunks by any thread that has time; the thread writing
// contents.db takes them in row order, making what nobody has taken yet.
// Only a few chunks are made ahead of the writer, to bound the memory.
class WLContentsBlobs
{
public:
    WLContentsBlobs(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                    const WLDictionaryLayout &layout, const QString &entriesFile);
    WLContentsBlobs(const WLContentsBlobs &) = delete;
    WLContentsBlobs &operator=(const WLContentsBlobs &) = delete;
    ~WLContentsBlobs();

    // Rows are made this many at a time.
    static constexpr qsizetype kChunkRows = 256;

    // The writer's side: the data of row (from 0), asked for in row order.
    // It stays valid until a row of the next chunk is asked for. Nothing,
    // and the message naming the fragment, when the fragment cannot be made.
    // The encoder belongs to the calling thread.
    const QByteArray *take(qsizetype row, const WLTextEncoder &encoder, QString *errorMessage);

    // Ends the helpers' work, whether the writer has finished or failed.
    void stop();

    // Another thread's side: makes chunks until none is left or stop() is
    // called, with its own encoder for the charset.
    void help(const QString &charset);

private:
    struct Chunk
    {
        QList<QByteArray> blobs;
        qsizetype problemRow = -1;
        QString problem;
        bool ready = false;
    };
    static constexpr int kChunksAhead = 8;

    // Takes the next chunk nobody has taken, if the writer is not too far
    // behind; called with mMutex locked.
    std::optional<int> takeChunk();
    void make(int chunk, const WLTextEncoder &encoder);
    const WLCrossReferenceResolver &resolver();

    const QList<WLSourceEntry> &mEntries;
    const WLTextStore &mTexts;
    const WLDictionaryLayout &mLayout;
    const QString mEntriesFile;
    const WLFragmentCipher mCipher;
    // Built by whichever thread needs it first.
    std::once_flag mResolverBuilt;
    std::optional<WLCrossReferenceResolver> mResolver;

    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Chunk> mChunks;
    int mNextChunk = 0;   // the first one nobody has taken
    int mWrittenUpTo = 0; // the writer is at this chunk; those before it are freed
    bool mStopped = false;
};

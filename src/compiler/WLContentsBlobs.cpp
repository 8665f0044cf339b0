#include "WLContentsBlobs.h"

#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"
#include "WLSourceMessage.h"
#include "WLTextEncoder.h"

WLContentsBlobs::WLContentsBlobs(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                                 const WLDictionaryLayout &layout, const QString &entriesFile)
    : mEntries(entries), mTexts(texts), mLayout(layout), mEntriesFile(entriesFile),
      mChunks((layout.contents.size() + kChunkRows - 1) / kChunkRows)
{
}

WLContentsBlobs::~WLContentsBlobs() = default;

const WLCrossReferenceResolver &WLContentsBlobs::resolver()
{
    std::call_once(mResolverBuilt, [this] { mResolver.emplace(mEntries, mLayout); });
    return *mResolver;
}

std::optional<int> WLContentsBlobs::takeChunk()
{
    if (mStopped || mNextChunk == int(mChunks.size()) ||
        mNextChunk >= mWrittenUpTo + kChunksAhead)
        return std::nullopt;
    return mNextChunk++;
}

void WLContentsBlobs::make(int chunk, const WLTextEncoder &encoder)
{
    Chunk made;
    const qsizetype end = std::min((chunk + 1) * kChunkRows, mLayout.contents.size());
    for (qsizetype row = chunk * kChunkRows; row < end; ++row) {
        const WLDictionaryLayout::Fragment &at = mLayout.contents[row];
        const WLSourceFragment &fragment = mEntries[at.entry].fragments[at.fragment];
        QString problem;
        std::optional<QByteArray> bytes;
        if (const std::optional<QByteArray> text = mTexts.read(fragment.html)) {
            if (!encoder.isUtf8()) {
                if (const std::optional<QString> html =
                        resolver().resolve(QString::fromUtf8(*text), &problem))
                    bytes = encoder.encode(*html, &problem);
            } else if (text->contains('\0')) {
                problem = QStringLiteral("contains %1").arg(wlDescribeCharacter(0));
            } else {
                bytes = resolver().resolveUtf8(*text, &problem);
            }
        } else {
            problem = QStringLiteral("the text cannot be read back from its temporary file");
        }
        if (!bytes) {
            made.problemRow = row;
            made.problem = wlSourceMessage(mEntriesFile, fragment.line,
                                           QStringLiteral("\"%1\", fragment %2: %3")
                                               .arg(mEntries[at.entry].headword)
                                               .arg(at.fragment + 1)
                                               .arg(problem));
            break;
        }
        made.blobs.append(mCipher.encipher(std::move(*bytes)));
    }
    made.ready = true;
    const std::lock_guard lock(mMutex);
    mChunks[chunk] = std::move(made);
    mChanged.notify_all();
}

const QByteArray *WLContentsBlobs::take(qsizetype row, const WLTextEncoder &encoder,
                                        QString *errorMessage)
{
    const int chunk = int(row / kChunkRows);
    std::unique_lock lock(mMutex);
    if (chunk != mWrittenUpTo) {
        mChunks[mWrittenUpTo] = Chunk();
        mWrittenUpTo = chunk;
        mChanged.notify_all();
    }
    // Rather than wait for a helper, make the chunks nobody has taken.
    while (!mChunks[chunk].ready) {
        if (const std::optional<int> next = takeChunk()) {
            lock.unlock();
            make(*next, encoder);
            lock.lock();
        } else {
            mChanged.wait(lock);
        }
    }
    const Chunk &ready = mChunks[chunk];
    if (row == ready.problemRow) {
        *errorMessage = ready.problem;
        return nullptr;
    }
    return &ready.blobs[row % kChunkRows];
}

void WLContentsBlobs::stop()
{
    const std::lock_guard lock(mMutex);
    mStopped = true;
    mChanged.notify_all();
}

void WLContentsBlobs::help(const QString &charset)
{
    QString unused;
    const std::optional<WLTextEncoder> encoder = WLTextEncoder::forCharset(charset, &unused);
    if (!encoder)
        return;
    std::unique_lock lock(mMutex);
    for (;;) {
        if (const std::optional<int> next = takeChunk()) {
            lock.unlock();
            make(*next, *encoder);
            lock.lock();
        } else if (mStopped || mNextChunk == int(mChunks.size())) {
            return;
        } else {
            mChanged.wait(lock);
        }
    }
}

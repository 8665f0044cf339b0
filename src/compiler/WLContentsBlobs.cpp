#include "WLContentsBlobs.h"

#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"
#include "WLSourceMessage.h"
#include "WLTextEncoder.h"

WLContentsBlobs::WLContentsBlobs(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                                 const WLDictionaryLayout &layout, const QString &entriesFile)
    : m_entries(entries), m_texts(texts), m_layout(layout), m_entriesFile(entriesFile),
      m_chunks((layout.contents.size() + kChunkRows - 1) / kChunkRows)
{
}

WLContentsBlobs::~WLContentsBlobs() = default;

const WLCrossReferenceResolver &WLContentsBlobs::resolver()
{
    std::call_once(m_resolverBuilt, [this] { m_resolver.emplace(m_entries, m_layout); });
    return *m_resolver;
}

std::optional<int> WLContentsBlobs::takeChunk()
{
    if (m_stopped || m_nextChunk == int(m_chunks.size()) ||
        m_nextChunk >= m_writtenUpTo + kChunksAhead)
        return std::nullopt;
    return m_nextChunk++;
}

void WLContentsBlobs::make(int chunk, const WLTextEncoder &encoder)
{
    Chunk made;
    const qsizetype end = std::min((chunk + 1) * kChunkRows, m_layout.contents.size());
    for (qsizetype row = chunk * kChunkRows; row < end; ++row) {
        const WLDictionaryLayout::Fragment &at = m_layout.contents[row];
        const WLSourceFragment &fragment = m_entries[at.entry].fragments[at.fragment];
        QString problem;
        std::optional<QByteArray> bytes;
        if (const std::optional<QByteArray> text = m_texts.read(fragment.html)) {
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
            made.problem = wlSourceMessage(m_entriesFile, fragment.line,
                                           QStringLiteral("\"%1\", fragment %2: %3")
                                               .arg(m_entries[at.entry].headword)
                                               .arg(at.fragment + 1)
                                               .arg(problem));
            break;
        }
        made.blobs.append(m_cipher.encipher(std::move(*bytes)));
    }
    made.ready = true;
    const std::lock_guard lock(m_mutex);
    m_chunks[chunk] = std::move(made);
    m_changed.notify_all();
}

const QByteArray *WLContentsBlobs::take(qsizetype row, const WLTextEncoder &encoder,
                                        QString *errorMessage)
{
    const int chunk = int(row / kChunkRows);
    std::unique_lock lock(m_mutex);
    if (chunk != m_writtenUpTo) {
        m_chunks[m_writtenUpTo] = Chunk();
        m_writtenUpTo = chunk;
        m_changed.notify_all();
    }
    // Rather than wait for a helper, make the chunks nobody has taken.
    while (!m_chunks[chunk].ready) {
        if (const std::optional<int> next = takeChunk()) {
            lock.unlock();
            make(*next, encoder);
            lock.lock();
        } else {
            m_changed.wait(lock);
        }
    }
    const Chunk &ready = m_chunks[chunk];
    if (row == ready.problemRow) {
        *errorMessage = ready.problem;
        return nullptr;
    }
    return &ready.blobs[row % kChunkRows];
}

void WLContentsBlobs::stop()
{
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

void WLContentsBlobs::help(const QString &charset)
{
    QString unused;
    const std::optional<WLTextEncoder> encoder = WLTextEncoder::forCharset(charset, &unused);
    if (!encoder)
        return;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (const std::optional<int> next = takeChunk()) {
            lock.unlock();
            make(*next, *encoder);
            lock.lock();
        } else if (m_stopped || m_nextChunk == int(m_chunks.size())) {
            return;
        } else {
            m_changed.wait(lock);
        }
    }
}

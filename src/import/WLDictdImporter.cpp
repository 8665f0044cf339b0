#include "WLDictdImporter.h"

#include "WLDictdDataFile.h"
#include "WLDictdHtml.h"
#include "WLDictdIndex.h"
#include "WLFoldedHeadwords.h"
#include "WLImportManifest.h"
#include "WLJsonText.h"
#include "WLOrderedChunks.h"
#include "WLProgress.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Index lines made into entries by one thread at a time.
constexpr size_t kChunkLines = 4096;

// Definitions are preformatted text, shown in the page's own font and
// wrapped at the window's edge.
const QString kStyle = u"<style>body{font-family:serif;margin:0.6em;line-height:1.35}"
                       "pre{font:inherit;white-space:pre-wrap;margin:0}a{text-decoration:none}"
                       "hr{border:0;border-top:1px solid #aaa}</style>"_s;

// "00-database-short" and the older "00databaseshort" both give "short".
// Copies under another name ("00-gcide-short") give an empty key: they are
// no headwords either. Anything else gives nothing.
QString metadataKey(const QByteArray &headword)
{
    QByteArray key = headword.toLower();
    const QByteArray last = key.mid(key.lastIndexOf('-') + 1);
    key.replace('-', QByteArray());
    key.replace('_', QByteArray());
    if (key.startsWith("00database"))
        return QString::fromLatin1(key.mid(10));
    if (headword.startsWith("00-") &&
        (last == "short" || last == "long" || last == "info" || last == "url"))
        return u""_s;
    return {};
}

// The database's entries that tell about it, in the order the About page
// shows them: its full name, its description, its licence, its home.
const QStringList kAboutKeys = {u"long"_s, u"info"_s, u"copyright"_s,
                                u"license"_s, u"licence"_s, u"url"_s};

// Lines without the indentation they all share and without blank lines at
// either end.
QString dedent(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    qsizetype common = -1;
    for (const QString &line : std::as_const(lines)) {
        if (line.isEmpty())
            continue;
        qsizetype n = 0;
        while (n < line.size() && line[n] == u' ')
            ++n;
        common = common < 0 ? n : std::min(common, n);
    }
    for (QString &line : lines)
        line.remove(0, std::min(common, line.size()));
    return lines.join(u'\n');
}

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

QString decodeText(const QByteArray &bytes, bool utf8)
{
    if (utf8 || isAscii(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

// The text of a database entry without its first line when that line only
// repeats the entry's name, as dictfmt writes them.
QString metadataBody(const QString &text)
{
    const qsizetype newline = text.indexOf(u'\n');
    const QString first = (newline < 0 ? text : text.left(newline)).trimmed();
    if (!metadataKey(first.toLatin1()).isNull())
        return newline < 0 ? QString() : text.mid(newline + 1);
    return text;
}

} // namespace

WLDictdImporter::WLDictdImporter(QString indexPath, QString dataPath)
    : mIndexPath(std::move(indexPath)), mDataPath(std::move(dataPath))
{
}

bool WLDictdImporter::writeSource(const QString &sourceDir)
{
    mError.clear();
    mHeadwords = mDefinitions = mShared = mLinks = mUnresolved = mSkipped = 0;

    WLProgressMeter meter(mProgress);
    meter.begin(u"reading %1"_s.arg(QFileInfo(mIndexPath).fileName()),
                QFileInfo(mIndexPath).size());
    std::vector<WLDictdIndexEntry> index;
    if (!WLDictdIndex::read(mIndexPath, index, &mError, &mSkipped, &meter))
        return false;
    // Gzip data is inflated only as far as the index reaches.
    quint64 needed = 0;
    for (const WLDictdIndexEntry &entry : index)
        needed = std::max(needed, entry.offset + std::min(entry.length, ~quint64(0) - entry.offset));
    std::unique_ptr<WLDictdDataFile> data =
        WLDictdDataFile::open(mDataPath, &mError, &meter, needed);
    if (!data)
        return false;
    // Called from several threads at once.
    const auto readText = [&](const WLDictdIndexEntry &entry,
                              QString *error) -> std::optional<QByteArray> {
        QString why;
        auto bytes = data->read(entry.offset, entry.length, &why);
        if (!bytes)
            *error = u"%1:%2: %3"_s.arg(mIndexPath, QString::number(entry.line), why);
        return bytes;
    };

    // The database's own entries first: they decide the charset.
    bool utf8 = false;
    QHash<QString, QByteArray> metadata;
    std::vector<size_t> words;
    words.reserve(index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        const QString key = metadataKey(index[i].headword);
        if (key.isNull()) {
            words.push_back(i);
            continue;
        }
        if (key == u"utf8"_s)
            utf8 = true;
        if (key == u"short"_s || kAboutKeys.contains(key)) {
            auto bytes = readText(index[i], &mError);
            if (!bytes)
                return false;
            metadata.insert(key, std::move(*bytes));
        }
    }
    if (words.empty()) {
        mError = u"%1: no headwords"_s.arg(mIndexPath);
        return false;
    }

    meter.begin(u"reading headwords"_s, 2 * qint64(words.size()));
    std::vector<QString> headwords(index.size());
    QSet<QString> exact;
    exact.reserve(qsizetype(words.size()));
    WLProgressMeter::Counter decoded(meter);
    for (const size_t i : words) {
        decoded.step();
        headwords[i] = decodeText(index[i].headword, utf8).trimmed();
        exact.insert(headwords[i]);
    }
    mHeadwords = exact.size();
    const WLFoldedHeadwords folded(headwords, words);
    // dictd matches references without regard to case, so do we; a
    // headword itself wins over another that differs from it in case.
    const WLDictdHtml::Resolver resolve = [&](const QString &reference) -> std::optional<QString> {
        const WLFoldedHeadwords::Class *found = folded.find(reference);
        if (!found)
            return std::nullopt;
        const QString &first = headwords[found->first];
        if (found->several && reference != first && exact.contains(reference))
            return reference;
        return first;
    };

    mTitle = mTitleOverride;
    if (mTitle.isEmpty())
        mTitle = metadataBody(decodeText(metadata.value(u"short"_s), utf8)).simplified();
    if (mTitle.isEmpty())
        mTitle = QFileInfo(mIndexPath).completeBaseName();
    QStringList about;
    for (const QString &key : kAboutKeys) {
        const QString text = dedent(metadataBody(decodeText(metadata.value(key), utf8)));
        if (!text.isEmpty())
            about.append(text);
    }

    if (!QDir().mkpath(sourceDir)) {
        mError = u"%1: cannot create the folder"_s.arg(sourceDir);
        return false;
    }
    const QDir dir(sourceDir);

    // Where the index names one text for several headwords (GCIDE's
    // inflections and compounds point at their main entry's block), the
    // first of them in index order carries it and the others copy it, so
    // the text is stored once. Such a shared text is made without a
    // particular headword: only the longest of its headwords that its
    // first line begins with is set in bold.
    struct Block
    {
        size_t first = 0; // the carrier
        int users = 0;
    };
    std::vector<size_t> blockOf(index.size());
    std::vector<Block> blocks;
    {
        QHash<std::pair<quint64, quint64>, size_t> known;
        known.reserve(qsizetype(words.size()));
        for (const size_t i : words) {
            decoded.step();
            const auto place = std::make_pair(index[i].offset, index[i].length);
            auto it = known.constFind(place);
            if (it == known.cend()) {
                it = known.insert(place, blocks.size());
                blocks.push_back({i, 0});
            }
            blockOf[i] = *it;
            ++blocks[*it].users;
        }
    }
    decoded.flush();
    QHash<size_t, QString> emphasisOf; // by block, for the shared ones
    {
        QHash<size_t, QList<size_t>> usersOf;
        for (const size_t i : words) {
            if (blocks[blockOf[i]].users > 1)
                usersOf[blockOf[i]].append(i);
        }
        for (auto it = usersOf.cbegin(); it != usersOf.cend(); ++it) {
            QString why;
            const auto bytes = readText(index[blocks[it.key()].first], &why);
            if (!bytes) {
                mError = why;
                return false;
            }
            const QString text = decodeText(*bytes, utf8);
            QString emphasis;
            for (const size_t i : it.value()) {
                if (headwords[i].size() > emphasis.size() &&
                    WLDictdHtml::beginsWith(text, headwords[i]))
                    emphasis = headwords[i];
            }
            emphasisOf.insert(it.key(), emphasis);
        }
    }
    // The compiler numbers a headword's fragments in file order; a copy
    // names its carrier's.
    std::vector<int> numberOf(index.size());
    {
        QHash<QString, int> fragmentsOf;
        for (const size_t i : words)
            numberOf[i] = ++fragmentsOf[headwords[i]];
    }

    // Lines of the entries file, each the adjacent index lines of one
    // headword, made in chunks side by side and written in order.
    struct Chunk
    {
        size_t begin = 0;
        size_t end = 0;
        QByteArray out;
        QString error;
        qsizetype links = 0;
        qsizetype unresolved = 0;
        qsizetype shared = 0;
    };
    const auto render = [&](Chunk &chunk) {
        QByteArray &out = chunk.out;
        for (size_t w = chunk.begin; w < chunk.end;) {
            const QString &headword = headwords[words[w]];
            out += "{\"headword\":";
            wlAppendJsonString(out, headword);
            out += ",\"fragments\":[";
            for (bool first = true; w < chunk.end && headwords[words[w]] == headword;
                 ++w, first = false) {
                if (!first)
                    out += ',';
                const size_t i = words[w];
                const Block &block = blocks[blockOf[i]];
                if (block.first != i) {
                    out += "{\"sameAs\":";
                    wlAppendJsonString(out, headwords[block.first] + u'#' +
                                              QString::number(numberOf[block.first]));
                    out += '}';
                    ++chunk.shared;
                    continue;
                }
                const auto bytes = readText(index[i], &chunk.error);
                if (!bytes)
                    return;
                const WLDictdHtml::Result html = WLDictdHtml::definition(
                    decodeText(*bytes, utf8),
                    block.users > 1 ? emphasisOf.value(blockOf[i]) : headword, resolve);
                wlAppendJsonString(out, html.html);
                chunk.links += html.links;
                chunk.unresolved += html.unresolved;
            }
            out += "]}\n";
        }
    };

    QSaveFile entries(dir.filePath(u"entries.jsonl"_s));
    if (!entries.open(QIODevice::WriteOnly)) {
        mError = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }
    meter.begin(u"writing entries.jsonl"_s, qint64(words.size()));
    const bool written = wlRenderInOrder<Chunk>(
        words.size(),
        [&](size_t begin) {
            // A chunk ends between two headwords.
            size_t end = std::min(words.size(), begin + kChunkLines);
            while (end < words.size() && headwords[words[end]] == headwords[words[end - 1]])
                ++end;
            return end;
        },
        render,
        [&](Chunk &chunk) {
            if (!chunk.error.isEmpty()) {
                mError = chunk.error;
                return false;
            }
            entries.write(chunk.out);
            meter.add(qint64(chunk.end - chunk.begin));
            mDefinitions += qsizetype(chunk.end - chunk.begin);
            mShared += chunk.shared;
            mLinks += chunk.links;
            mUnresolved += chunk.unresolved;
            return true;
        });
    if (!written)
        return false;
    if (!entries.commit()) {
        mError = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }

    QJsonObject manifest = WLImportManifest::make(
        mTitle, WLImportManifest::identifier(u"dictd"_s, QFileInfo(mIndexPath).completeBaseName()),
        mLanguage, kStyle);
    if (!about.isEmpty())
        manifest.insert(u"about"_s, about.join(u"\n\n"_s));
    if (!WLImportManifest::write(sourceDir, manifest, &mError))
        return false;
    return true;
}

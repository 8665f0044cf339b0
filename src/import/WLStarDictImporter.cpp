#include "WLStarDictImporter.h"

#include "WLDictdDataFile.h"
#include "WLFoldedHeadwords.h"
#include "WLImportManifest.h"
#include "WLJsonText.h"
#include "WLOrderedChunks.h"
#include "WLProgress.h"
#include "WLStarDictHtml.h"
#include "WLStarDictIndex.h"
#include "WLStarDictInfo.h"
#include "WLStarDictItems.h"
#include "WLStarDictResources.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>


using namespace Qt::StringLiterals;

namespace {

// Entries made into lines by one thread at a time.
constexpr size_t kChunkEntries = 2048;
// No entry of a real dictionary comes near this; a hostile size would
// have the import read gigabytes for one fragment.
constexpr quint32 kLargestEntry = 64 << 20;

// Text types keep their lines in a <pre>, in the page's own font.
const QString kStyle =
    u"<style>body{font-family:serif;margin:0.6em;line-height:1.35}"
    "pre{font:inherit;white-space:pre-wrap;margin:0}a{text-decoration:none}"
    "hr{border:0;border-top:1px solid #aaa}img{max-width:100%}"
    ".sd-t,.sd-y,.xdxf-tr{color:#555}.xdxf-k{font-size:110%}.xdxf-abr,.xdxf-gr{color:#2a6a2a}"
    ".xdxf-ex{color:#445}.xdxf-co{color:#666}.xdxf-bq,.xdxf-def{margin-left:1em}"
    ".sd-file{font-style:italic;color:#666}.sd-hw{font-size:1.3em;margin:0 0 .3em}</style>"_s;

// The first of the files that exists, or an empty string.
QString existing(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// A headword as the compiler takes it: on one line, without blanks at
// either end.
QString cleanHeadword(const QString &word)
{
    QString clean = word;
    for (QChar &c : clean) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return clean.trimmed();
}

// The .ifo's description with its "<br>" line breaks.
QString descriptionText(const QString &description)
{
    static const QRegularExpression br(u"<br\\s*/?>"_s,
                                       QRegularExpression::CaseInsensitiveOption);
    QString text = description;
    text.replace(br, u"\n"_s);
    return text.trimmed();
}

// Removes what an import put into a folder when it fails.
class Cleanup
{
public:
    Cleanup(QString dir, bool created) : mDir(std::move(dir)), mCreated(created) {}
    ~Cleanup()
    {
        if (mDone)
            return;
        QDir dir(mDir);
        if (mCreated) {
            dir.removeRecursively();
            return;
        }
        const QFileInfoList entries =
            dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
    }
    Cleanup(const Cleanup &) = delete;
    Cleanup &operator=(const Cleanup &) = delete;
    void keep() { mDone = true; }

private:
    QString mDir;
    bool mCreated;
    bool mDone = false;
};

} // namespace

WLStarDictImporter::WLStarDictImporter(QString ifoPath) : mIfoPath(std::move(ifoPath)) {}

bool WLStarDictImporter::writeSource(const QString &sourceDir)
{
    mError.clear();
    mHeadwords = mDefinitions = mSynonyms = mShared = mLinks = mUnresolved = 0;
    mPictures = mSounds = mMissing = mRemoved = mSkippedItems = mBlank = 0;

    const QFileInfo target(sourceDir);
    const bool created = !target.exists();
    if (!created && (!target.isDir() || !QDir(sourceDir).isEmpty(QDir::AllEntries | QDir::Hidden |
                                                                     QDir::NoDotAndDotDot))) {
        mError = u"%1: exists and is not an empty folder"_s.arg(sourceDir);
        return false;
    }
    if (!QDir().mkpath(sourceDir)) {
        mError = u"%1: cannot create the folder"_s.arg(sourceDir);
        return false;
    }
    Cleanup cleanup(sourceDir, created);
    if (!convert(sourceDir))
        return false;
    cleanup.keep();
    return true;
}

bool WLStarDictImporter::convert(const QString &sourceDir)
{
    if (!mIfoPath.endsWith(u".ifo"_s)) {
        mError = u"%1: not a StarDict .ifo file"_s.arg(mIfoPath);
        return false;
    }
    const QString base = mIfoPath.chopped(4);
    const std::optional<WLStarDictInfo> info = WLStarDictInfo::read(mIfoPath, &mError);
    if (!info)
        return false;

    // The index.
    WLProgressMeter meter(mProgress);
    const QString idxPath = existing({base + u".idx"_s, base + u".idx.gz"_s});
    if (idxPath.isEmpty()) {
        mError = u"%1: no %2.idx or %2.idx.gz beside it"_s.arg(mIfoPath,
                                                               QFileInfo(base).fileName());
        return false;
    }
    meter.begin(u"reading %1"_s.arg(QFileInfo(idxPath).fileName()), 0);
    const std::optional<QByteArray> idxBytes =
        WLStarDictIndex::load(idxPath, qint64(std::min<quint64>(info->idxFileSize,
                                                                 WLStarDictIndex::kLargestFile)),
                              &mError);
    if (!idxBytes)
        return false;
    std::vector<WLStarDictWord> words;
    if (quint64(idxBytes->size()) <= info->idxFileSize &&
        !WLStarDictIndex::parseIndex(*idxBytes, info->idxOffsetBits, idxPath, words, &mError))
        return false;
    if (quint64(idxBytes->size()) != info->idxFileSize) {
        const QString held = quint64(idxBytes->size()) > info->idxFileSize
                                 ? u"more than %1"_s.arg(info->idxFileSize)
                                 : QString::number(idxBytes->size());
        mError = u"%1: idxfilesize is %2, but %3 holds %4 bytes"_s.arg(
            mIfoPath, QString::number(info->idxFileSize), idxPath, held);
        return false;
    }
    if (words.size() != info->wordCount) {
        mError = u"%1: wordcount is %2, but %3 holds %4 headwords"_s.arg(
            mIfoPath, QString::number(info->wordCount), idxPath, QString::number(words.size()));
        return false;
    }
    if (words.empty()) {
        mError = u"%1: no headwords"_s.arg(idxPath);
        return false;
    }

    // The synonyms.
    std::vector<WLStarDictSynonym> synonyms;
    const QString synPath = existing({base + u".syn"_s, base + u".syn.gz"_s});
    if (!synPath.isEmpty()) {
        if (!info->synWordCount) {
            mError = u"%1: no synwordcount, but %2 is there"_s.arg(mIfoPath, synPath);
            return false;
        }
        const std::optional<QByteArray> synBytes =
            WLStarDictIndex::load(synPath, WLStarDictIndex::kLargestFile, &mError);
        if (!synBytes)
            return false;
        if (synBytes->size() > WLStarDictIndex::kLargestFile) {
            mError = u"%1: too large"_s.arg(synPath);
            return false;
        }
        if (!WLStarDictIndex::parseSynonyms(*synBytes, words.size(), synPath, synonyms, &mError))
            return false;
        if (synonyms.size() != *info->synWordCount) {
            mError = u"%1: synwordcount is %2, but %3 holds %4 synonyms"_s.arg(
                mIfoPath, QString::number(*info->synWordCount), synPath,
                QString::number(synonyms.size()));
            return false;
        }
    }

    // The data, inflated only as far as the index reaches.
    quint64 needed = 0;
    for (const WLStarDictWord &word : words) {
        if (word.size > kLargestEntry) {
            mError = u"%1: offset %2: \"%3\" has %4 bytes of data; more than %5 are not read"_s
                         .arg(idxPath, QString::number(word.position), word.headword,
                              QString::number(word.size), QString::number(kLargestEntry));
            return false;
        }
        needed = std::max(needed, word.offset + word.size);
    }
    const QString dictPath = existing({base + u".dict"_s, base + u".dict.dz"_s});
    if (dictPath.isEmpty()) {
        mError = u"%1: no %2.dict or %2.dict.dz beside it"_s.arg(mIfoPath,
                                                                 QFileInfo(base).fileName());
        return false;
    }
    const std::unique_ptr<WLDictdDataFile> data =
        WLDictdDataFile::open(dictPath, &mError, &meter, needed);
    if (!data)
        return false;
    for (const WLStarDictWord &word : words) {
        if (word.offset > data->size() || word.size > data->size() - word.offset) {
            mError = u"%1: offset %2: the data of \"%3\" (%4 bytes at %5) lies past the end of "
                     "%6 (%7 bytes)"_s.arg(idxPath, QString::number(word.position), word.headword,
                                           QString::number(word.size),
                                           QString::number(word.offset), dictPath,
                                           QString::number(data->size()));
            return false;
        }
    }

    WLStarDictResources resources;
    if (!resources.scan(QFileInfo(mIfoPath).dir().filePath(u"res"_s), &mError))
        return false;

    // Entries in the order their headwords first appear: the index's
    // records, then the synonyms'. An entry names each block of data once.
    struct Entry
    {
        QString headword;
        std::vector<size_t> blocks;
    };
    struct Block
    {
        quint64 offset = 0;
        quint32 size = 0;
        size_t entry = 0; // the carrier: the first fragment that shows it
        int number = 0;
        bool carried = false;
    };
    std::vector<Block> blocks;
    std::vector<size_t> blockOfWord(words.size());
    {
        QHash<std::pair<quint64, quint32>, size_t> known;
        for (size_t i = 0; i < words.size(); ++i) {
            const auto place = std::make_pair(words[i].offset, words[i].size);
            auto it = known.constFind(place);
            if (it == known.cend()) {
                it = known.insert(place, blocks.size());
                blocks.push_back({words[i].offset, words[i].size, 0, 0, false});
            }
            blockOfWord[i] = *it;
        }
    }
    std::vector<Entry> entries;
    QHash<QString, size_t> entryOf;
    qsizetype fragments = 0;
    const auto add = [&](const QString &word, size_t block) {
        const QString headword = cleanHeadword(word);
        if (headword.isEmpty()) {
            ++mBlank;
            return;
        }
        auto it = entryOf.constFind(headword);
        if (it == entryOf.cend()) {
            it = entryOf.insert(headword, entries.size());
            entries.push_back({headword, {}});
        }
        Entry &entry = entries[*it];
        if (std::find(entry.blocks.begin(), entry.blocks.end(), block) != entry.blocks.end())
            return;
        entry.blocks.push_back(block);
        ++fragments;
        if (!blocks[block].carried) {
            blocks[block].carried = true;
            blocks[block].entry = *it;
            blocks[block].number = int(entry.blocks.size());
        } else {
            ++mShared;
        }
    };
    for (size_t i = 0; i < words.size(); ++i)
        add(words[i].headword, blockOfWord[i]);
    mDefinitions = qsizetype(words.size());
    mSynonyms = qsizetype(synonyms.size());
    for (const WLStarDictSynonym &synonym : synonyms)
        add(synonym.headword, blockOfWord[synonym.original]);
    if (entries.empty()) {
        mError = u"%1: no headwords"_s.arg(idxPath);
        return false;
    }
    mHeadwords = qsizetype(entries.size());

    // Cross-references match headwords without regard to case, as StarDict
    // looks words up; the headword itself wins over another spelling.
    std::vector<QString> headwords;
    std::vector<size_t> all;
    headwords.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        headwords.push_back(entries[i].headword);
        all.push_back(i);
    }
    const WLFoldedHeadwords folded(headwords, all);
    const WLStarDictHtml::Resolver resolve = [&](const QString &reference) -> std::optional<QString> {
        const QString wanted = reference.trimmed();
        if (entryOf.contains(wanted))
            return wanted;
        if (const WLFoldedHeadwords::Class *found = folded.find(wanted))
            return headwords[found->first];
        return std::nullopt;
    };

    struct Chunk
    {
        size_t begin = 0;
        size_t end = 0;
        QByteArray out;
        QString error;
        QStringList media;
        WLStarDictHtml::Result counts;
    };
    const auto render = [&](Chunk &chunk) {
        QByteArray &out = chunk.out;
        std::vector<WLStarDictItem> items;
        QSet<QString> used;
        for (size_t e = chunk.begin; e < chunk.end; ++e) {
            const Entry &entry = entries[e];
            out += "{\"headword\":";
            wlAppendJsonString(out, entry.headword);
            out += ",\"fragments\":[";
            for (size_t n = 0; n < entry.blocks.size(); ++n) {
                if (n > 0)
                    out += ',';
                const Block &block = blocks[entry.blocks[n]];
                if (block.entry != e || block.number != int(n + 1)) {
                    out += "{\"sameAs\":";
                    wlAppendJsonString(out, entries[block.entry].headword + u'#' +
                                                QString::number(block.number));
                    out += '}';
                    continue;
                }
                QString why;
                const std::optional<QByteArray> bytes = data->read(block.offset, block.size, &why);
                WLStarDictHtml::Result html;
                bool ok = bytes && WLStarDictItems::split(*bytes, block.offset,
                                                          info->sameTypeSequence, items, &why);
                for (size_t i = 0; ok && i < items.size(); ++i)
                    ok = WLStarDictHtml::append(items[i], resolve, resources, html, &why);
                if (!ok) {
                    chunk.error = bytes ? u"%1: %2 (\"%3\")"_s.arg(dictPath, why, entry.headword)
                                        : why;
                    return;
                }
                // StarDict's text leaves the headword to the program that
                // shows it (but XDXF's <k>), and the reader's page names it
                // nowhere else. Copies of this fragment (a synonym, a form)
                // show the word they copy.
                if (n == 0 && !html.html.contains(u"class=\"xdxf-k\""_s))
                    html.html.prepend(u"<h1 class=\"sd-hw\">"_s + entry.headword.toHtmlEscaped() + u"</h1>"_s);
                if (html.media.isEmpty()) {
                    wlAppendJsonString(out, html.html);
                } else {
                    out += "{\"html\":";
                    wlAppendJsonString(out, html.html);
                    out += ",\"media\":[";
                    for (qsizetype m = 0; m < html.media.size(); ++m) {
                        if (m > 0)
                            out += ',';
                        wlAppendJsonString(out, html.media[m]);
                        if (!used.contains(html.media[m])) {
                            used.insert(html.media[m]);
                            chunk.media.append(html.media[m]);
                        }
                    }
                    out += "]}";
                }
                chunk.counts.links += html.links;
                chunk.counts.unresolved += html.unresolved;
                chunk.counts.missingResources += html.missingResources;
                chunk.counts.removed += html.removed;
                chunk.counts.skipped += html.skipped;
            }
            out += "]}\n";
        }
    };

    const QDir dir(sourceDir);
    QSaveFile entriesFile(dir.filePath(u"entries.jsonl"_s));
    if (!entriesFile.open(QIODevice::WriteOnly)) {
        mError = u"%1: %2"_s.arg(entriesFile.fileName(), entriesFile.errorString());
        return false;
    }
    meter.begin(u"writing entries.jsonl"_s, qint64(entries.size()));
    QStringList media;
    QSet<QString> mediaSeen;
    const bool written = wlRenderInOrder<Chunk>(
        entries.size(),
        [&](size_t begin) { return std::min(entries.size(), begin + kChunkEntries); }, render,
        [&](Chunk &chunk) {
            if (!chunk.error.isEmpty()) {
                mError = chunk.error;
                return false;
            }
            entriesFile.write(chunk.out);
            meter.add(qint64(chunk.end - chunk.begin));
            mLinks += chunk.counts.links;
            mUnresolved += chunk.counts.unresolved;
            mMissing += chunk.counts.missingResources;
            mRemoved += chunk.counts.removed;
            mSkippedItems += chunk.counts.skipped;
            for (const QString &reference : std::as_const(chunk.media)) {
                if (!mediaSeen.contains(reference)) {
                    mediaSeen.insert(reference);
                    media.append(reference);
                }
            }
            return true;
        });
    if (!written)
        return false;
    if (!entriesFile.commit()) {
        mError = u"%1: %2"_s.arg(entriesFile.fileName(), entriesFile.errorString());
        return false;
    }

    // The pictures and sounds the entries show, and only those.
    meter.begin(u"copying pictures and sounds"_s, media.size());
    std::sort(media.begin(), media.end());
    for (const QString &reference : std::as_const(media)) {
        const WLStarDictResources::Media *found = resources.byReference(reference);
        const QString to = dir.filePath(reference);
        const QFileInfo from(found->path);
        if (!from.isFile() || from.isSymLink()) {
            mError = u"%1: no longer a file"_s.arg(found->path);
            return false;
        }
        if (from.size() > WLStarDictResources::kLargestFile) {
            mError = u"%1: %2 bytes; a picture or sound may have at most %3"_s.arg(
                found->path, QString::number(from.size()),
                QString::number(WLStarDictResources::kLargestFile));
            return false;
        }
        if (!QDir().mkpath(QFileInfo(to).path()) || !QFile::copy(found->path, to)) {
            mError = u"%1: cannot copy to %2"_s.arg(found->path, to);
            return false;
        }
        ++(found->kind == WLStarDictResources::Kind::Picture ? mPictures : mSounds);
        meter.add(1);
    }

    mTitle = mTitleOverride.isEmpty() ? info->bookName : mTitleOverride;
    QStringList about;
    if (const QString description = descriptionText(info->description); !description.isEmpty())
        about.append(description);
    QStringList facts;
    for (const auto &[label, value] : {std::pair{u"Author"_s, info->author},
                                       std::pair{u"E-mail"_s, info->email},
                                       std::pair{u"Website"_s, info->website},
                                       std::pair{u"Date"_s, info->date}}) {
        if (!value.isEmpty())
            facts.append(label + u": "_s + value);
    }
    if (!facts.isEmpty())
        about.append(facts.join(u'\n'));

    QJsonArray tables;
    if (mPictures > 0)
        tables.append(QJsonObject{{u"table"_s, u"pictures"_s}, {u"folder"_s, u"pictures"_s}});
    if (mSounds > 0)
        tables.append(QJsonObject{{u"table"_s, u"sounds"_s}, {u"folder"_s, u"sounds"_s}});
    QJsonObject manifest = WLImportManifest::make(
        mTitle, WLImportManifest::identifier(u"stardict"_s, QFileInfo(base).fileName()), mLanguage,
        kStyle);
    if (!tables.isEmpty())
        manifest.insert(u"media"_s, tables);
    if (!about.isEmpty())
        manifest.insert(u"about"_s, about.join(u"\n\n"_s));
    if (!WLImportManifest::write(sourceDir, manifest, &mError))
        return false;
    return true;
}

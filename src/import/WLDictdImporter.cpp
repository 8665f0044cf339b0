#include "WLDictdImporter.h"

#include "WLDictdDataFile.h"
#include "WLDictdHtml.h"
#include "WLDictdIndex.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kWriteBuffer = 1 << 20;

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

void appendJsonString(QByteArray &out, const QString &text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (uchar(c) < 0x20) {
                static constexpr char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[uchar(c) >> 4];
                out += hex[uchar(c) & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

WLDictdImporter::WLDictdImporter(QString indexPath, QString dataPath)
    : m_indexPath(std::move(indexPath)), m_dataPath(std::move(dataPath))
{
}

bool WLDictdImporter::writeSource(const QString &sourceDir)
{
    m_error.clear();
    m_headwords = m_definitions = m_shared = m_links = m_unresolved = m_skipped = 0;

    std::vector<WLDictdIndexEntry> index;
    if (!WLDictdIndex::read(m_indexPath, index, &m_error, &m_skipped))
        return false;
    std::unique_ptr<WLDictdDataFile> data = WLDictdDataFile::open(m_dataPath, &m_error);
    if (!data)
        return false;
    const auto readText = [&](const WLDictdIndexEntry &entry) -> std::optional<QByteArray> {
        QString why;
        auto bytes = data->read(entry.offset, entry.length, &why);
        if (!bytes)
            m_error = u"%1:%2: %3"_s.arg(m_indexPath).arg(entry.line).arg(why);
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
            auto bytes = readText(index[i]);
            if (!bytes)
                return false;
            metadata.insert(key, std::move(*bytes));
        }
    }
    if (words.empty()) {
        m_error = u"%1: no headwords"_s.arg(m_indexPath);
        return false;
    }

    std::vector<QString> headwords(index.size());
    QSet<QString> exact;
    QHash<QString, QString> folded;
    exact.reserve(qsizetype(words.size()));
    folded.reserve(qsizetype(words.size()));
    for (const size_t i : words) {
        headwords[i] = decodeText(index[i].headword, utf8).trimmed();
        exact.insert(headwords[i]);
        const QString key = headwords[i].toCaseFolded();
        if (!folded.contains(key))
            folded.insert(key, headwords[i]);
    }
    m_headwords = exact.size();
    // dictd matches references without regard to case, so do we.
    const WLDictdHtml::Resolver resolve = [&](const QString &reference) -> std::optional<QString> {
        if (exact.contains(reference))
            return reference;
        const auto it = folded.constFind(reference.toCaseFolded());
        if (it != folded.cend())
            return *it;
        return std::nullopt;
    };

    m_title = m_titleOverride;
    if (m_title.isEmpty())
        m_title = metadataBody(decodeText(metadata.value(u"short"_s), utf8)).simplified();
    if (m_title.isEmpty())
        m_title = QFileInfo(m_indexPath).completeBaseName();
    QStringList about;
    for (const QString &key : kAboutKeys) {
        const QString text = dedent(metadataBody(decodeText(metadata.value(key), utf8)));
        if (!text.isEmpty())
            about.append(text);
    }

    if (!QDir().mkpath(sourceDir)) {
        m_error = u"%1: cannot create the folder"_s.arg(sourceDir);
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
        size_t first = 0;
        int users = 0;
        QString linkText; // the carrier's "headword#n", once written
    };
    std::vector<size_t> blockOf(index.size());
    std::vector<Block> blocks;
    {
        QHash<std::pair<quint64, quint64>, size_t> known;
        known.reserve(qsizetype(words.size()));
        for (const size_t i : words) {
            const auto place = std::make_pair(index[i].offset, index[i].length);
            auto it = known.constFind(place);
            if (it == known.cend()) {
                it = known.insert(place, blocks.size());
                blocks.push_back({i, 0, {}});
            }
            blockOf[i] = *it;
            ++blocks[*it].users;
        }
    }
    // The headword in bold of each shared text, read once per text.
    QHash<size_t, QList<size_t>> usersOf;
    for (const size_t i : words) {
        if (blocks[blockOf[i]].users > 1)
            usersOf[blockOf[i]].append(i);
    }
    QHash<size_t, QString> emphasisOf;
    for (auto it = usersOf.cbegin(); it != usersOf.cend(); ++it) {
        const auto bytes = readText(index[blocks[it.key()].first]);
        if (!bytes)
            return false;
        const QString text = decodeText(*bytes, utf8);
        QString emphasis;
        for (const size_t i : it.value()) {
            if (headwords[i].size() > emphasis.size() &&
                WLDictdHtml::beginsWith(text, headwords[i]))
                emphasis = headwords[i];
        }
        emphasisOf.insert(it.key(), emphasis);
    }
    usersOf.clear();

    QSaveFile entries(dir.filePath(u"entries.jsonl"_s));
    if (!entries.open(QIODevice::WriteOnly)) {
        m_error = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }
    QHash<QString, int> fragmentsOf; // the compiler numbers a headword's fragments in file order
    QByteArray buffer;
    buffer.reserve(kWriteBuffer + (kWriteBuffer >> 2));
    for (size_t w = 0; w < words.size();) {
        const QString &headword = headwords[words[w]];
        int &fragments = fragmentsOf[headword];
        buffer += "{\"headword\":";
        appendJsonString(buffer, headword);
        buffer += ",\"fragments\":[";
        // Adjacent index lines of one headword are its several definitions.
        for (bool first = true; w < words.size() && headwords[words[w]] == headword;
             ++w, first = false) {
            if (!first)
                buffer += ',';
            ++fragments;
            ++m_definitions;
            Block &block = blocks[blockOf[words[w]]];
            if (!block.linkText.isEmpty()) {
                buffer += "{\"sameAs\":";
                appendJsonString(buffer, block.linkText);
                buffer += '}';
                ++m_shared;
                continue;
            }
            const auto bytes = readText(index[words[w]]);
            if (!bytes)
                return false;
            const bool shared = block.users > 1;
            const WLDictdHtml::Result html = WLDictdHtml::definition(
                decodeText(*bytes, utf8), shared ? emphasisOf.value(blockOf[words[w]]) : headword,
                resolve);
            appendJsonString(buffer, html.html);
            if (shared)
                block.linkText = u"%1#%2"_s.arg(headword).arg(fragments);
            m_links += html.links;
            m_unresolved += html.unresolved;
        }
        buffer += "]}\n";
        if (buffer.size() >= kWriteBuffer) {
            entries.write(buffer);
            buffer.clear();
        }
    }
    entries.write(buffer);
    if (!entries.commit()) {
        m_error = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }

    QJsonObject manifest{
        {u"title"_s, m_title},
        {u"charset"_s, u"UTF-8"_s},
        {u"language"_s, m_language.isEmpty() ? u"root"_s : m_language},
        {u"header"_s, u"<html><head><meta charset=\"UTF-8\">"_s + kStyle + u"</head><body>"_s},
        {u"largeHeader"_s,
         u"<html><head><meta charset=\"UTF-8\">"_s + kStyle +
             u"<style>body{font-size:150%}</style></head><body class=\"large\">"_s},
        {u"footer"_s, u"</body></html>"_s},
        {u"separator"_s, u"<hr>"_s},
        {u"entries"_s, u"entries.jsonl"_s},
    };
    if (!about.isEmpty())
        manifest.insert(u"about"_s, about.join(u"\n\n"_s));
    QSaveFile manifestFile(dir.filePath(u"manifest.json"_s));
    if (!manifestFile.open(QIODevice::WriteOnly)) {
        m_error = u"%1: %2"_s.arg(manifestFile.fileName(), manifestFile.errorString());
        return false;
    }
    manifestFile.write(QJsonDocument(manifest).toJson(QJsonDocument::Indented));
    if (!manifestFile.commit()) {
        m_error = u"%1: %2"_s.arg(manifestFile.fileName(), manifestFile.errorString());
        return false;
    }
    return true;
}

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

const QString kStyle = u"<style>body{font-family:serif;margin:0.6em;line-height:1.35}"
                       "p{margin:0 0 0.6em}a{text-decoration:none}"
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
    : mIndexPath(std::move(indexPath)), mDataPath(std::move(dataPath))
{
}

bool WLDictdImporter::writeSource(const QString &sourceDir)
{
    mError.clear();
    mHeadwords = mDefinitions = mLinks = mUnresolved = mSkipped = 0;

    std::vector<WLDictdIndexEntry> index;
    if (!WLDictdIndex::read(mIndexPath, index, &mError, &mSkipped))
        return false;
    std::unique_ptr<WLDictdDataFile> data = WLDictdDataFile::open(mDataPath, &mError);
    if (!data)
        return false;
    const auto readText = [&](const WLDictdIndexEntry &entry) -> std::optional<QByteArray> {
        QString why;
        auto bytes = data->read(entry.offset, entry.length, &why);
        if (!bytes)
            mError = u"%1:%2: %3"_s.arg(mIndexPath).arg(entry.line).arg(why);
        return bytes;
    };

    // The database's own entries first: they decide the charset.
    bool utf8 = false;
    QByteArray shortText, longText, infoText, urlText;
    std::vector<size_t> words;
    words.reserve(index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        const QString key = metadataKey(index[i].headword);
        if (key.isNull()) {
            words.push_back(i);
            continue;
        }
        QByteArray *target = key == u"short"_s  ? &shortText
                             : key == u"long"_s ? &longText
                             : key == u"info"_s ? &infoText
                             : key == u"url"_s  ? &urlText
                                                : nullptr;
        if (key == u"utf8"_s)
            utf8 = true;
        if (target) {
            auto bytes = readText(index[i]);
            if (!bytes)
                return false;
            *target = std::move(*bytes);
        }
    }
    if (words.empty()) {
        mError = u"%1: no headwords"_s.arg(mIndexPath);
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
    mHeadwords = exact.size();
    // dictd matches references without regard to case, so do we.
    const WLDictdHtml::Resolver resolve = [&](const QString &reference) -> std::optional<QString> {
        if (exact.contains(reference))
            return reference;
        const auto it = folded.constFind(reference.toCaseFolded());
        if (it != folded.cend())
            return *it;
        return std::nullopt;
    };

    mTitle = mTitleOverride;
    if (mTitle.isEmpty())
        mTitle = metadataBody(decodeText(shortText, utf8)).simplified();
    if (mTitle.isEmpty())
        mTitle = QFileInfo(mIndexPath).completeBaseName();
    QString about = WLDictdHtml::paragraphs(metadataBody(decodeText(longText, utf8)));
    about += WLDictdHtml::paragraphs(metadataBody(decodeText(infoText, utf8)));
    const QString url = metadataBody(decodeText(urlText, utf8)).trimmed();
    if (!url.isEmpty()) {
        about += u"<p>"_s;
        WLDictdHtml::appendEscaped(about, url);
        about += u"</p>"_s;
    }

    if (!QDir().mkpath(sourceDir)) {
        mError = u"%1: cannot create the folder"_s.arg(sourceDir);
        return false;
    }
    const QDir dir(sourceDir);

    QSaveFile entries(dir.filePath(u"entries.jsonl"_s));
    if (!entries.open(QIODevice::WriteOnly)) {
        mError = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }
    QByteArray buffer;
    buffer.reserve(kWriteBuffer + (kWriteBuffer >> 2));
    for (size_t w = 0; w < words.size();) {
        const QString &headword = headwords[words[w]];
        buffer += "{\"headword\":";
        appendJsonString(buffer, headword);
        buffer += ",\"fragments\":[";
        // Adjacent index lines of one headword are its several definitions.
        for (bool first = true; w < words.size() && headwords[words[w]] == headword;
             ++w, first = false) {
            const WLDictdIndexEntry &entry = index[words[w]];
            const auto bytes = readText(entry);
            if (!bytes)
                return false;
            const WLDictdHtml::Result html =
                WLDictdHtml::definition(decodeText(*bytes, utf8), headword, resolve);
            if (!first)
                buffer += ',';
            appendJsonString(buffer, html.html);
            ++mDefinitions;
            mLinks += html.links;
            mUnresolved += html.unresolved;
        }
        buffer += "]}\n";
        if (buffer.size() >= kWriteBuffer) {
            entries.write(buffer);
            buffer.clear();
        }
    }
    entries.write(buffer);
    if (!entries.commit()) {
        mError = u"%1: %2"_s.arg(entries.fileName(), entries.errorString());
        return false;
    }

    QJsonObject manifest{
        {u"title"_s, mTitle},
        {u"charset"_s, u"UTF-8"_s},
        {u"language"_s, mLanguage.isEmpty() ? u"root"_s : mLanguage},
        {u"header"_s, u"<html><head><meta charset=\"UTF-8\">"_s + kStyle + u"</head><body>"_s},
        {u"largeHeader"_s,
         u"<html><head><meta charset=\"UTF-8\">"_s + kStyle +
             u"<style>body{font-size:150%}</style></head><body class=\"large\">"_s},
        {u"footer"_s, u"</body></html>"_s},
        {u"separator"_s, u"<hr>"_s},
        {u"entries"_s, u"entries.jsonl"_s},
    };
    if (!about.isEmpty())
        manifest.insert(u"about"_s, about);
    QSaveFile manifestFile(dir.filePath(u"manifest.json"_s));
    if (!manifestFile.open(QIODevice::WriteOnly)) {
        mError = u"%1: %2"_s.arg(manifestFile.fileName(), manifestFile.errorString());
        return false;
    }
    manifestFile.write(QJsonDocument(manifest).toJson(QJsonDocument::Indented));
    if (!manifestFile.commit()) {
        mError = u"%1: %2"_s.arg(manifestFile.fileName(), manifestFile.errorString());
        return false;
    }
    return true;
}

#include "WLBundleWriter.h"

#include "WLContentsBlobs.h"
#include "WLDictionaryLayout.h"
#include "WLParallel.h"
#include "WLProgress.h"
#include "WLPropertyList.h"
#include "WLSourceEntry.h"
#include "WLSourceManifest.h"
#include "WLSourceMessage.h"
#include "WLSqliteBatchInsert.h"
#include "WLSqliteWriter.h"
#include "WLTextEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QVariantMap>

#include <atomic>
#include <charconv>
#include <iterator>
#include <span>

using namespace Qt::StringLiterals;

namespace {

const QString kDescription = u"DatabaseInfo.plist"_s;
const QString kHeadwordFile = u"headword.db"_s;
const QString kLinkFile = u"link.db"_s;
const QString kSearchFile = u"search.db"_s;
const QString kEqualFile = u"equal.db"_s;
const QString kContentsFile = u"contents.db"_s;

// Every letter index table has the same four columns.
constexpr char kIndexColumns[] =
    "(id INTEGER PRIMARY KEY, letter TEXT NOT NULL, offset INTEGER NOT NULL, "
    "count INTEGER NOT NULL)";

bool writeLetterIndex(WLSqliteWriter &db, const char *table, const QList<WLLetterRange> &ranges,
                      QString *errorMessage)
{
    const QByteArray create = QByteArray("CREATE TABLE ") + table + kIndexColumns + ';';
    if (!db.exec(create.constData(), errorMessage))
        return false;
    const QByteArray sql =
        QByteArray("INSERT INTO ") + table + "(id, letter, offset, count) VALUES (?, ?, ?, ?);";
    WLSqliteInsert insert(db, sql.constData(), errorMessage);
    if (!insert)
        return false;
    for (qsizetype i = 0; i < ranges.size(); ++i) {
        insert.bind(1, qint64(i) + 1);
        insert.bind(2, ranges[i].letter);
        insert.bind(3, ranges[i].offset);
        insert.bind(4, ranges[i].count);
        if (!insert.run(errorMessage))
            return false;
    }
    return true;
}

// Adds the keys of one letter index table to the description.
void describeIndex(QVariantMap &info, const QString &prefix, const QString &file,
                   const QString &table)
{
    info.insert(prefix + u"DatabaseFileName"_s, file);
    info.insert(prefix + u"TableName"_s, table);
    info.insert(prefix + u"IDColumn"_s, u"id"_s);
    info.insert(prefix + u"LetterColumn"_s, u"letter"_s);
    info.insert(prefix + u"OffsetColumn"_s, u"offset"_s);
    info.insert(prefix + u"CountColumn"_s, u"count"_s);
}

} // namespace

WLBundleWriter::WLBundleWriter(const QString &sourceDir, const WLSourceManifest &manifest,
                               const QList<WLSourceEntry> &entries,
                               const WLTextStore &fragmentTexts, const WLDictionaryLayout &layout,
                               const WLTextEncoder &encoder, WLTableLayout tables)
    : mSourceDir(sourceDir), mManifest(manifest), mEntries(entries),
      mFragmentTexts(fragmentTexts), mLayout(layout), mEncoder(encoder), mTables(tables)
{
}

const QStringList &WLBundleWriter::reservedNames()
{
    static const QStringList names = {kDescription, kHeadwordFile, kLinkFile,    kSearchFile,
                                      kEqualFile,   kContentsFile, u"media.db"_s};
    return names;
}

QString WLBundleWriter::path(const QString &name) const
{
    return QDir(mBundleDir).filePath(name);
}

namespace {

// The number of digits of 1 .. n, all written one after the other.
qsizetype digitsUpTo(qsizetype n)
{
    qsizetype digits = 0;
    for (qsizetype low = 1, width = 1; low <= n; low *= 10, ++width)
        digits += (std::min(n, low * 10 - 1) - low + 1) * width;
    return digits;
}

} // namespace

void WLBundleWriter::encodeTexts()
{
    // Numbers written straight into the texts, without a QByteArray each.
    const auto appendNumber = [this](int number) {
        char digits[12];
        mTexts.append(digits, std::to_chars(digits, std::end(digits), number).ptr - digits);
    };
    mEntryTexts.resize(mEntries.size());
    for (qsizetype entry = 0; entry < mEntries.size(); ++entry) {
        const WLSourceEntry &source = mEntries[entry];
        EntryTexts &texts = mEntryTexts[entry];
        texts.at = mTexts.size();
        mTexts.append(source.headword.toUtf8());
        texts.headword = int(mTexts.size() - texts.at);
        mTexts.append(source.looks.join(QLatin1Char('\t')).toUtf8());
        texts.looks = int(mTexts.size() - texts.at) - texts.headword;
        // "headword#1", "headword#2", ...: the headword, "#" and the
        // fragment's number counted from 1.
        qsizetype start = mTexts.size();
        for (int n = 0; n < source.fragments.size(); ++n) {
            if (n > 0)
                mTexts.append('\t');
            mTexts.append(mTexts.constData() + texts.at, texts.headword).append('#');
            appendNumber(n + 1);
        }
        texts.links = int(mTexts.size() - start);
        start = mTexts.size();
        for (int n = 0; n < source.fragments.size(); ++n) {
            if (n > 0)
                mTexts.append('\t');
            appendNumber(mLayout.contentsID(int(entry), n));
        }
        texts.contentsIDs = int(mTexts.size() - start);
    }
    mLookTexts.reserve(mLayout.looks.size() + 1);
    for (const QString &look : mLayout.looks) {
        mLookTexts.append(mTexts.size());
        mTexts.append(look.toUtf8());
    }
    mLookTexts.append(mTexts.size());
    mTexts.squeeze();
}

QByteArrayView WLBundleWriter::headword(int entry) const
{
    const EntryTexts &t = mEntryTexts[entry];
    return text(t.at, t.headword);
}

QByteArrayView WLBundleWriter::looks(int entry) const
{
    const EntryTexts &t = mEntryTexts[entry];
    return text(t.at + t.headword, t.looks);
}

QByteArrayView WLBundleWriter::links(int entry) const
{
    const EntryTexts &t = mEntryTexts[entry];
    return text(t.at + t.headword + t.looks, t.links);
}

QByteArrayView WLBundleWriter::contentsIDs(int entry) const
{
    const EntryTexts &t = mEntryTexts[entry];
    return text(t.at + t.headword + t.looks + t.links, t.contentsIDs);
}

QByteArrayView WLBundleWriter::linkText(int entry, int fragment) const
{
    // Every link text before it is the headword, "#", its number and a tab.
    const EntryTexts &t = mEntryTexts[entry];
    const qsizetype before = qsizetype(fragment) * (t.headword + 2) + digitsUpTo(fragment);
    const qsizetype size = t.headword + 1 + (digitsUpTo(fragment + 1) - digitsUpTo(fragment));
    return text(t.at + t.headword + t.looks + before, int(size));
}

QByteArrayView WLBundleWriter::look(int look) const
{
    return text(mLookTexts[look], int(mLookTexts[look + 1] - mLookTexts[look]));
}

bool WLBundleWriter::write(const QString &bundleDir, QString *errorMessage,
                           WLProgressMeter *meter)
{
    mBundleDir = bundleDir;
    WLProgressMeter silent(nullptr);
    mMeter = meter ? meter : &silent;
    const bool shared = mTables == WLTableLayout::Shared;
    mMeter->begin(QStringLiteral("writing contents.db"),
                  mLayout.headwords.size() + mLayout.links.size() + mLayout.search.size() +
                      mLayout.equal.size() + mLayout.contents.size());

    // The database files share nothing. contents.db takes about as long as
    // the other tables together, their texts included, or longer: it is
    // written beside them, and the thread that wrote them then helps make its
    // rows. A failure is reported as if the files had been written one after
    // the other: the first file's in this order.
    struct TableFile
    {
        bool (WLBundleWriter::*write)(QString *) const;
        const QString &name;
    };
    static const TableFile separateFiles[] = {
        {&WLBundleWriter::writeHeadwords, kHeadwordFile},
        {&WLBundleWriter::writeLinks, kLinkFile},
        {&WLBundleWriter::writeSearch, kSearchFile},
        {&WLBundleWriter::writeEqualSearch, kEqualFile}};
    static const TableFile sharedFiles[] = {{&WLBundleWriter::writeSharedTables, kHeadwordFile}};
    const std::span<const TableFile> tableFiles =
        shared ? std::span<const TableFile>(sharedFiles) : std::span<const TableFile>(separateFiles);
    constexpr int kMostFiles = 1 + int(std::size(separateFiles));
    const int fileCount = 1 + int(tableFiles.size());
    QString messages[kMostFiles];
    bool written[kMostFiles] = {};
    std::atomic_bool failed = false;
    WLContentsBlobs blobs(mEntries, mFragmentTexts, mLayout, mManifest.entriesFile);
    wlRunConcurrently(2, [&](int group) {
        if (group == 0) {
            written[0] = writeContents(blobs, &messages[0]);
            if (!written[0])
                failed = true;
            blobs.stop();
            return;
        }
        encodeTexts();
        // Once one file has failed the build has, so the rest are skipped.
        for (int i = 1; i < fileCount && !failed; ++i) {
            mMeter->setDetail(tableFiles[i - 1].name);
            written[i] = (this->*tableFiles[i - 1].write)(&messages[i]);
            if (!written[i])
                failed = true;
        }
        mMeter->setDetail({});
        // Freed here, while the contents may still be written.
        mEntryTexts = {};
        mLookTexts = {};
        mTexts = {};
        if (!failed)
            blobs.help(mEncoder.charsetName());
    });
    for (int i = 0; i < fileCount; ++i) {
        if (!written[i]) {
            *errorMessage = messages[i];
            return false;
        }
    }
    return copyResources(errorMessage) && writeDescription(errorMessage);
}

namespace {

// Rows 1 to count of a table, each bound by bindRow after its ID, counted
// in the build's progress.
template <typename BindRow>
bool insertRows(WLSqliteWriter &db, const char *into, int columns, qsizetype count,
                WLProgressMeter &meter, QString *errorMessage, BindRow bindRow)
{
    WLSqliteBatchInsert insert(db, into, columns, count, errorMessage);
    if (!insert)
        return false;
    WLProgressMeter::Counter rows(meter);
    for (qsizetype i = 0; i < count; ++i, rows.step()) {
        insert.bind(1, qint64(i) + 1);
        bindRow(insert, i);
        if (!insert.run(errorMessage))
            return false;
    }
    return true;
}

} // namespace

bool WLBundleWriter::writeHeadwords(QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kHeadwordFile), errorMessage) ||
        !db.exec("CREATE TABLE headword(id INTEGER PRIMARY KEY, look TEXT NOT NULL, "
                 "word TEXT NOT NULL, links TEXT NOT NULL, contents_ids TEXT NOT NULL);",
                 errorMessage))
        return false;
    if (!insertRows(db, "headword(id, look, word, links, contents_ids)", 5,
                    mLayout.headwords.size(), *mMeter, errorMessage,
                    [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const int entry = mLayout.headwords[i];
                        insert.bindUtf8(2, looks(entry));
                        insert.bindUtf8(3, headword(entry));
                        insert.bindUtf8(4, links(entry));
                        insert.bindUtf8(5, contentsIDs(entry));
                    }))
        return false;
    return writeLetterIndex(db, "headword_index", mLayout.sections, errorMessage) &&
           db.finish(errorMessage);
}

bool WLBundleWriter::writeLinks(QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kLinkFile), errorMessage) ||
        !db.exec("CREATE TABLE link(id INTEGER PRIMARY KEY, word TEXT NOT NULL, "
                 "link TEXT NOT NULL, contents_id INTEGER NOT NULL);",
                 errorMessage))
        return false;
    if (!insertRows(db, "link(id, word, link, contents_id)", 4, mLayout.links.size(), *mMeter,
                    errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::Fragment &fragment = mLayout.links[i];
                        insert.bindUtf8(2, headword(fragment.entry));
                        insert.bindUtf8(3, linkText(fragment.entry, fragment.fragment));
                        insert.bind(4, mLayout.linkContents[i]);
                    }))
        return false;
    return writeLetterIndex(db, "link_index", mLayout.linkIndex, errorMessage) &&
           db.finish(errorMessage);
}

bool WLBundleWriter::writeSearch(QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kSearchFile), errorMessage) ||
        !db.exec("CREATE TABLE search(id INTEGER PRIMARY KEY, look TEXT NOT NULL, "
                 "word TEXT NOT NULL, link TEXT NOT NULL, contents_id INTEGER NOT NULL);",
                 errorMessage))
        return false;
    if (!insertRows(db, "search(id, look, word, link, contents_id)", 5, mLayout.search.size(),
                    *mMeter, errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::SearchRow &row = mLayout.search[i];
                        insert.bindUtf8(2, look(row.look));
                        insert.bindUtf8(3, headword(row.entry));
                        insert.bindUtf8(4, linkText(row.entry, row.fragment));
                        insert.bind(5, mLayout.contentsID(row.entry, row.fragment));
                    }))
        return false;
    return writeLetterIndex(db, "search_index", mLayout.searchIndex, errorMessage) &&
           db.finish(errorMessage);
}

bool WLBundleWriter::writeEqualSearch(QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kEqualFile), errorMessage) ||
        !db.exec("CREATE TABLE equal_search(id INTEGER PRIMARY KEY, look TEXT NOT NULL, "
                 "word TEXT NOT NULL, links TEXT NOT NULL, contents_ids TEXT NOT NULL);",
                 errorMessage))
        return false;
    if (!insertRows(db, "equal_search(id, look, word, links, contents_ids)", 5,
                    mLayout.equal.size(), *mMeter, errorMessage,
                    [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::EqualRow &row = mLayout.equal[i];
                        insert.bindUtf8(2, look(row.look));
                        insert.bindUtf8(3, headword(row.entry));
                        insert.bindUtf8(4, links(row.entry));
                        insert.bindUtf8(5, contentsIDs(row.entry));
                    }))
        return false;
    return writeLetterIndex(db, "equal_search_index", mLayout.equalIndex, errorMessage) &&
           db.finish(errorMessage);
}

// Each headword is stored once, in the entry row of its headword ID, and the
// rows of the link and search tables name it by that ID. The tables the
// description names are views over these rows, so every query the reader
// makes of the separate tables answers the same rows in the same order.
// The search rows keep their link texts and the whole words have rows of
// their own: made by SQL as the search reads them, link texts cost it a
// third more time (docs/PERFORMANCE.md).
constexpr char kSharedSchema[] =
    "CREATE TABLE entry(id INTEGER PRIMARY KEY, word TEXT NOT NULL, links TEXT, "
    "contents_ids NOT NULL);"
    "CREATE TABLE link_row(id INTEGER PRIMARY KEY, entry INTEGER NOT NULL, "
    "fragment INTEGER NOT NULL, contents_id INTEGER NOT NULL);"
    "CREATE TABLE search_row(id INTEGER PRIMARY KEY, look TEXT NOT NULL, "
    "entry INTEGER NOT NULL, link TEXT NOT NULL, contents_id INTEGER NOT NULL);"
    "CREATE TABLE equal_row(id INTEGER PRIMARY KEY, look TEXT NOT NULL, "
    "entry INTEGER NOT NULL);"
    // An entry of one fragment keeps neither its link text nor a text of
    // its one contents ID; the views answer texts, as the separate tables
    // do. The reader never reads the headword's looks.
    "CREATE VIEW headword AS SELECT id, NULL AS look, word, "
    "coalesce(links, word || '#1') AS links, CAST(contents_ids AS TEXT) AS contents_ids "
    "FROM entry;"
    // CROSS JOIN keeps the row table outermost, so rows come in its order.
    "CREATE VIEW link AS SELECT l.id AS id, e.word AS word, e.word || '#' || l.fragment AS link, "
    "l.contents_id AS contents_id FROM link_row l CROSS JOIN entry e ON e.id = l.entry;"
    "CREATE VIEW search AS SELECT s.id AS id, s.look AS look, e.word AS word, s.link AS link, "
    "s.contents_id AS contents_id FROM search_row s CROSS JOIN entry e ON e.id = s.entry;"
    "CREATE VIEW equal_search AS SELECT q.id AS id, q.look AS look, e.word AS word, "
    "coalesce(e.links, e.word || '#1') AS links, CAST(e.contents_ids AS TEXT) AS contents_ids "
    "FROM equal_row q CROSS JOIN entry e ON e.id = q.entry;";

bool WLBundleWriter::writeSharedTables(QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kHeadwordFile), errorMessage) || !db.exec(kSharedSchema, errorMessage))
        return false;
    QList<int> headwordIDs(mLayout.headwords.size());
    for (qsizetype i = 0; i < mLayout.headwords.size(); ++i)
        headwordIDs[mLayout.headwords[i]] = int(i) + 1;
    if (!insertRows(db, "entry(id, word, links, contents_ids)", 4, mLayout.headwords.size(),
                    *mMeter, errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const int entry = mLayout.headwords[i];
                        insert.bindUtf8(2, headword(entry));
                        if (mEntries[entry].fragments.size() == 1) {
                            insert.bindNull(3);
                            insert.bind(4, mLayout.contentsID(entry, 0));
                        } else {
                            insert.bindUtf8(3, links(entry));
                            insert.bindUtf8(4, contentsIDs(entry));
                        }
                    }))
        return false;
    if (!insertRows(db, "link_row(id, entry, fragment, contents_id)", 4, mLayout.links.size(),
                    *mMeter, errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::Fragment &fragment = mLayout.links[i];
                        insert.bind(2, headwordIDs[fragment.entry]);
                        insert.bind(3, fragment.fragment + 1);
                        insert.bind(4, mLayout.linkContents[i]);
                    }))
        return false;
    if (!insertRows(db, "search_row(id, look, entry, link, contents_id)", 5, mLayout.search.size(),
                    *mMeter, errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::SearchRow &row = mLayout.search[i];
                        insert.bindUtf8(2, look(row.look));
                        insert.bind(3, headwordIDs[row.entry]);
                        insert.bindUtf8(4, linkText(row.entry, row.fragment));
                        insert.bind(5, mLayout.contentsID(row.entry, row.fragment));
                    }))
        return false;
    if (!insertRows(db, "equal_row(id, look, entry)", 3, mLayout.equal.size(), *mMeter,
                    errorMessage, [&](WLSqliteBatchInsert &insert, qsizetype i) {
                        const WLDictionaryLayout::EqualRow &row = mLayout.equal[i];
                        insert.bindUtf8(2, look(row.look));
                        insert.bind(3, headwordIDs[row.entry]);
                    }))
        return false;
    return writeLetterIndex(db, "headword_index", mLayout.sections, errorMessage) &&
           writeLetterIndex(db, "link_index", mLayout.linkIndex, errorMessage) &&
           writeLetterIndex(db, "search_index", mLayout.searchIndex, errorMessage) &&
           writeLetterIndex(db, "equal_search_index", mLayout.equalIndex, errorMessage) &&
           db.finish(errorMessage);
}

bool WLBundleWriter::writeContents(WLContentsBlobs &blobs, QString *errorMessage) const
{
    WLSqliteWriter db;
    if (!db.create(path(kContentsFile), errorMessage) ||
        !db.exec("CREATE TABLE contents(id INTEGER PRIMARY KEY, data BLOB NOT NULL, "
                 "additions TEXT);",
                 errorMessage))
        return false;
    {
        // A batch of rows lies within one chunk of blobs, which stay until
        // the next chunk is taken; the media texts are kept for the batch.
        static_assert(WLContentsBlobs::kChunkRows % WLSqliteBatchInsert::kBatchRows == 0);
        WLSqliteBatchInsert insert(db, "contents(id, data, additions)", 3, mLayout.contents.size(),
                                   errorMessage);
        if (!insert)
            return false;
        QByteArray media[WLSqliteBatchInsert::kBatchRows];
        WLProgressMeter::Counter rows(*mMeter);
        for (qsizetype i = 0; i < mLayout.contents.size(); ++i, rows.step()) {
            const QByteArray *data = blobs.take(i, mEncoder, errorMessage);
            if (!data)
                return false;
            insert.bind(1, qint64(i) + 1);
            insert.bindBlob(2, *data);
            // The references were checked against the media tables.
            const WLDictionaryLayout::Fragment &at = mLayout.contents[i];
            const QStringList &references = mEntries[at.entry].fragments[at.fragment].media;
            QByteArray &text = media[i % WLSqliteBatchInsert::kBatchRows];
            text = references.join(QLatin1Char('\t')).toUtf8();
            if (references.isEmpty())
                insert.bindNull(3);
            else
                insert.bindUtf8(3, text);
            if (!insert.run(errorMessage))
                return false;
        }
    }
    return writeLetterIndex(db, "contents_index", mLayout.contentsIndex, errorMessage) &&
           db.finish(errorMessage);
}

bool WLBundleWriter::copyResources(QString *errorMessage)
{
    QStringList files;
    if (!mManifest.icon.isEmpty())
        files.append(mManifest.icon);
    for (const WLManifestValue &value : mManifest.appearance) {
        if (value.isFile && !files.contains(value.value))
            files.append(value.value);
    }
    for (const QString &name : std::as_const(files)) {
        if (reservedNames().contains(name.section(QLatin1Char('/'), 0, 0))) {
            *errorMessage = wlSourceMessage(u"manifest.json"_s, 0,
                                            QStringLiteral("\"%1\" is a name the bundle uses "
                                                           "itself")
                                                .arg(name));
            return false;
        }
        const QString target = path(name);
        if (!QDir().mkpath(QFileInfo(target).path()) ||
            !QFile::copy(QDir(mSourceDir).filePath(name), target)) {
            *errorMessage = QStringLiteral("cannot copy \"%1\" into the bundle").arg(name);
            return false;
        }
    }
    return true;
}

bool WLBundleWriter::writeDescription(QString *errorMessage)
{
    QVariantMap info;
    info.insert(u"KXPropDatabaseTitle"_s, mManifest.title);
    info.insert(u"KXPropDictionaryIdentifier"_s, mManifest.identifier);
    if (!mManifest.icon.isEmpty())
        info.insert(u"KXPropDatabaseIconFileName"_s, mManifest.icon);
    info.insert(u"KXPropSettingsHidden"_s, mManifest.settingsHidden);
    for (const WLManifestValue &value : mManifest.appearance)
        info.insert(value.key, value.value);

    info.insert(u"KXPropHTMLCharset"_s, mEncoder.charsetName());
    info.insert(u"KXPropHTMLHeaderString"_s, mManifest.header);
    if (!mManifest.largeHeader.isEmpty())
        info.insert(u"KXPropHTMLHeaderString2"_s, mManifest.largeHeader);
    info.insert(u"KXPropHTMLFooterString"_s, mManifest.footer);
    if (!mManifest.separator.isEmpty())
        info.insert(u"KXPropHTMLSeparatorString"_s, mManifest.separator);

    info.insert(u"KXPropHeadwordDatabaseFileName"_s, kHeadwordFile);
    info.insert(u"KXPropHeadwordTableName"_s, u"headword"_s);
    info.insert(u"KXPropHeadwordIDColumn"_s, u"id"_s);
    info.insert(u"KXPropHeadwordLookColumn"_s, u"look"_s);
    info.insert(u"KXPropHeadwordWordColumn"_s, u"word"_s);
    info.insert(u"KXPropHeadwordLinksColumn"_s, u"links"_s);
    info.insert(u"KXPropHeadwordContentsIDsColumn"_s, u"contents_ids"_s);
    info.insert(u"KXPropHeadwordIndexTableName"_s, u"headword_index"_s);
    info.insert(u"KXPropHeadwordIndexIDColumn"_s, u"id"_s);
    info.insert(u"KXPropHeadwordIndexLetterColumn"_s, u"letter"_s);
    info.insert(u"KXPropHeadwordIndexOffsetColumn"_s, u"offset"_s);
    info.insert(u"KXPropHeadwordIndexCountColumn"_s, u"count"_s);

    // The shared layout keeps every table in the headword file.
    const bool shared = mTables == WLTableLayout::Shared;
    info.insert(u"KXPropContentsLinkDatabaseFileName"_s, shared ? kHeadwordFile : kLinkFile);
    info.insert(u"KXPropContentsLinkTableName"_s, u"link"_s);
    info.insert(u"KXPropContentsLinkIDColumn"_s, u"id"_s);
    info.insert(u"KXPropContentsLinkWordColumn"_s, u"word"_s);
    info.insert(u"KXPropContentsLinkLinkColumn"_s, u"link"_s);
    info.insert(u"KXPropContentsLinkContentsIDColumn"_s, u"contents_id"_s);
    info.insert(u"KXPropContentsLinkIndexTableName"_s, u"link_index"_s);
    info.insert(u"KXPropContentsLinkIndexIDColumn"_s, u"id"_s);
    info.insert(u"KXPropContentsLinkIndexLetterColumn"_s, u"letter"_s);
    info.insert(u"KXPropContentsLinkIndexOffsetColumn"_s, u"offset"_s);
    info.insert(u"KXPropContentsLinkIndexCountColumn"_s, u"count"_s);

    const QString &searchFile = shared ? kHeadwordFile : kSearchFile;
    info.insert(u"KXPropSearchDatabaseFileName"_s, searchFile);
    info.insert(u"KXPropSearchTableName"_s, u"search"_s);
    info.insert(u"KXPropSearchIDColumn"_s, u"id"_s);
    info.insert(u"KXPropSearchLookColumn"_s, u"look"_s);
    info.insert(u"KXPropSearchWordColumn"_s, u"word"_s);
    info.insert(u"KXPropSearchLinkColumn"_s, u"link"_s);
    info.insert(u"KXPropSearchContentsIDColumn"_s, u"contents_id"_s);
    describeIndex(info, u"KXPropSearchIndex"_s, searchFile, u"search_index"_s);

    const QString &equalFile = shared ? kHeadwordFile : kEqualFile;
    info.insert(u"KXPropEqualSearchDatabaseFileName"_s, equalFile);
    info.insert(u"KXPropEqualSearchTableName"_s, u"equal_search"_s);
    info.insert(u"KXPropEqualSearchIDColumn"_s, u"id"_s);
    info.insert(u"KXPropEqualSearchLookColumn"_s, u"look"_s);
    info.insert(u"KXPropEqualSearchWordColumn"_s, u"word"_s);
    info.insert(u"KXPropEqualSearchLinksColumn"_s, u"links"_s);
    info.insert(u"KXPropEqualSearchContentsIDsColumn"_s, u"contents_ids"_s);
    describeIndex(info, u"KXPropEqualSearchIndex"_s, equalFile, u"equal_search_index"_s);

    info.insert(u"KXPropContentsStorageType"_s, qint64(0));
    info.insert(u"KXPropContentsRepresentationType"_s, qint64(0));
    info.insert(u"KXPropContentsDatabaseFileName"_s, kContentsFile);
    info.insert(u"KXPropContentsTableName"_s, u"contents"_s);
    info.insert(u"KXPropContentsIDColumn"_s, u"id"_s);
    info.insert(u"KXPropContentsDataColumn"_s, u"data"_s);
    info.insert(u"KXPropContentsAdditionColumn"_s, u"additions"_s);
    describeIndex(info, u"KXPropContentsIndex"_s, kContentsFile, u"contents_index"_s);

    const QByteArray data = WLPropertyList::toData(info);
    QSaveFile file(path(kDescription));
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size() ||
        !file.commit()) {
        *errorMessage =
            QStringLiteral("%1: cannot write: %2").arg(kDescription, file.errorString());
        return false;
    }
    return true;
}

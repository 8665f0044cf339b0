#include "WLStoreFixture.h"

#include "WLBundle.h"
#include "WLCipherKey.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLPropertyList.h"
#include "WLSourceFixture.h"
#include "blowfish2.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using WLSourceFixture::writeFile;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sqlQuote(const QString &text)
{
    return u"'"_s + QString(text).replace(u"'"_s, u"''"_s) + u"'"_s;
}

// Compiled once per process and layout; every fixture is a copy of it.
QString compileBundle(const QTemporaryDir &directory, WLTableLayout tables)
{
    const QString source = directory.filePath(u"source"_s);
    const QString output = directory.filePath(u"bundle"_s);
    const bool written =
        QDir().mkpath(source + u"/pictures"_s) &&
        writeFile(source + u"/pictures/a.png"_s, "picture bytes") &&
        writeFile(source + u"/manifest.json"_s,
                  R"({"title": "Fixture Dictionary", "charset": "UTF-8",
                      "header": "<html><body>", "largeHeader": "<html><body class=large>",
                      "footer": "</body></html>", "separator": "<hr>",
                      "media": [{"table": "pictures", "folder": "pictures"}]})") &&
        writeFile(
            source + u"/entries.jsonl"_s,
            R"({"headword": "apple", "fragments": [{"html": "<p>apple one</p>", "media": ["pictures/a.png"]}, "<p>apple two [[banana]]</p>"]}
{"headword": "avocado", "fragments": ["<p>avocado</p>"]}
{"headword": "banana", "fragments": ["<p>banana</p>"]}
{"headword": "cherry", "fragments": ["<p>cherry</p>"]}
)");
    QString error;
    if (!written ||
        !WLDictionaryCompiler::build(source, output, &error, nullptr, nullptr, {tables}))
        qFatal("cannot compile the fixture: %s", qPrintable(error));
    return output;
}

QString compiledBundle(WLTableLayout tables)
{
    static QTemporaryDir separateDirectory, sharedDirectory;
    if (tables == WLTableLayout::Shared) {
        static const QString shared = compileBundle(sharedDirectory, tables);
        return shared;
    }
    static const QString separate = compileBundle(separateDirectory, tables);
    return separate;
}

// The compiler writes pages of this size.
constexpr qint64 kPageSize = 4096;

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QString joined(const QStringList &pieces)
{
    return pieces.join(u' ');
}

} // namespace

WLStoreFixture::WLStoreFixture(WLTableLayout tables)
{
    const QDir bundle(compiledBundle(tables));
    bool copied = m_dir.isValid();
    for (const QString &name : bundle.entryList(QDir::Files))
        copied = copied && QFile::copy(bundle.filePath(name), filePath(name));
    info = WLPropertyList::fromData(readFile(filePath(u"DatabaseInfo.plist"_s))).toMap();
    if (!copied || info.isEmpty())
        qFatal("cannot copy the fixture");
    WLBundle::setResourcePath(m_dir.path());
    m_afterChange = contents();
}

WLStoreFixture::~WLStoreFixture()
{
    WLBundle::setResourcePath(QString());
}

QString WLStoreFixture::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

void WLStoreFixture::exec(const QString &fileName, const QString &sql)
{
    sqlite3 *db = nullptr;
    const QByteArray path = filePath(fileName).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        qFatal("cannot open %s", path.constData());
    char *error = nullptr;
    // Test files need no durability; syncing made every test slow.
    sqlite3_exec(db, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY;", nullptr, nullptr,
                 nullptr);
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("%s: %s", path.constData(), error);
    sqlite3_close(db);
    m_afterChange = contents();
}

void WLStoreFixture::damage(const QString &fileName, const QString &how)
{
    const QString path = filePath(fileName);
    if (how == u"empty"_s) {
        writeFile(path, {});
    } else if (how.startsWith(u"truncate:"_s)) {
        QFile::resize(path, how.mid(9).toLongLong());
    } else if (how == u"random"_s) {
        writeFile(path, randomBytes(readFile(path).size()));
    } else if (how.startsWith(u"scramble:"_s)) {
        QFile database(path);
        const qint64 page = how.mid(9).toLongLong();
        if (!database.open(QIODevice::ReadWrite) || !database.seek((page - 1) * kPageSize) ||
            database.write(randomBytes(kPageSize)) != kPageSize)
            qFatal("cannot scramble %s", qPrintable(path));
    } else if (how == u"text"_s) {
        writeFile(path, "This is not a database, only a line of text.\n");
    } else {
        exec(fileName, how);
    }
    m_afterChange = contents();
}

void WLStoreFixture::insertContents(int id, const QByteArray &plain, const QString &additions)
{
    exec(u"contents.db"_s,
         u"INSERT OR REPLACE INTO contents (id, data, additions) VALUES (%1, X'%2', %3);"_s.arg(id).arg(
             QString::fromLatin1(encipher(plain).toHex()),
             additions.isNull() ? u"NULL"_s : sqlQuote(additions)));
}

QByteArray WLStoreFixture::fragment(int contentsID)
{
    static const char *const fragments[] = {"",
                                            "<p>apple one</p>",
                                            "<p>apple two <a href=\"#4\">banana</a></p>",
                                            "<p>avocado</p>",
                                            "<p>banana</p>",
                                            "<p>cherry</p>"};
    return QByteArray(fragments[contentsID]);
}

QString WLStoreFixture::writeInfo()
{
    const QString path = filePath(u"DatabaseInfo.plist"_s);
    if (!writeFile(path, WLPropertyList::toData(info)))
        qFatal("cannot write the description");
    m_afterChange = contents();
    return path;
}

std::unique_ptr<WLDatabase> WLStoreFixture::open()
{
    return WLDatabase::initWithPropertyListFile(writeInfo());
}

bool WLStoreFixture::untouched() const
{
    return contents() == m_afterChange;
}

QMap<QString, QByteArray> WLStoreFixture::contents() const
{
    QMap<QString, QByteArray> files;
    const QDir directory(m_dir.path());
    for (const QString &name :
         directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        files.insert(name, readFile(directory.filePath(name)));
    return files;
}

QString WLStoreFixture::loosened(const QString &table)
{
    return u"CREATE TABLE loose AS SELECT * FROM %1; DROP TABLE %1; ALTER TABLE loose RENAME TO %1;"_s
        .arg(table);
}

QByteArray WLStoreFixture::encipher(const QByteArray &plain)
{
    static const BLOWFISH_CTX context = [] {
        BLOWFISH_CTX keyed;
        unsigned char key[16];
        WLCipherKeyBytes(key);
        Blowfish_initialize(&keyed, key, sizeof key);
        return keyed;
    }();
    QByteArray data = plain;
    data.append(QByteArray((8 - data.size() % 8) % 8, '\0'));
    auto *bytes = reinterpret_cast<uchar *>(data.data());
    for (qsizetype at = 0; at < data.size(); at += 8) {
        uint32_t left = qFromLittleEndian<uint32_t>(bytes + at);
        uint32_t right = qFromLittleEndian<uint32_t>(bytes + at + 4);
        Blowfish_encipher(&context, &left, &right);
        qToLittleEndian(left, bytes + at);
        qToLittleEndian(right, bytes + at + 4);
    }
    return data;
}

QMap<QString, QString> walkDictionary(WLDatabase &database)
{
    QMap<QString, QString> walk;
    QStringList sections, index;
    for (uint section = 0; section < database.sectionCount(); ++section) {
        const uint count = database.itemCountOfHeadwordSectionAtIndex(section);
        sections.append(u"%1 %2 %3"_s.arg(database.sectionNameAtIndex(section))
                            .arg(database.itemIDAtIndexOfHeadwordSectionAtIndex(0, section))
                            .arg(count));
        // A damaged count may be huge: a few rows show what it does.
        for (uint row = 0; row < qMin(count, 3u); ++row) {
            const QString name = database.itemNameAtIndexOfHeadwordSectionAtIndex(row, section);
            index.append(name.isNull() ? u"-"_s : name);
        }
    }
    walk.insert(u"sections"_s, sections.join(u", "_s));
    walk.insert(u"index"_s, joined(index));

    for (int id = 1; id <= 4; ++id) {
        QString word;
        walk.insert(u"word %1"_s.arg(id), database.getName(&word, id) ? word : u"-"_s);
        QStringList links, contentsIDs;
        if (!database.getName(&word, &links, &contentsIDs, id)) {
            walk.insert(u"entry %1"_s.arg(id), u"-"_s);
            walk.insert(u"page %1"_s.arg(id), u"-"_s);
            continue;
        }
        walk.insert(u"entry %1"_s.arg(id),
                    u"%1 | %2 | %3"_s.arg(word, joined(links), joined(contentsIDs)));
        const std::optional<QByteArray> page =
            database.newHtmlDataForIDs(QVariantList(contentsIDs.begin(), contentsIDs.end()), false);
        walk.insert(u"page %1"_s.arg(id), page ? QString::fromUtf8(*page) : u"-"_s);
    }

    for (int id = 1; id <= 5; ++id) {
        QString word, link;
        int contentsID = 0;
        walk.insert(u"link %1"_s.arg(id), database.getName(&word, &link, &contentsID, id)
                                              ? u"%1 %2 %3"_s.arg(word, link).arg(contentsID)
                                              : u"-"_s);
    }

    QFile picture(database.htmlBaseURL().toLocalFile() + u"pictures/a.png"_s);
    walk.insert(u"media"_s,
                picture.open(QIODevice::ReadOnly) ? QString::fromUtf8(picture.readAll()) : u"-"_s);
    return walk;
}

QMap<QString, QString> pristineWalkWith(const QStringList &changes)
{
    static const QMap<QString, QString> pristine = [] {
        WLStoreFixture fixture;
        std::unique_ptr<WLDatabase> database = fixture.open();
        if (!database)
            qFatal("the unchanged fixture does not open");
        return walkDictionary(*database);
    }();
    QMap<QString, QString> walk = pristine;
    for (const QString &change : changes) {
        const qsizetype equals = change.indexOf(u'=');
        walk.insert(change.left(equals), change.mid(equals + 1));
    }
    return walk;
}

#include "WLDamagedBundle.h"

#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLPropertyList.h"
#include "WLSourceFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using WLSourceFixture::writeFile;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Compiled once per process; every bundle is a copy of it.
QString compiledBundle()
{
    static QTemporaryDir directory;
    static const QString bundle = [] {
        const QString source = directory.filePath(u"source"_s);
        const QString output = directory.filePath(u"bundle"_s);
        const bool written =
            QDir().mkpath(source + u"/pictures"_s) &&
            writeFile(source + u"/pictures/a.png"_s, "picture bytes") &&
            writeFile(source + u"/manifest.json"_s,
                      R"({"title": "Damaged", "charset": "UTF-8", "header": "<h>",
                          "footer": "</h>", "separator": "<hr>",
                          "media": [{"table": "pictures", "folder": "pictures"}]})") &&
            writeFile(
                source + u"/entries.jsonl"_s,
                R"({"headword": "apple", "fragments": [{"html": "<p>apple one</p>", "media": ["pictures/a.png"]}, "<p>apple two [[banana]]</p>"]}
{"headword": "banana", "fragments": ["<p>banana</p>"]}
{"headword": "cherry", "look": ["cherry", "cherries"], "fragments": ["<p>cherry</p>"]}
)");
        QString error;
        if (!written || !WLDictionaryCompiler::build(source, output, &error))
            qFatal("cannot compile the bundle: %s", qPrintable(error));
        return output;
    }();
    return bundle;
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

WLDamagedBundle::WLDamagedBundle()
{
    const QDir bundle(compiledBundle());
    m_valid = m_dir.isValid();
    for (const QString &name : bundle.entryList(QDir::Files))
        m_valid = m_valid && QFile::copy(bundle.filePath(name), filePath(name));
    const QVariant description =
        WLPropertyList::fromData(readFile(filePath(u"DatabaseInfo.plist"_s)));
    info = description.toMap();
    m_valid = m_valid && !info.isEmpty();
    m_previousResourcePath = WLBundle::resourcePath();
    WLBundle::setResourcePath(m_dir.path());
    m_afterDamage = contents();
}

WLDamagedBundle::~WLDamagedBundle()
{
    WLBundle::setResourcePath(m_previousResourcePath);
}

QString WLDamagedBundle::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

QString WLDamagedBundle::loosened(const QString &table)
{
    return u"CREATE TABLE loose AS SELECT * FROM %1; DROP TABLE %1; ALTER TABLE loose RENAME TO %1;"_s
        .arg(table);
}

void WLDamagedBundle::damage(const QString &file, const QString &how)
{
    const QString path = filePath(file);
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
        sqlite3 *db = nullptr;
        const QByteArray encoded = path.toUtf8();
        if (sqlite3_open_v2(encoded.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            qFatal("cannot open %s", encoded.constData());
        char *error = nullptr;
        if (sqlite3_exec(db, how.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
            qFatal("%s: %s", encoded.constData(), error);
        sqlite3_close(db);
    }
    m_afterDamage = contents();
}

std::unique_ptr<WLDatabase> WLDamagedBundle::open()
{
    const QString path = filePath(u"DatabaseInfo.plist"_s);
    if (!writeFile(path, WLPropertyList::toData(info)))
        qFatal("cannot write the description");
    m_afterDamage = contents();
    return WLDatabase::initWithPropertyListFile(path);
}

bool WLDamagedBundle::untouched() const
{
    return contents() == m_afterDamage;
}

QMap<QString, QByteArray> WLDamagedBundle::contents() const
{
    QMap<QString, QByteArray> files;
    const QDir directory(m_dir.path());
    for (const QString &name :
         directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        files.insert(name, readFile(directory.filePath(name)));
    return files;
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

    for (int id = 1; id <= 3; ++id) {
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

    for (int id = 1; id <= 4; ++id) {
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
        WLDamagedBundle bundle;
        std::unique_ptr<WLDatabase> database = bundle.open();
        if (!database)
            qFatal("the undamaged bundle does not open");
        return walkDictionary(*database);
    }();
    QMap<QString, QString> walk = pristine;
    for (const QString &change : changes) {
        const qsizetype equals = change.indexOf(u'=');
        walk.insert(change.left(equals), change.mid(equals + 1));
    }
    return walk;
}

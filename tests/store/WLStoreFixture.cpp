#include "WLStoreFixture.h"

#include "WLBundle.h"
#include "WLCipherKey.h"
#include "WLDatabase.h"
#include "WLPropertyList.h"
#include "blowfish2.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QString sqlQuote(const QString &text)
{
    return u"'"_s + QString(text).replace(u"'"_s, u"''"_s) + u"'"_s;
}

void insertIndex(QVariantMap &info, const QString &prefix, const QString &file,
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

WLStoreFixture::WLStoreFixture() : info(defaultInfo())
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    WLBundle::setResourcePath(m_dir.path());
    writeDefaultTables();
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
}

void WLStoreFixture::insertContents(int id, const QByteArray &plain, const QString &additions)
{
    exec(u"contents.db"_s,
         u"INSERT INTO contents (id, data, additions) VALUES (%1, X'%2', %3);"_s.arg(id).arg(
             QString::fromLatin1(encipher(plain).toHex()),
             additions.isNull() ? u"NULL"_s : sqlQuote(additions)));
}

QByteArray WLStoreFixture::fragment(int contentsID)
{
    static const char *const fragments[] = {"",
                                            "<p>apple one</p>",
                                            "<p>apple two</p>",
                                            "<p>avocado</p>",
                                            "<p>banana</p>",
                                            "<p>cherry</p>"};
    return QByteArray(fragments[contentsID]);
}

void WLStoreFixture::writeDefaultTables()
{
    exec(u"headword.db"_s,
         uR"(CREATE TABLE headword (id INTEGER PRIMARY KEY, look TEXT, word TEXT, links TEXT,
                                    contents_ids TEXT);
             INSERT INTO headword VALUES (1, 'apple', 'apple', 'apple#1' || char(9) || 'apple#2',
                                          '1' || char(9) || '2');
             INSERT INTO headword VALUES (2, 'avocado', 'avocado', 'avocado#1', '3');
             INSERT INTO headword VALUES (3, 'banana', 'banana', 'banana#1', '4');
             INSERT INTO headword VALUES (4, 'cherry', 'cherry', 'cherry#1', '5');
             CREATE TABLE headword_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,
                                          count INTEGER);
             INSERT INTO headword_index VALUES (1, 'a', 1, 2), (2, 'b', 3, 1), (3, 'c', 4, 1);)"_s);

    exec(u"contents.db"_s,
         uR"(CREATE TABLE contents (id INTEGER PRIMARY KEY, data BLOB, additions TEXT);
             CREATE TABLE contents_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,
                                          count INTEGER);
             INSERT INTO contents_index VALUES (1, 'a', 1, 3), (2, 'b', 4, 1), (3, 'c', 5, 1);)"_s);
    for (int id = 1; id <= 5; ++id)
        insertContents(id, fragment(id));

    exec(u"link.db"_s,
         uR"(CREATE TABLE link (id INTEGER PRIMARY KEY, word TEXT, link TEXT, contents_id INTEGER);
             INSERT INTO link VALUES (1, 'apple', 'apple#1', 1), (2, 'apple', 'apple#2', 2),
                                     (3, 'avocado', 'avocado#1', 3), (4, 'banana', 'banana#1', 4),
                                     (5, 'cherry', 'cherry#1', 5);
             CREATE TABLE link_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,
                                      count INTEGER);
             INSERT INTO link_index VALUES (1, 'a', 1, 3), (2, 'b', 4, 1), (3, 'c', 5, 1);)"_s);

    exec(u"search.db"_s,
         uR"(CREATE TABLE search (id INTEGER PRIMARY KEY, look TEXT, word TEXT, link TEXT,
                                  contents_id INTEGER);
             INSERT INTO search VALUES (1, 'apple', 'apple', 'apple#1', 1),
                                       (2, 'apple', 'apple', 'apple#2', 2),
                                       (3, 'avocado', 'avocado', 'avocado#1', 3),
                                       (4, 'banana', 'banana', 'banana#1', 4),
                                       (5, 'cherry', 'cherry', 'cherry#1', 5);
             CREATE TABLE search_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,
                                        count INTEGER);
             INSERT INTO search_index VALUES (1, 'a', 1, 3), (2, 'b', 4, 1), (3, 'c', 5, 1);)"_s);

    exec(u"equal.db"_s,
         uR"(CREATE TABLE equal_search (id INTEGER PRIMARY KEY, look TEXT, word TEXT, links TEXT,
                                        contents_ids TEXT);
             INSERT INTO equal_search VALUES
                 (1, 'apple', 'apple', 'apple#1' || char(9) || 'apple#2', '1' || char(9) || '2'),
                 (2, 'avocado', 'avocado', 'avocado#1', '3'),
                 (3, 'banana', 'banana', 'banana#1', '4'),
                 (4, 'cherry', 'cherry', 'cherry#1', '5');
             CREATE TABLE equal_search_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,
                                              count INTEGER);
             INSERT INTO equal_search_index VALUES (1, 'a', 1, 2), (2, 'b', 3, 1),
                                                   (3, 'c', 4, 1);)"_s);
}

QVariantMap WLStoreFixture::defaultInfo()
{
    QVariantMap info;
    info.insert(u"KXPropDatabaseTitle"_s, u"Fixture Dictionary"_s);

    info.insert(u"KXPropContentsLinkDatabaseFileName"_s, u"link.db"_s);
    insertIndex(info, u"KXPropContentsLinkIndex"_s, u"link.db"_s, u"link_index"_s);
    info.remove(u"KXPropContentsLinkIndexDatabaseFileName"_s);
    info.insert(u"KXPropContentsLinkTableName"_s, u"link"_s);
    info.insert(u"KXPropContentsLinkIDColumn"_s, u"id"_s);
    info.insert(u"KXPropContentsLinkWordColumn"_s, u"word"_s);
    info.insert(u"KXPropContentsLinkLinkColumn"_s, u"link"_s);
    info.insert(u"KXPropContentsLinkContentsIDColumn"_s, u"contents_id"_s);

    info.insert(u"KXPropHeadwordDatabaseFileName"_s, u"headword.db"_s);
    info.insert(u"KXPropHeadwordTableName"_s, u"headword"_s);
    info.insert(u"KXPropHeadwordIDColumn"_s, u"id"_s);
    info.insert(u"KXPropHeadwordLookColumn"_s, u"look"_s);
    info.insert(u"KXPropHeadwordWordColumn"_s, u"word"_s);
    info.insert(u"KXPropHeadwordLinksColumn"_s, u"links"_s);
    info.insert(u"KXPropHeadwordContentsIDsColumn"_s, u"contents_ids"_s);
    insertIndex(info, u"KXPropHeadwordIndex"_s, u"headword.db"_s, u"headword_index"_s);
    info.remove(u"KXPropHeadwordIndexDatabaseFileName"_s);

    info.insert(u"KXPropSearchDatabaseFileName"_s, u"search.db"_s);
    info.insert(u"KXPropSearchTableName"_s, u"search"_s);
    info.insert(u"KXPropSearchIDColumn"_s, u"id"_s);
    info.insert(u"KXPropSearchLookColumn"_s, u"look"_s);
    info.insert(u"KXPropSearchWordColumn"_s, u"word"_s);
    info.insert(u"KXPropSearchLinkColumn"_s, u"link"_s);
    info.insert(u"KXPropSearchContentsIDColumn"_s, u"contents_id"_s);
    insertIndex(info, u"KXPropSearchIndex"_s, u"search.db"_s, u"search_index"_s);

    info.insert(u"KXPropEqualSearchDatabaseFileName"_s, u"equal.db"_s);
    info.insert(u"KXPropEqualSearchTableName"_s, u"equal_search"_s);
    info.insert(u"KXPropEqualSearchIDColumn"_s, u"id"_s);
    info.insert(u"KXPropEqualSearchLookColumn"_s, u"look"_s);
    info.insert(u"KXPropEqualSearchWordColumn"_s, u"word"_s);
    info.insert(u"KXPropEqualSearchLinksColumn"_s, u"links"_s);
    info.insert(u"KXPropEqualSearchContentsIDsColumn"_s, u"contents_ids"_s);
    insertIndex(info, u"KXPropEqualSearchIndex"_s, u"equal.db"_s, u"equal_search_index"_s);

    info.insert(u"KXPropContentsStorageType"_s, qint64(0));
    info.insert(u"KXPropContentsDatabaseFileName"_s, u"contents.db"_s);
    info.insert(u"KXPropContentsTableName"_s, u"contents"_s);
    info.insert(u"KXPropContentsDataColumn"_s, u"data"_s);
    info.insert(u"KXPropContentsAdditionColumn"_s, u"additions"_s);
    info.insert(u"KXPropContentsIDColumn"_s, u"id"_s);
    insertIndex(info, u"KXPropContentsIndex"_s, u"contents.db"_s, u"contents_index"_s);
    info.insert(u"KXPropContentsRepresentationType"_s, qint64(0));

    info.insert(u"KXPropHTMLCharset"_s, u"UTF-8"_s);
    info.insert(u"KXPropHTMLHeaderString"_s, u"<html><body>"_s);
    info.insert(u"KXPropHTMLHeaderString2"_s, u"<html><body class=large>"_s);
    info.insert(u"KXPropHTMLFooterString"_s, u"</body></html>"_s);
    info.insert(u"KXPropHTMLSeparatorString"_s, u"<hr>"_s);
    return info;
}

QString WLStoreFixture::writeInfo()
{
    const QString path = filePath(u"DatabaseInfo.plist"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(WLPropertyList::toData(info)) < 0)
        qFatal("cannot write the description");
    return path;
}

std::unique_ptr<WLDatabase> WLStoreFixture::open()
{
    return WLDatabase::initWithPropertyListFile(writeInfo());
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

#pragma once

#include "WLDictionaryCompiler.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class WLDatabase;

// A small dictionary made by our compiler, copied into a temporary
// directory of its own so that a test can change or damage exactly what
// it wants (rows, tables, files, description keys) before opening it. The
// bundle's resource directory is pointed at the copy for the fixture's
// lifetime.
//
// Headwords (sections a, b, c): 1 apple (contents 1 and 2), 2 avocado (3),
// 3 banana (4), 4 cherry (5). Contents IDs and link IDs are the same.
// Contents 1 shows the picture pictures/a.png (media.db, table "pictures");
// contents 2 links to banana. In the separate layout every file has its
// one role: headword.db, link.db, contents.db, search.db, equal.db and
// media.db; in the shared one headword.db holds the headword, link and
// search tables.
class WLStoreFixture
{
public:
    explicit WLStoreFixture(WLTableLayout tables = WLTableLayout::Separate);
    ~WLStoreFixture();
    WLStoreFixture(const WLStoreFixture &) = delete;
    WLStoreFixture &operator=(const WLStoreFixture &) = delete;

    QString directory() const { return m_dir.path(); }
    QString filePath(const QString &name) const;

    // Runs SQL on a database file of the bundle, creating the file if needed.
    void exec(const QString &fileName, const QString &sql);
    // Damages one file: "empty" (zero length), "truncate:N" (the first N
    // bytes kept), "random" (as many random bytes as the file had),
    // "scramble:N" (page N, from 1, overwritten with random bytes: page 1 is
    // the schema, 2 the file's first table, 3 its second), "text" (a line
    // of prose), or else SQL run with exec().
    void damage(const QString &fileName, const QString &how);
    // A contents row whose data is the plain text enciphered as stored.
    void insertContents(int id, const QByteArray &plain, const QString &additions = {});

    // The description written by open(); tests change it first.
    QVariantMap info;

    // Writes the description and opens the dictionary.
    std::unique_ptr<WLDatabase> open();
    QString writeInfo();

    // True while no file of the bundle has changed since the last change
    // the test made: the reader only ever reads it.
    bool untouched() const;

    // SQL that makes a table again without its constraints (so it takes
    // NULLs, and IDs that are not row IDs), rows and order kept.
    static QString loosened(const QString &table);
    // Zero-padded to whole blocks and enciphered with the reader's key,
    // each half of a block a little-endian word.
    static QByteArray encipher(const QByteArray &plain);
    // The page fragment of the contents row with this ID.
    static QByteArray fragment(int contentsID);

private:
    QMap<QString, QByteArray> contents() const;

    QTemporaryDir m_dir;
    QMap<QString, QByteArray> m_afterChange;
};

// Everything a reader does with the bundle, one line per lookup, keyed:
// "sections", "index" (each section's words), "word N" and "entry N" for
// headwords 1 to 4, "page N" (the page of headword N's contents IDs),
// "link N" for links 1 to 5, and "media" (the picture extracted for the
// first page). A failed lookup shows as "-".
QMap<QString, QString> walkDictionary(WLDatabase &database);

// The walk of the unchanged bundle with some lines replaced ("key=value").
QMap<QString, QString> pristineWalkWith(const QStringList &changes);

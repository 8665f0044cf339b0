#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class WLDatabase;

// A bundle made by our compiler from a small fixed source, copied into a
// temporary directory of its own so that a test can damage it there. The
// bundle's resource directory is pointed at the copy for the object's
// lifetime.
//
// Headwords 1 apple, 2 banana, 3 cherry (looked up also as "cherries");
// contents and link IDs 1 apple#1 (names the picture pictures/a.png),
// 2 apple#2 (links to banana), 3 banana#1, 4 cherry#1. Every file has its
// one role: headword.db, link.db, contents.db, search.db, equal.db and
// media.db (table "pictures").
class WLDamagedBundle
{
public:
    WLDamagedBundle();
    ~WLDamagedBundle();
    WLDamagedBundle(const WLDamagedBundle &) = delete;
    WLDamagedBundle &operator=(const WLDamagedBundle &) = delete;

    bool isValid() const { return m_valid; }
    QString filePath(const QString &name) const;

    // Damages one file of the bundle: "empty" (zero length), "truncate:N"
    // (the first N bytes kept), "random" (as many random bytes as the
    // file had), "scramble:N" (page N, from 1, overwritten with random
    // bytes: page 1 is the schema, 2 the file's first table, 3 its
    // second), "text" (a line of prose), or else SQL run on the file (made if missing).
    void damage(const QString &file, const QString &how);

    // The description written by open(); tests change it first.
    QVariantMap info;
    std::unique_ptr<WLDatabase> open();

    // True while no file of the bundle has changed since the last damage:
    // the reader only ever reads it.
    bool untouched() const;

    // SQL that makes a table again without its constraints (so it takes
    // NULLs, and IDs that are not row IDs), rows and order kept.
    static QString loosened(const QString &table);

private:
    QMap<QString, QByteArray> contents() const;

    QTemporaryDir m_dir;
    QString m_previousResourcePath;
    QMap<QString, QByteArray> m_afterDamage;
    bool m_valid = false;
};

// Everything a reader does with the bundle, one line per lookup, keyed:
// "sections", "index" (each section's words), "word N" and "entry N" for
// headwords 1 to 3, "page N" (the page of headword N's contents IDs),
// "link N" for links 1 to 4, and "media" (the picture extracted for the
// first page). A failed lookup shows as "-".
QMap<QString, QString> walkDictionary(WLDatabase &database);

// The walk of the undamaged bundle with some lines replaced ("key=value").
QMap<QString, QString> pristineWalkWith(const QStringList &changes);

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class WLDatabase;

// A small dictionary bundle written by the test itself in a temporary
// directory, so that a test can damage exactly what it wants (NULL
// columns, bad rows, missing keys) before opening it. The bundle's
// resource directory is pointed at it for the fixture's lifetime.
//
// Headwords (sections a, b, c): 1 apple (contents 1 and 2), 2 avocado (3),
// 3 banana (4), 4 cherry (5). Contents IDs and link IDs are the same.
class WLStoreFixture
{
public:
    WLStoreFixture();
    ~WLStoreFixture();
    WLStoreFixture(const WLStoreFixture &) = delete;
    WLStoreFixture &operator=(const WLStoreFixture &) = delete;

    QString directory() const { return m_dir.path(); }
    QString filePath(const QString &name) const;

    // Runs SQL on a database file of the bundle, creating the file if needed.
    void exec(const QString &fileName, const QString &sql);
    // A contents row whose data is the plain text enciphered as stored.
    void insertContents(int id, const QByteArray &plain, const QString &additions = {});

    // The description written by open(); tests change it first.
    QVariantMap info;

    // Writes the description and opens the dictionary.
    std::unique_ptr<WLDatabase> open();
    QString writeInfo();

    static QVariantMap defaultInfo();
    // Zero-padded to whole blocks and enciphered with the reader's key,
    // each half of a block a little-endian word.
    static QByteArray encipher(const QByteArray &plain);
    // The plain fragment of the default contents row with this ID.
    static QByteArray fragment(int contentsID);

private:
    void writeDefaultTables();

    QTemporaryDir m_dir;
};

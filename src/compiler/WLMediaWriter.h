#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

struct WLSourceEntry;
class WLProgressMeter;

// The media tables and the preloaded files of a source folder.
//
// manifest.json may name media folders, "media": [{"table": "pictures",
// "folder": "pictures"}], each of which becomes one table of media.db with
// the folder's files as rows (id 1..n in file-name order, name, data), and
// files for the page directory, "preload": [{"file": "style.css",
// "destination": "style.css"}], which are copied into the bundle. A
// fragment's media references ("table/file" or "table/file/ID") must name
// a file or a row of one of the tables.
class WLMediaWriter
{
public:
    // Reads both lists and the folders, and checks every media reference of
    // the entries; false and a message naming the file at fault otherwise.
    bool read(const QString &sourceDir, const QString &entriesFile,
              const QList<WLSourceEntry> &entries, QString *errorMessage);

    // Writes media.db and the preloaded files into the bundle and adds their
    // keys to its DatabaseInfo.plist (which must exist already). The meter,
    // if any, counts the media files.
    bool write(const QString &bundleDir, QString *errorMessage,
               WLProgressMeter *meter = nullptr) const;

    // True for a name a media file may have: it is used unchanged as a path
    // component of a page's relative URL, so it needs no escaping.
    static bool isPlainFileName(const QString &name);

private:
    struct Table {
        QString name;
        QString folder;
        QStringList files; // the rows, in ID order
    };
    struct Preload {
        QString file;
        QString destination;
    };

    bool readTables(const QJsonValue &media, QString *errorMessage);
    bool readPreloads(const QJsonValue &preload, QString *errorMessage);
    QString checkReference(const QString &reference) const;
    bool writeTables(const QString &bundleDir, QString *errorMessage,
                     WLProgressMeter *meter) const;
    bool copyPreloads(const QString &bundleDir, QString *errorMessage) const;
    bool describe(const QString &bundleDir, QString *errorMessage) const;

    QString mSourceDir;
    QList<Table> mTables;
    QList<Preload> mPreloads;
};

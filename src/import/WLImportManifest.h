#pragma once

#include <QJsonObject>
#include <QString>

// The manifest.json the importers write: UTF-8 pages with the importer's
// style sheet, a large-type header, <hr> between fragments, and an
// identifier made from the dictionary's file name, so that a re-import
// keeps the reader's bookmarks and history of it.
class WLImportManifest
{
public:
    // prefix "dictd", name "wn": "dictd.wn"; characters an identifier may
    // not have become '-'.
    static QString identifier(const QString &prefix, const QString &name);
    static QJsonObject make(const QString &title, const QString &identifier,
                            const QString &language, const QString &style);
    // False with the error naming the file.
    static bool write(const QString &sourceDir, const QJsonObject &manifest, QString *error);
};

#pragma once

#include <QList>
#include <QString>

// A value of the description the manifest sets directly: a description key
// and its string. Images name a file of the source folder that is copied
// into the bundle under the same relative name.
struct WLManifestValue
{
    QString key;
    QString value;
    bool isFile = false;
};

// What manifest.json says about the dictionary as a whole.
struct WLSourceManifest
{
    QString title;
    // A stable name for the reader's per-dictionary state: the manifest's,
    // else one made from the title.
    QString identifier;
    QString charset;
    QString language = QStringLiteral("root");
    QString header;
    QString largeHeader; // empty: no large type
    QString footer;
    QString separator; // empty: fragments touch
    QString icon;      // relative file name or empty
    bool settingsHidden = false;
    QList<WLManifestValue> appearance;
    QString entriesFile = QStringLiteral("entries.jsonl");
    QString about; // plain text for the About page, or empty
};

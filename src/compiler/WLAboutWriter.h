#pragma once

#include <QString>
#include <QStringList>

struct WLSourceManifest;

// The dictionary's About page, which the reader shows from the bundle's
// about/index.html (a localized page first, such as about/de/index.html).
// An about/ folder of the source is copied whole; without an
// about/index.html in it, the manifest's "about" text, if any, becomes that
// page.
class WLAboutWriter
{
public:
    // Lists and checks the folder's files before anything is written:
    // relative names, no links that lead out of the source folder.
    bool read(const QString &sourceDir, const WLSourceManifest &manifest, QString *errorMessage);
    bool write(const QString &bundleDir, QString *errorMessage) const;

    // A small complete page in UTF-8: the title as heading, the text
    // escaped, its paragraphs (parted by blank lines) and line breaks kept,
    // and http and https addresses made links.
    static QByteArray page(const QString &title, const QString &text);

private:
    QString mSourceDir;
    QStringList mFiles; // relative to the source folder, "about/..."
    QByteArray mPage;   // the page made from the text, if any
};

#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

struct WLSourceEntry;
struct WLSourceManifest;
struct WLDictionaryLayout;
class WLContentsBlobs;
class WLTextEncoder;

// Writes a complete bundle into an empty directory: the database files,
// DatabaseInfo.plist and the resource files the manifest names. Everything
// written depends only on its inputs, so equal sources give equal bytes.
class WLBundleWriter
{
public:
    WLBundleWriter(const QString &sourceDir, const WLSourceManifest &manifest,
                   const QList<WLSourceEntry> &entries, const WLDictionaryLayout &layout,
                   const WLTextEncoder &encoder);

    // Writes the database files on the calling thread and one more; only
    // one of them uses the encoder.
    bool write(const QString &bundleDir, QString *errorMessage);

    // File names the bundle itself uses; a resource may not take them.
    static const QStringList &reservedNames();

private:
    bool writeHeadwords(QString *errorMessage) const;
    bool writeLinks(QString *errorMessage) const;
    bool writeSearch(QString *errorMessage) const;
    bool writeEqualSearch(QString *errorMessage) const;
    bool writeContents(WLContentsBlobs &blobs, QString *errorMessage) const;
    bool writeDescription(QString *errorMessage);
    bool copyResources(QString *errorMessage);
    QString path(const QString &name) const;
    // The texts of the tables in UTF-8, each made once: most of them go
    // into several rows or tables.
    void encodeTexts();

    const QString mSourceDir;
    const WLSourceManifest &mManifest;
    const QList<WLSourceEntry> &mEntries;
    const WLDictionaryLayout &mLayout;
    const WLTextEncoder &mEncoder;
    QString mBundleDir;
    // By source index of the entry.
    struct EntryTexts
    {
        QByteArray headword;
        QByteArray looks; // tab-joined
        QByteArrayList linkTexts;
        QByteArray links;       // linkTexts tab-joined
        QByteArray contentsIDs; // tab-joined
    };
    QList<EntryTexts> mEntryTexts;
    // By place in the layout's looks.
    QList<QByteArray> mLookTexts;
};

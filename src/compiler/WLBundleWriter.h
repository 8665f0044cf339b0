#pragma once

#include "WLDictionaryCompiler.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

struct WLSourceEntry;
struct WLSourceManifest;
struct WLDictionaryLayout;
class WLContentsBlobs;
class WLTextEncoder;
class WLTextStore;
class WLProgressMeter;

// Writes a complete bundle into an empty directory: the database files,
// DatabaseInfo.plist and the resource files the manifest names. Everything
// written depends only on its inputs, so equal sources give equal bytes.
class WLBundleWriter
{
public:
    WLBundleWriter(const QString &sourceDir, const WLSourceManifest &manifest,
                   const QList<WLSourceEntry> &entries, const WLTextStore &fragmentTexts,
                   const WLDictionaryLayout &layout, const WLTextEncoder &encoder,
                   WLTableLayout tables = WLTableLayout::Shared);

    // Writes the database files on the calling thread and one more; only
    // one of them uses the encoder. The meter, if any, counts their rows.
    bool write(const QString &bundleDir, QString *errorMessage, WLProgressMeter *meter = nullptr);

    // File names the bundle itself uses; a resource may not take them.
    static const QStringList &reservedNames();

private:
    bool writeHeadwords(QString *errorMessage) const;
    bool writeLinks(QString *errorMessage) const;
    bool writeSearch(QString *errorMessage) const;
    bool writeEqualSearch(QString *errorMessage) const;
    bool writeSharedTables(QString *errorMessage) const;
    bool writeContents(WLContentsBlobs &blobs, QString *errorMessage) const;
    bool writeDescription(QString *errorMessage);
    bool copyResources(QString *errorMessage);
    QString path(const QString &name) const;
    // The texts of the tables in UTF-8, each made once (most of them go into
    // several rows or tables), side by side in one block.
    void encodeTexts();
    QByteArrayView text(qsizetype at, int size) const { return {mTexts.constData() + at, size}; }
    QByteArrayView headword(int entry) const;
    QByteArrayView looks(int entry) const;
    QByteArrayView links(int entry) const;
    QByteArrayView contentsIDs(int entry) const;
    // "headword#n", n counted from 1, as it stands within links().
    QByteArrayView linkText(int entry, int fragment) const;
    QByteArrayView look(int look) const;

    const QString mSourceDir;
    const WLSourceManifest &mManifest;
    const QList<WLSourceEntry> &mEntries;
    const WLTextStore &mFragmentTexts;
    const WLDictionaryLayout &mLayout;
    const WLTextEncoder &mEncoder;
    const WLTableLayout mTables;
    QString mBundleDir;
    WLProgressMeter *mMeter = nullptr;
    QByteArray mTexts;
    // By source index of the entry: where its texts begin, one after the
    // other, and their sizes.
    struct EntryTexts
    {
        qsizetype at = 0;
        int headword = 0;
        int looks = 0; // tab-joined
        int links = 0; // tab-joined
        int contentsIDs = 0; // tab-joined
    };
    QList<EntryTexts> mEntryTexts;
    // By place in the layout's looks, and one past the last.
    QList<qsizetype> mLookTexts;
};

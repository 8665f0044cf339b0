#pragma once

#include "WLAdditionDatabase.h"
#include "WLDataLoader.h"
#include "WLDatabase.h"
#include "WLDatabasePart.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>


// The dictionary's media: the page directory, the file cache over it with
// the preloaded files, and the media tables, opened in this order after the
// page's HTML fragments, each fatal. Each opening has a page directory of
// its own, made new in a private per-user directory "wlreader-UID" of the
// temporary directory; the page directories of processes that have ended
// are removed first. The directory is the dictionary's htmlBaseURL.
//
// Threading: main thread only.
class WLDatabaseMedia final : public WLDatabasePart, public WLAdditionReader
{
public:
    // The media part of a dictionary, or nothing.
    static WLDatabaseMedia *of(const WLDatabase &database) { return database.part<WLDatabaseMedia>(); }

    explicit WLDatabaseMedia(WLDatabase &database) : mDatabase(database) {}

    bool prepare(Stage stage, const QVariantMap &info) override;
    void cleanup(Stage stage) override;

    bool prepareHTMLDirectory();
    bool prepareDataLoader(const QVariantMap &info);
    // Drops the file cache, which deletes the page directory.
    void cleanupDataLoader();
    bool prepareAdditionalDatabase(const QVariantMap &info);
    void cleanupAdditionalDatabase();

    // Extracts every reference of a tab-separated list; true only if all
    // of them are in place.
    bool readDataForAdditions(const QString &additions) override;
    // One media reference "table/file" or "table/file/ID": extracted into
    // the page directory at table/file unless a file is already there.
    bool readDataForAdditionNamed(const QString &additionName);
    // Not on the page path. Full paths below the page directory with their
    // directories made; empty on failure.
    QString prepareDirectoryPathForTable(const QString &tableName);
    QString prepareWritingPathForAdditionNamed(const QString &relativePath);

    bool additionSupport() const { return mAdditionSupport; }
    // Null while media are off; the tables that opened, in description order.
    const std::vector<std::unique_ptr<WLAdditionDatabase>> *additionArray() const
    {
        return mAdditionArray ? &*mAdditionArray : nullptr;
    }
    WLDataLoader *dataLoader() const { return mDataLoader.get(); }
    // Leaves the page directory in place at shutdown, for tools that hand a
    // page to another program. It lasts until a dictionary is next opened
    // after this process has ended.
    void keepPageDirectory()
    {
        if (mDataLoader)
            mDataLoader->setKeepsBaseDirectory(true);
    }

private:
    QUrl htmlBaseURL() const;

    WLDatabase &mDatabase;
    bool mAdditionSupport = false;
    std::optional<std::vector<std::unique_ptr<WLAdditionDatabase>>> mAdditionArray;
    std::unique_ptr<WLDataLoader> mDataLoader;
};

#pragma once

#include "WLAdditionDatabase.h"
#include "WLCharset.h"
#include "WLColor.h"
#include "WLConditionLock.h"
#include "WLDataLoader.h"
#include "WLIndexRange.h"
#include "WLMainThread.h"
#include "WLSearchResult.h"
#include "WLSqlite.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

struct WLIndexNames;

// One section of the headword index: its name (upper case), the first
// headword ID and the number of headwords.
struct WLSectionRecord {
    QString letter;
    int offset = 0;
    int count = 0;
};

// The one object through which the rest of the system reaches a dictionary.
// Opened from a description property list; every database file it names is
// opened read-only and every statement is prepared once, at opening.
//
// Threading: created, used and destroyed on the main thread. The search
// worker (WLDatabase+Search.cpp) is the only other thread and shares only
// what its own section below names.
//
// The class's methods are split by subsystem: WLDatabase.cpp (opening,
// shutdown, appearance), WLDatabase+Headwords.cpp, WLDatabase+Contents.cpp,
// WLDatabase+Links.cpp here, and the search and media categories in their
// own folders.
class WLDatabase : public QObject
{
    Q_OBJECT

public:
    // The first dictionary whose opening succeeded, until it is destroyed.
    static WLDatabase *sharedDatabase();

    // Opens the dictionary described by the property list at path; nothing
    // (after the reports) on any fatal failure.
    static std::unique_ptr<WLDatabase> initWithPropertyListFile(const QString &path);

    ~WLDatabase() override;

    // Stops the search worker, then releases everything (cleanup()).
    void invalidate();
    // Releases everything the object holds; safe after a partial opening
    // and when run twice.
    void cleanup();

    // Three comma-separated components on the scale 0.0 to 1.0, alpha 1.0.
    // A null string gives nothing without a report.
    static std::optional<WLColor> colorWithString(const QString &string);

    // Appearance. Images are paths of files in the bundle, empty for none.
    QString title() const { return mTitle; }
    QString iconImage() const { return mIconImage; }
    bool settingsHidden() const { return mSettingsHidden; }
    QString backgroundImage() const { return mBackgroundImage; }
    std::optional<WLColor> backgroundColor() const { return mBackgroundColor; }
    std::optional<WLColor> textColor() const { return mTextColor; }
    QString indexBackgroundImage() const { return mIndexBackgroundImage; }
    std::optional<WLColor> indexBackgroundColor() const { return mIndexBackgroundColor; }
    std::optional<WLColor> indexTextColor() const { return mIndexTextColor; }
    QString searchBackgroundImage() const { return mSearchBackgroundImage; }
    std::optional<WLColor> searchBackgroundColor() const { return mSearchBackgroundColor; }
    std::optional<WLColor> searchTextColor() const { return mSearchTextColor; }
    QString bookmarksBackgroundImage() const { return mBookmarksBackgroundImage; }
    std::optional<WLColor> bookmarksBackgroundColor() const { return mBookmarksBackgroundColor; }
    std::optional<WLColor> bookmarksTextColor() const { return mBookmarksTextColor; }
    std::optional<WLColor> bookmarksNotesTextColor() const { return mBookmarksNotesTextColor; }
    QString historyBackgroundImage() const { return mHistoryBackgroundImage; }
    std::optional<WLColor> historyBackgroundColor() const { return mHistoryBackgroundColor; }
    std::optional<WLColor> historyTextColor() const { return mHistoryTextColor; }

    // The description the dictionary was opened from, for tools that show
    // what the object does not keep.
    const QVariantMap &description() const { return mDescription; }

    // The IANA charset name of every page.
    QString htmlEncoding() const { return mHTMLCharset; }
    QUrl htmlBaseURL() const { return mHTMLBaseURL; }
    uint contentsRepType() const { return mContentsRepType; }

    // Cross-reference links (WLDatabase+Links.cpp).
    bool prepareContentsLinkDatabase(const QVariantMap &info);
    void cleanupContentsLinkDatabase();
    // Out arguments may be null; they are written only on success.
    bool getName(QString *word, QString *link, int *contentsID, int contentsLinkID);

    // Headword list and sections (WLDatabase+Headwords.cpp).
    bool prepareHeadwordDatabase2(const QVariantMap &info);
    void cleanupHeadwordDatabase2();
    bool supportsSectionMode() const;
    uint sectionCount() const;
    QString sectionNameAtIndex(uint section) const;
    uint itemCountOfHeadwordSectionAtIndex(uint section) const;
    int itemIDAtIndexOfHeadwordSectionAtIndex(uint row, uint section) const;
    QString itemNameAtIndexOfHeadwordSectionAtIndex(uint row, uint section);
    bool getName(QString *word, int itemID);
    // Out arguments may be null; they are written only on success.
    bool getName(QString *word, QStringList *links, QStringList *contentsIDs, int itemID);
    const QList<WLSectionRecord> &headwordSections() const { return mHeadwordSectionArray; }

    // Entry contents and pages (WLDatabase+Contents.cpp).
    bool prepareContentsDatabase(const QVariantMap &info);
    void cleanupContentsDatabase();
    bool prepareContentsIndex(const QVariantMap &info);
    void cleanupContentsIndex();
    bool isSupportLargeFont() const { return mHTMLHeaderData2.has_value(); }
    // Contents IDs may be numbers or decimal strings.
    std::optional<QByteArray> newHtmlDataForIDs(const QVariantList &contentsIDs, bool useLargeFont);
    std::optional<QByteArray> newHtmlDataForIDs(const QVariantList &contentsIDs,
                                                const QByteArray &headerData);
    std::optional<QByteArray> newHtmlDataForID(int contentsID, bool useLargeFont);
    std::optional<QByteArray> newHtmlDataForID(int contentsID, const QByteArray &headerData);
    // Deciphers one stored fragment; trailing zero bytes are trimmed.
    static std::optional<QByteArray> decryptDataBytes(const void *bytes, qsizetype length);

    // Media of page assembly (src/media): extracts every reference of a
    // tab-separated list; true only if all of them are in place.
    bool readDataForAdditions(const QString &additions);

    // The loaded letter index tables, for tools and tests.
    const std::optional<WLIndexRangeArray> &contentsIndexRangeArray() const
    {
        return mContentsIndexRangeArray;
    }
    const std::optional<WLIndexRangeArray> &contentsLinkIndexRangeArray() const
    {
        return mContentsLinkIndexRangeArray;
    }

private:
    WLDatabase();
    bool openWithPropertyListFile(const QString &path);
    void readAppearance(const QVariantMap &info);
    // Calls image(key, field) or color(key, field) for each appearance value,
    // in the description's order.
    template<typename ImageFn, typename ColorFn>
    void forEachAppearance(ImageFn image, ColorFn color);
    bool loadHeadwordSections(const WLIndexNames &names);
    bool checkRepresentationType(const QVariantMap &info);
    bool prepareHTMLFragments(const QVariantMap &info);
    bool encodeFragment(const QVariantMap &info, const QString &key, const char *condition,
                        QByteArray *data);
    std::optional<QByteArray> readFragment(int contentsID, const char *function);

    QVariantMap mDescription;
    QString mTitle;
    QString mIconImage;
    bool mSettingsHidden = false;
    QString mBackgroundImage;
    std::optional<WLColor> mBackgroundColor;
    std::optional<WLColor> mTextColor;
    QString mIndexBackgroundImage;
    std::optional<WLColor> mIndexBackgroundColor;
    std::optional<WLColor> mIndexTextColor;
    QString mSearchBackgroundImage;
    std::optional<WLColor> mSearchBackgroundColor;
    std::optional<WLColor> mSearchTextColor;
    QString mBookmarksBackgroundImage;
    std::optional<WLColor> mBookmarksBackgroundColor;
    std::optional<WLColor> mBookmarksTextColor;
    std::optional<WLColor> mBookmarksNotesTextColor;
    QString mHistoryBackgroundImage;
    std::optional<WLColor> mHistoryBackgroundColor;
    std::optional<WLColor> mHistoryTextColor;

    WLSqliteConnection mContentsLinkDatabase;
    WLSqliteStatement mContentsLinkGetStatement;
    std::optional<WLIndexRangeArray> mContentsLinkIndexRangeArray;

    WLSqliteConnection mHeadwordDatabase;
    WLSqliteStatement mHeadwordGetWordStatement;
    WLSqliteStatement mHeadwordGetAllStatement;
    QList<WLSectionRecord> mHeadwordSectionArray;

    WLSqliteConnection mContentsDatabase;
    WLSqliteStatement mContentsGetStatementFromID;
    std::optional<WLIndexRangeArray> mContentsIndexRangeArray;

    uint mContentsRepType = 0;
    std::optional<WLCharset> mHTMLStringEncoding;
    QString mHTMLCharset;
    QByteArray mHTMLHeaderData;
    // Present only when the description offers large type.
    std::optional<QByteArray> mHTMLHeaderData2;
    QByteArray mHTMLFooterData;
    QByteArray mHTMLSeparatorData;
    QUrl mHTMLBaseURL;

    // ---- Search (src/search/WLDatabase+Search.cpp) ------------------------
public:
    // The two search tables and their letter indexes, opened between the
    // headword list and the contents. Only the partial-match table is
    // required; the others leave their feature absent.
    bool prepareSearchDatabase(const QVariantMap &info);
    void cleanupSearchDatabase();
    bool prepareSearchIndex(const QVariantMap &info);
    void cleanupSearchIndex();
    bool prepareEqualSearchDatabase(const QVariantMap &info);
    void cleanupEqualSearchDatabase();
    bool prepareEqualSearchIndex(const QVariantMap &info);
    void cleanupEqualSearchIndex();

    // The worker: started last of all at opening, stopped (and joined)
    // before anything is released.
    bool startSearchThread();
    void stopSearchThread();

    // Main thread. Hands a keyword to the worker and returns at once, unless
    // an earlier keyword is still waiting to be taken. A newer keyword
    // cancels the partial-match search in progress; an empty one clears all
    // results.
    void setSearchKeywordOnThread(const QString &keyword);

    // Main thread, at the worker's request: store a result snapshot (both
    // halves, the whole words, the partial matches; a half without rows
    // clears it) and post WLDatabaseSearchedWordsUpdate with the snapshot's
    // WLSearchUpdate as userInfo. Every keyword the worker takes ends with
    // an update marked finished, after all of its snapshots.
    void setSearchResultsOnMainThread(const WLSearchSnapshot &snapshot);
    void setSearchEqualResultsOnMainThread(const WLSearchSnapshot &snapshot);
    void setSearchKeywordResultsOnMainThread(const WLSearchSnapshot &snapshot);

    // The results as sections: whole words first, partial matches second;
    // always at least one (possibly empty, untitled) section. Main thread;
    // each call reads one stored row, so a list may call them per row.
    uint searchSectionCount() const;
    QString searchSectionNameAtIndex(uint section) const;
    uint itemCountOfSearchSectionAtIndex(uint section) const;
    QString itemNameAtIndexOfSearchSectionAtIndex(uint item, uint section) const;
    QString itemLinksAtIndexOfSearchSectionAtIndex(uint item, uint section) const;
    // Integers; nothing for a missing item or an unreadable ID list.
    std::optional<QVariantList> itemContentsIDsAtIndexOfSearchSectionAtIndex(uint item,
                                                                             uint section) const;

    const std::optional<WLIndexRangeArray> &searchIndexRangeArray() const
    {
        return mSearchIndexRangeArray;
    }
    const std::optional<WLIndexRangeArray> &equalSearchIndexRangeArray() const
    {
        return mEqualSearchIndexRangeArray;
    }

private:
    void searchThread();
    void searchEqualInThread(const QString &pattern, const QString &keyword);
    bool searchKeywordInThread(const QString &pattern, const QString &keyword);
    void postSearchedWordsUpdate(const WLSearchUpdate &update);
    // The half a section shows; null for none.
    const QList<WLSearchResult> *searchSectionArray(uint section) const;
    const WLSearchResult *searchItem(uint item, uint section) const;

    // Worker only while it runs.
    WLSqliteConnection mSearchDatabase;
    WLSqliteStatement mSearchStatement;
    WLSqliteConnection mEqualSearchDatabase;
    WLSqliteStatement mEqualSearchStatement;
    // The last whole-word rows handed over, whose links the partial
    // matches leave out.
    QList<WLSearchResult> mEqualFoundArrayInThread;
    // Read by the worker, never changed while it runs.
    std::optional<WLIndexRangeArray> mEqualSearchIndexRangeArray;
    std::optional<WLIndexRangeArray> mSearchIndexRangeArray;

    // Main thread only: the results on show, empty when the half is absent.
    QList<WLSearchResult> mEqualFoundArray;
    QList<WLSearchResult> mSearchedArray;

    // Shared: flags without the lock; mNextWord only under mLock
    // (condition 1: a keyword is waiting).
    std::atomic<bool> mContinueSearchThread{false};
    std::atomic<bool> mRunningSearchThread{false};
    std::atomic<bool> mContinueCurrentSearching{false};
    std::unique_ptr<WLConditionLock> mLock;
    QString mNextWord;
    std::thread mSearchThread;
    // The worker's requests to the main thread; dropped with the object.
    WLMainThread mMainThread;
    // ---- end of search ------------------------------------------------------

    // ---- Media (src/media/WLDatabase+Media.cpp) ------------------------------
public:
    // Opened in this order after the HTML fragments, each fatal: the page
    // directory, the file cache over it with the preloaded files, and the
    // media tables. Each opening has a page directory of its own, made new
    // in a private per-user directory "wlreader-UID" of the temporary
    // directory; the page directories of processes that have ended are
    // removed first. Main thread only.
    bool prepareHTMLDirectory();
    bool prepareDataLoader(const QVariantMap &info);
    // Drops the file cache, which deletes the page directory.
    void cleanupDataLoader();
    bool prepareAdditionalDatabase(const QVariantMap &info);
    void cleanupAdditionalDatabase();

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
    bool mAdditionSupport = false;
    std::optional<std::vector<std::unique_ptr<WLAdditionDatabase>>> mAdditionArray;
    std::unique_ptr<WLDataLoader> mDataLoader;
    // ---- end of media -------------------------------------------------------
};

// The notification posted when the search results change.
extern const QString WLDatabaseSearchedWordsUpdate;

// Parses a tab-separated list of contents IDs; nothing (after the reports)
// when any piece is not a positive integer.
std::optional<QList<int>> contentsIDArrayFromString(const QString &text);

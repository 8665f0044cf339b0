#pragma once

#include "WLCharset.h"
#include "WLColor.h"
#include "WLDatabasePart.h"
#include "WLIndexRange.h"
#include "WLSqlite.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
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
// worker (a part, src/search) is the only other thread.
//
// The class's methods are split by subsystem: WLDatabase.cpp (opening,
// shutdown, appearance), WLDatabase+Headwords.cpp, WLDatabase+Contents.cpp,
// WLDatabase+Links.cpp. The search and the media are parts
// (WLDatabasePart) of the layers above, opened at their places in the
// sequence; initWithPropertyListFile() with the standard parts is defined
// where they are put together (src/engine).
class WLDatabase : public QObject
{
    Q_OBJECT

public:
    // The first dictionary whose opening succeeded, until it is destroyed.
    static WLDatabase *sharedDatabase();

    // Opens the dictionary described by the property list at path, with
    // its search and its media; nothing (after the reports) on any fatal
    // failure. Defined in src/engine, which knows the parts.
    static std::unique_ptr<WLDatabase> initWithPropertyListFile(const QString &path);
    // The same with the parts given: each made for the database, opened at
    // its stages in the order given.
    using PartMaker = std::function<std::unique_ptr<WLDatabasePart>(WLDatabase &)>;
    static std::unique_ptr<WLDatabase> initWithPropertyListFile(const QString &path,
                                                               const std::vector<PartMaker> &parts);

    // The part of that type, or nothing.
    template <typename Part>
    Part *part() const
    {
        for (const std::unique_ptr<WLDatabasePart> &candidate : mParts) {
            if (auto *found = dynamic_cast<Part *>(candidate.get()))
                return found;
        }
        return nullptr;
    }

    ~WLDatabase() override;

    // Stops the parts' threads (the search worker), then releases
    // everything (cleanup()).
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
    // The page directory, set by the part that makes it.
    QUrl htmlBaseURL() const { return mHTMLBaseURL; }
    void setHTMLBaseURL(const QUrl &url) { mHTMLBaseURL = url; }
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

    // Media of page assembly: extracts every reference of a tab-separated
    // list through the part that reads them (WLAdditionReader); true only
    // if all of them are in place.
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
    bool prepareParts(WLDatabasePart::Stage stage, const QVariantMap &info);
    void cleanupParts(WLDatabasePart::Stage stage);
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

    std::vector<std::unique_ptr<WLDatabasePart>> mParts;
};

// Parses a tab-separated list of contents IDs; nothing (after the reports)
// when any piece is not a positive integer.
std::optional<QList<int>> contentsIDArrayFromString(const QString &text);

#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLCipherKey.h"
#include "WLDescriptionReader.h"
#include "WLProperty.h"
#include "WLPropertyList.h"
#include "WLReport.h"
#include "WLText.h"
#include "blowfish2.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include <sqlite3.h>

namespace {

constexpr char kPrepareFn[] = "-[WLDatabase prepareContentsDatabase:]";
constexpr char kPrepareIndexFn[] = "-[WLDatabase prepareContentsIndex:]";
constexpr char kCleanupFn[] = "-[WLDatabase cleanupContentsDatabase]";
constexpr char kPageFn[] = "-[WLDatabase newHtmlDataForIDs:headerData:]";
constexpr char kOnePageFn[] = "-[WLDatabase newHtmlDataForID:headerData:]";
constexpr char kDecryptFn[] = "-[WLDatabase decryptDataBytes:length:]";

struct ContentsNames
{
    QString file, table, data, additions, id;
};

// The integer value of a contents ID given as a decimal string or a number.
int contentsIDValue(const QVariant &element)
{
    if (WLPropertyList::isString(element))
        return wlIntValue(element.toString());
    if (element.typeId() == QMetaType::Double || element.typeId() == QMetaType::Float) {
        const double value = element.toDouble();
        if (std::isnan(value))
            return 0;
        return int(std::clamp(std::trunc(value), double(std::numeric_limits<int>::min()),
                              double(std::numeric_limits<int>::max())));
    }
    // Like a decimal string: beyond 32 bits the value saturates rather than
    // wrapping round to some other entry.
    return int(std::clamp(element.toLongLong(), qint64(std::numeric_limits<int>::min()),
                          qint64(std::numeric_limits<int>::max())));
}

// The reader's key schedule, made once per process on first use.
const BLOWFISH_CTX &cipherContext()
{
    static BLOWFISH_CTX context;
    static std::once_flag once;
    std::call_once(once, [] {
        unsigned char key[16];
        WLCipherKeyBytes(key);
        Blowfish_initialize(&context, key, sizeof key);
    });
    return context;
}

} // namespace

bool WLDatabase::prepareContentsDatabase(const QVariantMap &info)
{
    const WLDescriptionReader reader(info, kPrepareFn);
    const std::optional<uint> storageType = reader.readNumber(KXPropContentsStorageType);
    if (!storageType)
        return false;
    if (*storageType != 0) {
        WL_REPORT_PREFIX(kPrepareFn);
        wlReportMessage("Invalid storage type (%u)\n", *storageType);
        return false;
    }
    ContentsNames names;
    if (!reader.readStrings({{KXPropContentsDatabaseFileName,
                              "![name isKindOfClass:[NSString class]]", &names.file}}) ||
        !reader.readNames(
            {{KXPropContentsTableName, "tableName == nil", &names.table},
             {KXPropContentsDataColumn, "dataColumn == nil", &names.data},
             {KXPropContentsAdditionColumn, "additionsColumn == nil", &names.additions},
             {KXPropContentsIDColumn, "idColumn == nil", &names.id}}))
        return false;
    const QString path = WLBundle::pathForResource(names.file);
    if (path.isEmpty()) {
        WL_REPORT(kPrepareFn, "path == nil");
        return false;
    }
    if (!wlOpenReporting(mContentsDatabase, path, kPrepareFn))
        return false;
    return wlPrepareReporting(mContentsGetStatementFromID, mContentsDatabase,
                              wlStatementWithNames(u"SELECT %1, %2 FROM %3 WHERE %4=?;",
                                                   {names.data, names.additions, names.table,
                                                    names.id}),
                              kPrepareFn);
}

void WLDatabase::cleanupContentsDatabase()
{
    wlFinalizeReporting(mContentsGetStatementFromID, kCleanupFn);
    wlCloseReporting(mContentsDatabase, kCleanupFn);
}

bool WLDatabase::prepareContentsIndex(const QVariantMap &info)
{
    return WLDescriptionReader(info, kPrepareIndexFn)
        .readOptionalIndex(KXPropContentsIndexDatabaseFileName,
                           {KXPropContentsIndexTableName, KXPropContentsIndexIDColumn,
                            KXPropContentsIndexLetterColumn, KXPropContentsIndexOffsetColumn,
                            KXPropContentsIndexCountColumn},
                           &mContentsIndexRangeArray, &mContentsDatabase);
}

void WLDatabase::cleanupContentsIndex()
{
    mContentsIndexRangeArray.reset();
}

std::optional<QByteArray> WLDatabase::newHtmlDataForIDs(const QVariantList &contentsIDs,
                                                        bool useLargeFont)
{
    return newHtmlDataForIDs(contentsIDs, useLargeFont && isSupportLargeFont() ? *mHTMLHeaderData2
                                                                               : mHTMLHeaderData);
}

std::optional<QByteArray> WLDatabase::newHtmlDataForIDs(const QVariantList &contentsIDs,
                                                        const QByteArray &headerData)
{
    QByteArray data = headerData;
    bool appended = false;
    for (const QVariant &element : contentsIDs) {
        const int contentsID = contentsIDValue(element);
        if (appended && !mHTMLSeparatorData.isEmpty())
            data.append(mHTMLSeparatorData);
        std::optional<QByteArray> fragment = readFragment(contentsID, kPageFn);
        if (!fragment) {
            // One bad ID fails the whole page.
            WL_REPORT(kPageFn, "!succeed");
            WL_REPORT(kPageFn, "object != nil");
            return std::nullopt;
        }
        data.append(*fragment);
        appended = true;
    }
    data.append(mHTMLFooterData);
    return data;
}

std::optional<QByteArray> WLDatabase::newHtmlDataForID(int contentsID, bool useLargeFont)
{
    return newHtmlDataForID(contentsID, useLargeFont && isSupportLargeFont() ? *mHTMLHeaderData2
                                                                             : mHTMLHeaderData);
}

// A failed lookup gives an empty page rather than nothing.
std::optional<QByteArray> WLDatabase::newHtmlDataForID(int contentsID, const QByteArray &headerData)
{
    std::optional<QByteArray> fragment = readFragment(contentsID, kOnePageFn);
    if (!fragment)
        return QByteArray();
    return headerData + *fragment + mHTMLFooterData;
}

// Reads and deciphers one stored fragment and has its media written into
// the page directory. The statement is reset before this returns.
std::optional<QByteArray> WLDatabase::readFragment(int contentsID, const char *function)
{
    WLSqliteStatement &statement = mContentsGetStatementFromID;
    const WLStatementResetter resetter(statement, function);
    if (!wlStepToRow(statement, contentsID, function))
        return std::nullopt;
    const void *dataPtr = statement.columnBlob(0);
    const int dataLength = statement.columnBytes(0);
    if (dataLength == 0) {
        WL_REPORT(function, "dataLength == 0");
        return std::nullopt;
    }
    if (!dataPtr) {
        WL_REPORT(function, "dataPtr == NULL");
        return std::nullopt;
    }
    std::optional<QByteArray> decryptedData = decryptDataBytes(dataPtr, dataLength);
    if (!decryptedData) {
        WL_REPORT(function, "decryptedData == nil");
        return std::nullopt;
    }
    // Media references that are not UTF-8 text count as none.
    const char *additions = statement.columnText(1);
    if (additions && *additions) {
        if (const std::optional<QString> text = wlStringWithUTF8(additions))
            readDataForAdditions(*text);
    }
    return decryptedData;
}

std::optional<QByteArray> WLDatabase::decryptDataBytes(const void *bytes, qsizetype length)
{
    const BLOWFISH_CTX &context = cipherContext();
    if (length == 0) {
        WL_REPORT(kDecryptFn, "dataLength == 0");
        return std::nullopt;
    }
    if (length % 8 != 0) {
        WL_REPORT(kDecryptFn, "(dataLength % 8) != 0");
        return std::nullopt;
    }
    // Electronic code book with each half a little-endian word: stored
    // dictionaries depend on this byte order.
    const auto *in = static_cast<const uchar *>(bytes);
    QByteArray plain(length, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(plain.data());
    for (qsizetype at = 0; at < length; at += 8) {
        uint32_t left = qFromLittleEndian<uint32_t>(in + at);
        uint32_t right = qFromLittleEndian<uint32_t>(in + at + 4);
        Blowfish_decipher(&context, &left, &right);
        qToLittleEndian(left, out + at);
        qToLittleEndian(right, out + at + 4);
    }
    qsizetype end = plain.size();
    while (end > 0 && plain.at(end - 1) == '\0')
        --end;
    plain.truncate(end);
    return plain;
}

#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLProperty.h"
#include "WLPropertyList.h"
#include "WLReport.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr char kInitFn[] = "-[WLDatabase initWithPropertyListFile:]";
constexpr char kColorFn[] = "-[WLDatabase colorWithString:]";

// Not owned: the first dictionary that opened, until it is destroyed.
WLDatabase *sSharedDatabase = nullptr;

// An image named by the description: the path of that file of the bundle,
// empty when the name is absent or the file is missing.
QString imageResource(const QVariantMap &info, const QString &key)
{
    const QVariant name = info.value(key);
    if (!name.isValid())
        return {};
    const QString path = WLBundle::pathForResource(name.toString());
    return QFileInfo(path).isFile() ? path : QString();
}

// Reads numbers and commas left to right, skipping white space before each.
class ColorScanner
{
public:
    explicit ColorScanner(QStringView text) : mText(text) {}

    bool scanFloat(double *value)
    {
        skipWhiteSpace();
        qsizetype end = mPos;
        if (end < mText.size() && (mText[end] == u'+' || mText[end] == u'-'))
            ++end;
        const qsizetype mantissa = end;
        end = skipDigits(end);
        if (end < mText.size() && mText[end] == u'.')
            end = skipDigits(end + 1);
        if (end == mantissa || (end == mantissa + 1 && mText[mantissa] == u'.'))
            return false;
        end = skipExponent(end);
        // A well-formed number too large or too small to hold still counts,
        // as infinity or zero.
        *value = mText.sliced(mPos, end - mPos).toDouble();
        mPos = end;
        return true;
    }

    bool scanComma()
    {
        skipWhiteSpace();
        if (mPos >= mText.size() || mText[mPos] != u',')
            return false;
        ++mPos;
        return true;
    }

private:
    void skipWhiteSpace()
    {
        while (mPos < mText.size() && mText[mPos].isSpace())
            ++mPos;
    }

    qsizetype skipDigits(qsizetype at) const
    {
        while (at < mText.size() && mText[at].isDigit() && mText[at].unicode() < 0x80)
            ++at;
        return at;
    }

    // An exponent counts only when digits follow it.
    qsizetype skipExponent(qsizetype at) const
    {
        if (at >= mText.size() || (mText[at] != u'e' && mText[at] != u'E'))
            return at;
        qsizetype digits = at + 1;
        if (digits < mText.size() && (mText[digits] == u'+' || mText[digits] == u'-'))
            ++digits;
        const qsizetype end = skipDigits(digits);
        return end > digits ? end : at;
    }

    QStringView mText;
    qsizetype mPos = 0;
};

} // namespace

WLDatabase::WLDatabase() = default;

WLDatabase::~WLDatabase()
{
    if (sSharedDatabase == this)
        sSharedDatabase = nullptr;
    invalidate();
}

WLDatabase *WLDatabase::sharedDatabase()
{
    return sSharedDatabase;
}

std::unique_ptr<WLDatabase> WLDatabase::initWithPropertyListFile(const QString &path,
                                                                 const std::vector<PartMaker> &parts)
{
    std::unique_ptr<WLDatabase> database(new WLDatabase);
    for (const PartMaker &make : parts) {
        if (std::unique_ptr<WLDatabasePart> part = make(*database))
            database->mParts.push_back(std::move(part));
    }
    if (!database->openWithPropertyListFile(path))
        return nullptr; // the destructor releases what the opening made
    if (!sSharedDatabase)
        sSharedDatabase = database.get();
    return database;
}

bool WLDatabase::openWithPropertyListFile(const QString &path)
{
    if (WLBundle::resourcePath().isEmpty()) {
        WL_REPORT(kInitFn, "resourcePath == nil");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        WL_REPORT(kInitFn, "data == nil");
        return false;
    }
    const QVariant root = WLPropertyList::fromData(file.readAll());
    if (!WLPropertyList::isDictionary(root)) {
        WL_REPORT(kInitFn, "![info isKindOfClass:[NSDictionary class]]");
        return false;
    }
    mDescription = root.toMap();
    const QVariantMap &info = mDescription;
    if (!WLDescriptionReader(info, kInitFn)
             .readStrings({{KXPropDatabaseTitle, "mTitle == nil", &mTitle}}))
        return false;
    mIconImage = imageResource(info, KXPropDatabaseIconFileName);
    const QVariant hidden = info.value(KXPropSettingsHidden);
    mSettingsHidden = WLPropertyList::isNumber(hidden) && hidden.toDouble() != 0;
    readAppearance(info);

    if (!prepareContentsLinkDatabase(info)) {
        WL_REPORT(kInitFn, "![self prepareContentsLinkDatabase:info]");
        return false;
    }
    if (!prepareHeadwordDatabase2(info)) {
        WL_REPORT(kInitFn, "![self prepareHeadwordDatabase2:info]");
        return false;
    }
    // The search tables.
    if (!prepareParts(WLDatabasePart::Stage::Tables, info))
        return false;
    if (!prepareContentsDatabase(info)) {
        WL_REPORT(kInitFn, "![self prepareContentsDatabase:info]");
        return false;
    }
    prepareContentsIndex(info); // optional: the index stays absent
    if (!checkRepresentationType(info) || !prepareHTMLFragments(info))
        return false;
    mContentsRepType = 0;
    // The page directory, the file cache and the media tables; then the
    // search worker, last of all.
    return prepareParts(WLDatabasePart::Stage::Files, info) &&
           prepareParts(WLDatabasePart::Stage::Threads, info);
}

bool WLDatabase::prepareParts(WLDatabasePart::Stage stage, const QVariantMap &info)
{
    for (const std::unique_ptr<WLDatabasePart> &part : mParts) {
        if (!part->prepare(stage, info))
            return false;
    }
    return true;
}

void WLDatabase::cleanupParts(WLDatabasePart::Stage stage)
{
    for (auto part = mParts.rbegin(); part != mParts.rend(); ++part)
        (*part)->cleanup(stage);
}

bool WLDatabase::readDataForAdditions(const QString &additions)
{
    for (const std::unique_ptr<WLDatabasePart> &part : mParts) {
        if (auto *reader = dynamic_cast<WLAdditionReader *>(part.get()))
            return reader->readDataForAdditions(additions);
    }
    WL_REPORT("-[WLDatabase readDataForAdditions:]", "mDataLoader == nil");
    return false;
}

template <typename ImageFn, typename ColorFn>
void WLDatabase::forEachAppearance(ImageFn image, ColorFn color)
{
    image(KXPropUIBackgroundImageFileName, mBackgroundImage);
    color(KXPropUIBackgroundColor, mBackgroundColor);
    color(KXPropUITextColor, mTextColor);
    image(KXPropUIIndexBackgroundImageFileName, mIndexBackgroundImage);
    color(KXPropUIIndexBackgroundColor, mIndexBackgroundColor);
    color(KXPropUIIndexTextColor, mIndexTextColor);
    image(KXPropUISearchBackgroundImageFileName, mSearchBackgroundImage);
    color(KXPropUISearchBackgroundColor, mSearchBackgroundColor);
    color(KXPropUISearchTextColor, mSearchTextColor);
    image(KXPropUIBookmarksBackgroundImageFileName, mBookmarksBackgroundImage);
    color(KXPropUIBookmarksBackgroundColor, mBookmarksBackgroundColor);
    color(KXPropUIBookmarksTextColor, mBookmarksTextColor);
    color(KXPropUIBookmarksNotesTextColor, mBookmarksNotesTextColor);
    image(KXPropUIHistoryBackgroundImageFileName, mHistoryBackgroundImage);
    color(KXPropUIHistoryBackgroundColor, mHistoryBackgroundColor);
    color(KXPropUIHistoryTextColor, mHistoryTextColor);
}

// Appearance problems never stop the opening: a colour that does not parse
// is reported by the parser and left empty.
void WLDatabase::readAppearance(const QVariantMap &info)
{
    forEachAppearance(
        [&info](const QString &key, QString &field) { field = imageResource(info, key); },
        [&info](const QString &key, std::optional<WLColor> &field) {
            if (info.contains(key))
                field = colorWithString(info.value(key).toString());
        });
}

bool WLDatabase::checkRepresentationType(const QVariantMap &info)
{
    const std::optional<uint> type =
        WLDescriptionReader(info, kInitFn).readNumber(KXPropContentsRepresentationType);
    if (!type)
        return false;
    if (*type == 0)
        return true;
    WL_REPORT_PREFIX(kInitFn);
    if (*type == 1)
        wlReportMessage("Unsupport TEXT contents representation\n");
    else if (*type == 2)
        wlReportMessage("Unsupport XML contents representation\n");
    else
        wlReportMessage("Invalid contents representation type (%u)\n", *type);
    return false;
}

bool WLDatabase::prepareHTMLFragments(const QVariantMap &info)
{
    if (!WLDescriptionReader(info, kInitFn)
             .readStrings({{KXPropHTMLCharset, "mHTMLCharset == nil", &mHTMLCharset}}))
        return false;
    mHTMLStringEncoding = WLCharset::forName(mHTMLCharset);
    if (!mHTMLStringEncoding) {
        WL_REPORT(kInitFn, "cfStringEncoding == kCFStringEncodingInvalidId");
        return false;
    }
    if (!encodeFragment(info, KXPropHTMLHeaderString, "mHTMLHeaderData == nil", &mHTMLHeaderData))
        return false;
    if (WLPropertyList::isString(info.value(KXPropHTMLHeaderString2))) {
        QByteArray header2;
        if (!encodeFragment(info, KXPropHTMLHeaderString2, "mHTMLHeaderData2 == nil", &header2))
            return false;
        mHTMLHeaderData2 = header2;
    }
    if (!encodeFragment(info, KXPropHTMLFooterString, "mHTMLFooterData == nil", &mHTMLFooterData))
        return false;
    if (WLPropertyList::isString(info.value(KXPropHTMLSeparatorString)))
        return encodeFragment(info, KXPropHTMLSeparatorString, "mHTMLSeparatorData == nil",
                              &mHTMLSeparatorData);
    return true;
}

// A page fragment must be text; it is stored in the page's charset, and a
// character the charset cannot hold fails the opening.
bool WLDatabase::encodeFragment(const QVariantMap &info, const QString &key, const char *condition,
                                QByteArray *data)
{
    QString text;
    if (!WLDescriptionReader(info, kInitFn).readStrings({{key, "name == nil", &text}}))
        return false;
    std::optional<QByteArray> encoded = mHTMLStringEncoding->encode(text);
    if (!encoded) {
        WL_REPORT(kInitFn, condition);
        return false;
    }
    *data = std::move(*encoded);
    return true;
}

void WLDatabase::invalidate()
{
    // The worker uses the search statements: it stops before any is finalized.
    cleanupParts(WLDatabasePart::Stage::Threads);
    cleanup();
}

void WLDatabase::cleanup()
{
    // Releasing the statements under a running worker would leave it using
    // freed handles; stopping is a no-op when invalidate() already did it.
    cleanupParts(WLDatabasePart::Stage::Threads);
    cleanupContentsLinkDatabase();
    cleanupHeadwordDatabase2();
    cleanupParts(WLDatabasePart::Stage::Tables);
    cleanupParts(WLDatabasePart::Stage::Files); // deletes the page directory
    cleanupContentsDatabase();
    cleanupContentsIndex();
    mHTMLStringEncoding.reset();
    mHTMLCharset.clear();
    mHTMLHeaderData.clear();
    mHTMLHeaderData2.reset();
    mHTMLFooterData.clear();
    mHTMLSeparatorData.clear();
    mHTMLBaseURL.clear();
    forEachAppearance([](const QString &, QString &field) { field.clear(); },
                      [](const QString &, std::optional<WLColor> &field) { field.reset(); });
    mIconImage.clear();
    mTitle.clear();
    mDescription.clear();
}

std::optional<WLColor> WLDatabase::colorWithString(const QString &string)
{
    if (string.isNull())
        return std::nullopt;
    ColorScanner scanner(string);
    WLColor color;
    const std::pair<double *, const char *> components[] = {
        {&color.red, "![scanner scanFloat:&r]"},
        {&color.green, "![scanner scanFloat:&g]"},
        {&color.blue, "![scanner scanFloat:&b]"},
    };
    for (const auto &[component, condition] : components) {
        if (component != &color.red && !scanner.scanComma()) {
            WL_REPORT(kColorFn, "![scanner scanString:@\",\" intoString:nil]");
            return std::nullopt;
        }
        if (!scanner.scanFloat(component)) {
            WL_REPORT(kColorFn, condition);
            return std::nullopt;
        }
    }
    return color; // alpha stays 1.0; text after the blue number is ignored
}

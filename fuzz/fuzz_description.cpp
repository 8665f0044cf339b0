// The description (DatabaseInfo.plist, XML or binary) through the whole
// opening against the demo bundle's database files, then a few lookups of
// every kind and the shutdown.

#include "WLSearchSession.h"
#include "WLFuzzSupport.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

namespace {

QString sBundle;

void lookUp(WLDatabase &database)
{
    // Sections and headwords.
    const uint sections = database.sectionCount();
    for (uint section = 0; section < sections && section < 4; ++section) {
        (void)database.sectionNameAtIndex(section);
        const uint items = database.itemCountOfHeadwordSectionAtIndex(section);
        if (items > 0) {
            (void)database.itemIDAtIndexOfHeadwordSectionAtIndex(0, section);
            (void)database.itemNameAtIndexOfHeadwordSectionAtIndex(0, section);
        }
        (void)database.itemNameAtIndexOfHeadwordSectionAtIndex(items, section);
    }
    QString word, link;
    QStringList links, contentsIDs;
    int contentsID = 0;
    (void)database.getName(&word, 1);
    if (database.getName(&word, &links, &contentsIDs, 1)) {
        QVariantList ids;
        for (const QString &id : std::as_const(contentsIDs))
            ids.append(id);
        (void)database.newHtmlDataForIDs(ids, true);
    }
    // A page (with its media) and a link.
    (void)database.newHtmlDataForID(1, false);
    if (database.getName(&word, &link, &contentsID, 2))
        (void)database.newHtmlDataForID(contentsID, true);
    // The worker takes a keyword; the shutdown must stop it mid-way.
    WLSearchSession::of(database)->setSearchKeywordOnThread(QStringLiteral("a*"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::application();
    WLFuzz::isolateTemporaryDirectory();
    sBundle = WLFuzz::scratchDirectory() + QStringLiteral("/bundle");
    WLFuzz::copyDemoBundle(sBundle);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    WLFuzz::writeInput(sBundle + QStringLiteral("/DatabaseInfo.plist"),
                       reinterpret_cast<const char *>(data), qsizetype(size));

    std::unique_ptr<WLDatabase> database = WLFuzz::openBundle(sBundle);
    if (database) {
        lookUp(*database);
        database->invalidate();
        database->cleanup(); // safe to run twice
    }
    return 0;
}

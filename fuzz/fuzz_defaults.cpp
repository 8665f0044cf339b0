// The user-defaults file as found on disk: loaded, its bookmarks and
// history read through their stores, one record of each added, saved. A
// file that cannot be read as a dictionary is moved aside whole, never lost.

#include "WLBookmarksDataSource.h"
#include "WLFuzzSupport.h"
#include "WLHistoryDataSource.h"
#include "WLIndexPath.h"
#include "WLPropertyList.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

namespace {

QString sDirectory;
QString sPath;

QStringList setAside()
{
    return QDir(sDirectory).entryList({QStringLiteral("defaults.plist.corrupt-*")}, QDir::Files);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    WLFuzz::application();
    sDirectory = WLFuzz::scratchDirectory() + QStringLiteral("/defaults");
    QDir().mkpath(sDirectory);
    sPath = sDirectory + QStringLiteral("/defaults.plist");
    qputenv("WL_DEFAULTS_FILE", QFile::encodeName(sPath));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &name : setAside())
        QFile::remove(sDirectory + u'/' + name);
    WLFuzz::writeInput(sPath, input.constData(), input.size());
    const bool readable = WLPropertyList::isDictionary(WLPropertyList::fromData(input));

    WLUserDefaults::resetStandardUserDefaults();
    WLUserDefaults *defaults = WLUserDefaults::standardUserDefaults();
    {
        const QStringList aside = setAside();
        if (readable) {
            WLFuzz::check(aside.isEmpty(), "a readable file stays in place");
        } else {
            WLFuzz::check(aside.size() == 1, "an unreadable file is moved aside");
            QFile moved(sDirectory + u'/' + aside.first());
            WLFuzz::check(moved.open(QIODevice::ReadOnly) && moved.readAll() == input,
                          "the file moved aside is the file as it was");
        }
    }
    (void)defaults->boolForKey(QStringLiteral("WLBookmarksVersion"));
    (void)defaults->stringForKey(QStringLiteral("WLHistoryVersion"));

    std::unique_ptr<WLBookmarksDataSource> bookmarks = WLBookmarksDataSource::init();
    std::unique_ptr<WLHistoryDataSource> history = WLHistoryDataSource::init();
    QString word, notes;
    QVariantList links, contentsIDs;
    for (std::size_t index = 0; index < bookmarks->bookmarkCount(); ++index)
        WLFuzz::check(bookmarks->getBookmark(&word, &links, &notes, &contentsIDs, index),
                      "every listed bookmark reads");
    for (qsizetype row = 0; row < history->tableViewNumberOfRowsInSection(0); ++row)
        WLFuzz::check(history->getWord(&word, &links, &contentsIDs, WLIndexPath{0, row}),
                      "every listed history entry reads");

    const QVariantList newLinks{QStringLiteral("fuzz#1")};
    const QVariantList newIDs{QStringLiteral("1")};
    WLFuzz::check(bookmarks->addBookmark(QStringLiteral("fuzz"), newLinks, QString(), newIDs),
                  "a bookmark is added");
    WLFuzz::check(history->addHistory(QStringLiteral("fuzz"), newLinks, newIDs),
                  "a history entry is added");
    history.reset();
    bookmarks.reset();
    WLUserDefaults::resetStandardUserDefaults();

    // What was saved reads back, with the new records.
    WLUserDefaults reread(sPath);
    WLFuzz::check(setAside().size() == (readable ? 0 : 1), "the saved file is readable");
    const std::optional<QVariantList> saved = reread.arrayForKey(QStringLiteral("WLHistory"));
    WLFuzz::check(saved && !saved->isEmpty(), "the history was saved");
    return 0;
}

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"
#include "WLDatabaseMedia.h"
#include "WLSearchSession.h"
#include "WLProperty.h"
#include "WLPropertyList.h"

#include <QDir>
#include <QJsonObject>

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString indexText(const std::optional<WLIndexRangeArray> &index)
{
    if (!index)
        return QStringLiteral("no");
    return QStringLiteral("yes (%1 letters)").arg(index->size());
}

class InfoCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("info"); }
    QString arguments() const override { return {}; }
    QString summary() const override
    {
        return QStringLiteral("title, charset, sizes and optional features");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Shows the dictionary's title and charset, its numbers of sections and headwords, "
            "which optional features it has (large type, separators, whole-word search, letter "
            "indexes, media) and the page directory of this opening.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict info"),
                QStringLiteral("wldict --dictionary wn --json info")};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (!arguments.isEmpty())
            return context.usage(*this, QStringLiteral("takes no arguments"));
        WLDatabase *database = context.database();
        if (!database)
            return 1;

        // What the object does not keep, the description still says.
        const QVariantMap &info = database->description();
        const bool separator = !info.value(KXPropHTMLSeparatorString).toString().isEmpty();
        const bool wholeWord = WLPropertyList::isString(info.value(KXPropEqualSearchDatabaseFileName));

        qint64 headwords = 0;
        for (const WLSectionRecord &section : database->headwordSections())
            headwords += section.count;
        const WLDatabaseMedia *mediaPart = WLDatabaseMedia::of(*database);
        const WLSearchSession *search = WLSearchSession::of(*database);
        const bool media = mediaPart && mediaPart->additionSupport();
        const std::optional<WLIndexRangeArray> none;
        const std::optional<WLIndexRangeArray> &searchIndex = search ? search->searchIndexRangeArray() : none;
        const std::optional<WLIndexRangeArray> &equalIndex =
            search ? search->equalSearchIndexRangeArray() : none;
        const QString pageDirectory = QDir::cleanPath(database->htmlBaseURL().toLocalFile());

        if (context.json()) {
            QJsonObject indexes;
            indexes.insert(QStringLiteral("search"), searchIndex.has_value());
            indexes.insert(QStringLiteral("wholeWordSearch"),
                           equalIndex.has_value());
            indexes.insert(QStringLiteral("contents"), database->contentsIndexRangeArray().has_value());
            indexes.insert(QStringLiteral("links"), database->contentsLinkIndexRangeArray().has_value());
            QJsonObject object;
            object.insert(QStringLiteral("title"), database->title());
            object.insert(QStringLiteral("charset"), database->htmlEncoding());
            object.insert(QStringLiteral("sections"), qint64(database->sectionCount()));
            object.insert(QStringLiteral("headwords"), headwords);
            object.insert(QStringLiteral("largeFont"), database->isSupportLargeFont());
            object.insert(QStringLiteral("separator"), separator);
            object.insert(QStringLiteral("wholeWordSearch"), wholeWord);
            object.insert(QStringLiteral("indexes"), indexes);
            object.insert(QStringLiteral("media"), media);
            object.insert(QStringLiteral("pageDirectory"), pageDirectory);
            object.insert(QStringLiteral("icon"), database->iconImage());
            context.writeJson(object);
            return 0;
        }
        context.writeTable({
            {QStringLiteral("Title"), database->title()},
            {QStringLiteral("Charset"), database->htmlEncoding()},
            {QStringLiteral("Sections"), QString::number(database->sectionCount())},
            {QStringLiteral("Headwords"), QString::number(headwords)},
            {QStringLiteral("Large type"), yesNo(database->isSupportLargeFont())},
            {QStringLiteral("Separator"), yesNo(separator)},
            {QStringLiteral("Whole-word search"), yesNo(wholeWord)},
            {QStringLiteral("Search index"), indexText(searchIndex)},
            {QStringLiteral("Whole-word index"), indexText(equalIndex)},
            {QStringLiteral("Contents index"), indexText(database->contentsIndexRangeArray())},
            {QStringLiteral("Link index"), indexText(database->contentsLinkIndexRangeArray())},
            {QStringLiteral("Media"), yesNo(media)},
            {QStringLiteral("Page directory"), pageDirectory},
        });
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(InfoCommand)

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"
#include "WLSearchSession.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// Runs one keyword through the search worker, as typing it into the search
// bar would, and lists the sections the search screen would then show.
class SearchCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("search"); }
    QString arguments() const override { return QStringLiteral("[--trace] KEYWORD"); }
    QString summary() const override
    {
        return QStringLiteral("the whole-word and partial matches of a keyword");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Runs KEYWORD through the search as typing it into the reader's search bar does, "
            "and lists the sections the search screen then shows: Whole Words, then Partial "
            "Matches. * stands for any run of characters and ? for one; an empty keyword (\"\") "
            "clears the results. Each word is shown with its number of entries, or the link "
            "text of its one entry; --json gives every link text and contents ID.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict search bank"), QStringLiteral("wldict search 'app*'"),
                QStringLiteral("wldict --json search 'b?nk'")};
    }
    QList<WLCommandOption> options() const override
    {
        return {{QStringLiteral("--trace"), {},
                 QStringLiteral("one JSON line per result snapshot the search hands over, "
                                "instead of the sections")}};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        bool trace = false;
        QStringList rest;
        for (const QString &argument : arguments) {
            if (argument == QLatin1String("--trace"))
                trace = true;
            else
                rest.append(argument);
        }
        if (rest.size() != 1)
            return context.usage(*this, QStringLiteral("takes one keyword (\"\" clears)"));
        WLDatabase *database = context.database();
        if (!database)
            return 1;
        WLLocalization::install();
        const QString keyword = rest.first();

        QEventLoop loop;
        // Both halves are final once the keyword's update says finished.
        const WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
            WLDatabaseSearchedWordsUpdate, database, [&](const WLNotification &notification) {
                const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
                if (trace && !update.receiver.isEmpty())
                    writeTraceLine(context, update.receiver, update.count);
                if (update.finished && update.keyword == keyword)
                    loop.quit();
            });
        WLSearchSession *search = WLSearchSession::of(*database);
        if (!search)
            return context.fail(QStringLiteral("the dictionary has no search"));
        search->setSearchKeywordOnThread(keyword);
        loop.exec();

        if (!trace)
            writeSections(context, *search);
        return 0;
    }

private:
    // Written by hand to keep the keys in the order people read them.
    static void writeTraceLine(WLCliContext &context, const QString &receiver, int count)
    {
        context.writeLine(QStringLiteral("{\"receiver\": \"%1\", \"count\": %2}")
                              .arg(receiver, count < 0 ? QStringLiteral("null")
                                                       : QString::number(count)));
    }

    // What a person reads beside the word: how many entries it has, or the
    // link text of its one entry. An entry may have many links (eighteen
    // for "über" in FreeDict), so they are not all listed; --json has them.
    static QString entrySummary(const QString &links, const std::optional<QVariantList> &ids)
    {
        if (ids && ids->size() > 1)
            return QStringLiteral("%1 entries").arg(ids->size());
        return links.section(QLatin1Char('\t'), 0, 0);
    }

    static void writeSections(WLCliContext &context, const WLSearchSession &database)
    {
        QJsonArray sections;
        for (uint section = 0; section < database.searchSectionCount(); ++section) {
            const QString title = database.searchSectionNameAtIndex(section);
            QJsonArray items;
            QList<QStringList> rows;
            for (uint item = 0; item < database.itemCountOfSearchSectionAtIndex(section); ++item) {
                const QString word = database.itemNameAtIndexOfSearchSectionAtIndex(item, section);
                const QString links = database.itemLinksAtIndexOfSearchSectionAtIndex(item, section);
                const std::optional<QVariantList> ids =
                    database.itemContentsIDsAtIndexOfSearchSectionAtIndex(item, section);
                QJsonArray idArray;
                if (ids) {
                    for (const QVariant &id : *ids)
                        idArray.append(id.toInt());
                }
                items.append(QJsonObject{
                    {QStringLiteral("word"), word},
                    {QStringLiteral("links"), links},
                    {QStringLiteral("contentsIDs"),
                     ids ? QJsonValue(idArray) : QJsonValue(QJsonValue::Null)}});
                rows.append({QString(), word, entrySummary(links, ids)});
            }
            sections.append(QJsonObject{
                {QStringLiteral("title"),
                 title.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(title)},
                {QStringLiteral("items"), items}});
            if (!context.json()) {
                if (!title.isNull())
                    context.writeLine(title);
                context.writeTable(rows);
            }
        }
        if (context.json())
            context.writeJson(QJsonObject{{QStringLiteral("sections"), sections}});
    }
};

} // namespace

WL_REGISTER_COMMAND(SearchCommand)

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

class EntryCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("entry"); }
    QString arguments() const override { return QStringLiteral("ID"); }
    QString summary() const override
    {
        return QStringLiteral("the word, link texts and contents IDs of a headword ID");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Shows the headword with the ID given (its place in the headword index, from 1; "
            "index lists them): its word, and the link text and contents ID of each of its "
            "fragments. This is the entry reference the reader hands to its entry viewer; page "
            "makes the page of the contents IDs.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict entry 42"), QStringLiteral("wldict --json entry 42")};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (arguments.size() != 1)
            return context.usage(*this, QStringLiteral("takes one headword ID"));
        const std::optional<int> id = WLCliContext::parseID(arguments.first());
        if (!id)
            return context.usage(
                *this, QStringLiteral("\"%1\" is not a headword ID").arg(arguments.first()));
        WLDatabase *database = context.database();
        if (!database)
            return 1;

        QString word;
        QStringList links;
        QStringList contentsIDs;
        if (!database->getName(&word, &links, &contentsIDs, *id))
            return context.fail(QStringLiteral("no headword %1").arg(*id));

        if (context.json()) {
            context.writeJson(QJsonObject{
                {QStringLiteral("word"), word},
                {QStringLiteral("links"), QJsonArray::fromStringList(links)},
                {QStringLiteral("contentsIDs"), QJsonArray::fromStringList(contentsIDs)},
            });
            return 0;
        }
        context.writeLine(word);
        QList<QStringList> rows{{QStringLiteral("Contents ID"), QStringLiteral("Link")}};
        for (qsizetype i = 0; i < qMax(links.size(), contentsIDs.size()); ++i)
            rows.append({contentsIDs.value(i), links.value(i)});
        context.writeTable(rows, {0});
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(EntryCommand)

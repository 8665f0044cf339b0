#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"

#include <QJsonObject>

namespace {

class LinkCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("link"); }
    QString arguments() const override { return QStringLiteral("LINK-ID"); }
    QString summary() const override
    {
        return QStringLiteral("where a cross-reference \"#LINK-ID\" leads");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Shows where a cross-reference leads: a link \"#LINK-ID\" in a page opens the word, "
            "link text and contents ID printed here.");
    }
    QStringList examples() const override { return {QStringLiteral("wldict link 7")}; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (arguments.size() != 1)
            return context.usage(*this, QStringLiteral("takes one link ID"));
        const std::optional<int> id = WLCliContext::parseID(arguments.first());
        if (!id)
            return context.usage(*this,
                                 QStringLiteral("\"%1\" is not a link ID").arg(arguments.first()));
        WLDatabase *database = context.database();
        if (!database)
            return 1;

        QString word;
        QString link;
        int contentsID = 0;
        if (!database->getName(&word, &link, &contentsID, *id))
            return context.fail(QStringLiteral("no link %1").arg(*id));
        if (context.json()) {
            context.writeJson(QJsonObject{{QStringLiteral("word"), word},
                                          {QStringLiteral("link"), link},
                                          {QStringLiteral("contentsID"), contentsID}});
            return 0;
        }
        context.writeTable({{QStringLiteral("Word"), word},
                            {QStringLiteral("Link"), link},
                            {QStringLiteral("Contents ID"), QString::number(contentsID)}});
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(LinkCommand)

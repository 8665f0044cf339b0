#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLHistoryDataSource.h"
#include "WLUserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

class HistoryCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("history"); }
    QString arguments() const override { return QStringLiteral("[clear]"); }
    QString summary() const override
    {
        return QStringLiteral("the entries read, newest first, or forget them");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Lists the entries read in the reader, newest first, as its History tab shows them "
            "(at most 100). --json gives each entry's link texts and contents IDs too. clear "
            "forgets them; a reader that is open shows the empty list at once.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict history"), QStringLiteral("wldict --json history"),
                QStringLiteral("wldict history clear")};
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (arguments == QStringList{QStringLiteral("clear")})
            return clear(context);
        if (!arguments.isEmpty())
            return context.usage(*this, QStringLiteral("takes nothing or \"clear\""));
        const auto store = WLHistoryDataSource::init();
        QJsonArray array;
        QList<QStringList> rows;
        for (qsizetype row = 0; row < store->tableViewNumberOfRowsInSection(0); ++row) {
            QString word;
            QVariantList links, contentsIDs;
            if (!store->getWord(&word, &links, &contentsIDs, {0, row}))
                continue;
            if (!context.json()) {
                rows.append({word});
                continue;
            }
            QJsonObject object;
            object.insert(QStringLiteral("word"), word);
            object.insert(QStringLiteral("links"), QJsonArray::fromVariantList(links));
            object.insert(QStringLiteral("contentsIDs"), QJsonArray::fromVariantList(contentsIDs));
            array.append(object);
        }
        if (context.json())
            context.writeJson(array);
        else
            context.writeTable(rows);
        return 0;
    }

    int clear(WLCliContext &context)
    {
        const auto store = WLHistoryDataSource::init();
        const std::size_t count = store->historyCount();
        store->clearHistory();
        // Written now rather than at exit, so that a failure is reported.
        if (!WLUserDefaults::standardUserDefaults()->synchronize())
            return context.fail(QStringLiteral("the history could not be saved"));
        if (context.json())
            context.writeJson(QJsonObject{{QStringLiteral("cleared"), qint64(count)}});
        else
            context.writeLine(QStringLiteral("Cleared the history: %1 entries.").arg(count));
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(HistoryCommand)

#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"
#include "WLDatabaseMedia.h"

#include <QDir>

#include <cstdio>

namespace {

// Writes the page exactly as the reader would show it, bytes in the
// dictionary's charset; --json does not apply.
class PageCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("page"); }
    QString arguments() const override
    {
        return QStringLiteral("[--large] CONTENTS-ID...");
    }
    QString summary() const override
    {
        return QStringLiteral("the HTML page of contents IDs, as raw bytes");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Writes the HTML page of the contents IDs given, the bytes the reader shows: the "
            "header, the fragments with separators between them and the footer, in the "
            "dictionary's charset. The media the page names are extracted into the page "
            "directory, which is kept so that the page can be opened from there, and named on "
            "standard error.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict page 12 30"),
                QStringLiteral("wldict page --large 12 > page.html")};
    }
    QList<WLCommandOption> options() const override
    {
        return {{QStringLiteral("--large"), {}, QStringLiteral("with the large-type header")}};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        bool large = false;
        QVariantList ids;
        for (const QString &argument : arguments) {
            if (argument == QLatin1String("--large")) {
                large = true;
                continue;
            }
            const std::optional<int> id = WLCliContext::parseID(argument);
            if (!id)
                return context.usage(*this, QStringLiteral("\"%1\" is not a contents ID").arg(argument));
            ids.append(*id);
        }
        if (ids.isEmpty())
            return context.usage(*this, QStringLiteral("needs at least one contents ID"));
        WLDatabase *database = context.database();
        if (!database)
            return 1;
        const std::optional<QByteArray> page = database->newHtmlDataForIDs(ids, large);
        // The page's media stay in the page directory, its base, so that the
        // page can be opened from there; it is named since it outlives us.
        if (WLDatabaseMedia *media = WLDatabaseMedia::of(*database))
            media->keepPageDirectory();
        std::fprintf(stderr, "page directory: %s\n",
                     qUtf8Printable(QDir::cleanPath(database->htmlBaseURL().toLocalFile())));
        if (!page)
            return context.fail(QStringLiteral("the page cannot be made"));
        context.writeBytes(*page);
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(PageCommand)

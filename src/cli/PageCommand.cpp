#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"

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
        database->keepPageDirectory();
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

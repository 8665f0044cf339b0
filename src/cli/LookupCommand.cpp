#include "WLCharset.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"
#include "WLSearchSession.h"
#include "WLHtmlTextRenderer.h"
#include "WLLocalization.h"
#include "WLNotificationCenter.h"
#include "WLTextLayout.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdlib>
#include <cstring>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Match
{
    QString word;
    QString links;
    QVariantList contentsIDs;
};

// A dictionary lookup as a person makes it at a terminal: the search a
// keyword in the search bar runs, each whole-word match's entry page as
// text, then the partial matches by name.
class LookupCommand : public WLCommand
{
public:
    QString name() const override { return u"lookup"_s; }
    QString arguments() const override { return u"[--html] WORD"_s; }
    QString summary() const override
    {
        return u"a word's entries as text, then its partial matches"_s;
    }
    QString description() const override
    {
        return u"Looks WORD up as a person at a terminal does: runs it through the search, "
               "prints the entry page of each whole-word match as text, then lists the partial "
               "matches. * and ? are wildcards, as in search. On a terminal, bold text is shown "
               "bold and links underlined, unless $NO_COLOR is set."_s;
    }
    QStringList examples() const override
    {
        return {u"wldict lookup apple"_s, u"wldict --dictionary wn lookup bank"_s,
                u"wldict lookup --html apple > apple.html"_s};
    }
    QList<WLCommandOption> options() const override
    {
        return {{u"--html"_s, {},
                 u"the whole-word matches' pages as HTML, in the dictionary's charset"_s}};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        bool html = false;
        QStringList rest;
        for (const QString &argument : arguments) {
            if (argument == u"--html"_s)
                html = true;
            else
                rest.append(argument);
        }
        if (rest.size() != 1 || rest.first().isEmpty())
            return context.usage(*this, u"takes one word"_s);
        const QString word = rest.first();
        WLDatabase *database = context.database();
        if (!database)
            return 1;
        WLLocalization::install();

        WLSearchSession *session = WLSearchSession::of(*database);
        if (!session)
            return context.fail(u"the dictionary has no search"_s);
        const WLSearchResults results = search(*session, word);
        QList<Match> whole;
        QString partialTitle;
        QStringList partial;
        if (const WLSearchSection *section = results.section(WLSearchSection::Kind::WholeWords)) {
            for (const WLSearchResult &row : section->rows)
                whole.append({row.word, row.links,
                              QVariantList(row.contentsIDs.cbegin(), row.contentsIDs.cend())});
        }
        if (const WLSearchSection *section = results.section(WLSearchSection::Kind::PartialMatches)) {
            for (const WLSearchResult &row : section->rows)
                partial.append(row.word);
            partialTitle = WLLocalization::localizedString("MainView.SearchMode.Section.PartialMatches");
        }
        if (whole.isEmpty() && partial.isEmpty())
            return context.fail(u"no match for \"%1\""_s.arg(word));
        if (html && whole.isEmpty())
            return context.fail(u"no whole-word match for \"%1\""_s.arg(word));

        std::optional<WLCharset> charset = WLCharset::forName(database->htmlEncoding());
        if (!charset)
            return context.fail(u"unknown charset \"%1\""_s.arg(database->htmlEncoding()));
        const bool styles =
            !context.json() && isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR") &&
            std::strcmp(std::getenv("TERM") ? std::getenv("TERM") : "dumb", "dumb") != 0;

        int status = 0;
        QJsonArray entries;
        for (qsizetype i = 0; i < whole.size(); ++i) {
            const Match &match = whole[i];
            const std::optional<QByteArray> page =
                database->newHtmlDataForIDs(match.contentsIDs, false);
            if (!page) {
                context.fail(u"the page of \"%1\" cannot be made"_s.arg(match.word));
                status = 1;
                continue;
            }
            if (html) {
                context.writeBytes(*page);
                context.writeBytes("\n");
                continue;
            }
            const std::optional<QString> decoded = charset->decode(*page);
            if (!decoded) {
                context.fail(u"the page of \"%1\" is not %2"_s.arg(match.word, charset->name()));
                status = 1;
                continue;
            }
            const QString text = WLHtmlTextRenderer::render(*decoded, styles);
            if (context.json()) {
                QJsonArray ids;
                for (const QVariant &id : match.contentsIDs)
                    ids.append(id.toInt());
                entries.append(QJsonObject{{u"word"_s, match.word},
                                           {u"links"_s, match.links},
                                           {u"contentsIDs"_s, ids},
                                           {u"text"_s, text}});
                continue;
            }
            if (i > 0)
                context.writeLine(u"\n"_s + QString(40, QChar(0x2550)) + u"\n"_s);
            context.writeBytes(WLTextLayout::wrapped(text, context.outputWidth()).toUtf8());
        }
        if (html)
            return status;

        if (context.json()) {
            context.writeJson(
                QJsonObject{{u"word"_s, word},
                            {u"entries"_s, entries},
                            {u"partialMatches"_s,
                             QJsonObject{{u"title"_s, partialTitle},
                                         {u"words"_s, QJsonArray::fromStringList(partial)}}}});
            return status;
        }
        if (!partial.isEmpty()) {
            if (!whole.isEmpty())
                context.writeLine();
            context.writeLine(partialTitle);
            QList<QStringList> rows;
            for (const QString &name : std::as_const(partial))
                rows.append({QString(), name});
            context.writeTable(rows);
        }
        return status;
    }

private:
    // Hands the word to the search and waits for its last results.
    static WLSearchResults search(WLSearchSession &session, const QString &word)
    {
        QEventLoop loop;
        const auto done = [&session, &word] {
            const WLSearchResults results = session.results();
            return results.keyword == word && results.finished;
        };
        const WLObserverToken token = WLNotificationCenter::defaultCenter().addObserver(
            WLSearchResultsDidChangeNotification, &session, [&](const WLNotification &) {
                if (done())
                    loop.quit();
            });
        session.searchKeyword(word);
        if (!done())
            loop.exec();
        return session.results();
    }
};

} // namespace

WL_REGISTER_COMMAND(LookupCommand)

#pragma once

#include "WLDataSource.h"
#include "WLNotificationCenter.h"
#include "WLSearchResult.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

class WLSearchSession;

// The Search tab: what the dictionary's search session shows for the
// keyword (whole words, partial matches, "did you mean") as rows under
// titled sections, the typed part of each match in bold. The session
// decides which results show; this only turns them into rows.
//
// Threading: main thread only.
class WLSearchDataSource final : public WLDataSource
{
public:
    ~WLSearchDataSource() override;

    QString navigationTitle() const override;
    WLTabBarItem tabBarItem() const override;
    WLTableViewStyle tableViewStyle() const override { return WLTableViewStyle::Plain; }
    bool getWord(QString *word, QVariantList *links, QVariantList *contentsIDs,
                 const WLIndexPath &indexPath) const override;

    qsizetype numberOfSectionsInTableView() const override;
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    QString tableViewTitleForHeaderInSection(qsizetype section) const override;

    // Hands a keyword to the search (WLSearchSession::searchKeyword); an
    // empty one clears the results. Never waits.
    void searchKeyword(const QString &keyword);
    // The last keywords handed to the search, and the one whose results are
    // on show; for tests.
    QStringList handedKeywords() const;
    QString shownKeyword() const { return mResults.keyword; }

    // Grows whenever the rows on show change; the handler is told then.
    quint64 revision() const;
    // Since that revision rows were only added at the ends of sections (and
    // sections after the last), so the list can keep the rows it shows.
    bool rowsOnlyAddedSince(quint64 revision) const;
    void setRowsDidChangeHandler(std::function<void()> handler) { mRowsDidChange = std::move(handler); }

private:
    friend class WLDataSource;
    explicit WLSearchDataSource(WLDatabase *database);

    // The sections as listed: the results' own, and one untitled empty
    // section when the keyword found nothing.
    struct Section {
        std::optional<WLSearchSection::Kind> kind;
        const QList<WLSearchResult> *rows = nullptr;
    };
    QList<Section> sections() const;
    std::optional<QList<WLTextRange>> matchRanges(const QString &word) const;

    WLSearchSession *mSession = nullptr;
    WLObserverToken mResultsObserver;
    WLSearchResults mResults;
    std::function<void()> mRowsDidChange;
    // The pattern of the keyword on show, made once per keyword.
    mutable std::optional<std::pair<QString, QRegularExpression>> mMatcher;
};

#pragma once

#include "WLNotificationCenter.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class WLDatabase;
class WLStoreFixture;

// One row of a search table as the tests write it; a null text is stored
// as NULL. For the whole-word table, link holds the tab-joined links and
// contentsIDs the tab-joined contents ID text.
struct WLSearchRow {
    QString look;
    QString word;
    QString link;
    QString contentsIDs;
};

// Replaces the partial-match (search.db) or whole-word (equal.db) table of
// the fixture with these rows, IDs from 1 in the order given, and writes
// the letter index from the first code unit of each look.
void writeSearchTable(WLStoreFixture &fixture, const QList<WLSearchRow> &rows);
void writeEqualSearchTable(WLStoreFixture &fixture, const QList<WLSearchRow> &rows);

// What the main thread received from the worker, in order.
class WLSearchRecorder : public QObject
{
    Q_OBJECT

public:
    struct Snapshot {
        QString receiver;
        int count; // -1 for a clear
        bool operator==(const Snapshot &) const = default;
    };

    explicit WLSearchRecorder(WLDatabase *database);

    // Hands the keyword over and runs the event loop until the worker has
    // finished it; false on time-out (a hang check, not a timing claim).
    bool search(const QString &keyword, int timeoutMs = 60000);
    bool waitForFinished(const QString &keyword, int timeoutMs = 60000);
    void clear();

    QList<Snapshot> snapshots;
    QStringList finished;
    int notifications = 0;

    // The sections as the search screen lists them: the title, then one
    // line per item "word|links|id,id".
    QStringList sections() const;
    // The words of the section with this title (empty when absent).
    QStringList words(const QString &title) const;

private:
    WLDatabase *m_database;
    WLObserverToken m_token;
};

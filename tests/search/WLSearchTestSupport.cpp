#include "WLSearchSession.h"
#include "WLSearchTestSupport.h"

#include "WLDatabase.h"
#include "WLStoreFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

namespace {

QString sqlText(const QString &text)
{
    if (text.isNull())
        return u"NULL"_s;
    // Tabs written as char(9) keep the SQL on one line per row.
    QStringList pieces;
    for (const QString &piece : text.split(u'\t'))
        pieces.append(u"'"_s + QString(piece).replace(u"'"_s, u"''"_s) + u"'"_s);
    return pieces.join(u" || char(9) || "_s);
}

QString indexRows(const QList<WLSearchRow> &rows)
{
    QStringList values;
    int id = 0;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QChar letter = rows[row].look.at(0);
        if (row == 0 || rows[row - 1].look.at(0) != letter) {
            qsizetype count = 1;
            while (row + count < rows.size() && rows[row + count].look.at(0) == letter)
                ++count;
            values.append(u"(%1, %2, %3, %4)"_s.arg(++id).arg(sqlText(QString(letter))).arg(row + 1).arg(count));
        }
    }
    return values.join(u", "_s);
}

void writeTable(WLStoreFixture &fixture, const QString &file, const QString &table,
                const QString &linkColumn, const QString &idsColumn, bool numericIDs,
                const QList<WLSearchRow> &rows)
{
    QString sql = u"DROP TABLE IF EXISTS %1; DROP TABLE IF EXISTS %1_index;"
                  "CREATE TABLE %1 (id INTEGER PRIMARY KEY, look TEXT, word TEXT, %2 TEXT, %3 %4);"
                  "CREATE TABLE %1_index (id INTEGER PRIMARY KEY, letter TEXT, offset INTEGER,"
                  " count INTEGER); BEGIN;"_s.arg(table, linkColumn, idsColumn,
                                                  numericIDs ? u"INTEGER"_s : u"TEXT"_s);
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const WLSearchRow &r = rows[row];
        sql += u"INSERT INTO %1 VALUES (%2, %3, %4, %5, %6);"_s.arg(
            table, QString::number(row + 1), sqlText(r.look), sqlText(r.word), sqlText(r.link),
            numericIDs ? (r.contentsIDs.isNull() ? u"NULL"_s : r.contentsIDs) : sqlText(r.contentsIDs));
    }
    if (!rows.isEmpty())
        sql += u"INSERT INTO %1_index VALUES %2;"_s.arg(table, indexRows(rows));
    sql += u"COMMIT;"_s;
    fixture.exec(file, sql);
}

} // namespace

void writeSearchTable(WLStoreFixture &fixture, const QList<WLSearchRow> &rows)
{
    writeTable(fixture, u"search.db"_s, u"search"_s, u"link"_s, u"contents_id"_s, true, rows);
}

void writeEqualSearchTable(WLStoreFixture &fixture, const QList<WLSearchRow> &rows)
{
    writeTable(fixture, u"equal.db"_s, u"equal_search"_s, u"links"_s, u"contents_ids"_s, false,
               rows);
}

WLSearchRecorder::WLSearchRecorder(WLDatabase *database) : m_database(database)
{
    m_token = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, database, [this](const WLNotification &notification) {
            ++notifications;
            const WLSearchUpdate update = WLSearchUpdate::fromUserInfo(notification.userInfo);
            if (!update.receiver.isEmpty())
                snapshots.append({update.receiver, update.count});
            if (update.finished)
                finished.append(update.keyword);
        });
}

bool WLSearchRecorder::search(const QString &keyword, int timeoutMs)
{
    WLSearchSession::of(*m_database)->setSearchKeywordOnThread(keyword);
    return waitForFinished(keyword, timeoutMs);
}

bool WLSearchRecorder::waitForFinished(const QString &keyword, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!finished.contains(keyword)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void WLSearchRecorder::clear()
{
    snapshots.clear();
    finished.clear();
    notifications = 0;
}

QStringList WLSearchRecorder::sections() const
{
    QStringList lines;
    for (uint section = 0; section < WLSearchSession::of(*m_database)->searchSectionCount(); ++section) {
        lines.append(WLSearchSession::of(*m_database)->searchSectionNameAtIndex(section));
        for (uint item = 0; item < WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(section); ++item) {
            QStringList ids;
            const std::optional<QVariantList> contentsIDs =
                WLSearchSession::of(*m_database)->itemContentsIDsAtIndexOfSearchSectionAtIndex(item, section);
            if (contentsIDs) {
                for (const QVariant &id : *contentsIDs)
                    ids.append(id.toString());
            }
            lines.append(WLSearchSession::of(*m_database)->itemNameAtIndexOfSearchSectionAtIndex(item, section) + u'|'
                         + WLSearchSession::of(*m_database)->itemLinksAtIndexOfSearchSectionAtIndex(item, section)
                         + u'|' + (contentsIDs ? ids.join(u',') : u"nil"_s));
        }
    }
    return lines;
}

QStringList WLSearchRecorder::words(const QString &title) const
{
    QStringList result;
    for (uint section = 0; section < WLSearchSession::of(*m_database)->searchSectionCount(); ++section) {
        if (WLSearchSession::of(*m_database)->searchSectionNameAtIndex(section) != title)
            continue;
        for (uint item = 0; item < WLSearchSession::of(*m_database)->itemCountOfSearchSectionAtIndex(section); ++item)
            result.append(WLSearchSession::of(*m_database)->itemNameAtIndexOfSearchSectionAtIndex(item, section));
    }
    return result;
}

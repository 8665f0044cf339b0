#include "WLSearchSuggestions.h"

#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLProperty.h"
#include "WLSqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

QString fold(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

// How often the search over the headwords looks for a newer request.
constexpr int kCancelCheckInterval = 4096;

} // namespace

std::unique_ptr<WLSearchSuggestions> WLSearchSuggestions::forDatabase(const WLDatabase &database,
                                                                      Handler handler)
{
    const QVariantMap &info = database.description();
    const QString file = info.value(KXPropHeadwordDatabaseFileName).toString();
    const QString table = info.value(KXPropHeadwordTableName).toString();
    const QString id = info.value(KXPropHeadwordIDColumn).toString();
    const QString word = info.value(KXPropHeadwordWordColumn).toString();
    const QString path = WLBundle::pathForResource(file);
    if (file.isEmpty() || table.isEmpty() || id.isEmpty() || word.isEmpty() || path.isEmpty())
        return nullptr;
    const QString query = wlStatementWithNames(u"SELECT %1, %2 FROM %3 ORDER BY %1;", {id, word, table});
    return std::unique_ptr<WLSearchSuggestions>(
        new WLSearchSuggestions(path, query, std::move(handler)));
}

WLSearchSuggestions::WLSearchSuggestions(QString path, QString query, Handler handler)
    : mPath(std::move(path)),
      mQuery(std::move(query)),
      mHandler(std::move(handler)),
      mThread([this](std::stop_token stop) { run(stop); })
{
}

WLSearchSuggestions::~WLSearchSuggestions()
{
    cancel();
    mThread.request_stop();
    mThread.join();
}

void WLSearchSuggestions::request(quint64 number, const QString &keyword)
{
    {
        const std::lock_guard lock(mMutex);
        mRequest = Request{number, keyword};
        mNewest.store(number);
    }
    mWake.notify_one();
}

void WLSearchSuggestions::cancel()
{
    const std::lock_guard lock(mMutex);
    mRequest.reset();
    // No request has this number, so the one in progress gives up.
    mNewest.store(0);
}

void WLSearchSuggestions::run(std::stop_token stop)
{
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mMutex);
            if (!mWake.wait(lock, stop, [this] { return mRequest.has_value(); }))
                return;
            request = std::move(*mRequest);
            mRequest.reset();
        }
        if (!mLoaded)
            mLoaded = loadHeadwords();
        std::optional<QList<Suggestion>> found = suggestionsFor(request.keyword, request.number, stop);
        if (!found)
            continue;
        mMainThread.post([this, number = request.number, found = std::move(*found)] {
            // Asked again meanwhile: the newer answer follows.
            if (mNewest.load() == number && mHandler)
                mHandler(number, found);
        });
    }
}

bool WLSearchSuggestions::loadHeadwords()
{
    WLSqliteConnection connection;
    WLSqliteStatement statement;
    if (connection.openReadOnly(mPath) != SQLITE_OK || statement.prepare(connection, mQuery) != SQLITE_OK)
        return false;
    while (statement.step() == SQLITE_ROW) {
        const std::optional<QString> word = wlStringWithUTF8(statement.columnText(1));
        const int itemID = statement.columnInt(0);
        if (word && itemID > 0)
            mHeadwords.push_back({itemID, fold(*word), *word});
    }
    statement.reset();
    return true;
}

std::optional<QList<WLSearchSuggestions::Suggestion>> WLSearchSuggestions::suggestionsFor(
    const QString &keyword, quint64 number, const std::stop_token &stop) const
{
    const QString wanted = fold(keyword);
    const int limit = distanceLimit(wanted.size());
    struct Candidate {
        int distance;
        qsizetype index;
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < mHeadwords.size(); ++i) {
        if (i % kCancelCheckInterval == 0 && (stop.stop_requested() || mNewest.load() != number))
            return std::nullopt;
        const Headword &headword = mHeadwords[i];
        // Too long or too short to come within the limit.
        if (qAbs(headword.folded.size() - wanted.size()) > limit)
            continue;
        const int distance = editDistance(wanted, headword.folded, limit);
        if (distance <= limit && distance > 0)
            candidates.push_back({distance, qsizetype(i)});
    }
    // Closest first, then in index order.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return a.distance != b.distance ? a.distance < b.distance : a.index < b.index;
    });
    QList<Suggestion> result;
    QStringList seen;
    for (const Candidate &candidate : candidates) {
        const Headword &headword = mHeadwords[size_t(candidate.index)];
        // "Polish" and "polish" are one suggestion; the first in the index.
        if (seen.contains(headword.folded))
            continue;
        seen.append(headword.folded);
        result.append({headword.itemID, headword.word});
        if (result.size() == kMaxSuggestions)
            break;
    }
    return result;
}

int WLSearchSuggestions::distanceLimit(qsizetype keywordLength)
{
    if (keywordLength <= 2)
        return 0;
    if (keywordLength <= 4)
        return 1;
    return keywordLength <= 8 ? 2 : 3;
}

int WLSearchSuggestions::editDistance(QStringView a, QStringView b, int limit)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (qAbs(n - m) > limit)
        return limit + 1;
    // Three rows: the optimal string alignment needs the one two back.
    std::vector<int> before(size_t(m + 1)), previous(size_t(m + 1)), current(size_t(m + 1));
    for (qsizetype j = 0; j <= m; ++j)
        previous[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = int(i);
        int smallest = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const size_t y = size_t(j);
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[y] + 1, current[y - 1] + 1, previous[y - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[y - 2] + 1);
            current[y] = d;
            smallest = std::min(smallest, d);
        }
        // Every way on from this row costs at least as much.
        if (smallest > limit)
            return limit + 1;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[size_t(m)], limit + 1);
}

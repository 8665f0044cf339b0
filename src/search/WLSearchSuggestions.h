#pragma once

#include "WLMainThread.h"

#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class WLDatabase;

// Headwords close to a keyword that found nothing ("did you mean"): the
// few with the smallest edit distance over the dictionary's headword list.
// They are found on a thread of their own, which reads the headwords once
// through its own read-only connection; the main thread only asks and
// hears back. A newer request cancels the one in progress.
//
// Threading: made, asked and destroyed on the main thread; the handler runs
// there too.
class WLSearchSuggestions
{
public:
    struct Suggestion {
        int itemID = 0;
        QString word;

        bool operator==(const Suggestion &) const = default;
    };
    // The request's number and what it found (possibly nothing).
    using Handler = std::function<void(quint64 request, const QList<Suggestion> &)>;

    static constexpr int kMaxSuggestions = 5;

    // Nothing when the description does not name a headword table.
    static std::unique_ptr<WLSearchSuggestions> forDatabase(const WLDatabase &database,
                                                            Handler handler);
    ~WLSearchSuggestions();
    WLSearchSuggestions(const WLSearchSuggestions &) = delete;
    WLSearchSuggestions &operator=(const WLSearchSuggestions &) = delete;

    // Replaces any request not yet answered; its answer is dropped.
    void request(quint64 request, const QString &keyword);
    void cancel();

    // The measure: insertions, deletions, substitutions and swaps of
    // neighbours each count one; limit + 1 once it is certain to exceed
    // limit.
    static int editDistance(QStringView a, QStringView b, int limit);
    // How far a keyword may be from a headword to be offered.
    static int distanceLimit(qsizetype keywordLength);

private:
    struct Headword {
        int itemID = 0;
        QString folded;
        QString word;
    };
    struct Request {
        quint64 number = 0;
        QString keyword;
    };

    WLSearchSuggestions(QString path, QString query, Handler handler);
    void run(std::stop_token stop);
    bool loadHeadwords();
    // Empty when cancelled on the way.
    std::optional<QList<Suggestion>> suggestionsFor(const QString &keyword, quint64 number,
                                                     const std::stop_token &stop) const;

    const QString mPath;
    const QString mQuery;
    Handler mHandler;

    std::mutex mMutex;
    std::condition_variable_any mWake;
    std::optional<Request> mRequest;
    // The newest request; an older one in progress gives up.
    std::atomic<quint64> mNewest{0};

    // Worker only.
    std::vector<Headword> mHeadwords;
    bool mLoaded = false;

    WLMainThread mMainThread;
    // Last, so it is stopped and joined before anything it reads goes.
    std::jthread mThread;
};

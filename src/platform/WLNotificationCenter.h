#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

// One posted notification: its name, the object that posted it (compared by
// identity only, never dereferenced) and optional extra values.
struct WLNotification {
    QString name;
    const void *object = nullptr;
    QVariantMap userInfo;
};

class WLNotificationCenterState;

// Keeps an observation alive: observing stops when the token is destroyed or
// reset(). Move-only; a token may outlive its centre.
class WLObserverToken
{
public:
    WLObserverToken() = default;
    ~WLObserverToken();
    WLObserverToken(WLObserverToken &&other) noexcept;
    WLObserverToken &operator=(WLObserverToken &&other) noexcept;
    WLObserverToken(const WLObserverToken &) = delete;
    WLObserverToken &operator=(const WLObserverToken &) = delete;

    bool isObserving() const;
    void reset();

private:
    friend class WLNotificationCenter;
    WLObserverToken(std::weak_ptr<WLNotificationCenterState> state, quint64 id);

    std::weak_ptr<WLNotificationCenterState> mState;
    quint64 mId = 0;
};

// Name-based notifications between parts that do not know each other.
//
// Threading: main thread only. A post runs every matching observer before it
// returns, in the order they began observing; posting from another thread is
// refused with a report (hand the work to the main thread first).
// Observers may start or stop observing from inside a handler: one that
// stops is not called again, one that starts hears only later posts.
class WLNotificationCenter
{
public:
    using Handler = std::function<void(const WLNotification &)>;

    // The process-wide centre.
    static WLNotificationCenter &defaultCenter();

    WLNotificationCenter();
    ~WLNotificationCenter();
    WLNotificationCenter(const WLNotificationCenter &) = delete;
    WLNotificationCenter &operator=(const WLNotificationCenter &) = delete;

    // Observes name posted by sender, or by any sender when sender is null.
    [[nodiscard]] WLObserverToken addObserver(const QString &name, const void *sender,
                                              Handler handler);

    void postNotificationName(const QString &name, const void *object,
                              const QVariantMap &userInfo = {});

private:
    std::shared_ptr<WLNotificationCenterState> mState;
};

#include "WLNotificationCenter.h"

#include "WLReport.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>
#include <vector>

namespace {

struct Observer {
    quint64 id = 0;
    QString name;
    const void *sender = nullptr;
    WLNotificationCenter::Handler handler;
};

} // namespace

class WLNotificationCenterState
{
public:
    quint64 nextId = 1;
    // Shared so that a post keeps the observers it is calling alive while a
    // handler removes them.
    std::vector<std::shared_ptr<Observer>> observers;

    void remove(quint64 id)
    {
        std::erase_if(observers, [id](const std::shared_ptr<Observer> &o) { return o->id == id; });
    }

    bool contains(quint64 id) const
    {
        for (const auto &o : observers) {
            if (o->id == id)
                return true;
        }
        return false;
    }
};

WLObserverToken::WLObserverToken(std::weak_ptr<WLNotificationCenterState> state, quint64 id)
    : mState(std::move(state)), mId(id)
{
}

WLObserverToken::~WLObserverToken()
{
    reset();
}

WLObserverToken::WLObserverToken(WLObserverToken &&other) noexcept
    : mState(std::move(other.mState)), mId(std::exchange(other.mId, 0))
{
}

WLObserverToken &WLObserverToken::operator=(WLObserverToken &&other) noexcept
{
    if (this != &other) {
        reset();
        mState = std::move(other.mState);
        mId = std::exchange(other.mId, 0);
    }
    return *this;
}

bool WLObserverToken::isObserving() const
{
    const auto state = mState.lock();
    return state && state->contains(mId);
}

void WLObserverToken::reset()
{
    if (const auto state = mState.lock())
        state->remove(mId);
    mState.reset();
    mId = 0;
}

WLNotificationCenter &WLNotificationCenter::defaultCenter()
{
    static WLNotificationCenter center;
    return center;
}

WLNotificationCenter::WLNotificationCenter() : mState(std::make_shared<WLNotificationCenterState>())
{
}

WLNotificationCenter::~WLNotificationCenter() = default;

WLObserverToken WLNotificationCenter::addObserver(const QString &name, const void *sender,
                                                  Handler handler)
{
    auto observer = std::make_shared<Observer>();
    observer->id = mState->nextId++;
    observer->name = name;
    observer->sender = sender;
    observer->handler = std::move(handler);
    const quint64 id = observer->id;
    mState->observers.push_back(std::move(observer));
    return WLObserverToken(mState, id);
}

void WLNotificationCenter::postNotificationName(const QString &name, const void *object,
                                                const QVariantMap &userInfo)
{
    static constexpr char kFn[] = "-[WLNotificationCenter postNotificationName:object:userInfo:]";
    const QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        WL_REPORT(kFn, "![NSThread isMainThread]");
        return;
    }

    const WLNotification notification{name, object, userInfo};
    std::vector<std::shared_ptr<Observer>> matching;
    for (const auto &o : mState->observers) {
        if (o->name == name && (!o->sender || o->sender == object))
            matching.push_back(o);
    }
    for (const auto &o : matching) {
        // A handler may have stopped this observer (or its own) meanwhile.
        if (mState->contains(o->id) && o->handler)
            o->handler(notification);
    }
}

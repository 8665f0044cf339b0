#pragma once

// The shared instance of a class Store that derives from
// WLSharedInstance<Store>: the first instance that finishes its making
// (and calls becomeSharedIfFirst()), until that instance is destroyed;
// nothing before and after.
//
// Threading: main thread only.
template<typename Store>
class WLSharedInstance
{
public:
    static Store *sharedInstance() { return static_cast<Store *>(sShared); }

    WLSharedInstance(const WLSharedInstance &) = delete;
    WLSharedInstance &operator=(const WLSharedInstance &) = delete;

protected:
    WLSharedInstance() = default;
    ~WLSharedInstance()
    {
        if (sShared == this)
            sShared = nullptr;
    }

    void becomeSharedIfFirst()
    {
        if (!sShared)
            sShared = this;
    }

private:
    // Kept as the base, so the destructor compares without a cast to a
    // Store that is already gone.
    static inline WLSharedInstance *sShared = nullptr;
};

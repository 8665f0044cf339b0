#pragma once

#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

// The compiler's work that can be shared out is shared between one thread
// per core.
inline int wlThreadCount()
{
    return std::max(1, QThread::idealThreadCount());
}

// Runs task(0) .. task(count - 1), each once, on up to wlThreadCount()
// threads (the calling one among them), starting them in ascending order;
// returns when all have finished. The tasks must not throw.
template <typename Task> void wlRunConcurrently(int count, const Task &task)
{
    std::atomic<int> next = 0;
    const auto work = [&] {
        for (int i = next++; i < count; i = next++)
            task(i);
    };
    std::vector<std::jthread> helpers;
    for (int t = 1; t < std::min(wlThreadCount(), count); ++t)
        helpers.emplace_back(work);
    work();
}

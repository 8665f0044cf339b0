#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

// Runs task(0) .. task(count - 1), each once, on up to `threads` threads
// (the calling one among them), starting them in ascending order; returns
// when all have finished. The tasks must not throw.
template <typename Task> void wlRunConcurrently(int count, int threads, const Task &task)
{
    std::atomic<int> next = 0;
    const auto work = [&] {
        for (int i = next++; i < count; i = next++)
            task(i);
    };
    std::vector<std::jthread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t)
        helpers.emplace_back(work);
    work();
}

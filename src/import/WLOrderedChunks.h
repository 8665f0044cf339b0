#pragma once

#include <QThread>

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

// Work on the items [0, total) cut into chunks that are made side by side,
// one per core, and handed back in order: the importers render entries this
// way and write them in file order. A Chunk has size_t begin and end.
// endOf(begin): where the chunk that starts at begin ends. render(chunk)
// runs on any thread; take(chunk) on the calling one, in order, and stops
// the work by answering false.
template <typename Chunk>
bool wlRenderInOrder(size_t total, const std::function<size_t(size_t)> &endOf,
                     const std::function<void(Chunk &)> &render,
                     const std::function<bool(Chunk &)> &take)
{
    const size_t threads = size_t(std::max(1, QThread::idealThreadCount()));
    for (size_t begin = 0; begin < total;) {
        std::vector<Chunk> chunks;
        while (chunks.size() < threads && begin < total) {
            Chunk chunk{};
            chunk.begin = begin;
            chunk.end = endOf(begin);
            begin = chunk.end;
            chunks.push_back(std::move(chunk));
        }
        {
            std::vector<std::jthread> helpers;
            for (size_t c = 1; c < chunks.size(); ++c)
                helpers.emplace_back([&, c] { render(chunks[c]); });
            render(chunks[0]);
        }
        for (Chunk &chunk : chunks) {
            if (!take(chunk))
                return false;
        }
    }
    return true;
}

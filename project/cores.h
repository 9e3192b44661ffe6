#pragma once
// Work spread over the machine's cores, for the few places that read thousands of files at once.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace project::cores {

/// Runs work(i, local) for every i from 0 to count - 1, on as many of the machine's cores as
/// help (four at most), each core with a Local of its own; fewer than alone are run on this
/// thread only. The work for each i must touch nothing the work for another touches, and must
/// not throw. Returns once every i is done.
template <class Local, class Work> void forEach(size_t count, size_t alone, Work&& work)
{
    constexpr size_t kChunk = 32; // taken at a time: neighbours stay on one core
    std::atomic<size_t> next{0};
    const auto run = [&]() noexcept {
        Local local{};
        for (size_t from; (from = next.fetch_add(kChunk)) < count;)
            for (size_t i = from; i < std::min(count, from + kChunk); ++i)
                work(i, local);
    };
    std::vector<std::thread> helpers;
    if (count >= alone) {
        const size_t cores = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
        for (size_t h = 1; h < cores; ++h) {
            try {
                helpers.emplace_back(run);
            } catch (const std::system_error&) {
                break; // no thread to be had: this one does the rest
            }
        }
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace project::cores

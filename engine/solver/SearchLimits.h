#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// When a search must give up: the caller's stop flag turned true or the deadline
// passed. Checked every few thousand nodes, so a search ends within about a
// millisecond of either.
struct CSearchLimits {
    const std::atomic<bool>* pStop = nullptr;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    // A search of the solver's own that may give up after this many nodes (the
    // same count on every run, unlike time).
    std::uint64_t nMaxNodes = UINT64_MAX;

    bool Expired() const
    {
        if (pStop && pStop->load(std::memory_order_relaxed))
            return true;
        return deadline != std::chrono::steady_clock::time_point::max() &&
               std::chrono::steady_clock::now() >= deadline;
    }
};

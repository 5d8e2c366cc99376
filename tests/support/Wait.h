#pragma once

// Waiting on a condition instead of sleeping for a fixed time. Qt Test programs
// that need their event loop use QTRY_VERIFY / QTRY_COMPARE instead.

#include <chrono>
#include <thread>

namespace support {

// Polls `done` every 5 ms until it holds or `seconds` have passed; returns whether it held.
template <typename Pred> bool WaitUntil(Pred done, double seconds = 5.0)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Wall-clock seconds since construction. Waits overshoot on a busy machine, so
// tests compare captures with measured times, not with the times they asked for.
struct Stopwatch {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

} // namespace support

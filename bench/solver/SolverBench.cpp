// First, a fresh install: an empty cache folder of its own, the tables the build
// ships (build/run/solver). Times the very first call of the process with its
// deadline already passed, per size; then the time from Prepare(4, 4) (New Game)
// to the first shortest 4 x 4 answer, over fresh starts of the store, with the
// shipped tables and once without them.
//
// Then times the solver over fixed sets of random solvable boards and prints, per
// size, the median, 99th-percentile and longest time (wall clock), the median
// processor time, the mean length and the mean ratio to the Manhattan lower
// bound (and to the shortest length where it is known).
//
// Usage: solver_bench [boards per size (default 200)] [only this size, e.g. 10x10]
#include "bench/support/RandomBoards.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using benchsupport::Percentile;
using benchsupport::RandomSolvable;

// Processor time of this thread: what the solver cost, whatever else the machine runs.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Milliseconds from Prepare(4, 4) on an empty store to the shortest answer for state.
double FirstShortestAnswerMs(const CPuzzleState& state)
{
    CPatternStore::Instance().Clear();
    const auto start = std::chrono::steady_clock::now();
    CPuzzleSolver::Prepare(4, 4);
    const CSolveResult result = CPuzzleSolver::Solve(state);
    const double ms = MsSince(start);
    return result.bOptimal ? ms : -1;
}

void FreshInstall()
{
    const std::filesystem::path cache =
        std::filesystem::temp_directory_path() / ("zandor-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(cache);
    CPatternStore::Instance().SetCacheDirectory(cache);
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_BENCH_SHIPPED);

    std::printf("first call, deadline already passed (empty cache):");
    for (const auto& size : {std::pair{3, 3}, {4, 4}, {5, 5}, {10, 10}}) {
        std::mt19937 rng(static_cast<unsigned>(size.first * 7 + size.second));
        const CPuzzleState state = RandomSolvable(size.first, size.second, rng);
        CPuzzleSolver::SOptions options;
        options.deadline = std::chrono::steady_clock::now();
        const auto start = std::chrono::steady_clock::now();
        const CSolveResult result = CPuzzleSolver::Solve(state, options);
        std::printf("  %dx%d %.3f ms%s", size.first, size.second, MsSince(start),
                    result.status == CSolveResult::EStatus::Interrupted ? "" : " (NOT INTERRUPTED)");
    }
    std::printf("\n");

    std::mt19937 rng(4004);
    std::vector<double> times;
    for (int i = 0; i < 20; ++i)
        times.push_back(FirstShortestAnswerMs(RandomSolvable(4, 4, rng)));
    std::sort(times.begin(), times.end());
    std::printf(
        "New Game to first shortest 4x4 answer, shipped tables: median %.1f ms, max %.1f ms (20 boards)\n",
        times[times.size() / 2], times.back());
    CPatternStore::Instance().SetShippedDirectory(cache / "none");
    std::printf("the same without shipped tables (built into the empty cache): %.1f ms\n\n",
                FirstShortestAnswerMs(RandomSolvable(4, 4, rng)));

    CPatternStore::Instance().Clear();
    std::filesystem::remove_all(cache);
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_BENCH_SHIPPED);
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int sizes[][2] = {{3, 3}, {4, 4}, {5, 5}, {6, 6}, {10, 10}, {10, 2}};

    FreshInstall();

    // Tables are read or built before timing starts: the times are the solver's.
    const auto t0 = std::chrono::steady_clock::now();
    const int shapes[][2] = {{4, 4}, {6, 2}, {5, 3}};
    for (const auto& s : shapes)
        CPatternStore::Instance().Wait(s[0], s[1], nullptr, std::chrono::steady_clock::time_point::max());
    const auto counters = CPatternStore::Instance().Counters();
    std::printf("pattern databases ready in %.2f s (%d shipped in %s, %d read from %s, %d built)\n\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
                counters.nShipped, CPatternStore::Instance().ShippedDirectory().c_str(), counters.nLoaded,
                CPatternStore::Instance().CacheDirectory().c_str(), counters.nBuilt);

    std::printf("%-6s %6s %10s %10s %10s %10s %11s %10s %10s %8s\n", "size", "boards", "median ms", "p99 ms",
                "max ms", "cpu med ms", "mean moves", "/Manhattan", "/shortest", "optimal");
    for (const auto& size : sizes) {
        const int x = size[0], y = size[1];
        char label[16];
        std::snprintf(label, sizeof label, "%dx%d", x, y);
        if (argc > 2 && std::string(argv[2]) != label)
            continue;
        std::mt19937 rng(static_cast<unsigned>(1000 * x + y));
        std::vector<double> times, cpuTimes, ratios;
        double totalMoves = 0;
        int optimal = 0, failures = 0;
        for (int i = 0; i < count; ++i) {
            const CPuzzleState state = RandomSolvable(x, y, rng);
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = ThreadCpuMs();
            const CSolveResult result = CPuzzleSolver::Solve(state);
            cpuTimes.push_back(ThreadCpuMs() - cpuStart);
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            CPuzzleState check = state;
            if (result.status != CSolveResult::EStatus::Solved || !check.Apply(result.moves) ||
                !check.IsSolved())
                ++failures;
            totalMoves += static_cast<double>(result.moves.size());
            ratios.push_back(static_cast<double>(result.moves.size()) /
                             std::max(1, state.ManhattanDistance()));
            optimal += result.bOptimal ? 1 : 0;
        }
        double meanRatio = 0;
        for (double r : ratios)
            meanRatio += r;
        meanRatio /= static_cast<double>(ratios.size());
        char shortest[16] = "unknown";
        if (optimal == count)
            std::snprintf(shortest, sizeof shortest, "1.000");
        std::printf("%-6s %6d %10.2f %10.2f %10.2f %10.2f %11.1f %10.3f %10s %8d", label, count,
                    Percentile(times, 0.5), Percentile(times, 0.99), Percentile(times, 1.0),
                    Percentile(cpuTimes, 0.5), totalMoves / count, meanRatio, shortest, optimal);
        if (failures)
            std::printf("  FAILED %d", failures);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}

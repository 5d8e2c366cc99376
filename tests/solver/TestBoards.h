#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleState.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <system_error>
#include <unistd.h>
#include <unordered_map>
#include <vector>

// Helpers shared by the solver tests. The move check is written here again on
// purpose, so a fault in the solver's own move function cannot hide one in the solver.
namespace testboards {

// Points the store at the folders the tests share (set by the build): the tables
// the build generates, and a cache folder for any other shape. It forgets what it holds.
// Without them (tests of the hint worker) it holds no folders.
inline void UseSharedTables()
{
    CPatternStore::Instance().Clear();
#ifdef ZANDOR_TEST_CACHE
    CPatternStore::Instance().SetCacheDirectory(ZANDOR_TEST_CACHE);
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_TEST_SHIPPED);
#else
    CPatternStore::Instance().SetCacheDirectory(std::nullopt);
    CPatternStore::Instance().SetShippedDirectory(std::nullopt);
#endif
}
inline const bool g_bUsesSharedTables = [] {
    UseSharedTables();
    return true;
}();

// While it lives, the store starts empty with a cache folder and a shipped folder
// of its own (both empty at first): the state of a fresh install without tables.
struct SScratchTables {
    std::filesystem::path dir;
    SScratchTables()
        : dir(std::filesystem::temp_directory_path() / ("zandor-pdb-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(dir);
        CPatternStore::Instance().Clear();
        CPatternStore::Instance().SetCacheDirectory(Cache());
        CPatternStore::Instance().SetShippedDirectory(Shipped());
    }
    ~SScratchTables()
    {
        UseSharedTables();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path Cache() const { return dir / "cache"; }
    std::filesystem::path Shipped() const { return dir / "shipped"; }
};

// True when the clicks are each beside the blank and finish the picture.
inline bool Solves(const CPuzzleState& state, const std::vector<CCell>& clicks)
{
    const int x = state.Width(), y = state.Height();
    std::vector<int> tiles = state.Tiles();
    int blank = static_cast<int>(std::find(tiles.begin(), tiles.end(), x * y - 1) - tiles.begin());
    for (const CCell& c : clicks) {
        if (c.col < 0 || c.col >= x || c.row < 0 || c.row >= y ||
            std::abs(c.col - blank % x) + std::abs(c.row - blank / x) != 1)
            return false;
        const int cell = c.row * x + c.col;
        std::swap(tiles[static_cast<size_t>(cell)], tiles[static_cast<size_t>(blank)]);
        blank = cell;
    }
    for (size_t i = 0; i < tiles.size(); ++i)
        if (tiles[i] != static_cast<int>(i))
            return false;
    return true;
}

// Four bits a tile: the boards of at most 16 cells.
inline std::uint64_t Pack(const std::vector<int>& tiles)
{
    std::uint64_t key = 0;
    for (int t : tiles)
        key = key * 16 + static_cast<std::uint64_t>(t);
    return key;
}

// True distances by breadth-first search from the finished picture, up to maxDepth.
inline std::unordered_map<std::uint64_t, int> Distances(int x, int y, int maxDepth = INT_MAX)
{
    std::unordered_map<std::uint64_t, int> dist;
    std::vector<int> solved(static_cast<size_t>(x * y));
    std::iota(solved.begin(), solved.end(), 0);
    std::deque<std::vector<int>> queue{solved};
    dist[Pack(solved)] = 0;
    while (!queue.empty()) {
        std::vector<int> tiles = queue.front();
        queue.pop_front();
        const int d = dist[Pack(tiles)];
        if (d == maxDepth)
            continue;
        const int blank = static_cast<int>(std::find(tiles.begin(), tiles.end(), x * y - 1) - tiles.begin());
        const int bc = blank % x, br = blank / x;
        const int around[4][2] = {{bc + 1, br}, {bc - 1, br}, {bc, br + 1}, {bc, br - 1}};
        for (const auto& a : around) {
            if (a[0] < 0 || a[0] >= x || a[1] < 0 || a[1] >= y)
                continue;
            std::vector<int> next = tiles;
            std::swap(next[static_cast<size_t>(blank)], next[static_cast<size_t>(a[1] * x + a[0])]);
            if (dist.emplace(Pack(next), d + 1).second)
                queue.push_back(next);
        }
    }
    return dist;
}

// The finished picture scrambled by a random walk of the blank.
inline CPuzzleState Walk(int x, int y, int steps, std::mt19937& rng)
{
    CPuzzleState state(x, y);
    for (int i = 0; i < steps; ++i) {
        const CCell b = state.Blank();
        const CCell around[4] = {
            {b.col + 1, b.row}, {b.col - 1, b.row}, {b.col, b.row + 1}, {b.col, b.row - 1}};
        while (!state.Click(around[rng() % 4])) {
        }
    }
    return state;
}
inline CPuzzleState Walk(int x, int y, int steps, unsigned seed)
{
    std::mt19937 rng(seed);
    return Walk(x, y, steps, rng);
}

// A uniformly random solvable board.
inline CPuzzleState RandomSolvable(int x, int y, std::mt19937& rng)
{
    std::vector<int> tiles(static_cast<size_t>(x * y));
    std::iota(tiles.begin(), tiles.end(), 0);
    std::shuffle(tiles.begin(), tiles.end(), rng);
    if (!CPuzzleState(x, y, tiles).IsSolvable()) // swapping two tiles flips the parity
        std::swap(tiles[tiles[0] == x * y - 1 ? 2 : 0], tiles[tiles[1] == x * y - 1 ? 2 : 1]);
    return CPuzzleState(x, y, tiles);
}

// True in builds with AddressSanitizer (GCC), which run several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif

} // namespace testboards

#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PuzzleState.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

// Helpers shared by the solver tests. The move check is written here again on
// purpose, so a fault in the solver's own move function cannot hide one in the solver.
namespace testboards {

// The pattern-database folder the tests share (set by the build).
inline std::filesystem::path SharedCacheDir()
{
    return ZANDOR_TEST_CACHE;
}

// Plays the clicks on a copy of tiles; false when a click is off the board or
// not beside the blank.
inline bool Play(int x, int y, std::vector<int>& tiles, const std::vector<CCell>& clicks)
{
    const int blankId = x * y - 1;
    int blank = static_cast<int>(std::find(tiles.begin(), tiles.end(), blankId) - tiles.begin());
    for (const CCell& c : clicks) {
        if (c.col < 0 || c.col >= x || c.row < 0 || c.row >= y)
            return false;
        if (std::abs(c.col - blank % x) + std::abs(c.row - blank / x) != 1)
            return false;
        const int cell = c.row * x + c.col;
        std::swap(tiles[static_cast<size_t>(cell)], tiles[static_cast<size_t>(blank)]);
        blank = cell;
    }
    return true;
}

// True when the clicks are legal and finish the picture.
inline bool Solves(const CPuzzleState& state, const std::vector<CCell>& clicks)
{
    std::vector<int> tiles = state.Tiles();
    if (!Play(state.Width(), state.Height(), tiles, clicks))
        return false;
    for (size_t i = 0; i < tiles.size(); ++i)
        if (tiles[i] != static_cast<int>(i))
            return false;
    return true;
}

// A uniformly random solvable board.
inline CPuzzleState RandomSolvable(int x, int y, std::mt19937& rng)
{
    std::vector<int> tiles(static_cast<size_t>(x * y));
    for (size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = static_cast<int>(i);
    std::shuffle(tiles.begin(), tiles.end(), rng);
    CPuzzleState state(x, y, tiles);
    if (!state.IsSolvable()) {
        std::vector<size_t> cells;
        for (size_t i = 0; i < tiles.size() && cells.size() < 2; ++i)
            if (tiles[i] != x * y - 1)
                cells.push_back(i);
        std::swap(tiles[cells[0]], tiles[cells[1]]);
        state = CPuzzleState(x, y, tiles);
    }
    return state;
}

// True in builds with AddressSanitizer, which run several times slower.
constexpr bool UnderSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

// Scales sample sizes down under AddressSanitizer.
inline int Sample(int normal)
{
    return UnderSanitizer() ? std::max(1, normal / 8) : normal;
}

} // namespace testboards

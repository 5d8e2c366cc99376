#pragma once

#include "engine/solver/PuzzleState.h"

#include <algorithm>
#include <random>
#include <vector>

namespace benchsupport {

// A board drawn evenly from all solvable boards of x by y tiles.
inline CPuzzleState RandomSolvable(int x, int y, std::mt19937& rng)
{
    std::vector<int> tiles(static_cast<size_t>(x * y));
    for (size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = static_cast<int>(i);
    std::shuffle(tiles.begin(), tiles.end(), rng);
    if (!CPuzzleState(x, y, tiles).IsSolvable()) {
        // Swapping two tiles (not the blank) flips the parity; every solvable
        // board stays equally likely.
        const auto isTile = [&](int t) { return t != x * y - 1; };
        const auto first = std::find_if(tiles.begin(), tiles.end(), isTile);
        std::iter_swap(first, std::find_if(first + 1, tiles.end(), isTile));
    }
    return CPuzzleState(x, y, tiles);
}

// The value below which the share p of the values lie (p from 0 to 1).
inline double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())))];
}

} // namespace benchsupport

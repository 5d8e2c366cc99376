#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PuzzleState.h"

#include <vector>

// Shortens a list of clicks without changing where it leads: whenever the board
// comes back to a position it held before (a move and its undo, the blank running
// round a block until it is as it was), the moves in between are dropped.
class CPathShortener {
public:
    // The clicks must be legal from start; returns the shortened list.
    static std::vector<CCell> RemoveLoops(const CPuzzleState& start, const std::vector<CCell>& moves);
};

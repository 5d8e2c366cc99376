#pragma once

#include "engine/solver/PuzzleState.h"
#include "engine/solver/SolveResult.h"

#include <atomic>
#include <chrono>

// The solver for hints and "moves left": shortest solutions for boards of at most
// 16 cells, short ones for larger boards. Safe to call from a worker thread; the
// pattern databases it uses are shared by all callers.
//
// Interruption:
// - The deadline bounds only the search for a shortest solution. When it passes,
//   or the databases are not ready by then, the short solution is returned
//   (status Solved, bOptimal false, bFellBack true); for boards of at most 16
//   cells that takes a few milliseconds.
// - The stop flag ends the shortest-path search the same way (falling back to the
//   short solution), and also ends the short solver of a board above 16 cells,
//   which then returns status Interrupted with no moves.
class CPuzzleSolver {
public:
    struct SOptions {
        const std::atomic<bool>* pStop = nullptr;
        std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
        bool bShortest = true; // look for a shortest solution where the board allows it
    };

    static constexpr int kMaxShortestCells = 16;

    static CSolveResult Solve(const CPuzzleState& state, const SOptions& options);
    static CSolveResult Solve(const CPuzzleState& state) { return Solve(state, SOptions{}); }
    // Malformed states are not solvable.
    static bool IsSolvable(const CPuzzleState& state) { return state.IsSolvable(); }
    // Starts building the pattern databases of a shape in the background, so the
    // first hint need not wait for them.
    static void Prepare(int x, int y);
};

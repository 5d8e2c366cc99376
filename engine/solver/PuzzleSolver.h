#pragma once

#include "engine/solver/PuzzleState.h"
#include "engine/solver/SolveResult.h"

#include <atomic>
#include <chrono>

// The solver for hints and "moves left": shortest solutions for boards of at most
// 16 cells, short ones for larger boards. Safe to call from a worker thread; the
// pattern databases it uses are shared by all callers.
//
// Answers. A board always gets the same answer: the short solution never depends
// on time or on which tables are loaded, and the shortest one is the first in a
// fixed order of moves among all shortest solutions, whichever tables estimate
// the distance. Only the caller's limits (below) can change an answer, and the
// result says when they did.
//
// Limits. The stop flag and the deadline mean the same, on every board size: the
// caller waits no longer. Both are watched throughout (waiting for tables, the
// short solver, the shortest search); once either is reached Solve returns within
// about a millisecond and does no further work. It returns the best complete
// solution it holds at that moment:
// - the shortest solution (bOptimal) when that search has finished;
// - otherwise the short solution (bFellBack) when it has been found; on a board
//   of 10 to 16 cells it is found first, mostly in well under a millisecond and
//   rarely in more than a few, before the shortest search starts (a board of at
//   most 9 cells has only the one search);
// - otherwise status Interrupted and no moves.
// A limit already reached when Solve is called therefore gives Interrupted at once,
// on every size (boards that need no search still get their answer: malformed,
// unsolvable, already finished).
//
// Hints. The first move of a shortest solution always brings the board one move
// nearer to finished, so hints taken afresh from each new board of at most 16
// cells finish it in exactly the shortest number of moves. A short solution gives
// no such promise from one board to the next: a caller keeps the solution in a
// CSolutionPlan and takes its hints from there while the player follows them
// (see SolutionPlan.h); that finishes every board.
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

    // The number of moves of a shortest solution (0 when finished), for boards of
    // at most 16 cells; -1 for larger, malformed or unsolvable boards and when the
    // limits end the search first. Skips the short solution; bShortest is ignored.
    static int ShortestLength(const CPuzzleState& state, const SOptions& options);

    // Malformed states are not solvable.
    static bool IsSolvable(const CPuzzleState& state) { return state.IsSolvable(); }
    // Starts loading (or, when no usable file exists, building) the pattern
    // databases of a shape in the background, so the first hint need not wait for
    // them. Returns at once; does nothing for shapes that need none.
    static void Prepare(int x, int y);
};

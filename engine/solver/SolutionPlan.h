#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PuzzleState.h"
#include "engine/solver/SolveResult.h"

#include <optional>
#include <vector>

// A solution kept between hints. Each hint is the plan's next move from the
// board the player has reached; while the player follows the hints (or wanders
// off and comes back to a board on the plan's path) the board is finished in at
// most the plan's length of moves, whatever its size. Off the path the plan has
// no move and the caller solves the new board and starts a new plan.
//
// Typical use on the game side:
//   if (auto move = plan.NextMove(board)) show *move;
//   else { result = CPuzzleSolver::Solve(board, options);   // worker thread
//          if (result.status == Solved) plan = CSolutionPlan(board, result); }
// A plan from a shortest solution (IsOptimal) gives the first move of a shortest
// solution on every board of its path.
class CSolutionPlan {
public:
    CSolutionPlan() = default;
    // The plan of a Solved result for the board start; empty for any other result
    // or when its moves do not finish start.
    CSolutionPlan(const CPuzzleState& start, const CSolveResult& result);

    bool IsEmpty() const { return m_path.empty(); }
    bool IsOptimal() const { return m_bOptimal; }
    // Moves of the whole plan.
    int Length() const { return IsEmpty() ? 0 : static_cast<int>(m_path.size()) - 1; }

    // How many of the plan's moves lead from its start to board; -1 when board is
    // not on the path.
    int StepOf(const CPuzzleState& board) const;
    // The plan's next click on board; none when board is off the path or finished.
    std::optional<CCell> NextMove(const CPuzzleState& board) const;
    // Moves the plan still needs from board; -1 off the path.
    int MovesLeft(const CPuzzleState& board) const;

private:
    std::vector<CPuzzleState> m_path; // the start, then the board after each move
    std::vector<CCell> m_moves;
    bool m_bOptimal = false;
};

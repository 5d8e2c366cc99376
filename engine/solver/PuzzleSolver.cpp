#include "engine/solver/PuzzleSolver.h"

#include "engine/solver/OptimalSolver.h"
#include "engine/solver/PathShortener.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/StripSolver.h"

void CPuzzleSolver::Prepare(int x, int y)
{
    CPatternStore::Instance().Prepare(x, y);
}

CSolveResult CPuzzleSolver::Solve(const CPuzzleState& state, const SOptions& options)
{
    CSolveResult result;
    result.message = state.Problem();
    if (!result.message.empty()) {
        result.status = CSolveResult::EStatus::Malformed;
        return result;
    }
    if (!state.IsSolvable()) {
        result.status = CSolveResult::EStatus::Unsolvable;
        result.message = "this arrangement cannot be solved";
        return result;
    }
    result.status = CSolveResult::EStatus::Solved;
    if (state.IsSolved()) {
        result.bOptimal = true;
        return result;
    }

    const int x = state.Width(), y = state.Height();
    if (state.CellCount() <= kMaxShortestCells) {
        if (options.bShortest) {
            auto patterns = CPatternStore::Instance().Wait(x, y, options.pStop, options.deadline);
            if (patterns) {
                COptimalSolver solver(*patterns);
                if (solver.Solve(state, {options.pStop, options.deadline}, result.moves)) {
                    result.bOptimal = true;
                    return result;
                }
            }
            result.bFellBack = true;
        }
        // A small board: the short solver needs no limits to finish at once.
        CStripSolver strip;
        if (!strip.Solve(state, {}, result.moves, !result.bFellBack)) {
            result.status = CSolveResult::EStatus::Interrupted;
            result.moves.clear();
            return result;
        }
        result.moves = CPathShortener::RemoveLoops(state, result.moves);
        return result;
    }

    CSearchLimits limits;
    limits.pStop = options.pStop;
    CStripSolver strip;
    if (!strip.Solve(state, limits, result.moves)) {
        result.status = CSolveResult::EStatus::Interrupted;
        result.moves.clear();
        return result;
    }
    result.moves = CPathShortener::RemoveLoops(state, result.moves);
    return result;
}

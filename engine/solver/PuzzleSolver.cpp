#include "engine/solver/PuzzleSolver.h"

#include "engine/solver/OptimalSolver.h"
#include "engine/solver/PathShortener.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/StripSolver.h"

namespace {

// The board turned about its main diagonal: x rows of y columns, with the tiles
// renumbered so that the finished picture stays finished.
CPuzzleState Transposed(const CPuzzleState& state)
{
    const int x = state.Width(), y = state.Height();
    std::vector<int> tiles(static_cast<size_t>(x * y));
    for (int c = 0; c < x * y; ++c) {
        const int t = state.Tiles()[static_cast<size_t>(c)];
        tiles[static_cast<size_t>((c % x) * y + c / x)] = (t % x) * y + t / x;
    }
    return CPuzzleState(y, x, std::move(tiles));
}

// A shortest solution, with the quick tables up to 9 cells and the pattern
// store's above (tall boards turned on their side); false when the limits came first.
bool SolveShortest(const CPuzzleState& state, const CSearchLimits& limits, std::vector<CCell>& moves)
{
    const int x = state.Width(), y = state.Height();
    std::shared_ptr<const CPatternSet> patterns;
    if (x * y <= CPatternSet::kMaxQuickOnlyCells)
        patterns = CPatternStore::Instance().Quick(x, y);
    else
        patterns = CPatternStore::Instance().Wait(x, y, limits.pStop, limits.deadline);
    if (!patterns)
        return false;
    COptimalSolver solver(*patterns);
    if (patterns->Width() == x)
        return solver.Solve(state, limits, moves);
    if (!solver.Solve(Transposed(state), limits, moves))
        return false;
    for (CCell& move : moves)
        move = CCell(move.row, move.col);
    return true;
}

} // namespace

void CPuzzleSolver::Prepare(int x, int y)
{
    if (x * y > CPatternSet::kMaxQuickOnlyCells)
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
    if (state.IsSolved()) {
        result.status = CSolveResult::EStatus::Solved;
        result.bOptimal = true;
        return result;
    }
    const CSearchLimits limits{options.pStop, options.deadline};
    if (limits.Expired())
        return result; // Interrupted

    const int n = state.CellCount();
    if (n <= CPatternSet::kMaxQuickOnlyCells) {
        // The short solver would search this block for its shortest solution anyway.
        if (SolveShortest(state, limits, result.moves)) {
            result.status = CSolveResult::EStatus::Solved;
            result.bOptimal = true;
        }
        return result;
    }
    const bool shortest = options.bShortest && n <= kMaxShortestCells;
    if (shortest)
        Prepare(state.Width(), state.Height()); // the tables load while the short solver runs

    CStripSolver strip;
    if (!strip.Solve(state, limits, result.moves)) {
        result.moves.clear();
        return result; // Interrupted
    }
    result.moves = CPathShortener::RemoveLoops(state, result.moves);
    result.status = CSolveResult::EStatus::Solved;
    if (!shortest)
        return result;

    std::vector<CCell> best;
    if (SolveShortest(state, limits, best)) {
        result.moves = std::move(best);
        result.bOptimal = true;
    } else {
        result.bFellBack = true;
    }
    return result;
}

int CPuzzleSolver::ShortestLength(const CPuzzleState& state, const SOptions& options)
{
    if (state.CellCount() > kMaxShortestCells || !state.IsSolvable())
        return -1;
    if (state.IsSolved())
        return 0;
    const CSearchLimits limits{options.pStop, options.deadline};
    std::vector<CCell> moves;
    if (limits.Expired() || !SolveShortest(state, limits, moves))
        return -1;
    return static_cast<int>(moves.size());
}

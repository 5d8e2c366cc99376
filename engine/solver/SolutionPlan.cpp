#include "engine/solver/SolutionPlan.h"

CSolutionPlan::CSolutionPlan(const CPuzzleState& start, const CSolveResult& result)
{
    if (result.status != CSolveResult::EStatus::Solved)
        return;
    std::vector<CPuzzleState> path{start};
    path.reserve(result.moves.size() + 1);
    for (const CCell& move : result.moves) {
        path.push_back(path.back());
        if (!path.back().Click(move))
            return;
    }
    if (!path.back().IsSolved())
        return;
    m_path = std::move(path);
    m_moves = result.moves;
    m_bOptimal = result.bOptimal;
}

int CSolutionPlan::StepOf(const CPuzzleState& board) const
{
    // From the end: a player following the plan is nearer to it.
    for (size_t i = m_path.size(); i-- > 0;)
        if (m_path[i] == board)
            return static_cast<int>(i);
    return -1;
}

std::optional<CCell> CSolutionPlan::NextMove(const CPuzzleState& board) const
{
    const int step = StepOf(board);
    if (step < 0 || step >= static_cast<int>(m_moves.size()))
        return std::nullopt;
    return m_moves[static_cast<size_t>(step)];
}

int CSolutionPlan::MovesLeft(const CPuzzleState& board) const
{
    const int step = StepOf(board);
    return step < 0 ? -1 : Length() - step;
}

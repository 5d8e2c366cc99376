#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PatternSet.h"
#include "engine/solver/PuzzleState.h"
#include "engine/solver/SearchLimits.h"

#include <cstdint>
#include <vector>

// Shortest solutions for boards of at most 16 cells: iterative-deepening A* with
// the additive pattern databases of the shape as its estimate.
class COptimalSolver {
public:
    explicit COptimalSolver(const CPatternSet& patterns);

    // Fills moves with a shortest list of clicks and returns true; returns false
    // when the limits ended the search first (moves then empty). The state must be
    // well formed, solvable and of the pattern set's shape.
    bool Solve(const CPuzzleState& state, const CSearchLimits& limits, std::vector<CCell>& moves);

    std::uint64_t Nodes() const { return m_nNodes; }

private:
    enum class EStep { Found, Deeper, Stopped };
    // estimates[2p] sums the groups of partition p, estimates[2p + 1] their mirror images.
    static constexpr int kEstimates = 2 * CPatternSet::kMaxPartitions;
    EStep Search(int depth, int blank, int previous, const int* estimates);

    const CPatternSet& m_patterns;
    int m_nX;
    int m_nCells;
    std::vector<std::vector<std::uint8_t>> m_neighbours;
    std::uint8_t m_board[CPatternDatabase::kMaxCells] = {};
    std::uint8_t m_cellOf[CPatternDatabase::kMaxCells] = {};
    int m_groupValue[CPatternDatabase::kMaxCells] = {};
    int m_mirrorValue[CPatternDatabase::kMaxCells] = {};
    int m_nBound = 0;
    int m_nNextBound = 0;
    std::vector<std::uint8_t> m_path;
    std::uint64_t m_nNodes = 0;
    CSearchLimits m_limits;
};

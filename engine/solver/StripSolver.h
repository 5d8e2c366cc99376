#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PuzzleState.h"
#include "engine/solver/SearchLimits.h"

#include <array>
#include <cstdint>
#include <vector>

// Short (not shortest) solutions for boards of any size. The outermost row or
// column of the unsolved part is brought home a few tiles at a time, each group by
// a best-first search over the group's tiles and the blank, until a block of at
// most nine cells is left; that block is solved shortest with the quick tables.
// Every search is bounded by a count of nodes, never by time, and uses no table
// of the pattern store, so a board always gets the same solution.
class CStripSolver {
public:
    // Fills moves and returns true; false only when the limits stopped it. The
    // state must be well formed and solvable.
    bool Solve(const CPuzzleState& state, const CSearchLimits& limits, std::vector<CCell>& moves);

    // Nodes the group searches expanded in the last Solve.
    std::uint64_t Nodes() const { return m_nNodes; }

private:
    bool SolveLine(bool bRow);
    bool PlaceGroup(const std::vector<int>& tiles);
    bool SearchGroup(const std::vector<int>& tiles, std::size_t nodeLimit, std::vector<int>& path,
                     int weight);
    void ComputeTileTable(int home, std::vector<std::uint16_t>& table) const;
    bool SolveBlock(std::uint64_t nodeLimit);
    void Click(int cell);

    int m_nX = 0;
    int m_nY = 0;
    int m_nCells = 0;
    std::vector<int> m_board;                         // tile at each cell
    std::vector<int> m_cellOf;                        // cell of each tile
    std::vector<bool> m_free;                         // cells the unsolved part may use
    std::vector<std::array<int, 4>> m_neighbours;     // -1 ends the list
    int m_nFreeVersion = 0;                           // counts changes of m_free
    std::vector<std::vector<std::uint16_t>> m_tables; // per tile: moves home from (tile cell, blank cell)
    std::vector<int> m_tableVersion;
    int m_nBlank = 0;
    int m_nCol0 = 0; // unsolved part: columns m_nCol0.., rows m_nRow0..
    int m_nRow0 = 0;
    std::vector<CCell> m_moves;
    CSearchLimits m_limits;
    std::uint64_t m_nNodes = 0;
};

#pragma once

#include "engine/solver/Cell.h"

#include <string>
#include <vector>

class CPuzzleBoard;

// A plain board state for the solver: X columns, Y rows and the tile id of every
// cell in row-major order. A tile's id is the row-major index of its home cell;
// the blank is id X * Y - 1.
class CPuzzleState {
public:
    static constexpr int kMinSide = 2;
    static constexpr int kMaxSide = 10;

    CPuzzleState() = default;
    CPuzzleState(int x, int y); // the solved board
    CPuzzleState(int x, int y, std::vector<int> tiles);
    // The arrangement of the game's board. A board showing its final piece
    // gives a state that is not well-formed (that id is not a tile).
    static CPuzzleState FromBoard(const CPuzzleBoard& board);

    int Width() const { return m_nX; }
    int Height() const { return m_nY; }
    int CellCount() const { return m_nX * m_nY; }
    int BlankId() const { return m_nX * m_nY - 1; }
    const std::vector<int>& Tiles() const { return m_tiles; }
    int TileAt(int col, int row) const { return m_tiles[row * m_nX + col]; }

    // Empty when the state is a board the game could hold (sizes 2..10, every
    // id 0..X*Y-1 exactly once); otherwise says what is wrong.
    std::string Problem() const;
    bool IsWellFormed() const { return Problem().empty(); }

    // Whether the blank can bring every tile home (well-formed states only): the
    // parity of the permutation must equal the parity of the blank's distance
    // from its home cell.
    bool IsSolvable() const;
    bool IsSolved() const;

    CCell Blank() const;
    // Sum over all tiles (not the blank) of the distance from their home cells:
    // no solution is shorter.
    int ManhattanDistance() const;

    // Slides the tile at (col, row) into the blank when the game's move rule
    // (CPuzzleBoard::CanSlide) lets it. Returns false and changes nothing
    // otherwise.
    bool Click(int col, int row);
    bool Click(CCell cell) { return Click(cell.col, cell.row); }
    // Applies the clicks in turn; false at the first that is not a legal move.
    bool Apply(const std::vector<CCell>& clicks);

    bool operator==(const CPuzzleState&) const = default;

private:
    int m_nX = 0;
    int m_nY = 0;
    std::vector<int> m_tiles;
};

#include "engine/solver/PuzzleState.h"

#include <gtest/gtest.h>

// (Malformed states: the board showing its final piece, and a board of no
// size the game has, in the solver's tests.)
TEST(PuzzleState, ClicksMoveOnlyTilesBesideTheBlank)
{
    CPuzzleState s(3, 3);
    EXPECT_TRUE(s.IsSolved());
    // Far from the blank, diagonal to it, the blank itself, off the board.
    for (const CCell c : {CCell(0, 0), CCell(1, 1), CCell(2, 2), CCell(3, 2), CCell(-1, 2)})
        EXPECT_FALSE(s.Click(c)) << c.col << "," << c.row;
    EXPECT_TRUE(s.Click(1, 2)); // tile 7 slides right
    EXPECT_EQ(s.Tiles(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8, 7}));
    EXPECT_EQ(std::pair(s.Blank(), s.ManhattanDistance()), std::pair(CCell(1, 2), 1));
    // Apply stops at the first illegal click.
    EXPECT_TRUE(!s.Apply({CCell(2, 2), CCell(2, 1), CCell(0, 0)}) && s.Blank() == CCell(2, 1));
}

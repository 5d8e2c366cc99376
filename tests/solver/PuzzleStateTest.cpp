#include "engine/solver/PuzzleState.h"

#include <gtest/gtest.h>

TEST(PuzzleState, MalformedStatesAreNamed)
{
    EXPECT_FALSE(CPuzzleState(1, 3).IsWellFormed());
    EXPECT_FALSE(CPuzzleState(11, 2).IsWellFormed());
    EXPECT_FALSE(CPuzzleState(2, 0).IsWellFormed());
    EXPECT_NE(CPuzzleState(2, 2, {0, 1, 2}).Problem(), "");       // too few cells
    EXPECT_NE(CPuzzleState(2, 2, {0, 1, 2, 3, 3}).Problem(), ""); // too many
    EXPECT_NE(CPuzzleState(2, 2, {0, 1, 1, 3}).Problem(), "");    // duplicate, 2 missing
    EXPECT_NE(CPuzzleState(2, 2, {0, 1, 2, 4}).Problem(), "");    // the final piece is no tile to solve
    EXPECT_NE(CPuzzleState(2, 2, {0, -1, 2, 3}).Problem(), "");
    EXPECT_FALSE(CPuzzleState(2, 2, {0, 1, 1, 3}).IsSolvable());
    EXPECT_TRUE(CPuzzleState(2, 2, {3, 1, 2, 0}).IsWellFormed());
}

TEST(PuzzleState, ClicksMoveOnlyTilesBesideTheBlank)
{
    CPuzzleState s(3, 3);
    EXPECT_TRUE(s.IsSolved());
    // Far from the blank, diagonal to it, the blank itself, off the board.
    for (const CCell c : {CCell(0, 0), CCell(1, 1), CCell(2, 2), CCell(3, 2), CCell(-1, 2)})
        EXPECT_FALSE(s.Click(c)) << c.col << "," << c.row;
    EXPECT_TRUE(s.Click(1, 2)); // tile 7 slides right
    EXPECT_EQ(s.Tiles(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8, 7}));
    EXPECT_EQ(s.Blank(), CCell(1, 2));
    EXPECT_EQ(s.ManhattanDistance(), 1);
    // Apply stops at the first illegal click.
    EXPECT_FALSE(s.Apply({CCell(2, 2), CCell(2, 1), CCell(0, 0)}));
    EXPECT_EQ(s.Blank(), CCell(2, 1));
}

#include "engine/solver/PuzzleState.h"

#include <gtest/gtest.h>

TEST(PuzzleState, SolvedBoardIsWellFormedSolvedAndAtZeroDistance)
{
    const CPuzzleState s(4, 3);
    EXPECT_TRUE(s.IsWellFormed());
    EXPECT_TRUE(s.IsSolved());
    EXPECT_TRUE(s.IsSolvable());
    EXPECT_EQ(s.ManhattanDistance(), 0);
    EXPECT_EQ(s.Blank(), CCell(3, 2));
    EXPECT_EQ(s.BlankId(), 11);
}

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
    EXPECT_FALSE(s.Click(0, 0)); // far from the blank
    EXPECT_FALSE(s.Click(1, 1)); // diagonal
    EXPECT_FALSE(s.Click(2, 2)); // the blank itself
    EXPECT_FALSE(s.Click(3, 2)); // off the board
    EXPECT_FALSE(s.Click(-1, 2));
    EXPECT_TRUE(s.IsSolved());

    EXPECT_TRUE(s.Click(1, 2)); // tile 7 slides right
    EXPECT_EQ(s.Tiles(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 8, 7}));
    EXPECT_EQ(s.Blank(), CCell(1, 2));
    EXPECT_EQ(s.ManhattanDistance(), 1);
    EXPECT_FALSE(s.IsSolved());
    EXPECT_TRUE(s.Click(2, 2));
    EXPECT_TRUE(s.IsSolved());

    // Apply stops at the first illegal click.
    EXPECT_FALSE(s.Apply({CCell(2, 1), CCell(0, 0)}));
    EXPECT_EQ(s.Blank(), CCell(2, 1));
}

TEST(PuzzleState, ParityRuleFollowsTheBlanksDistance)
{
    // Two tiles swapped, blank at home: unsolvable on every shape.
    EXPECT_FALSE(CPuzzleState(3, 3, {1, 0, 2, 3, 4, 5, 6, 7, 8}).IsSolvable());
    EXPECT_FALSE(CPuzzleState(4, 2, {1, 0, 2, 3, 4, 5, 6, 7}).IsSolvable());
    // The blank one row up on an even-width board: the swap of blank and tile
    // is one transposition and one step, so it stays solvable.
    EXPECT_TRUE(CPuzzleState(4, 2, {0, 1, 2, 7, 4, 5, 6, 3}).IsSolvable());
    // Blank two rows up in the same column (one transposition, even distance): not.
    EXPECT_FALSE(CPuzzleState(2, 3, {0, 5, 2, 3, 4, 1}).IsSolvable());
    EXPECT_TRUE(CPuzzleState(2, 3, {0, 1, 2, 5, 4, 3}).IsSolvable());
    // The classic unsolvable 15 puzzle: 14 and 15 exchanged.
    std::vector<int> tiles(16);
    for (int i = 0; i < 16; ++i)
        tiles[static_cast<size_t>(i)] = i;
    std::swap(tiles[13], tiles[14]);
    EXPECT_FALSE(CPuzzleState(4, 4, tiles).IsSolvable());
}

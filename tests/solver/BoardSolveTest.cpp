// The solver on the game's own board: a board scrambled by the walk is solved by
// clicking the cells the solver names, through the board's own move rule.
#include "engine/PuzzleBoard.h"
#include "engine/solver/PuzzleSolver.h"
#include "engine/solver/PuzzleState.h"
#include "support/RunFolder.h"
#include "support/SoundLog.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class BoardSolveTest : public ::testing::Test {
protected:
    static void BuildScrambled(CPuzzleBoard& board, int x, int y, int steps)
    {
        ASSERT_TRUE(support::StoreSettings({{"FieldX", x}, {"FieldY", y}}));
        ASSERT_TRUE(board.NewBoard());
        CRect rect;
        for (int i = 0; i < steps; ++i)
            board.ScrambleStep(rect);
    }

    support::RunFolder m_folder;
    support::SoundLog m_sounds;
};

} // namespace

TEST_F(BoardSolveTest, ScrambledBoardsAreSolvedThroughTheBoardsOwnMoves)
{
    for (auto [x, y] : {std::pair{3, 3}, {7, 5}, {10, 10}, {2, 10}}) {
        SCOPED_TRACE(std::to_string(x) + "x" + std::to_string(y));
        CPuzzleBoard board;
        BuildScrambled(board, x, y, 300);
        ASSERT_FALSE(board.IsSolved());
        const CPuzzleState state = CPuzzleState::FromBoard(board);
        ASSERT_TRUE(state.IsWellFormed()) << state.Problem();
        CPuzzleSolver::SOptions options;
        options.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const CSolveResult result = CPuzzleSolver::Solve(state, options);
        ASSERT_EQ(result.status, CSolveResult::EStatus::Solved);
        for (const CCell& cell : result.moves) {
            CRect rect;
            ASSERT_TRUE(board.MoveTileAt(10 + cell.col * board.m_nTileW + board.m_nTileW / 2,
                                         10 + cell.row * board.m_nTileH + board.m_nTileH / 2, rect))
                << "cell " << cell.col << "," << cell.row;
        }
        EXPECT_TRUE(board.IsSolved());
    }
}

TEST_F(BoardSolveTest, BoardShowingItsFinalPieceIsNotAStateToSolve)
{
    CPuzzleBoard board;
    BuildScrambled(board, 3, 3, 0);
    board.PlaceLastTile();
    EXPECT_FALSE(CPuzzleState::FromBoard(board).IsWellFormed());
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState::FromBoard(board)).status, CSolveResult::EStatus::Malformed);
}

// The solver on the game's own board: a board scrambled by the walk is solved by
// clicking the cells the solver names, through the board's own move rule.
#include "engine/PuzzleBoard.h"
#include "engine/solver/PuzzleSolver.h"
#include "engine/solver/PuzzleState.h"
#include "support/SoundLog.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class BoardSolveTest : public ::testing::Test {
protected:
    static void BuildScrambled(CPuzzleBoard& board, int x, int y, int steps)
    {
        board.NewBoard(x, y);
        CRect rect;
        for (int i = 0; i < steps; ++i)
            board.ScrambleStep(rect);
    }

    support::SoundLog m_sounds;
};

} // namespace

TEST_F(BoardSolveTest, ScrambledBoardsAreSolvedThroughTheBoardsOwnMovesButNotOneShowingItsFinalPiece)
{
    for (auto [x, y] : {std::pair{3, 3}, {7, 5}, {10, 10}, {2, 10}}) {
        SCOPED_TRACE(std::to_string(x) + "x" + std::to_string(y));
        CPuzzleBoard board;
        BuildScrambled(board, x, y, 300);
        ASSERT_FALSE(board.IsSolved());
        const CPuzzleState state = CPuzzleState::FromBoard(board);
        ASSERT_TRUE(state.IsWellFormed()) << state.Problem();
        const CSolveResult result = CPuzzleSolver::Solve(
            state, {.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20)});
        ASSERT_EQ(result.status, CSolveResult::EStatus::Solved);
        for (const CCell& cell : result.moves)
            ASSERT_TRUE(board.MoveTile(cell).Moved()) << "cell " << cell.col << "," << cell.row;
        EXPECT_TRUE(board.IsSolved() && board.StandingMoves().size() == result.moves.size());
    }

    CPuzzleBoard board;
    BuildScrambled(board, 3, 3, 0);
    board.PlaceLastTile();
    EXPECT_FALSE(CPuzzleState::FromBoard(board).IsWellFormed());
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState::FromBoard(board)).status, CSolveResult::EStatus::Malformed);
}

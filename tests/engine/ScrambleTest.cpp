#include "BoardTestEnv.h"

#include "engine/Random.h"

#include <cstdint>
#include <tuple>

namespace {

// Where each direction takes the blank: 0 up, 1 down, 2 left, 3 right.
const QPoint kStep[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};

class ScrambleTest : public BoardTest {
protected:
    // Takes `steps` steps and checks every one: the blank goes to a neighbouring cell, never straight back,
    // the two cells swap, the rectangle covers both, and each step clicks.
    void Walk(CPuzzleBoard& board, int steps)
    {
        support::SoundLog::Clear();
        for (int i = 0; i < steps; ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            const QPoint from(board.m_nBlankCol, board.m_nBlankRow);
            const int last = CPuzzleBoard::s_nLastDir;
            auto cells = Cells(board);
            CRect rect;
            board.ScrambleStep(rect);
            const int dir = CPuzzleBoard::s_nLastDir;
            ASSERT_TRUE(dir >= 0 && dir < 4 && dir != (last < 4 ? last ^ 1 : -1)) << dir;
            const QPoint to = from + kStep[dir];
            ASSERT_EQ(QPoint(board.m_nBlankCol, board.m_nBlankRow), to);
            std::swap(cells[from.y()][from.x()], cells[to.y()][to.x()]);
            ASSERT_EQ(Cells(board), cells);
            const int w = board.m_nTileW, h = board.m_nTileH;
            ASSERT_EQ(rect, CRect(10 + std::min(from.x(), to.x()) * w, 10 + std::min(from.y(), to.y()) * h,
                                  10 + (std::max(from.x(), to.x()) + 1) * w,
                                  10 + (std::max(from.y(), to.y()) + 1) * h));
        }
        EXPECT_EQ(Sounds(), std::vector<std::string>(static_cast<std::size_t>(steps), "sounds\\click.wav"));
    }
};

} // namespace

TEST_F(ScrambleTest, EveryStepSwapsTheBlankWithANeighbourOnEveryShape)
{
    const std::tuple<int, int, int> walks[] = {{2, 2, 200}, {7, 5, 500}, {10, 10, 1000}, {3, 10, 300}};
    for (std::uint32_t seed : {1u, 12345u, 0xDEADBEEFu}) {
        for (const auto& [x, y, steps] : walks) {
            SCOPED_TRACE(testing::Message() << x << "x" << y << " seed " << seed);
            CPuzzleBoard board;
            board.NewBoard(x, y);
            CRandom::SetState(seed);
            CPuzzleBoard::s_nLastDir = 5;
            Walk(board, steps);
        }
    }
}

TEST_F(ScrambleTest, FirstStepOnTwoByTwoFromStateOneGoesLeftAndWalksNeverReverseAcrossANewBoard)
{
    // From state 1 the generator gives 41, 18467, 6334: 41 % 4 = 1 (down) and
    // 18467 % 4 = 3 (right) lead off the board; 6334 % 4 = 2 is left.
    CPuzzleBoard board;
    board.NewBoard(2, 2);
    CRandom::SetState(1);
    CRect rect;
    board.ScrambleStep(rect);
    EXPECT_EQ(std::pair(CPuzzleBoard::s_nLastDir, rect), std::pair(2, CRect(10, 160, 310, 310)));
    EXPECT_EQ(Cells(board), (std::vector<std::vector<int>>{{0, 1}, {3, 2}}));
    EXPECT_EQ(CRandom::Next(), 26500); // no more than three numbers were used

    // Without reversing, a walk on 2 x 2 circles the board, so every walk
    // after the first starts in the corner with one of its two ways forbidden.
    CRandom::SetState(777);
    for (int walk = 0; walk < 10; ++walk) {
        const int last = CPuzzleBoard::s_nLastDir;
        board.NewBoard(2, 2); // the blank goes back to the corner, the last direction stays
        ASSERT_EQ(CPuzzleBoard::s_nLastDir, last);
        SCOPED_TRACE(testing::Message() << "walk " << walk);
        Walk(board, 7);
    }
}

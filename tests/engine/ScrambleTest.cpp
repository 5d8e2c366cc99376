#include "BoardTestEnv.h"

#include "engine/Random.h"

#include <cstdint>
#include <tuple>

namespace {

// An independent model of the scramble walk: the generator
// state = state * 214013 + 2531011 (mod 2^32), number = (state >> 16) & 0x7FFF,
// direction = number mod 4 (0 up, 1 down, 2 left, 3 right, naming where the
// blank goes), redrawn while the blank cannot go there or the step would undo
// the previous one.
struct ReferenceWalk {
    int cols, rows, blankCol, blankRow, lastDir;
    std::uint32_t state;
    std::vector<std::vector<int>> cells; // [row][col]

    ReferenceWalk(int x, int y, std::uint32_t seed, int last)
        : cols(x), rows(y), blankCol(x - 1), blankRow(y - 1), lastDir(last), state(seed), cells(y)
    {
        for (int i = 0; i < x * y; ++i)
            cells[i / x].push_back(i);
    }

    CRect Step()
    {
        static const int dc[] = {0, 0, -1, 1}, dr[] = {-1, 1, 0, 0};
        int d, c, r;
        do {
            state = state * 214013u + 2531011u;
            d = static_cast<int>((state >> 16) & 0x7FFF) % 4;
            c = blankCol + dc[d];
            r = blankRow + dr[d];
        } while (c < 0 || c >= cols || r < 0 || r >= rows || d == (lastDir ^ 1));
        const int w = 300 / cols, h = 300 / rows;
        const CRect rect(10 + std::min(c, blankCol) * w, 10 + std::min(r, blankRow) * h,
                         10 + (std::max(c, blankCol) + 1) * w, 10 + (std::max(r, blankRow) + 1) * h);
        std::swap(cells[blankRow][blankCol], cells[r][c]);
        blankCol = c;
        blankRow = r;
        lastDir = d;
        return rect;
    }
};

class ScrambleTest : public BoardTest {
protected:
    // Takes `steps` steps on the board and compares every one with the model.
    void Compare(CPuzzleBoard& board, ReferenceWalk& ref, int steps)
    {
        support::SoundLog::Clear();
        for (int i = 0; i < steps; ++i) {
            CRect rect;
            board.ScrambleStep(rect);
            ASSERT_EQ(rect, ref.Step()) << "step " << i;
            ASSERT_EQ(Cells(board), ref.cells) << "step " << i;
            ASSERT_EQ(board.m_nBlankCol, ref.blankCol);
            ASSERT_EQ(board.m_nBlankRow, ref.blankRow);
            ASSERT_EQ(CPuzzleBoard::s_nLastDir, ref.lastDir);
        }
        EXPECT_EQ(CRandom::GetState(), ref.state);
        EXPECT_EQ(Sounds(), std::vector<std::string>(static_cast<std::size_t>(steps), "sounds\\click.wav"));
    }
};

} // namespace

TEST_F(ScrambleTest, WalksFollowTheGenerator)
{
    const std::tuple<int, int, int> walks[] = {{2, 2, 200}, {7, 5, 500}, {10, 10, 1000}, {3, 10, 300}};
    for (std::uint32_t seed : {1u, 12345u, 0xDEADBEEFu}) {
        for (const auto& [x, y, steps] : walks) {
            SCOPED_TRACE(testing::Message() << x << "x" << y << " seed " << seed);
            StoreSettings(x, y);
            CPuzzleBoard board;
            board.NewBoard();
            CRandom::SetState(seed);
            CPuzzleBoard::s_nLastDir = 5;
            ReferenceWalk ref(x, y, seed, 5);
            Compare(board, ref, steps);
        }
    }
}

TEST_F(ScrambleTest, FirstStepOnTwoByTwoFromStateOneGoesLeft)
{
    // From state 1 the generator gives 41, 18467, 6334: 41 % 4 = 1 (down) and
    // 18467 % 4 = 3 (right) lead off the board; 6334 % 4 = 2 is left.
    StoreSettings(2, 2);
    CPuzzleBoard board;
    board.NewBoard();
    CRandom::SetState(1);
    CRect rect;
    board.ScrambleStep(rect);
    EXPECT_EQ(CPuzzleBoard::s_nLastDir, 2);
    EXPECT_EQ(rect, CRect(10, 160, 310, 310));
    EXPECT_EQ(Cells(board), (std::vector<std::vector<int>>{{0, 1}, {3, 2}}));
    EXPECT_EQ(CRandom::Next(), 26500); // no more than three numbers were used
}

TEST_F(ScrambleTest, WalksNeverReverseNotEvenAcrossANewBoard)
{
    // Without reversing, a walk on 2 x 2 circles the board, so every walk
    // after the first starts in the corner with one of its two ways forbidden.
    StoreSettings(2, 2);
    CPuzzleBoard board;
    CRandom::SetState(777);
    for (int walk = 0; walk < 10; ++walk) {
        const int last = CPuzzleBoard::s_nLastDir;
        board.NewBoard(); // the blank goes back to the corner, the last direction stays
        ASSERT_EQ(CPuzzleBoard::s_nLastDir, last);
        ReferenceWalk ref(2, 2, CRandom::GetState(), last);
        SCOPED_TRACE(testing::Message() << "walk " << walk);
        Compare(board, ref, 7);
    }
}

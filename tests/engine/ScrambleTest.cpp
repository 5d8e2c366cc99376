#include "BoardTestEnv.h"

#include "engine/Random.h"

#include <cstdint>

namespace {

// An independent model of the scramble walk: the generator
// state = state * 214013 + 2531011 (mod 2^32), number = (state >> 16) & 0x7FFF,
// direction = number mod 4 (0 up, 1 down, 2 left, 3 right, naming where the
// blank goes), redrawn while the blank cannot go there or the step would undo
// the previous one.
struct ReferenceWalk {
    int cols, rows, tileW, tileH;
    std::vector<std::vector<int>> cells; // [row][col]
    int blankCol, blankRow;
    std::uint32_t state;
    int lastDir;

    ReferenceWalk(int x, int y, std::uint32_t seed, int last)
        : cols(x), rows(y), tileW(300 / x), tileH(300 / y), cells(static_cast<std::size_t>(y)),
          blankCol(x - 1), blankRow(y - 1), state(seed), lastDir(last)
    {
        for (int r = 0; r < y; ++r) {
            for (int c = 0; c < x; ++c)
                cells[static_cast<std::size_t>(r)].push_back(r * x + c);
        }
    }

    int Draw()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

    CRect Step()
    {
        int d;
        for (;;) {
            d = Draw() % 4;
            bool allowed = (d == 0 && blankRow > 0) || (d == 1 && blankRow < rows - 1) ||
                           (d == 2 && blankCol > 0) || (d == 3 && blankCol < cols - 1);
            bool undo = (d == 0 && lastDir == 1) || (d == 1 && lastDir == 0) || (d == 2 && lastDir == 3) ||
                        (d == 3 && lastDir == 2);
            if (allowed && !undo)
                break;
        }
        CRect rect(10 + blankCol * tileW, 10 + blankRow * tileH, 10 + (blankCol + 1) * tileW,
                   10 + (blankRow + 1) * tileH);
        int nc = blankCol, nr = blankRow;
        if (d == 0) {
            --nr;
            rect.top -= tileH;
        } else if (d == 1) {
            ++nr;
            rect.bottom += tileH;
        } else if (d == 2) {
            --nc;
            rect.left -= tileW;
        } else {
            ++nc;
            rect.right += tileW;
        }
        std::swap(cells[static_cast<std::size_t>(blankRow)][static_cast<std::size_t>(blankCol)],
                  cells[static_cast<std::size_t>(nr)][static_cast<std::size_t>(nc)]);
        blankCol = nc;
        blankRow = nr;
        lastDir = d;
        return rect;
    }
};

class ScrambleTest : public BoardTest {
protected:
    // Walks `steps` steps on a fresh X x Y board and compares every step with
    // the model.
    void CompareWalk(int x, int y, std::uint32_t seed, int steps)
    {
        StoreSettings(x, y);
        CPuzzleBoard board;
        board.NewBoard();
        CRandom::SetState(seed);
        CPuzzleBoard::s_nLastDir = 5;
        ReferenceWalk ref(x, y, seed, 5);
        s_sounds.clear();
        for (int i = 0; i < steps; ++i) {
            CRect rect;
            board.ScrambleStep(rect);
            CRect expected = ref.Step();
            ASSERT_EQ(rect, expected) << x << "x" << y << " step " << i;
            ASSERT_EQ(Cells(board), ref.cells) << x << "x" << y << " step " << i;
            ASSERT_EQ(board.m_nBlankCol, ref.blankCol);
            ASSERT_EQ(board.m_nBlankRow, ref.blankRow);
            ASSERT_EQ(CPuzzleBoard::s_nLastDir, ref.lastDir);
            ASSERT_EQ(s_sounds.size(), static_cast<std::size_t>(i + 1));
        }
        EXPECT_EQ(CRandom::GetState(), ref.state);
        EXPECT_EQ(s_sounds, std::vector<std::string>(static_cast<std::size_t>(steps), "sounds\\click.wav"));
    }
};

} // namespace

TEST_F(ScrambleTest, WalksFollowTheGenerator)
{
    for (std::uint32_t seed : {1u, 12345u, 0xDEADBEEFu}) {
        CompareWalk(2, 2, seed, 200);
        CompareWalk(7, 5, seed, 500);
        CompareWalk(10, 10, seed, 1000);
        CompareWalk(3, 10, seed, 300);
    }
}

TEST_F(ScrambleTest, FirstStepOnTwoByTwoGoesUpOrLeft)
{
    StoreSettings(2, 2);
    CPuzzleBoard board;
    board.NewBoard();
    // From state 1 the generator gives 41, 18467, 6334, ...: 41 % 4 = 1 (down) is
    // not allowed in the bottom-right corner and is thrown away; 18467 % 4 = 3
    // (right) neither; 6334 % 4 = 2: left.
    CRandom::SetState(1);
    CRect rect;
    board.ScrambleStep(rect);
    EXPECT_EQ(CPuzzleBoard::s_nLastDir, 2);
    EXPECT_EQ(rect, CRect(10, 160, 310, 310));
    EXPECT_EQ(Cells(board), (std::vector<std::vector<int>>{{0, 1}, {3, 2}}));
    EXPECT_EQ(CRandom::GetState(), [] {
        std::uint32_t s = 1;
        for (int i = 0; i < 3; ++i)
            s = s * 214013u + 2531011u;
        return s;
    }());
}

TEST_F(ScrambleTest, WalksNeverReverseNotEvenAcrossANewBoard)
{
    StoreSettings(2, 2);
    CPuzzleBoard board;
    CRandom::SetState(777);
    int previous = 5;
    for (int walk = 0; walk < 50; ++walk) {
        board.NewBoard(); // blank back in the corner, s_nLastDir kept
        EXPECT_EQ(CPuzzleBoard::s_nLastDir, previous);
        for (int i = 0; i < 7; ++i) {
            std::vector<std::vector<int>> before = Cells(board);
            CRect rect;
            board.ScrambleStep(rect);
            int d = CPuzzleBoard::s_nLastDir;
            ASSERT_GE(d, 0);
            ASSERT_LE(d, 3);
            if (previous != 5) {
                ASSERT_NE(d, previous ^ 1) << "walk " << walk << " step " << i; // 0<->1, 2<->3
            }
            ASSERT_NE(Cells(board), before);
            previous = d;
        }
    }
}

TEST_F(ScrambleTest, TheFirstStepOfASecondWalkMatchesTheModelCarryingTheLastDirection)
{
    // The first walk ends with some direction; the second walk, on a rebuilt
    // board, must avoid its reverse exactly as the model does.
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    CRandom::SetState(99);
    CRect rect;
    for (int i = 0; i < 11; ++i)
        board.ScrambleStep(rect);
    const int last = CPuzzleBoard::s_nLastDir;
    const std::uint32_t state = CRandom::GetState();

    board.NewBoard();
    ReferenceWalk ref(3, 3, state, last);
    for (int i = 0; i < 20; ++i) {
        board.ScrambleStep(rect);
        ASSERT_EQ(rect, ref.Step());
        ASSERT_EQ(Cells(board), ref.cells);
    }
}

TEST_F(ScrambleTest, ScrambledBoardStaysAPermutationAndCanBeWalkedBack)
{
    StoreSettings(5, 4);
    CPuzzleBoard board;
    board.NewBoard();
    CRandom::SetState(4242);
    std::vector<std::pair<int, int>> trail;
    for (int i = 0; i < 300; ++i) {
        trail.emplace_back(board.m_nBlankCol, board.m_nBlankRow);
        CRect rect;
        board.ScrambleStep(rect);
    }
    std::vector<int> seen(20, 0);
    for (const auto& row : Cells(board)) {
        for (int v : row)
            ++seen[static_cast<std::size_t>(v)];
    }
    EXPECT_EQ(seen, std::vector<int>(20, 1));
    EXPECT_EQ(board.m_rows[static_cast<std::size_t>(board.m_nBlankRow)]
                          [static_cast<std::size_t>(board.m_nBlankCol)],
              19);

    // Clicking the cells the blank came from, newest first, solves it.
    for (auto it = trail.rbegin(); it != trail.rend(); ++it) {
        CRect rect;
        ASSERT_TRUE(board.MoveTileAt(CX(board, it->first), CY(board, it->second), rect));
    }
    EXPECT_TRUE(board.IsSolved());
}

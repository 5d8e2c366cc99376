#include "BoardTestEnv.h"

#include "engine/Random.h"

#include <QPainter>

namespace {

const QRgb kBackground = qRgb(255, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);

class DrawTest : public BoardTest {
protected:
    QImage Paint(const CPuzzleBoard& board)
    {
        QImage target(330, 330, QImage::Format_RGB32);
        target.fill(kBackground);
        QPainter painter(&target);
        board.Draw(&painter);
        painter.end();
        return target;
    }

    // Every pixel of cell (c, r) shows the picture piece (sc, sr).
    static ::testing::AssertionResult ShowsPiece(const QImage& out, const CPuzzleBoard& board, int c, int r,
                                                 int sc, int sr)
    {
        const int w = board.m_nTileW, h = board.m_nTileH;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                QRgb got = out.pixel(10 + c * w + x, 10 + r * h + y);
                QRgb want = board.m_hPicture.pixel(sc * w + x, sr * h + y);
                if (got != want)
                    return ::testing::AssertionFailure()
                           << "cell (" << c << "," << r << ") pixel " << x << "," << y << " is " << std::hex
                           << got << " not " << want;
            }
        }
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult IsBackground(const QImage& out, int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (out.pixel(x, y) != kBackground)
                    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " was painted";
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Every cell shows the piece its id names.
    void ExpectTilesAtTheirPieces(const QImage& out, const CPuzzleBoard& board)
    {
        const int total = board.m_nCols * board.m_nRows;
        for (int r = 0; r < board.m_nRows; ++r) {
            for (int c = 0; c < board.m_nCols; ++c) {
                int id = static_cast<signed char>(
                    board.m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
                if (id == board.m_nBlank) {
                    EXPECT_TRUE(IsBackground(out, 10 + c * board.m_nTileW, 10 + r * board.m_nTileH,
                                             10 + (c + 1) * board.m_nTileW, 10 + (r + 1) * board.m_nTileH));
                    continue;
                }
                int home = id == total ? total - 1 : id;
                EXPECT_TRUE(ShowsPiece(out, board, c, r, home % board.m_nCols, home / board.m_nCols));
            }
        }
    }
};

} // namespace

TEST_F(DrawTest, FreshThreeByThreeShowsEightPiecesAndTheBackground)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    const QImage out = Paint(board);
    ExpectTilesAtTheirPieces(out, board);
    EXPECT_TRUE(IsBackground(out, 210, 210, 310, 310)); // the blank
    EXPECT_TRUE(IsBackground(out, 0, 0, 330, 10));      // nothing outside the board
    EXPECT_TRUE(IsBackground(out, 310, 0, 330, 330));
    EXPECT_TRUE(IsBackground(out, 0, 310, 330, 330));
    EXPECT_TRUE(IsBackground(out, 0, 0, 10, 330));
}

TEST_F(DrawTest, MovedTilesShowTheirOwnPiecesAndTheFinalPieceCompletesThePicture)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect)); // tile 7 into the corner
    QImage out = Paint(board);
    EXPECT_TRUE(ShowsPiece(out, board, 2, 2, 1, 2));
    EXPECT_TRUE(IsBackground(out, 110, 210, 210, 310));

    ASSERT_TRUE(board.MoveTileAt(250, 250, rect));
    ASSERT_TRUE(board.IsSolved());
    board.PlaceLastTile();
    out = Paint(board);
    EXPECT_EQ(out.copy(10, 10, 300, 300), board.m_hPicture);
}

TEST_F(DrawTest, ScrambledSevenByFiveShowsEveryTileItsPiece)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(700, 500)); // stretched on load
    StoreSettings(7, 5);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_EQ(board.m_nTileW, 42);
    ASSERT_EQ(board.m_nTileH, 60);
    CRandom::SetState(31337);
    CRect rect;
    for (int i = 0; i < 200; ++i)
        board.ScrambleStep(rect);
    ASSERT_FALSE(board.IsSolved());

    const QImage out = Paint(board);
    ExpectTilesAtTheirPieces(out, board);
    EXPECT_TRUE(IsBackground(out, 304, 10, 330, 310)); // the strip without tiles
}

TEST_F(DrawTest, GridMarksTopAndLeftEdgesUpTo309)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    board.m_bShowGrid = true;
    const QImage out = Paint(board);

    for (int line : {10, 110, 210}) {
        for (int t = 10; t < 310; ++t) {
            ASSERT_EQ(out.pixel(t, line), kBlack) << "horizontal " << line << " at x " << t;
            ASSERT_EQ(out.pixel(line, t), kBlack) << "vertical " << line << " at y " << t;
        }
        EXPECT_EQ(out.pixel(310, line), kBackground);
        EXPECT_EQ(out.pixel(line, 310), kBackground);
    }
    // No line along the bottom and right edge, nor next to the lines.
    for (int t = 0; t < 330; ++t) {
        EXPECT_NE(out.pixel(t, 310), kBlack);
        EXPECT_NE(out.pixel(310, t), kBlack);
        EXPECT_EQ(out.pixel(t, 9), kBackground);
        EXPECT_EQ(out.pixel(9, t), kBackground);
    }
    // Between the lines the tiles are untouched.
    EXPECT_EQ(out.pixel(50, 50), board.m_hPicture.pixel(40, 40));
    EXPECT_EQ(out.pixel(111, 111), board.m_hPicture.pixel(101, 101));
    // Over the blank the lines still run (the cell's top and left edge).
    EXPECT_EQ(out.pixel(250, 210), kBlack);
    EXPECT_EQ(out.pixel(210, 250), kBlack);
    EXPECT_EQ(out.pixel(250, 250), kBackground);
}

TEST_F(DrawTest, GridOnSevenColumnsRunsPastTheTiles)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
    StoreSettings(7, 5);
    CPuzzleBoard board;
    board.NewBoard();
    board.m_bShowGrid = true;
    const QImage out = Paint(board);

    for (int r = 0; r < 5; ++r) {
        const int y = 10 + r * 60;
        for (int x = 10; x < 310; ++x)
            ASSERT_EQ(out.pixel(x, y), kBlack) << x << "," << y;
        EXPECT_EQ(out.pixel(310, y), kBackground);
    }
    for (int c = 0; c < 7; ++c) {
        const int x = 10 + c * 42;
        for (int y = 10; y < 310; ++y)
            ASSERT_EQ(out.pixel(x, y), kBlack) << x << "," << y;
    }
    // The strip from 304 to 309 only has the horizontal lines.
    EXPECT_EQ(out.pixel(304, 40), kBackground);
    EXPECT_EQ(out.pixel(309, 40), kBackground);
    EXPECT_EQ(out.pixel(309, 70), kBlack);
    EXPECT_EQ(out.pixel(304, 310), kBackground);
}

TEST_F(DrawTest, WithoutAPictureTilesArePlainButTellApart)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_TRUE(board.m_hPicture.isNull());
    const QImage out = Paint(board);

    std::vector<QRgb> centres;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (c == 2 && r == 2)
                continue;
            QRgb centre = out.pixel(10 + c * 100 + 50, 10 + r * 100 + 50);
            EXPECT_NE(centre, kBackground);
            EXPECT_NE(out.pixel(10 + c * 100, 10 + r * 100), centre) << "a darker edge";
            centres.push_back(centre);
        }
    }
    for (std::size_t i = 0; i < centres.size(); ++i) {
        for (std::size_t j = i + 1; j < centres.size(); ++j)
            EXPECT_NE(centres[i], centres[j]) << i << " and " << j;
    }
    EXPECT_TRUE(IsBackground(out, 210, 210, 310, 310));

    // The same shade follows a tile when it moves.
    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect));
    const QImage moved = Paint(board);
    EXPECT_EQ(moved.pixel(260, 260), out.pixel(160, 260));
    EXPECT_TRUE(IsBackground(moved, 110, 210, 210, 310));
}

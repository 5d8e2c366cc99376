#include "BoardTestEnv.h"

#include "engine/Random.h"

#include <QPainter>
#include <set>

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

    // Cell (c, r) of the painted board.
    static QImage CellOf(const QImage& out, const CPuzzleBoard& board, int c, int r)
    {
        return out.copy(10 + c * board.m_nTileW, 10 + r * board.m_nTileH, board.m_nTileW, board.m_nTileH);
    }
    // Piece (sc, sr) of the picture, the one a tile with id sr * X + sc shows.
    static QImage Piece(const CPuzzleBoard& board, int sc, int sr)
    {
        return board.m_hPicture.copy(sc * board.m_nTileW, sr * board.m_nTileH, board.m_nTileW,
                                     board.m_nTileH);
    }
    static bool IsBackground(const QImage& out, int x0, int y0, int x1, int y1)
    {
        QImage blank(x1 - x0, y1 - y0, QImage::Format_RGB32);
        blank.fill(kBackground);
        return out.copy(x0, y0, x1 - x0, y1 - y0) == blank;
    }
    // Every cell shows the piece its id names (the final piece, id X * Y, the
    // blank's); the blank shows the background.
    static void ExpectTilesAtTheirPieces(const QImage& out, const CPuzzleBoard& board)
    {
        for (int r = 0; r < board.m_nRows; ++r) {
            for (int c = 0; c < board.m_nCols; ++c) {
                const int id = std::min(Cells(board)[r][c], board.m_nBlank);
                const QImage cell = CellOf(out, board, c, r);
                if (Cells(board)[r][c] == board.m_nBlank)
                    EXPECT_TRUE(IsBackground(cell, 0, 0, cell.width(), cell.height())) << c << "," << r;
                else
                    EXPECT_TRUE(cell == Piece(board, id % board.m_nCols, id / board.m_nCols))
                        << c << "," << r;
            }
        }
    }
};

} // namespace

TEST_F(DrawTest, ThreeByThreeShowsEachTileItsPieceUntilThePictureIsWhole)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    QImage out = Paint(board);
    ExpectTilesAtTheirPieces(out, board);
    QImage frame = out; // nothing is painted outside the board
    QPainter(&frame).fillRect(10, 10, 300, 300, QColor(kBackground));
    EXPECT_TRUE(IsBackground(frame, 0, 0, 330, 330));

    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect)); // tile 7 into the corner
    out = Paint(board);
    EXPECT_TRUE(CellOf(out, board, 2, 2) == Piece(board, 1, 2));
    EXPECT_TRUE(IsBackground(out, 110, 210, 210, 310));

    ASSERT_TRUE(board.MoveTileAt(250, 250, rect));
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
    for (const auto& [cols, rows] : {std::pair{3, 3}, std::pair{7, 5}}) {
        SCOPED_TRACE(testing::Message() << cols << "x" << rows);
        StoreSettings(cols, rows);
        CPuzzleBoard board;
        board.NewBoard();
        board.m_bShowGrid = true;
        const QImage out = Paint(board);
        const int w = board.m_nTileW, h = board.m_nTileH;
        // Lines from 10 to 309 along the top and left edge of every cell (the
        // blank's too), none along the bottom and right edge nor outside.
        for (int t = 0; t < 330; ++t) {
            const bool along = t >= 10 && t < 310;
            for (int r = 0; r < rows; ++r)
                ASSERT_EQ(out.pixel(t, 10 + r * h) == kBlack, along) << "row line " << r << " at x " << t;
            for (int c = 0; c < cols; ++c)
                ASSERT_EQ(out.pixel(10 + c * w, t) == kBlack, along) << "column line " << c << " at y " << t;
            ASSERT_NE(out.pixel(t, 310), kBlack) << t;
            ASSERT_NE(out.pixel(310, t), kBlack) << t;
            ASSERT_EQ(out.pixel(t, 9), kBackground) << t;
            ASSERT_EQ(out.pixel(9, t), kBackground) << t;
        }
        // Beside the lines: the tiles, the blank and the strip without tiles.
        EXPECT_EQ(out.pixel(11, 11), board.m_hPicture.pixel(1, 1));
        EXPECT_EQ(out.pixel(11 + w, 11 + h), board.m_hPicture.pixel(1 + w, 1 + h));
        EXPECT_EQ(out.pixel(11 + (cols - 1) * w, 11 + (rows - 1) * h), kBackground);
        EXPECT_EQ(out.pixel(10 + cols * w, 10 + h / 2), kBackground);
    }
}

TEST_F(DrawTest, WithoutAPictureTilesArePlainButTellApart)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_TRUE(board.m_hPicture.isNull());
    const QImage out = Paint(board);

    std::set<QRgb> centres; // eight shades, none the background, each with a darker edge
    for (int cell = 0; cell < 8; ++cell) {
        const int x = 10 + cell % 3 * 100, y = 10 + cell / 3 * 100;
        centres.insert(out.pixel(x + 50, y + 50));
        EXPECT_NE(out.pixel(x, y), out.pixel(x + 50, y + 50)) << cell;
    }
    EXPECT_EQ(centres.size(), 8u);
    EXPECT_EQ(centres.count(kBackground), 0u);
    EXPECT_TRUE(IsBackground(out, 210, 210, 310, 310));

    // The same shade follows a tile when it moves.
    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect));
    const QImage moved = Paint(board);
    EXPECT_EQ(moved.pixel(260, 260), out.pixel(160, 260));
    EXPECT_TRUE(IsBackground(moved, 110, 210, 210, 310));
}

// The board's own drawing without a picture. How the pieces of a picture, the
// blank and the grid show is checked pixel by pixel through the game window
// (tests/game/GameWindowTest, and HiDpiTest at device pixel ratio 2).
#include "BoardTestEnv.h"

#include <QPainter>
#include <set>

namespace {

const QRgb kBackground = qRgb(255, 0, 255);

QImage Paint(const CPuzzleBoard& board, qreal ratio = 1)
{
    QImage target(QSize(330, 330) * ratio, QImage::Format_RGB32);
    target.setDevicePixelRatio(ratio);
    target.fill(kBackground);
    QPainter painter(&target);
    board.Draw(&painter);
    return target;
}

const auto IsBackground = [](const QImage& out, int x0, int y0, int x1, int y1) {
    return out.copy(x0, y0, x1 - x0, y1 - y0) == support::Solid(x1 - x0, y1 - y0, kBackground);
};

using DrawTest = BoardTest;

} // namespace

TEST_F(DrawTest, WithoutAPictureTilesArePlainButTellApart)
{
    CPuzzleBoard board;
    board.NewBoard(3, 3);
    ASSERT_TRUE(board.m_hPicture.isNull());
    const QImage out = Paint(board);

    std::set<QRgb> centres; // eight shades, none the background, each with a darker edge
    for (int cell = 0; cell < 8; ++cell) {
        const int x = 10 + cell % 3 * 100, y = 10 + cell / 3 * 100;
        centres.insert(out.pixel(x + 50, y + 50));
        EXPECT_NE(out.pixel(x, y), out.pixel(x + 50, y + 50)) << cell;
    }
    EXPECT_TRUE(centres.size() == 8u && !centres.count(kBackground) && IsBackground(out, 210, 210, 310, 310));
    // Nothing is painted outside the board.
    QImage frame = out;
    QPainter(&frame).fillRect(10, 10, 300, 300, QColor(kBackground));
    EXPECT_TRUE(IsBackground(frame, 0, 0, 330, 330));

    // The same shade follows a tile when it moves.
    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect));
    const QImage moved = Paint(board);
    EXPECT_TRUE(moved.pixel(260, 260) == out.pixel(160, 260) && IsBackground(moved, 110, 210, 210, 310));
}

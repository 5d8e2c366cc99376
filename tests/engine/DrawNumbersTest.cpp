// With a running application (as in the game), tiles without a picture also carry their number. A separate
// program, so the other drawing tests run without an application object.
#include "BoardTestEnv.h"

#include <QGuiApplication>
#include <QPainter>

TEST_F(BoardTest, TilesWithoutPictureShowTheirNumbersWhenTheGameRuns)
{
    static int argc = 1;
    static char name[] = "engine_numbers_tests";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    CPuzzleBoard board;
    board.NewBoard(3, 3);
    ASSERT_TRUE(board.m_hPicture.isNull());

    QImage out(330, 330, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    board.Draw(&painter);
    painter.end();

    EXPECT_EQ(out.pixel(260, 260), qRgb(255, 255, 255)); // the blank
    for (int cell = 0; cell < 8; ++cell) {
        // Pixels of the tile's inner area (edge left out) that are not its fill colour.
        const int left = 10 + cell % 3 * 100, top = 10 + cell / 3 * 100;
        const QRgb fill = out.pixel(left + 3, top + 3);
        int marked = 0;
        for (int y = top + 2; y < top + 98; ++y)
            for (int x = left + 2; x < left + 98; ++x)
                marked += out.pixel(x, y) != fill;
        EXPECT_TRUE(marked > 5 && marked < 96 * 96 / 4) << "tile " << cell << ": " << marked;
    }
}

// With a running application (as in the game), tiles without a picture also
// carry their number. A separate program, so the other drawing tests run
// without an application object.
#include "BoardTestEnv.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

QGuiApplication& App()
{
    static int argc = 1;
    static char name[] = "engine_numbers_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

// Pixels of a tile's inner area (edge left out) that are not the fill colour.
int Marked(const QImage& out, int c, int r, QRgb fill)
{
    int n = 0;
    for (int y = 10 + r * 100 + 2; y < 10 + r * 100 + 98; ++y) {
        for (int x = 10 + c * 100 + 2; x < 10 + c * 100 + 98; ++x)
            n += out.pixel(x, y) != fill;
    }
    return n;
}

} // namespace

TEST_F(BoardTest, TilesWithoutPictureShowTheirNumbersWhenTheGameRuns)
{
    App();
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_TRUE(board.m_hPicture.isNull());

    QImage out(330, 330, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    board.Draw(&painter);
    painter.end();

    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (c == 2 && r == 2) {
                EXPECT_EQ(out.pixel(260, 260), qRgb(255, 255, 255));
                continue;
            }
            const QRgb fill = out.pixel(10 + c * 100 + 3, 10 + r * 100 + 3);
            EXPECT_GT(Marked(out, c, r, fill), 5) << "no number on tile " << c << "," << r;
            EXPECT_LT(Marked(out, c, r, fill), 96 * 96 / 4) << "tile " << c << "," << r;
        }
    }
}

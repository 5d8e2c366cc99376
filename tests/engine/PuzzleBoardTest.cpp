#include "BoardTestEnv.h"

#include "shell/SetupSettings.h"

#include <QPainter>
#include <fstream>

using Grid = std::vector<std::vector<int>>;

namespace {
const std::string kClick = "sounds\\click.wav";
const std::string kMiss = "sounds\\miss.wav";
} // namespace

TEST_F(BoardTest, FreshBoardIsSolvedInRowMajorOrderAtTheClampedSize)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    EXPECT_TRUE(board.NewBoard());
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    EXPECT_TRUE(Sounds().empty());

    // Stored size, columns, rows, tile width and height.
    const int sizes[][6] = {
        {3, 3, 3, 3, 100, 100}, {7, 4, 7, 4, 42, 75}, {0, 50, 2, 10, 150, 30}, {-7, 1, 2, 2, 150, 150}};
    for (const auto& [x, y, cols, rows, w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << x << "x" << y);
        StoreSettings(x, y);
        ASSERT_TRUE(board.NewBoard());
        EXPECT_EQ(board.m_nCols, cols);
        EXPECT_EQ(board.m_nRows, rows);
        EXPECT_EQ(board.m_nTileW, w);
        EXPECT_EQ(board.m_nTileH, h);
        EXPECT_EQ(board.m_rows[rows - 1][cols - 1], cols * rows - 1);
        EXPECT_TRUE(board.IsSolved());
        CRect rect;
        board.ScrambleStep(rect); // finds a direction, does not hang
        EXPECT_FALSE(board.IsSolved());
    }
}

TEST_F(BoardTest, ClicksBesideTheBlankSlideTilesAndReturnBothCells)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    CRect rect(-1, -1, -1, -1);
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect)); // cell (1, 2)
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 8, 7}}));
    EXPECT_EQ(rect, CRect(110, 210, 310, 310));
    EXPECT_FALSE(board.IsSolved());
    ASSERT_TRUE(board.MoveTileAt(250, 250, rect)); // tile 7 goes back left
    EXPECT_EQ(rect, CRect(110, 210, 310, 310));
    EXPECT_TRUE(board.IsSolved());

    // Tile 5 down, 4 right, 1 down and back up, 3 right and back left.
    const std::pair<QPoint, CRect> moves[] = {
        {{250, 150}, {210, 110, 310, 310}}, {{150, 150}, {110, 110, 310, 210}},
        {{150, 50}, {110, 10, 210, 210}},   {{150, 150}, {110, 10, 210, 210}},
        {{50, 150}, {10, 110, 210, 210}},   {{150, 150}, {10, 110, 210, 210}}};
    for (const auto& [at, cells] : moves) {
        ASSERT_TRUE(board.MoveTileAt(at.x(), at.y(), rect)) << at.x() << "," << at.y();
        EXPECT_EQ(rect, cells) << at.x() << "," << at.y();
    }
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 8, 4}, {6, 7, 5}}));
    EXPECT_EQ(board.m_nBlankCol, 1);
    EXPECT_EQ(board.m_nBlankRow, 1);
    EXPECT_EQ(Sounds(), std::vector<std::string>(8, kClick));
}

TEST_F(BoardTest, SingleClicksOnAFreshBoard)
{
    struct Case {
        int cols, rows, x, y;
        const std::string* sound; // nullptr: silent
        CRect rect;               // empty: nothing moves
    };
    const Case cases[] = {
        {3, 3, 50, 250, &kMiss, {}},   // two away from the blank
        {3, 3, 150, 150, &kMiss, {}},  // diagonal to it
        {3, 3, 250, 250, nullptr, {}}, // the blank itself
        {3, 3, 9, 150, nullptr, {}},   // off the tiles on every side
        {3, 3, 150, 9, nullptr, {}},
        {3, 3, 310, 250, nullptr, {}},
        {3, 3, 250, 310, nullptr, {}},
        {3, 3, -5000, -5000, nullptr, {}},
        {7, 3, 305, 250, nullptr, {}}, // the strip right of the tiles, which end at 304
        {7, 3, 303, 250, nullptr, {}}, // still the last column: the blank
        // The right edge of a cell belongs to the next one: 10 + 5 * 42 = 220.
        {7, 3, 219, 250, &kMiss, {}},
        {7, 3, 220, 250, &kClick, {220, 210, 304, 310}},
        {2, 2, 160, 160, nullptr, {}}, // 10 + tileW is the second column
        {2, 2, 159, 160, &kClick, {10, 160, 310, 310}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(testing::Message() << t.cols << "x" << t.rows << " at " << t.x << "," << t.y);
        StoreSettings(t.cols, t.rows);
        CPuzzleBoard board;
        board.NewBoard();
        support::SoundLog::Clear();
        const bool moves = !t.rect.IsRectEmpty();
        EXPECT_EQ(board.CanMoveAt(t.x, t.y), moves);
        CRect rect(1, 2, 3, 4);
        EXPECT_EQ(board.MoveTileAt(t.x, t.y, rect), moves);
        EXPECT_EQ(rect, moves ? t.rect : CRect(1, 2, 3, 4));
        EXPECT_EQ(Sounds(), t.sound ? std::vector<std::string>{*t.sound} : std::vector<std::string>{});
        EXPECT_NE(board.IsSolved(), moves);
        EXPECT_FALSE(board.CanMoveAt(t.x, t.y)); // moved: the blank is there now
    }
}

TEST_F(BoardTest, PlaceLastTileLeavesABoardThatIsNotSolved)
{
    StoreSettings(4, 4);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_TRUE(board.IsSolved());
    board.PlaceLastTile();
    EXPECT_EQ(board.m_rows[3][3], 16);
    EXPECT_FALSE(board.IsSolved());
    // No cell holds the blank any more: nothing can move.
    EXPECT_FALSE(board.CanMoveAt(10 + 3 * 75 + 5, 10 + 2 * 75 + 5));
}

TEST_F(BoardTest, NewBoardRebuildsInPlaceAndRereadsTheSettings)
{
    WriteBmp("bitmaps/pic1.bmp", support::Pattern(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    board.m_bShowGrid = true;
    CRect rect;
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect));
    board.m_bScrambling = true;

    // A menu toggle in memory is lost at the next board: the stored flag wins.
    g_bSound = 0;
    board.NewBoard();
    EXPECT_EQ(g_bSound, 1);
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    EXPECT_EQ(board.m_nBlankCol, 2);
    EXPECT_FALSE(board.m_bScrambling);
    EXPECT_TRUE(board.m_bShowGrid);
    EXPECT_FALSE(board.m_hPicture.isNull());
    const QImage first = board.m_hPicture;

    board.NewBoard();
    EXPECT_EQ(board.m_hPicture, first);
    EXPECT_TRUE(board.IsSolved());
}

TEST_F(BoardTest, SoundFollowsTheStoredFlagExactly)
{
    // Only a stored 1 plays; 2 counts as "not exactly 1".
    StoreSettings(3, 3, 2);
    CPuzzleBoard board;
    board.NewBoard();
    EXPECT_EQ(g_bSound, 2);
    CRect rect;
    EXPECT_TRUE(board.MoveTileAt(150, 250, rect));
    EXPECT_FALSE(board.MoveTileAt(50, 50, rect));
    board.ScrambleStep(rect);
    EXPECT_TRUE(Sounds().empty());

    g_bSound = 1;
    for (int n = -1; n <= 8; ++n)
        CPuzzleBoard::PlaySoundEffect(n);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"sounds\\start.wav", "sounds\\win.wav", "sounds\\click.wav",
                                                  "sounds\\miss.wav", "sounds\\ok.wav", "sounds\\blip.wav"}));
    support::SoundLog::Clear();
    g_bSound = 0;
    CPuzzleBoard::PlaySoundEffect(3);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(BoardTest, AnUnbuiltBoardIsSafe)
{
    CPuzzleBoard board;
    CRect rect(1, 1, 1, 1);
    EXPECT_FALSE(board.IsSolved());
    EXPECT_FALSE(board.MoveTileAt(50, 50, rect));
    EXPECT_FALSE(board.CanMoveAt(50, 50));
    board.ScrambleStep(rect);
    board.PlaceLastTile();
    EXPECT_EQ(rect, CRect(1, 1, 1, 1));
    EXPECT_TRUE(board.m_hPicture.isNull());
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(BoardTest, PictureIsLoadedStretchedTo300From1OrItsStoredPath)
{
    const QImage pattern = support::Pattern(300, 300);
    WriteBmp("bitmaps/pic1.bmp", pattern);
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    EXPECT_EQ(board.m_hPicture.format(), QImage::Format_RGB32);
    EXPECT_EQ(board.m_hPicture, pattern.convertToFormat(QImage::Format_RGB32));

    // Left half red, right half blue, 60 x 40 pixels.
    QImage small(60, 40, QImage::Format_RGB888);
    small.fill(qRgb(255, 0, 0));
    QPainter(&small).fillRect(30, 0, 30, 40, QColor(0, 0, 255));
    WriteBmp("bitmaps/pic1.bmp", small);
    board.NewBoard();
    EXPECT_EQ(board.m_hPicture.size(), QSize(300, 300));
    EXPECT_EQ(board.m_hPicture.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(board.m_hPicture.pixel(140, 299), qRgb(255, 0, 0));
    EXPECT_EQ(board.m_hPicture.pixel(160, 0), qRgb(0, 0, 255));
    EXPECT_EQ(board.m_hPicture.pixel(299, 150), qRgb(0, 0, 255));

    // Picture 3 from its stored path, written with backslashes.
    small.fill(qRgb(0, 200, 0));
    WriteBmp("bitmaps/mine/green.bmp", small);
    StoreSettings(3, 3, 1, 3, "Pic3", "bitmaps\\mine\\green.bmp");
    board.NewBoard();
    EXPECT_EQ(g_nPicture, 3);
    EXPECT_EQ(g_strPicPath[2], "bitmaps\\mine\\green.bmp");
    EXPECT_EQ(board.m_hPicture.pixel(150, 150), qRgb(0, 200, 0));
}

TEST_F(BoardTest, MissingOrBrokenPictureLeavesNoPictureAndAPlayableBoard)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard(); // bitmaps/pic1.bmp does not exist
    EXPECT_TRUE(board.m_hPicture.isNull());

    // A good picture, then garbage under the same name: the old one goes.
    WriteBmp("bitmaps/pic1.bmp", support::Pattern(50, 50));
    board.NewBoard();
    EXPECT_FALSE(board.m_hPicture.isNull());
    const char garbage[] = "BM\x10\x00\x00\x00 this is no bitmap \xff\xfe\x00\x01";
    std::ofstream("bitmaps/pic1.bmp", std::ios::binary).write(garbage, sizeof garbage);
    board.NewBoard();
    EXPECT_TRUE(board.m_hPicture.isNull());

    // An empty stored path: no picture either.
    StoreSettings(3, 3, 1, 1, "Pic1", "");
    board.NewBoard();
    EXPECT_TRUE(board.m_hPicture.isNull());
    EXPECT_EQ(g_strPicPath[0], "");

    CRect rect;
    EXPECT_TRUE(board.MoveTileAt(150, 250, rect));
}

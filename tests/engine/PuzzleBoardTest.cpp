#include "BoardTestEnv.h"

#include "shell/SetupSettings.h"

using Grid = std::vector<std::vector<int>>;

namespace {
const std::string kClick = "sounds\\click.wav";
const std::string kMiss = "sounds\\miss.wav";
} // namespace

TEST_F(BoardTest, FreshBoardIsSolvedInRowMajorOrder)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    EXPECT_TRUE(board.NewBoard());
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    EXPECT_EQ(board.m_nBlank, 8);
    EXPECT_EQ(board.m_nBlankCol, 2);
    EXPECT_EQ(board.m_nBlankRow, 2);
    EXPECT_EQ(board.m_nTileW, 100);
    EXPECT_EQ(board.m_nTileH, 100);
    EXPECT_TRUE(board.IsSolved());
    EXPECT_TRUE(s_sounds.empty());

    StoreSettings(7, 4);
    ASSERT_TRUE(board.NewBoard());
    EXPECT_EQ(board.m_nCols, 7);
    EXPECT_EQ(board.m_nRows, 4);
    EXPECT_EQ(board.m_nTileW, 42);
    EXPECT_EQ(board.m_nTileH, 75);
    EXPECT_EQ(board.m_nBlank, 27);
    EXPECT_EQ(board.m_rows[3][6], 27);
    EXPECT_TRUE(board.IsSolved());
}

TEST_F(BoardTest, ClickBesideTheBlankSlidesTheTileAndBack)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();

    CRect rect(-1, -1, -1, -1);
    ASSERT_TRUE(board.MoveTileAt(150, 250, rect)); // cell (1, 2)
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 8, 7}}));
    EXPECT_EQ(board.m_nBlankCol, 1);
    EXPECT_EQ(board.m_nBlankRow, 2);
    EXPECT_EQ(rect, CRect(110, 210, 310, 310));
    EXPECT_EQ(s_sounds, std::vector<std::string>{kClick});
    EXPECT_FALSE(board.IsSolved());

    ASSERT_TRUE(board.MoveTileAt(250, 250, rect)); // cell (2, 2): tile 7 goes back left
    EXPECT_EQ(rect, CRect(110, 210, 310, 310));
    EXPECT_TRUE(board.IsSolved());
    EXPECT_EQ(s_sounds.size(), 2u);
}

TEST_F(BoardTest, MovesInAllFourDirectionsReturnBothCells)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    CRect rect;

    ASSERT_TRUE(board.MoveTileAt(250, 150, rect)); // tile 5 above the blank moves down
    EXPECT_EQ(rect, CRect(210, 110, 310, 310));
    ASSERT_TRUE(board.MoveTileAt(150, 150, rect)); // tile 4 left of the blank moves right
    EXPECT_EQ(rect, CRect(110, 110, 310, 210));
    ASSERT_TRUE(board.MoveTileAt(150, 50, rect)); // tile 1 above moves down
    EXPECT_EQ(rect, CRect(110, 10, 210, 210));
    ASSERT_TRUE(board.MoveTileAt(150, 150, rect)); // tile 1 below moves back up
    EXPECT_EQ(rect, CRect(110, 10, 210, 210));
    ASSERT_TRUE(board.MoveTileAt(50, 150, rect)); // tile 3 left of the blank moves right
    EXPECT_EQ(rect, CRect(10, 110, 210, 210));
    ASSERT_TRUE(board.MoveTileAt(150, 150, rect)); // tile 3 right of the blank moves back left
    EXPECT_EQ(rect, CRect(10, 110, 210, 210));
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 8, 4}, {6, 7, 5}}));
    EXPECT_EQ(board.m_nBlankCol, 1);
    EXPECT_EQ(board.m_nBlankRow, 1);
    EXPECT_EQ(s_sounds, std::vector<std::string>(6, kClick));
}

TEST_F(BoardTest, ClicksThatMoveNothing)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    const Grid solved = Cells(board);
    const CRect untouched(1, 2, 3, 4);
    CRect rect = untouched;

    // Two cells away from the blank: the miss sound, nothing moves.
    EXPECT_FALSE(board.MoveTileAt(50, 250, rect));
    EXPECT_EQ(s_sounds, std::vector<std::string>{kMiss});
    // Diagonal to the blank is not beside it either.
    EXPECT_FALSE(board.MoveTileAt(150, 150, rect));
    EXPECT_EQ(s_sounds.size(), 2u);
    EXPECT_EQ(s_sounds.back(), kMiss);
    s_sounds.clear();

    // The blank itself and points off the tiles: silent.
    EXPECT_FALSE(board.MoveTileAt(250, 250, rect));
    EXPECT_FALSE(board.MoveTileAt(9, 150, rect));
    EXPECT_FALSE(board.MoveTileAt(150, 9, rect));
    EXPECT_FALSE(board.MoveTileAt(310, 250, rect));
    EXPECT_FALSE(board.MoveTileAt(250, 310, rect));
    EXPECT_FALSE(board.MoveTileAt(-5000, -5000, rect));
    EXPECT_TRUE(s_sounds.empty());
    EXPECT_EQ(rect, untouched);
    EXPECT_EQ(Cells(board), solved);
}

TEST_F(BoardTest, StripWithoutTilesAndCellEdges)
{
    StoreSettings(7, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_EQ(board.m_nTileW, 42);
    CRect rect;

    // x = 305 lies in the strip right of the last column (tiles end at 304).
    EXPECT_FALSE(board.MoveTileAt(305, 250, rect));
    EXPECT_FALSE(board.CanMoveAt(305, 250));
    EXPECT_TRUE(s_sounds.empty());
    // x = 303 is still the last column: beside the blank? No, it is the blank.
    EXPECT_FALSE(board.MoveTileAt(303, 250, rect));
    EXPECT_TRUE(s_sounds.empty());

    // The right edge of a cell belongs to the next one: x = 10 + 5 * 42 = 220 is
    // column 5, beside the blank; x = 219 is column 4, two away.
    EXPECT_FALSE(board.MoveTileAt(219, 250, rect));
    EXPECT_EQ(s_sounds, std::vector<std::string>{kMiss});
    EXPECT_TRUE(board.MoveTileAt(220, 250, rect));
    EXPECT_EQ(rect, CRect(220, 210, 304, 310));
    EXPECT_EQ(board.m_nBlankCol, 5);
}

TEST_F(BoardTest, ClickAtTileWidthBelongsToSecondColumn)
{
    StoreSettings(2, 2);
    CPuzzleBoard board;
    board.NewBoard();
    CRect rect;
    // Cells are 150 wide; x = 160 is column 1 (the blank), x = 159 column 0.
    EXPECT_FALSE(board.MoveTileAt(160, 160, rect));
    EXPECT_TRUE(s_sounds.empty());
    EXPECT_TRUE(board.MoveTileAt(159, 160, rect));
    EXPECT_EQ(rect, CRect(10, 160, 310, 310));
    EXPECT_EQ(board.m_nBlankCol, 0);
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
    EXPECT_FALSE(board.CanMoveAt(CX(board, 3), CY(board, 2)));
}

TEST_F(BoardTest, ScramblingBlocksClicksButNotTheCursorQuestion)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    board.m_bScrambling = true;
    CRect rect(7, 7, 7, 7);
    for (int y = 0; y < 320; y += 20) {
        for (int x = 0; x < 320; x += 20)
            EXPECT_FALSE(board.MoveTileAt(x, y, rect)) << x << "," << y;
    }
    EXPECT_EQ(rect, CRect(7, 7, 7, 7));
    EXPECT_TRUE(s_sounds.empty());
    EXPECT_TRUE(board.IsSolved());

    EXPECT_TRUE(board.CanMoveAt(150, 250));  // left of the blank
    EXPECT_TRUE(board.CanMoveAt(250, 150));  // above the blank
    EXPECT_FALSE(board.CanMoveAt(50, 250));  // two away
    EXPECT_FALSE(board.CanMoveAt(150, 150)); // diagonal
    EXPECT_FALSE(board.CanMoveAt(250, 250)); // the blank
    EXPECT_FALSE(board.CanMoveAt(400, 250)); // off the board
    EXPECT_TRUE(s_sounds.empty());

    board.m_bScrambling = false;
    EXPECT_TRUE(board.MoveTileAt(150, 250, rect));
}

TEST_F(BoardTest, NewBoardRebuildsInPlaceAndRereadsTheSettings)
{
    WriteBmp("bitmaps/pic1.bmp", PatternImage(300, 300));
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
    EXPECT_TRUE(s_sounds.empty());

    g_bSound = 1;
    for (int n = -1; n <= 8; ++n)
        CPuzzleBoard::PlaySoundEffect(n);
    EXPECT_EQ(s_sounds, (std::vector<std::string>{"sounds\\start.wav", "sounds\\win.wav", "sounds\\click.wav",
                                                  "sounds\\miss.wav", "sounds\\ok.wav", "sounds\\blip.wav"}));
    s_sounds.clear();
    g_bSound = 0;
    CPuzzleBoard::PlaySoundEffect(3);
    EXPECT_TRUE(s_sounds.empty());
}

TEST_F(BoardTest, SizesOutsideTheRangeAreClamped)
{
    StoreSettings(0, 50);
    CPuzzleBoard board;
    board.NewBoard();
    EXPECT_EQ(board.m_nCols, 2);
    EXPECT_EQ(board.m_nRows, 10);
    EXPECT_EQ(board.m_nTileW, 150);
    EXPECT_EQ(board.m_nTileH, 30);
    EXPECT_TRUE(board.IsSolved());
    CRect rect;
    board.ScrambleStep(rect); // finds a direction, does not hang
    EXPECT_FALSE(board.IsSolved());

    StoreSettings(-7, 1);
    board.NewBoard();
    EXPECT_EQ(board.m_nCols, 2);
    EXPECT_EQ(board.m_nRows, 2);
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
    EXPECT_TRUE(s_sounds.empty());
}

// ---- the picture ----

TEST_F(BoardTest, PictureOfTheRightSizeIsTakenAsItIs)
{
    const QImage pattern = PatternImage(300, 300);
    WriteBmp("bitmaps/pic1.bmp", pattern);
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_FALSE(board.m_hPicture.isNull());
    EXPECT_EQ(board.m_hPicture.format(), QImage::Format_RGB32);
    EXPECT_EQ(board.m_hPicture.size(), QSize(300, 300));
    EXPECT_EQ(board.m_hPicture, pattern.convertToFormat(QImage::Format_RGB32));
}

TEST_F(BoardTest, PictureOfAnySizeIsStretchedTo300)
{
    // Left half red, right half blue, 60 x 40 pixels.
    QImage small(60, 40, QImage::Format_RGB888);
    small.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 40; ++y) {
        for (int x = 30; x < 60; ++x)
            small.setPixel(x, y, qRgb(0, 0, 255));
    }
    WriteBmp("bitmaps/pic1.bmp", small);
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard();
    ASSERT_FALSE(board.m_hPicture.isNull());
    EXPECT_EQ(board.m_hPicture.size(), QSize(300, 300));
    EXPECT_EQ(board.m_hPicture.format(), QImage::Format_RGB32);
    EXPECT_EQ(board.m_hPicture.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(board.m_hPicture.pixel(140, 299), qRgb(255, 0, 0));
    EXPECT_EQ(board.m_hPicture.pixel(160, 0), qRgb(0, 0, 255));
    EXPECT_EQ(board.m_hPicture.pixel(299, 150), qRgb(0, 0, 255));
}

TEST_F(BoardTest, SelectedPictureComesFromItsStoredPathWithBackslashes)
{
    QImage green(10, 10, QImage::Format_RGB888);
    green.fill(qRgb(0, 200, 0));
    WriteBmp("bitmaps/mine/green.bmp", green);
    StoreString("Pic3", "bitmaps\\mine\\green.bmp");
    StoreSettings(3, 3, 1, 3);
    CPuzzleBoard board;
    board.NewBoard();
    EXPECT_EQ(g_nPicture, 3);
    EXPECT_EQ(g_strPicPath[2], "bitmaps\\mine\\green.bmp");
    ASSERT_FALSE(board.m_hPicture.isNull());
    EXPECT_EQ(board.m_hPicture.pixel(150, 150), qRgb(0, 200, 0));
}

TEST_F(BoardTest, MissingOrBrokenPictureLeavesNoPictureAndAPlayableBoard)
{
    StoreSettings(3, 3);
    CPuzzleBoard board;
    board.NewBoard(); // bitmaps/pic1.bmp does not exist
    EXPECT_TRUE(board.m_hPicture.isNull());

    // A good picture, then garbage under the same name: the old one goes.
    WriteBmp("bitmaps/pic1.bmp", PatternImage(50, 50));
    board.NewBoard();
    EXPECT_FALSE(board.m_hPicture.isNull());
    {
        std::FILE* f = std::fopen("bitmaps/pic1.bmp", "wb");
        ASSERT_NE(f, nullptr);
        const char garbage[] = "BM\x10\x00\x00\x00 this is no bitmap \xff\xfe\x00\x01";
        std::fwrite(garbage, 1, sizeof garbage, f);
        std::fclose(f);
    }
    board.NewBoard();
    EXPECT_TRUE(board.m_hPicture.isNull());

    // An empty stored path: no picture either.
    StoreString("Pic1", "");
    board.NewBoard();
    EXPECT_TRUE(board.m_hPicture.isNull());
    EXPECT_EQ(g_strPicPath[0], "");

    CRect rect;
    EXPECT_TRUE(board.MoveTileAt(150, 250, rect));
}

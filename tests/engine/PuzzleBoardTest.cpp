#include "BoardTestEnv.h"

#include <tuple>

using Grid = std::vector<std::vector<int>>;
using EMove = CPuzzleBoard::EMove;
using SMove = CPuzzleBoard::SMove;

namespace {
const std::string kClick = "sounds\\click.wav", kMiss = "sounds\\miss.wav";
} // namespace

// (Sizes and their tiles: through the game window; out-of-range sizes are
// clamped when the settings are read.)
TEST_F(BoardTest, AnUnbuiltBoardIsSafeAFreshOneSolvedInRowMajorOrderWithoutReadingSettings)
{
    CPuzzleBoard board;
    CRect rect(1, 1, 1, 1);
    EXPECT_FALSE(board.IsSolved() || board.MoveTileAt(50, 50, rect) || board.CanMoveAt(50, 50));
    EXPECT_EQ(std::pair(board.MoveTile({0, 0}).outcome, board.Undo().outcome),
              std::pair(EMove::Outside, EMove::Refused));
    board.ScrambleStep(rect);
    board.PlaceLastTile();
    EXPECT_TRUE(rect == CRect(1, 1, 1, 1) && board.m_hPicture.isNull() && Sounds().empty());

    // Building reads no settings: flags and picture choice in memory stay.
    g_bSound = 0;
    g_nPicture = 3;
    board.NewBoard(3, 3);
    EXPECT_EQ(Cells(board), (Grid{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    EXPECT_EQ(std::tuple(g_bSound, g_nPicture, board.m_hPicture.isNull()), std::tuple(0, 3, true));
}

// Each point is tried by a click (MoveTileAt: sound, rectangle) and by the
// move at its cell (MoveTile: the outcome, silent) on fresh boards.
TEST_F(BoardTest, SingleMovesOnAFreshBoard)
{
    struct Case {
        int cols, rows, x, y;
        EMove outcome;
        const std::string* sound; // nullptr: silent
        CRect rect;               // of a move
    };
    const Case cases[] = {
        {3, 3, 50, 250, EMove::NotBeside, &kMiss, {}},  // two away from the blank
        {3, 3, 150, 150, EMove::NotBeside, &kMiss, {}}, // diagonal to it
        {3, 3, 250, 250, EMove::Blank, nullptr, {}},
        {3, 3, 9, 150, EMove::Outside, nullptr, {}}, // off the tiles on every side
        {3, 3, 150, 9, EMove::Outside, nullptr, {}},
        {3, 3, 310, 250, EMove::Outside, nullptr, {}},
        {3, 3, 250, 310, EMove::Outside, nullptr, {}},
        {3, 3, -5000, -5000, EMove::Outside, nullptr, {}},
        {7, 3, 305, 250, EMove::Outside, nullptr, {}}, // the strip right of the tiles, which end at 304
        {7, 3, 303, 250, EMove::Blank, nullptr, {}},   // still the last column
        // The right edge of a cell belongs to the next one: 10 + 5 * 42 = 220.
        {7, 3, 219, 250, EMove::NotBeside, &kMiss, {}},
        {7, 3, 220, 250, EMove::Moved, &kClick, {220, 210, 304, 310}},
        {2, 2, 160, 160, EMove::Blank, nullptr, {}}, // 10 + tileW is the second column
        {2, 2, 159, 160, EMove::Moved, &kClick, {10, 160, 310, 310}},
        {3, 3, 250, 150, EMove::Moved, &kClick, {210, 110, 310, 310}}, // the tile above it
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(testing::Message() << t.cols << "x" << t.rows << " at " << t.x << "," << t.y);
        const bool moves = t.outcome == EMove::Moved;
        CPuzzleBoard clicked, direct;
        clicked.NewBoard(t.cols, t.rows);
        direct.NewBoard(t.cols, t.rows);
        support::SoundLog::Clear();
        EXPECT_EQ(clicked.CanMoveAt(t.x, t.y), moves);
        CRect rect(1, 2, 3, 4);
        EXPECT_EQ(clicked.MoveTileAt(t.x, t.y, rect), moves);
        EXPECT_EQ(rect, moves ? t.rect : CRect(1, 2, 3, 4));
        EXPECT_EQ(Sounds(), t.sound ? std::vector<std::string>{*t.sound} : std::vector<std::string>{});
        EXPECT_NE(clicked.IsSolved(), moves);
        EXPECT_FALSE(clicked.CanMoveAt(t.x, t.y)); // moved: the blank is there now

        support::SoundLog::Clear();
        const CCell cell = direct.CellAt(t.x, t.y).value_or(CCell(-1, -1));
        const CPuzzleBoard::SMoveResult move = direct.MoveTile(cell);
        EXPECT_EQ(move.outcome, t.outcome);
        if (moves) {
            EXPECT_EQ(std::tuple(move.from, move.to, direct.CellsRect(move.from, move.to)),
                      std::tuple(cell, CCell(t.cols - 1, t.rows - 1), t.rect));
        }
        EXPECT_TRUE(direct.m_rows == clicked.m_rows && Sounds().empty());
    }
}

TEST_F(BoardTest, UndoAndRedoFollowTheRecordOfStandingMoves)
{
    CPuzzleBoard board;
    board.NewBoard(3, 3);
    EXPECT_EQ(std::pair(board.Undo().outcome, board.Redo().outcome), std::pair(EMove::NoMove, EMove::NoMove));
    const SMove a{{1, 2}, {2, 2}}, b{{1, 1}, {1, 2}}, c{{0, 1}, {1, 1}}, d{{0, 2}, {1, 2}};
    for (const SMove& m : {a, b, c})
        ASSERT_TRUE(board.MoveTile(m.from).Moved());
    EXPECT_EQ(board.MoveTile({2, 2}).outcome, EMove::NotBeside); // no record
    EXPECT_EQ(board.StandingMoves(), (std::vector<SMove>{a, b, c}));
    // Undo slides c's tile back; two back, then a new move: nothing left to redo.
    const CPuzzleBoard::SMoveResult undone = board.Undo();
    EXPECT_EQ(std::tuple(undone.outcome, undone.from, undone.to), std::tuple(EMove::Moved, c.to, c.from));
    EXPECT_TRUE(board.CanRedo() && board.Undo().Moved());
    ASSERT_TRUE(board.MoveTile(d.from).Moved() && !board.CanRedo());
    EXPECT_EQ(board.Redo().outcome, EMove::NoMove);
    EXPECT_EQ(board.StandingMoves(), (std::vector<SMove>{a, d}));
    // Everything back: the solved board, and nothing more to undo.
    EXPECT_TRUE(board.Undo().Moved() && board.Undo().Moved() && board.IsSolved() && !board.CanUndo() &&
                Sounds().empty());
}

// During a walk nothing moves and a walk's step forgets the record; once the
// final piece is in, nothing moves or is undone.
TEST_F(BoardTest, UndoIsRefusedDuringAWalkAndOnceTheFinalPieceIsPlaced)
{
    CPuzzleBoard board;
    board.NewBoard(4, 4);
    ASSERT_TRUE(board.MoveTile({2, 3}).Moved() && board.MoveTile({1, 3}).Moved() && board.Undo().Moved());
    const auto before = Cells(board);
    board.m_bScrambling = true;
    EXPECT_FALSE(board.CanUndo() || board.CanRedo());
    for (const auto& move : {board.Undo(), board.Redo(), board.MoveTile({1, 3})})
        EXPECT_EQ(move.outcome, EMove::Refused);
    EXPECT_EQ(Cells(board), before);
    board.m_bScrambling = false;
    CRect rect;
    board.ScrambleStep(rect);
    EXPECT_TRUE(board.StandingMoves().empty() && !board.CanRedo());

    board.NewBoard(4, 4);
    ASSERT_TRUE(board.MoveTile({3, 2}).Moved() && board.MoveTile({3, 3}).Moved() && board.IsSolved());
    board.PlaceLastTile();
    EXPECT_FALSE(board.IsSolved() || board.CanUndo());
    EXPECT_EQ(std::pair(board.Undo().outcome, board.MoveTile({3, 2}).outcome),
              std::pair(EMove::Refused, EMove::NotBeside));
    EXPECT_EQ(board.m_rows[3][3], 16);
}

TEST_F(BoardTest, SoundPlaysOnlyWhenTheFlagIsExactlyOne)
{
    g_bSound = 2;
    CPuzzleBoard board;
    board.NewBoard(3, 3);
    CRect rect;
    EXPECT_TRUE(board.MoveTileAt(150, 250, rect) && !board.MoveTileAt(50, 50, rect));
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

TEST_F(BoardFilesTest, NewBoardReadsTheSettingsThenBuilds)
{
    WriteBmp("bitmaps/pic1.bmp", support::Pattern(300, 300));
    StoreSettings(3, 3);
    CPuzzleBoard board;
    EXPECT_TRUE(board.NewBoard());
    board.m_bShowGrid = true;
    ASSERT_TRUE(board.MoveTile({1, 2}).Moved());
    board.m_bScrambling = true;

    // A menu toggle in memory is lost at the next board: the stored flag wins.
    g_bSound = 0;
    board.NewBoard();
    EXPECT_EQ(std::pair(g_bSound, Cells(board)), std::pair(1, Grid{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    EXPECT_TRUE(!board.m_bScrambling && !board.CanUndo() && board.m_bShowGrid && !board.m_hPicture.isNull());
    const QImage first = board.m_hPicture;
    board.NewBoard();
    EXPECT_EQ(board.m_hPicture, first);

    // Picture 3 from its stored path, written with backslashes.
    WriteBmp("bitmaps/mine/green.bmp", support::Solid(60, 40, qRgb(0, 200, 0)));
    StoreSettings(3, 3, 1, 3, {{"Pic3", "bitmaps\\mine\\green.bmp"}});
    board.NewBoard();
    EXPECT_EQ(std::pair(g_nPicture, g_strPicPath[2]), std::pair(3, std::string("bitmaps\\mine\\green.bmp")));
    EXPECT_EQ(board.m_hPicture.pixel(150, 150), qRgb(0, 200, 0));
    // An empty stored path is no picture, not the standard one, and the old one
    // goes. (Missing files: the preview across New Games.)
    StoreSettings(3, 3, 1, 3, {{"Pic3", ""}});
    board.NewBoard();
    EXPECT_TRUE(board.m_hPicture.isNull());
}

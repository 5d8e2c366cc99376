#pragma once

#include "audio/MidiPlayer.h"
#include "common/Rect.h"
#include "engine/solver/Cell.h"

#include <QImage>
#include <optional>
#include <string>
#include <vector>

class QPainter;

// The whole state of one puzzle: X columns by Y rows of cells, each holding the
// id of the picture tile lying there (id = home row * X + home column), the
// blank (id X * Y - 1), and the 300 x 300 picture the tiles are cut from.
// Cell (c, r) covers the client pixels from (10 + c * m_nTileW, 10 + r * m_nTileH)
// to (exclusive) one tile further; where 300 is no multiple of X or Y a strip
// at the right or bottom holds no tile.
class CPuzzleBoard {
public:
    CPuzzleBoard();
    virtual ~CPuzzleBoard();
    CPuzzleBoard(const CPuzzleBoard&) = delete;
    CPuzzleBoard& operator=(const CPuzzleBoard&) = delete;

    // Reads the settings (which also sets the sound and music flags and the
    // picture choice), then builds the board of the stored field size with
    // the selected picture. Always true.
    bool NewBoard();
    // Builds the solved board of nCols x nRows cells (each kept within 2..10)
    // from the picture file at strPicture (written with backslashes; empty or
    // unreadable: no picture). Reads no settings. Forgets the moves.
    void NewBoard(int nCols, int nRows, const std::string& strPicture = {});
    // Every tile at home and the blank in the bottom-right cell.
    bool IsSolved() const;

    // What a move at a cell did.
    enum class EMove {
        Moved,     // the tile slid into the blank: `from` is the blank now, `to` holds the tile
        NotBeside, // a tile with no blank beside it (also every tile once the final piece is placed)
        Blank,     // the cell holds the blank
        Outside,   // no cell of the board there
        Refused,   // a scramble walk runs; undo and redo also once the final piece is placed
        NoMove,    // undo or redo with nothing recorded to take back or make again
    };
    struct SMoveResult {
        EMove outcome = EMove::Outside;
        CCell from; // where the tile was
        CCell to;   // where it went: the blank's old cell
        bool Moved() const { return outcome == EMove::Moved; }
    };
    // The move at a cell: the tile there slides into the blank when they
    // share an edge. Silent; the move is recorded and what could be redone
    // is forgotten.
    SMoveResult MoveTile(CCell cell);
    // The player's click: the move at the cell under (x, y); when a tile
    // moved, the click sound and `rect` covers the two cells; a tile with no
    // blank beside it plays the miss sound. False (rect untouched) when
    // nothing moved.
    bool MoveTileAt(int x, int y, CRect& rect);
    // Whether a click at (x, y) would move a tile (ignores m_bScrambling).
    bool CanMoveAt(int x, int y) const;
    // The cell under a client point; none outside the tiles.
    std::optional<CCell> CellAt(int x, int y) const;
    // The client rectangle covering two cells (a move's `from` and `to`).
    CRect CellsRect(CCell a, CCell b) const;
    // The cell that holds the blank.
    CCell BlankCell() const { return {m_nBlankCol, m_nBlankRow}; }
    // The one move rule of the game: the tile in `tile` can slide into the
    // blank in `blank` when it lies on a board of nCols x nRows and shares an
    // edge with the blank.
    static bool CanSlide(CCell tile, CCell blank, int nCols, int nRows);

    // The moves that stand, oldest first, since the board was built or the
    // last scramble step: what undo takes back (from the end) and what a hint
    // can follow. Each is the tile's move from `from` to `to`.
    struct SMove {
        CCell from;
        CCell to;
        bool operator==(const SMove&) const = default;
    };
    const std::vector<SMove>& StandingMoves() const { return m_moves; }
    bool CanUndo() const;
    bool CanRedo() const;
    // Takes the last standing move back (the tile slides back: from and to
    // of the result are that move's, swapped) and keeps it for Redo. Silent.
    // Refused during a walk and once the final piece is placed; NoMove when
    // nothing stands.
    SMoveResult Undo();
    // Makes the last move taken back again, as MoveTile would. Refused and
    // NoMove as Undo.
    SMoveResult Redo();
    // Forgets every move, standing or taken back.
    void ForgetMoves();

    // One step of a scramble walk: the blank swaps with a random neighbour,
    // never straight back the way the last step came. `rect` covers both
    // cells. Forgets the moves.
    void ScrambleStep(CRect& rect);
    // Puts the final piece into the bottom-right cell of a solved board.
    void PlaceLastTile();
    // Paints the tiles (the blank is left alone) and, when m_bShowGrid, the grid.
    void Draw(QPainter* pDC) const;

    // The sound effects by number; played only when g_bSound is exactly 1.
    enum SoundEffect : int {
        kSoundStart = 1,
        kSoundWin = 2,
        kSoundClick = 3,
        kSoundMiss = 4,
        kSoundOk = 5,
        kSoundBlip = 6,
    };
    static void PlaySoundEffect(int n);
    // Replaces the current song by song n (1..5); any other n is silence.
    // The song is opened even with the music off, and played when g_bMidi is on.
    void PlaySong(int n);

    // Where sound effects go; tests put a recorder here.
    using SoundSink = bool (*)(const std::string& path);
    static SoundSink s_pfnSoundSink;

    QImage m_hPicture;               // 300 x 300, Format_RGB32; null when no picture loaded
    std::vector<std::string> m_rows; // one string of X cells per row, top row first
    int m_nCols = 0;                 // X
    int m_nRows = 0;                 // Y
    int m_nTileW = 0;                // 300 / X
    int m_nTileH = 0;                // 300 / Y
    int m_nBlank = 0;                // X * Y - 1
    int m_nBlankCol = 0;
    int m_nBlankRow = 0;
    bool m_bScrambling = false; // a walk is running: clicks move nothing
    bool m_bShowGrid = false;
    CMidiPlayer m_midi;

    // Direction of the last step of any walk (0 up, 1 down, 2 left, 3 right);
    // 5 at program start. No new board resets it.
    static int s_nLastDir;

    static constexpr int kOrigin = 10;                // client pixel of the board's top-left corner
    static constexpr int kPicSize = 300;              // the picture's width and height
    static constexpr int kMinSide = 2, kMaxSide = 10; // columns and rows
    // The board area in client pixels: (10, 10, 310, 310).
    static constexpr CRect kBoardRect{kOrigin, kOrigin, kOrigin + kPicSize, kOrigin + kPicSize};

private:
    int Cell(int c, int r) const
    {
        return static_cast<signed char>(m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
    void SetCell(int c, int r, int id)
    {
        m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = static_cast<char>(id);
    }
    CRect CellRect(int c, int r) const;
    bool OnBoard(CCell cell) const
    {
        return cell.col >= 0 && cell.col < m_nCols && cell.row >= 0 && cell.row < m_nRows;
    }
    // The final piece is placed: no cell holds the blank.
    bool IsComplete() const;
    // Slides the tile at `from` into the blank at `to` (a legal move).
    void Slide(CCell from, CCell to);
    void LoadPicture(const std::string& path);
    // The picture to draw the tiles from for a painter of the given device
    // pixel ratio, when it is above 1 and m_hPicture is the picture loaded;
    // otherwise null, and the tiles come from m_hPicture.
    const QImage* DevicePicture(qreal ratio) const;

    // The picture at the resolution of a screen of device pixel ratio above 1
    // (600 x 600 at ratio 2, carrying that ratio), so that the tiles show every
    // pixel such a screen has. It is read with m_hPicture, from the same file,
    // for the application's ratio; a painter of another ratio has it read again
    // for its own at its first paint. Geometry stays in m_hPicture's pixels.
    std::string m_strPicturePath;     // the file m_hPicture was read from
    qint64 m_nPictureKey = 0;         // m_hPicture's cache key when it was read
    mutable QImage m_hDevicePicture;  // null at ratio 1 or when it did not load
    mutable qreal m_dDeviceRatio = 1; // the ratio m_hDevicePicture was read for

    // Undo and Redo: the last move of `take` goes over to `give`, and its tile
    // slides back (bBack) or forth again.
    SMoveResult Replay(std::vector<SMove>& take, std::vector<SMove>& give, bool bBack);

    std::vector<SMove> m_moves;  // standing, oldest first
    std::vector<SMove> m_undone; // taken back, the latest last
};

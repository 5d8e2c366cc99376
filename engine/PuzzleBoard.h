#pragma once

#include "audio/MidiPlayer.h"
#include "common/Rect.h"

#include <QImage>
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

    // Reloads the settings, loads the selected picture and builds the solved
    // board of the stored field size. Always true.
    bool NewBoard();
    // Every tile at home and the blank in the bottom-right cell.
    bool IsSolved() const;
    // The player's click: slides the tile at (x, y) into the blank beside it
    // (click sound) and sets `rect` to the two cells; a tile with no blank
    // beside it plays the miss sound. False (rect untouched) when nothing moved.
    bool MoveTileAt(int x, int y, CRect& rect);
    // Whether a click at (x, y) would move a tile (ignores m_bScrambling).
    bool CanMoveAt(int x, int y) const;
    // One step of a scramble walk: the blank swaps with a random neighbour,
    // never straight back the way the last step came. `rect` covers both cells.
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

    static constexpr int kOrigin = 10;   // client pixel of the board's top-left corner
    static constexpr int kPicSize = 300; // the picture's width and height
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
    bool CellAt(int x, int y, int& c, int& r) const;
    // The first neighbour of (c, r) holding the blank, tried below, above,
    // right, left: 0 below, 1 above, 2 right, 3 left, or -1.
    int BlankBeside(int c, int r) const;
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
};

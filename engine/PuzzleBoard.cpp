#include "engine/PuzzleBoard.h"

#include "audio/SoundEffects.h"
#include "engine/Random.h"
#include "imaging/PictureFile.h"
#include "shell/Globals.h"
#include "shell/PathMap.h"
#include "shell/SetupSettings.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

int CPuzzleBoard::s_nLastDir = 5;
CPuzzleBoard::SoundSink CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;

namespace {

// Directions of the blank in a walk: 0 up, 1 down, 2 left, 3 right.
constexpr int kDirCol[4] = {0, 0, -1, 1};
constexpr int kDirRow[4] = {-1, 1, 0, 0};
constexpr int kOpposite[4] = {1, 0, 3, 2};

} // namespace

CPuzzleBoard::CPuzzleBoard() = default;

CPuzzleBoard::~CPuzzleBoard() = default;

namespace {

// The highest device pixel ratio of the screens; 1 without a GUI.
qreal ScreenRatio()
{
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? app->devicePixelRatio() : 1.0;
}

// The picture's size in device pixels on a screen of the given ratio.
QSize DeviceSize(qreal ratio)
{
    const int side = qRound(CPuzzleBoard::kPicSize * ratio);
    return {side, side};
}

} // namespace

void CPuzzleBoard::LoadPicture(const std::string& path)
{
    // One reading of the file gives the picture for the game and, on a
    // high-resolution screen, the one the tiles are drawn from.
    m_strPicturePath = ToNativePath(path);
    m_dDeviceRatio = ScreenRatio();
    std::vector<QSize> sizes{QSize(kPicSize, kPicSize)};
    if (m_dDeviceRatio > 1)
        sizes.push_back(DeviceSize(m_dDeviceRatio));
    std::vector<QImage> pictures = CPictureFile::LoadSizes(m_strPicturePath, sizes);
    m_hPicture = pictures.front();
    m_nPictureKey = m_hPicture.cacheKey();
    m_hDevicePicture = pictures.size() > 1 ? pictures.back() : QImage();
    m_hDevicePicture.setDevicePixelRatio(m_dDeviceRatio);
}

const QImage* CPuzzleBoard::DevicePicture(qreal ratio) const
{
    if (ratio <= 1 || m_hPicture.isNull() || m_hPicture.cacheKey() != m_nPictureKey)
        return nullptr;
    if (ratio != m_dDeviceRatio) {
        // A screen of another ratio: the file is read for it once.
        m_dDeviceRatio = ratio;
        m_hDevicePicture = CPictureFile::Load(m_strPicturePath, DeviceSize(ratio));
        m_hDevicePicture.setDevicePixelRatio(ratio);
    }
    return m_hDevicePicture.isNull() ? nullptr : &m_hDevicePicture;
}

bool CPuzzleBoard::NewBoard()
{
    // A temporary settings object reloads everything the profile holds,
    // including the sound and music flags and the picture choice.
    const CSetupSettings settings;
    const bool picture = g_nPicture >= 1 && g_nPicture <= 4;
    NewBoard(settings.m_nFieldX, settings.m_nFieldY, picture ? g_strPicPath[g_nPicture - 1] : std::string());
    return true;
}

void CPuzzleBoard::NewBoard(int nCols, int nRows, const std::string& strPicture)
{
    const int x = std::clamp(nCols, kMinSide, kMaxSide);
    const int y = std::clamp(nRows, kMinSide, kMaxSide);
    m_nCols = x;
    m_nRows = y;
    m_nTileW = kPicSize / x;
    m_nTileH = kPicSize / y;

    if (strPicture.empty())
        m_hPicture = QImage();
    else
        LoadPicture(strPicture);

    m_rows.assign(static_cast<std::size_t>(y), std::string(static_cast<std::size_t>(x), '\0'));
    int id = 0;
    for (int r = 0; r < y; ++r) {
        for (int c = 0; c < x; ++c)
            SetCell(c, r, id++);
    }
    m_nBlank = id - 1;
    m_nBlankCol = x - 1;
    m_nBlankRow = y - 1;
    m_bScrambling = false;
    ForgetMoves();
}

bool CPuzzleBoard::IsSolved() const
{
    int k = 0;
    int count = 0;
    for (const std::string& row : m_rows) {
        for (char cell : row) {
            if (static_cast<signed char>(cell) == k)
                ++count;
            ++k;
        }
    }
    return !m_rows.empty() && count == m_nCols * m_nRows;
}

bool CPuzzleBoard::IsComplete() const
{
    return m_rows.empty() || Cell(m_nBlankCol, m_nBlankRow) != m_nBlank;
}

CRect CPuzzleBoard::CellRect(int c, int r) const
{
    const int left = kOrigin + c * m_nTileW;
    const int top = kOrigin + r * m_nTileH;
    return CRect(left, top, left + m_nTileW, top + m_nTileH);
}

CRect CPuzzleBoard::CellsRect(CCell a, CCell b) const
{
    const CRect ra = CellRect(a.col, a.row);
    const CRect rb = CellRect(b.col, b.row);
    return CRect(std::min(ra.left, rb.left), std::min(ra.top, rb.top), std::max(ra.right, rb.right),
                 std::max(ra.bottom, rb.bottom));
}

std::optional<CCell> CPuzzleBoard::CellAt(int x, int y) const
{
    if (m_rows.empty() || x < kOrigin || y < kOrigin)
        return std::nullopt;
    const CCell cell((x - kOrigin) / m_nTileW, (y - kOrigin) / m_nTileH);
    return OnBoard(cell) ? std::optional<CCell>(cell) : std::nullopt;
}

bool CPuzzleBoard::CanSlide(CCell tile, CCell blank, int nCols, int nRows)
{
    const bool onBoard = tile.col >= 0 && tile.col < nCols && tile.row >= 0 && tile.row < nRows;
    return onBoard && std::abs(tile.col - blank.col) + std::abs(tile.row - blank.row) == 1;
}

void CPuzzleBoard::Slide(CCell from, CCell to)
{
    SetCell(to.col, to.row, Cell(from.col, from.row));
    SetCell(from.col, from.row, m_nBlank);
    m_nBlankCol = from.col;
    m_nBlankRow = from.row;
}

CPuzzleBoard::SMoveResult CPuzzleBoard::MoveTile(CCell cell)
{
    SMoveResult result;
    if (m_bScrambling) {
        result.outcome = EMove::Refused;
    } else if (m_rows.empty() || !OnBoard(cell)) {
        result.outcome = EMove::Outside;
    } else if (Cell(cell.col, cell.row) == m_nBlank) {
        result.outcome = EMove::Blank;
    } else if (IsComplete() || !CanSlide(cell, BlankCell(), m_nCols, m_nRows)) {
        result.outcome = EMove::NotBeside;
    } else {
        result = {EMove::Moved, cell, BlankCell()};
        Slide(result.from, result.to);
        m_moves.push_back({result.from, result.to});
        m_undone.clear();
    }
    return result;
}

bool CPuzzleBoard::MoveTileAt(int x, int y, CRect& rect)
{
    const std::optional<CCell> cell = CellAt(x, y);
    const SMoveResult move = MoveTile(cell.value_or(CCell(-1, -1)));
    if (move.outcome == EMove::NotBeside)
        PlaySoundEffect(kSoundMiss);
    if (!move.Moved())
        return false;
    rect = CellsRect(move.from, move.to);
    PlaySoundEffect(kSoundClick);
    return true;
}

bool CPuzzleBoard::CanMoveAt(int x, int y) const
{
    const std::optional<CCell> cell = CellAt(x, y);
    return cell && Cell(cell->col, cell->row) != m_nBlank && !IsComplete() &&
           CanSlide(*cell, BlankCell(), m_nCols, m_nRows);
}

bool CPuzzleBoard::CanUndo() const
{
    return !m_bScrambling && !IsComplete() && !m_moves.empty();
}

bool CPuzzleBoard::CanRedo() const
{
    return !m_bScrambling && !IsComplete() && !m_undone.empty();
}

CPuzzleBoard::SMoveResult CPuzzleBoard::Undo()
{
    return Replay(m_moves, m_undone, true);
}

CPuzzleBoard::SMoveResult CPuzzleBoard::Redo()
{
    return Replay(m_undone, m_moves, false);
}

CPuzzleBoard::SMoveResult CPuzzleBoard::Replay(std::vector<SMove>& take, std::vector<SMove>& give, bool bBack)
{
    if (m_bScrambling || IsComplete())
        return {EMove::Refused, {}, {}};
    if (take.empty())
        return {EMove::NoMove, {}, {}};
    const SMove move = take.back();
    take.pop_back();
    give.push_back(move);
    const CCell from = bBack ? move.to : move.from;
    const CCell to = bBack ? move.from : move.to;
    Slide(from, to);
    return {EMove::Moved, from, to};
}

void CPuzzleBoard::ForgetMoves()
{
    m_moves.clear();
    m_undone.clear();
}

void CPuzzleBoard::ScrambleStep(CRect& rect)
{
    // A walk needs a built board of at least 2 x 2 cells to find a direction.
    if (m_nCols < 2 || m_nRows < 2 || m_rows.empty())
        return;

    PlaySoundEffect(kSoundClick);
    int d;
    CCell next;
    for (;;) {
        d = CRandom::Next() % 4;
        next = CCell(m_nBlankCol + kDirCol[d], m_nBlankRow + kDirRow[d]);
        const bool reverses = s_nLastDir >= 0 && s_nLastDir < 4 && d == kOpposite[s_nLastDir];
        if (OnBoard(next) && !reverses)
            break;
    }
    rect = CellsRect(BlankCell(), next);
    Slide(next, BlankCell());
    s_nLastDir = d;
    ForgetMoves();
}

void CPuzzleBoard::PlaceLastTile()
{
    if (m_rows.empty())
        return;
    SetCell(m_nCols - 1, m_nRows - 1, m_nCols * m_nRows);
}

void CPuzzleBoard::Draw(QPainter* pDC) const
{
    if (!pDC || m_rows.empty())
        return;

    const QImage* device = DevicePicture(pDC->device() ? pDC->device()->devicePixelRatioF() : 1.0);
    const qreal k = device ? device->devicePixelRatio() : 1.0;
    const int total = m_nCols * m_nRows;
    const bool numbers = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nCols; ++c) {
            const int id = Cell(c, r);
            if (id == m_nBlank || id < 0 || id > total)
                continue;
            // The final piece shows the picture's bottom-right piece.
            const int home = id == total ? total - 1 : id;
            const int sc = home % m_nCols;
            const int sr = home / m_nCols;
            const QRect dst(kOrigin + c * m_nTileW, kOrigin + r * m_nTileH, m_nTileW, m_nTileH);
            if (device) {
                // Device pixel for device pixel from the screen's own picture.
                pDC->drawImage(QRectF(dst), *device,
                               QRectF(sc * m_nTileW * k, sr * m_nTileH * k, m_nTileW * k, m_nTileH * k));
                continue;
            }
            if (!m_hPicture.isNull()) {
                pDC->drawImage(dst.topLeft(), m_hPicture,
                               QRect(sc * m_nTileW, sr * m_nTileH, m_nTileW, m_nTileH));
                continue;
            }
            // Without a picture each tile gets a shade that follows its home
            // cell (red grows to the right, blue downwards) and a darker edge,
            // so the board can still be put in order.
            const QColor fill(120 + 100 * sc / (m_nCols - 1), 140, 120 + 100 * sr / (m_nRows - 1));
            const QColor edge = fill.darker(150);
            pDC->fillRect(dst, fill);
            pDC->fillRect(QRect(dst.left(), dst.top(), dst.width(), 1), edge);
            pDC->fillRect(QRect(dst.left(), dst.bottom(), dst.width(), 1), edge);
            pDC->fillRect(QRect(dst.left(), dst.top(), 1, dst.height()), edge);
            pDC->fillRect(QRect(dst.right(), dst.top(), 1, dst.height()), edge);
            if (numbers) {
                pDC->save();
                pDC->setPen(edge.darker(150));
                pDC->drawText(dst, Qt::AlignCenter, QString::number(home + 1));
                pDC->restore();
            }
        }
    }

    if (m_bShowGrid) {
        // One-pixel lines along the top and left edge of every cell, running
        // from 10 to 309 whatever the tiles cover.
        const QColor black(Qt::black);
        for (int r = 0; r < m_nRows; ++r)
            pDC->fillRect(QRect(kOrigin, kOrigin + r * m_nTileH, kPicSize, 1), black);
        for (int c = 0; c < m_nCols; ++c)
            pDC->fillRect(QRect(kOrigin + c * m_nTileW, kOrigin, 1, kPicSize), black);
    }
}

void CPuzzleBoard::PlaySoundEffect(int n)
{
    static const char* const kFiles[6] = {"sounds\\start.wav", "sounds\\win.wav", "sounds\\click.wav",
                                          "sounds\\miss.wav",  "sounds\\ok.wav",  "sounds\\blip.wav"};
    if (g_bSound != 1 || n < 1 || n > 6 || !s_pfnSoundSink)
        return;
    s_pfnSoundSink(kFiles[n - 1]);
}

void CPuzzleBoard::PlaySong(int n)
{
    static const char* const kSongs[5] = {"midi\\openplains.mid", "midi\\zandor.mid", "midi\\SunnyDays.mid",
                                          "midi\\EveningGlow.mid", "midi\\risingcrown.mid"};
    m_midi.Close();
    if (n < 1 || n > 5)
        return;
    if (m_midi.Open(ToNativePath(kSongs[n - 1])) && g_bMidi != 0)
        m_midi.Play();
}

// Painting the game window's board: the whole 10 x 10 board, and the two
// cells a move repaints (the move included). Painted at the screen's device
// pixel ratio: run with QT_SCALE_FACTOR=2 for a high-resolution screen, where
// the tiles come from the 600 x 600 picture.

#include "engine/PuzzleBoard.h"
#include "game/PuzzleDlg.h"
#include "res/ResourceIds.h"
#include "shell/Profile.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

// A run folder with a 300 x 300 picture and a profile for a 10 x 10 board.
class Setting {
public:
    Setting()
    {
        m_old = QDir::currentPath();
        QDir(m_dir.path()).mkpath(QStringLiteral("run/bitmaps"));
        QDir::setCurrent(m_dir.filePath(QStringLiteral("run")));
        setenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit().constData(), 1);
        QImage pic(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 300; ++x) {
                pic.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
            }
        }
        pic.save(QStringLiteral("bitmaps/pic1.bmp"), "BMP");
        CProfile profile(CProfile::DefaultPath());
        profile.SetInt("Tessra", "FieldX", 10);
        profile.SetInt("Tessra", "FieldY", 10);
        profile.SetInt("Tessra", "Sound", 0);
        profile.SetInt("Tessra", "Midi", 0);
        profile.Save();
        CPuzzleBoard::s_pfnSoundSink = nullptr;
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->SetBitmap(IDB_BACKGROUND, CBitmapDialog::BITMAP_TILE);
        dlg->m_board.NewBoard();
        dlg->m_board.m_bShowGrid = true;
    }
    ~Setting()
    {
        dlg.reset();
        QDir::setCurrent(m_old);
    }

    // A target of the window's size (or `size`) in logical pixels at the
    // screen's device pixel ratio.
    QImage Target(QSize size = {}) const
    {
        const qreal ratio = dlg->devicePixelRatioF();
        QImage target((size.isEmpty() ? dlg->size() : size) * ratio, QImage::Format_RGB32);
        target.setDevicePixelRatio(ratio);
        return target;
    }

    std::unique_ptr<CPuzzleDlg> dlg;

private:
    QTemporaryDir m_dir;
    QString m_old;
};

// The window paints the board rectangle: background, 99 tiles, grid, frame.
void BM_PaintBoard10x10(benchmark::State& state)
{
    Setting s;
    QImage target = s.Target();
    state.SetLabel(QStringLiteral("ratio %1").arg(target.devicePixelRatio()).toStdString());
    const QRegion board(QRect(QPoint(10, 10) + s.dlg->ClientOrigin(), QSize(300, 300)));
    for (auto _ : state) {
        s.dlg->render(&target, QPoint(), board);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PaintBoard10x10)->Unit(benchmark::kMicrosecond);

// One move (a tile slides into the blank) and the repaint of its two cells.
void BM_MoveAndRepaintTwoCells(benchmark::State& state)
{
    Setting s;
    QImage target = s.Target();
    CPuzzleBoard& b = s.dlg->m_board;
    const int y = 10 + 9 * b.m_nTileH + 5;
    int x = 10 + 8 * b.m_nTileW + 5; // the tile left of the blank, then back
    for (auto _ : state) {
        CRect rc;
        b.MoveTileAt(x, y, rc);
        const QRegion region(CPuzzleDlg::ToQRect(rc).translated(s.dlg->ClientOrigin()));
        s.dlg->render(&target, region.boundingRect().topLeft(), region);
        benchmark::DoNotOptimize(target.constBits());
        x = x == 10 + 8 * b.m_nTileW + 5 ? 10 + 9 * b.m_nTileW + 5 : 10 + 8 * b.m_nTileW + 5;
    }
}
BENCHMARK(BM_MoveAndRepaintTwoCells)->Unit(benchmark::kMicrosecond);

// A key pressed where the focus is (the Scramble button), and the repaint of
// the two cells its move changed: the last standing move after an arrow or a
// redo, before an undo.
void PressAndRepaint(CPuzzleDlg& dlg, QImage& target, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    const bool undo = key == Qt::Key_Z && modifiers == Qt::ControlModifier;
    const CPuzzleBoard::SMove before = undo ? dlg.m_board.StandingMoves().back() : CPuzzleBoard::SMove{};
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(dlg.GetDlgItem(IDC_SCRAMBLE), &press);
    const CPuzzleBoard::SMove move = undo ? before : dlg.m_board.StandingMoves().back();
    const QRect cells = CPuzzleDlg::ToQRect(dlg.m_board.CellsRect(move.from, move.to));
    const QRegion region(cells.translated(dlg.ClientOrigin()));
    dlg.render(&target, region.boundingRect().topLeft(), region);
    benchmark::DoNotOptimize(target.constBits());
}

// An arrow key: the tile beside the blank slides, the counter goes up, the two
// cells are repainted. Right and Left take one tile to and fro beside a blank
// that has left its home, so the board is never solved.
void BM_ArrowKeyAndRepaintTwoCells(benchmark::State& state)
{
    Setting s;
    QImage target(s.dlg->size(), QImage::Format_RGB32);
    PressAndRepaint(*s.dlg, target, Qt::Key_Down);
    bool right = true;
    for (auto _ : state) {
        PressAndRepaint(*s.dlg, target, right ? Qt::Key_Right : Qt::Key_Left);
        right = !right;
    }
    if (s.dlg->m_nMoves != static_cast<int>(state.iterations()) + 1)
        state.SkipWithError("the keys did not move");
}
BENCHMARK(BM_ArrowKeyAndRepaintTwoCells)->Unit(benchmark::kMicrosecond);

// Ctrl+Z: the last move taken back, the counter down, its two cells
// repainted. The redo (Ctrl+Y) that makes the move again for the next undo is
// not timed.
void BM_UndoKeyAndRepaintTwoCells(benchmark::State& state)
{
    Setting s;
    QImage target(s.dlg->size(), QImage::Format_RGB32);
    PressAndRepaint(*s.dlg, target, Qt::Key_Down);
    PressAndRepaint(*s.dlg, target, Qt::Key_Right);
    for (auto _ : state) {
        PressAndRepaint(*s.dlg, target, Qt::Key_Z, Qt::ControlModifier);
        state.PauseTiming();
        PressAndRepaint(*s.dlg, target, Qt::Key_Y, Qt::ControlModifier);
        state.ResumeTiming();
    }
    if (s.dlg->m_nMoves != 2)
        state.SkipWithError("undo and redo did not balance");
}
BENCHMARK(BM_UndoKeyAndRepaintTwoCells)->Unit(benchmark::kMicrosecond);

// The board alone, without the window: 99 tile copies and the grid.
void BM_DrawBoardOnly10x10(benchmark::State& state)
{
    Setting s;
    QImage target = s.Target(QSize(482, 334));
    for (auto _ : state) {
        QPainter p(&target);
        s.dlg->m_board.Draw(&p);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_DrawBoardOnly10x10)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

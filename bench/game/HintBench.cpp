// From the H key to the marked tile in the game window, and the longest stall of
// its event loop meanwhile, for the first hint on a new random solvable board
// (the hardest case: no plan to follow yet), 4 x 4 and 10 x 10:
// - tables ready: the solver's tables for the size are loaded in memory;
// - fresh install: the tables the build ships (build/run/solver), an empty cache
//   folder of its own, nothing loaded; before each board the window's worker
//   starts loading the tables for the size, as New Game does, and the H key
//   follows at once;
// - no tables (4 x 4, 3 boards): nothing shipped, the cache empty, so the tables
//   are built while the hint waits for them (up to its search budget).
// The stall is the longest gap between two ticks of a 1 ms timer from just
// before the key until the mark, the key's own handling included.
//
// The last column: how many 4 x 4 hints began a shortest solution (not
// checked without tables, where it would wait for them).
//
// Usage: hint_bench [boards per case (default 100)]
#include "bench/support/RandomBoards.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"
#include "game/PuzzleDlg.h"
#include "res/ResourceIds.h"
#include "shell/Profile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using benchsupport::Percentile;
using benchsupport::RandomSolvable;

// The game window on a run folder with a picture and a profile for x by y tiles.
class Window {
public:
    Window(int x, int y)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("run/bitmaps"));
        m_old = QDir::currentPath();
        QDir::setCurrent(m_dir.filePath(QStringLiteral("run")));
        setenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
        QImage pic(300, 300, QImage::Format_RGB32);
        for (int py = 0; py < 300; ++py)
            for (int px = 0; px < 300; ++px)
                pic.setPixel(px, py, qRgb(px & 0xFF, py & 0xFF, (px ^ py) & 0xFF));
        pic.save(QStringLiteral("bitmaps/pic1.bmp"), "BMP");
        CProfile profile(CProfile::DefaultPath());
        for (const auto& [key, value] : {std::pair{"FieldX", x}, {"FieldY", y}, {"Sound", 0}, {"Midi", 0}})
            profile.SetInt("Tessra", key, value);
        profile.Save();
        CPuzzleBoard::s_pfnSoundSink = nullptr;
        // Not shown (its first showing would open the setup), as in game_bench.
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->SetBitmap(IDB_BACKGROUND, CBitmapDialog::BITMAP_TILE);
        dlg->m_board.NewBoard();
    }
    ~Window()
    {
        dlg.reset();
        QDir::setCurrent(m_old);
    }

    // Puts the board on the window, as a scramble walk would leave it.
    void SetBoard(const CPuzzleState& state)
    {
        CPuzzleBoard& b = dlg->m_board;
        for (int r = 0; r < state.Height(); ++r) {
            for (int c = 0; c < state.Width(); ++c) {
                b.m_rows[static_cast<size_t>(r)][static_cast<size_t>(c)] =
                    static_cast<char>(state.TileAt(c, r));
                if (state.TileAt(c, r) == state.BlankId()) {
                    b.m_nBlankCol = c;
                    b.m_nBlankRow = r;
                }
            }
        }
        b.ForgetMoves();
        dlg->m_bScrambled = true;
        dlg->Invalidate();
    }

    std::string Describe() const
    {
        std::string text;
        const CPuzzleState state = CPuzzleState::FromBoard(dlg->m_board);
        for (int t : state.Tiles())
            text += std::to_string(t) + ' ';
        return text;
    }

    // H pressed: milliseconds to the marked tile, and the longest stall.
    std::pair<double, double> Hint()
    {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longest = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.nsecsElapsed() - last);
            last = clock.nsecsElapsed();
        });
        ticker.start();
        while (clock.elapsed() < 5)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        last = clock.nsecsElapsed();
        longest = 0;
        const qint64 start = clock.nsecsElapsed();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_H, Qt::NoModifier);
        QApplication::sendEvent(dlg.get(), &key);
        while (!dlg->m_hintCell && clock.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 end = clock.nsecsElapsed();
        ticker.stop();
        longest = std::max(longest, end - last);
        if (!dlg->m_hintCell)
            std::fprintf(stderr, "no hint within 20 s on board %s\n", Describe().c_str());
        else // the player follows it: the mark goes
            dlg->OnLButtonDown(
                {}, CPuzzleDlg::ToQRect(dlg->m_board.CellsRect(*dlg->m_hintCell, *dlg->m_hintCell)).center());
        return {static_cast<double>(end - start) / 1e6, static_cast<double>(longest) / 1e6};
    }

    std::unique_ptr<CPuzzleDlg> dlg;

private:
    QTemporaryDir m_dir;
    QString m_old;
};

enum class ETables { Ready, Fresh, Absent };

void RunCase(int x, int y, ETables tables, int count, const std::filesystem::path& cache)
{
    Window w(x, y);
    std::mt19937 rng(static_cast<unsigned>(x * 1000 + y));
    CPatternStore& store = CPatternStore::Instance();
    const bool fresh = tables != ETables::Ready;
    store.SetShippedDirectory(tables == ETables::Absent ? cache / "none"
                                                        : std::filesystem::path(ZANDOR_BENCH_SHIPPED));
    if (!fresh) { // tables loaded and the short solver warmed by one hint
        store.Wait(x, y, nullptr, std::chrono::steady_clock::now() + std::chrono::minutes(2));
        w.SetBoard(RandomSolvable(x, y, rng));
        w.Hint();
    }
    std::vector<double> times, stalls;
    int shortest = 0;
    for (int i = 0; i < count; ++i) {
        if (fresh) {
            store.Clear();
            std::filesystem::remove_all(cache);
            // What New Game does for the solver (without its setup dialog).
            w.dlg->m_pHintWorker->Prepare(x, y);
        }
        const CPuzzleState board = RandomSolvable(x, y, rng);
        w.SetBoard(board);
        const auto [ms, stall] = w.Hint();
        times.push_back(ms);
        stalls.push_back(stall);
        // The hint began a shortest solution: the shortest length went down by one.
        const bool small = x * y <= CPuzzleSolver::kMaxShortestCells && tables != ETables::Absent;
        if (small) {
            const CPuzzleState after = CPuzzleState::FromBoard(w.dlg->m_board);
            shortest +=
                CPuzzleSolver::ShortestLength(after, {}) == CPuzzleSolver::ShortestLength(board, {}) - 1;
        }
    }
    const std::string ofShortest = x * y <= CPuzzleSolver::kMaxShortestCells && tables != ETables::Absent
                                       ? std::to_string(shortest) + "/" + std::to_string(count)
                                       : std::string("n/a");
    std::printf("%2dx%-2d %-14s %9.1f %9.1f %9.1f %12.2f %12.2f %9s\n", x, y,
                tables == ETables::Ready   ? "tables ready"
                : tables == ETables::Fresh ? "fresh install"
                                           : "no tables",
                Percentile(times, 0.5), Percentile(times, 0.99),
                *std::max_element(times.begin(), times.end()), Percentile(stalls, 0.5),
                *std::max_element(stalls.begin(), stalls.end()), ofShortest.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

    const std::filesystem::path cache =
        std::filesystem::temp_directory_path() / ("zandor-hint-bench-" + std::to_string(::getpid()));
    CPatternStore::Instance().SetCacheDirectory(cache);
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_BENCH_SHIPPED);

    std::printf("H key to marked tile, first hint on a random board, %d boards per case (ms)\n", count);
    std::printf("size  case            median       p99       max stall median    stall max  shortest\n");
    for (const auto& [x, y] : {std::pair{4, 4}, {10, 10}}) {
        RunCase(x, y, ETables::Fresh, count, cache);
        RunCase(x, y, ETables::Ready, count, cache);
    }
    // Nothing shipped or cached: the 4 x 4 tables are built (16 to 33 s of
    // processor time) while the hint's shortest search waits its budget out.
    RunCase(4, 4, ETables::Absent, 3, cache);
    CPatternStore::Instance().Clear();
    std::filesystem::remove_all(cache);
    return 0;
}

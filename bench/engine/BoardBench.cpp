#include "engine/PuzzleBoard.h"
#include "engine/Random.h"
#include "shell/Globals.h"
#include "shell/Profile.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// A scratch folder with its own profile and bitmaps/pic1.bmp.
struct Scratch {
    std::filesystem::path root;
    std::filesystem::path oldCwd;

    Scratch(int x, int y, int picSize)
    {
        char tmpl[] = "/tmp/zandor-bench-XXXXXX";
        root = mkdtemp(tmpl);
        oldCwd = std::filesystem::current_path();
        std::filesystem::create_directories(root / "bitmaps");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        std::filesystem::current_path(root);
        CProfile profile(CProfile::DefaultPath());
        profile.SetInt("Tessra", "FieldX", x);
        profile.SetInt("Tessra", "FieldY", y);
        profile.SetInt("Tessra", "Sound", 0);
        profile.Save();
        if (picSize > 0) {
            QImage image(picSize, picSize, QImage::Format_RGB888);
            for (int yy = 0; yy < picSize; ++yy) {
                for (int xx = 0; xx < picSize; ++xx)
                    image.setPixel(xx, yy, qRgb(xx & 255, yy & 255, (xx ^ yy) & 255));
            }
            image.save("bitmaps/pic1.bmp", "BMP");
        }
    }
    ~Scratch()
    {
        std::filesystem::current_path(oldCwd);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

// A click next to the blank, then the solved test, as one player move.
void BM_MoveTileAtAndIsSolved(benchmark::State& state)
{
    CPuzzleBoard::s_pfnSoundSink = nullptr;
    CPuzzleBoard board;
    board.NewBoard(10, 10);
    CRect rect;
    // Clicking the cell left of the blank and then the cell right of it moves
    // one tile back and forth.
    for (auto _ : state) {
        const int x = 10 + (board.m_nBlankCol - 1) * 30 + 15 + (board.m_nBlankCol == 9 ? 0 : 60);
        benchmark::DoNotOptimize(board.MoveTileAt(x, 10 + 9 * 30 + 15, rect));
        benchmark::DoNotOptimize(board.IsSolved());
        // The record of moves would grow with every iteration.
        if (board.StandingMoves().size() >= 4096)
            board.ForgetMoves();
    }
}
BENCHMARK(BM_MoveTileAtAndIsSolved);

void BM_ScrambleStep(benchmark::State& state)
{
    CPuzzleBoard::s_pfnSoundSink = nullptr;
    CPuzzleBoard board;
    board.NewBoard(10, 10);
    CRandom::SetState(1);
    CRect rect;
    for (auto _ : state) {
        board.ScrambleStep(rect);
        benchmark::DoNotOptimize(rect);
    }
}
BENCHMARK(BM_ScrambleStep);

// The whole rebuild: settings load, a 1000 x 1000 24-bit BMP read and
// stretched to 300 x 300, the cells.
void BM_NewBoard1000(benchmark::State& state)
{
    Scratch scratch(4, 4, 1000);
    CPuzzleBoard board;
    for (auto _ : state) {
        board.NewBoard();
        benchmark::DoNotOptimize(board.m_hPicture.constBits());
    }
    if (board.m_hPicture.isNull())
        state.SkipWithError("picture did not load");
}
BENCHMARK(BM_NewBoard1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

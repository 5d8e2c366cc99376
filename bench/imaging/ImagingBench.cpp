// Painting a dialog's tiled background and reading and writing a large BMP.

#include "imaging/BitmapDialog.h"
#include "res/ResourceFinder.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

QImage Texture(int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) {
        table.append(qRgb(200 + i % 56, 150 + i % 100, i / 4));
    }
    img.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, static_cast<uint>((x * 7 + y * 13) % 256));
        }
    }
    return img;
}

QImage TrueColour(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
        }
    }
    return img;
}

// The game window's client area (482 × 334) covered with the 109 × 88 texture.
void BM_TiledBackground(benchmark::State& state)
{
    QTemporaryDir dir;
    CDIBitmap texture;
    texture.CreateFromBitmap(Texture(109, 88));
    texture.Save(dir.filePath(QStringLiteral("250.bmp")).toStdString());
    CResourceFinder::AddSearchPath(dir.path());

    CBitmapDialog dlg(0);
    dlg.resize(482, 334);
    if (!dlg.SetBitmap(250, CBitmapDialog::BITMAP_TILE)) {
        state.SkipWithError("texture did not load");
        return;
    }
    QImage target(482, 334, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        benchmark::DoNotOptimize(dlg.OnEraseBkgnd(&p));
    }
    CResourceFinder::ClearSearchPaths();
}
BENCHMARK(BM_TiledBackground)->Unit(benchmark::kMicrosecond);

void BM_WriteBmp1000x1000(benchmark::State& state)
{
    CDIBitmap dib;
    dib.CreateFromBitmap(TrueColour(1000, 1000));
    for (auto _ : state) {
        std::ostringstream out;
        dib.Write(out);
        benchmark::DoNotOptimize(out.tellp());
    }
}
BENCHMARK(BM_WriteBmp1000x1000)->Unit(benchmark::kMillisecond);

void BM_ReadBmp1000x1000(benchmark::State& state)
{
    CDIBitmap dib;
    dib.CreateFromBitmap(TrueColour(1000, 1000));
    std::ostringstream out;
    dib.Write(out);
    const std::string bytes = out.str();
    for (auto _ : state) {
        std::istringstream in(bytes);
        CDIBitmap back;
        benchmark::DoNotOptimize(back.Read(in));
    }
}
BENCHMARK(BM_ReadBmp1000x1000)->Unit(benchmark::kMillisecond);

void BM_ReadAndConvertBmp1000x1000(benchmark::State& state)
{
    CDIBitmap dib;
    dib.CreateFromBitmap(TrueColour(1000, 1000));
    std::ostringstream out;
    dib.Write(out);
    const std::string bytes = out.str();
    for (auto _ : state) {
        std::istringstream in(bytes);
        CDIBitmap back;
        back.Read(in);
        benchmark::DoNotOptimize(back.ToImage().constBits());
    }
}
BENCHMARK(BM_ReadAndConvertBmp1000x1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

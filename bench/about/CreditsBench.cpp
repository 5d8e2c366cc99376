// The credits control running as in the about box: 309 × 308 pixels, 10 ms per
// tick, transparent mode over a small tiled picture, a long script with
// headings, body lines and bitmaps. Reports the process's CPU use over 10 s of
// running and the 99th-percentile time of one tick (timer handling plus the
// repaint that follows it). BM_AboutBoxRunning10s does the same with the real
// about box over the run folder's pictures.
//
// `about_credits_bench --show-about [seconds]` only shows the about box (from
// the run folder, so with its pictures) for a while, to look at it.

#include "about/AboutDlg.h"
#include "about/CreditsCompose.h"
#include "about/CreditsCtrl.h"
#include "res/ResourceIds.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// Times the events the control receives: each timer tick, and the repaint
// that follows it added to that tick. The repaint arrives at the control's
// window: the control itself, or the dialog it lies in.
class TimingApp : public QApplication {
public:
    using QApplication::QApplication;

    QObject* watched = nullptr; // receives the scroll timer
    QObject* window = nullptr;  // receives the repaints; null: the watched object
    std::vector<double> ticksMs;

    bool notify(QObject* receiver, QEvent* event) override
    {
        QObject* paints = window != nullptr ? window : watched;
        const bool tick = receiver == watched && event->type() == QEvent::Timer;
        const bool paint = receiver == paints && event->type() == QEvent::UpdateRequest;
        if (watched == nullptr || (!tick && !paint))
            return QApplication::notify(receiver, event);
        QElapsedTimer timer;
        timer.start();
        const bool result = QApplication::notify(receiver, event);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (tick)
            ticksMs.push_back(ms);
        else if (!ticksMs.empty())
            ticksMs.back() += ms;
        return result;
    }
};

TimingApp* g_app = nullptr;

std::string LongScript()
{
    std::string script = "The Zandor Puzzle\t||Version 3.0|Credits for the benchmark||PLEASE^||";
    for (int i = 0; i < 40; ++i) {
        script += "Section " + std::to_string(i) + "\r||";
        script += "Contributor number " + std::to_string(i) + " & friends|";
        script += "Another body line with more text in it||";
        if (i % 8 == 3)
            script += "* * * * * * * * *\t||Bitmap1^||";
    }
    return script;
}

QImage MakeBitmap(int width, int height, QRgb ink)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(CreditsCompose::kLightGrey);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(ink));
    p.drawEllipse(QRect(width / 6, height / 6, width * 2 / 3, height * 2 / 3));
    return image;
}

QString MakePicture(const QTemporaryDir& dir)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) * 2));
    const QString path = dir.filePath("pic1.bmp");
    picture.save(path, "BMP");
    return path;
}

void SetUpControl(CCreditsCtrl& ctrl, const QString& picture)
{
    ctrl.resize(309, 308);
    ctrl.SetBitmapResolver([](const std::string& name) {
        if (name == "PLEASE")
            return MakeBitmap(109, 50, qRgb(200, 0, 0));
        return MakeBitmap(100, 100, qRgb(0, 160, 0));
    });
    const std::string script = LongScript();
    ctrl.SetCredits(script, '|');
    ctrl.SetSpeed(2, 0);
    ctrl.SetColor(0, CreditsCompose::PackRgb(0, 0, 255));
    ctrl.SetTransparent(true);
    ctrl.SetBkImage(picture);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Report(benchmark::State& state, double cpu, double wall)
{
    std::vector<double> ticks = g_app->ticksMs;
    std::sort(ticks.begin(), ticks.end());
    const double p99 = ticks.empty() ? 0.0 : ticks[std::min(ticks.size() - 1, ticks.size() * 99 / 100)];
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["ticks"] = static_cast<double>(ticks.size());
    state.counters["p99_tick_ms"] = p99;
    state.counters["max_tick_ms"] = ticks.empty() ? 0.0 : ticks.back();
    state.counters["median_tick_ms"] = ticks.empty() ? 0.0 : ticks[ticks.size() / 2];
}

void BM_CreditsRunning10s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString picture = MakePicture(dir);
    for (auto _ : state) {
        CCreditsCtrl ctrl;
        SetUpControl(ctrl, picture);
        ctrl.show();
        g_app->watched = &ctrl;
        g_app->ticksMs.clear();
        ctrl.StartScrolling();

        const double cpu0 = CpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        QEventLoop loop;
        QTimer::singleShot(10000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = CpuSeconds() - cpu0;
        g_app->watched = nullptr;

        Report(state, cpu, wall);
    }
}
BENCHMARK(BM_CreditsRunning10s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The folder the about box runs in: the run folder with its generated
// pictures when they are there, else a folder with pictures of their sizes.
QString AboutFolder(const QTemporaryDir& dir)
{
    const QString run = QStringLiteral(ZANDOR_RUN_DIR);
    if (QFile::exists(run + QStringLiteral("/bitmaps/pic1.bmp")))
        return run;
    QDir(dir.path()).mkpath(QStringLiteral("bitmaps"));
    const QSize sizes[4] = {{640, 480}, {800, 800}, {512, 384}, {1024, 768}};
    for (int i = 0; i < 4; ++i) {
        QImage picture(sizes[i], QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * y) & 0xFF));
        picture.save(dir.filePath(QStringLiteral("bitmaps/pic%1.bmp").arg(i + 1)), "BMP");
    }
    return dir.path();
}

// The real about box, shown modally as the game shows it, for 10 s: its
// credits tick every 10 ms and its pictures change at 5 s and 10 s.
void BM_AboutBoxRunning10s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(AboutFolder(dir));
    for (auto _ : state) {
        CAboutDlg dlg;
        g_app->watched = &dlg.m_credits;
        g_app->window = &dlg;
        g_app->ticksMs.clear();
        double cpu0 = 0;
        std::chrono::steady_clock::time_point wall0;
        QTimer::singleShot(0, &dlg, [&] {
            cpu0 = CpuSeconds();
            wall0 = std::chrono::steady_clock::now();
        });
        QTimer::singleShot(10050, Qt::PreciseTimer, &dlg, [&] { dlg.EndDialog(IDOK); });
        dlg.DoModal();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = CpuSeconds() - cpu0;
        g_app->watched = nullptr;
        g_app->window = nullptr;
        Report(state, cpu, wall);
        state.counters["picture"] = g_nAboutPicture;
    }
    QDir::setCurrent(old);
}
BENCHMARK(BM_AboutBoxRunning10s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One tick without the event loop: sequencing, scroll, drawing and composition.
void BM_CreditsTick(benchmark::State& state)
{
    QTemporaryDir dir;
    CCreditsCtrl ctrl;
    SetUpControl(ctrl, MakePicture(dir));
    ctrl.StartScrolling();
    for (auto _ : state)
        ctrl.OnTimer(CCreditsCtrl::kScrollTimer);
}
BENCHMARK(BM_CreditsTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApp app(argc, argv);
    g_app = &app;
    if (argc >= 2 && std::strcmp(argv[1], "--show-about") == 0) {
        const int seconds = argc >= 3 ? std::max(std::atoi(argv[2]), 1) : 30;
        QTemporaryDir dir;
        QDir::setCurrent(AboutFolder(dir));
        CAboutDlg dlg;
        QTimer::singleShot(seconds * 1000, &dlg, [&] { dlg.EndDialog(IDOK); });
        dlg.DoModal();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Costs of the MIDI player: the position query the game's clock could poll,
// the Play call, the time from Play until the mixer has rendered the song's
// first samples, and loading the soundfont. Runs on SDL's dummy driver unless
// SDL_AUDIODRIVER names another one.

#include "audio/AudioDevice.h"
#include "audio/MidiPlayer.h"
#include "audio/MidiSynth.h"
#include "tools/media/MidiWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace {
std::string SongPath()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "zandor-audio-bench.mid").string();
        CMidiWriter w(480);
        const int t = w.AddTrack();
        w.Program(t, 0, 0, 0);
        for (int i = 0; i < 240; ++i) // two minutes of quarter notes
            w.Note(t, static_cast<std::uint32_t>(i) * 480, 400, 0, 48 + i % 24, 100);
        w.Write(p);
        return p;
    }();
    return path;
}

void UseDefaultDriver()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

void BM_PositionQuery(benchmark::State& state)
{
    UseDefaultDriver();
    CMidiPlayer player;
    if (!player.Open(SongPath()) || !player.Play()) {
        state.SkipWithError("no song");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.GetMinutes());
        benchmark::DoNotOptimize(player.GetSeconds());
    }
    player.Close();
}
BENCHMARK(BM_PositionQuery);

void BM_PlayCall(benchmark::State& state)
{
    UseDefaultDriver();
    CMidiPlayer player;
    if (!player.Open(SongPath())) {
        state.SkipWithError("no song");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.Play());
        state.PauseTiming();
        player.Stop();
        state.ResumeTiming();
    }
    player.Close();
}
BENCHMARK(BM_PlayCall);

// From the return of Play until the hook has rendered the first buffer of the
// song. The device then still holds up to one buffer before it is heard.
void BM_PlayToFirstSamples(benchmark::State& state)
{
    UseDefaultDriver();
    CMidiPlayer player;
    if (!player.Open(SongPath())) {
        state.SkipWithError("no song");
        return;
    }
    std::minstd_rand random(7);
    for (auto _ : state) {
        player.Stop();
        // Play at a random moment of the device's cycle, not right after a buffer.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        player.Play();
        const auto start = std::chrono::steady_clock::now();
        while (player.GetPositionMs() <= 0)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    player.Close();
}
BENCHMARK(BM_PlayToFirstSamples)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// What the first Open of the program pays: creating the synthesizer and
// loading the soundfont (a path that differs in spelling forces a reload).
void BM_SoundFontLoad(benchmark::State& state)
{
    UseDefaultDriver();
    const std::string font = CMidiSynth::SoundFontPath();
    const std::filesystem::path p(font);
    const std::string other = (p.parent_path() / "." / p.filename()).string();
    bool flip = false;
    for (auto _ : state) {
        CMidiSynth::SetSoundFontPath(flip ? font : other);
        flip = !flip;
        if (!CMidiSynth::Prepare()) {
            state.SkipWithError("no soundfont");
            break;
        }
    }
    CMidiSynth::SetSoundFontPath(font);
}
BENCHMARK(BM_SoundFontLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CAudioDevice::Shutdown();
    std::filesystem::remove(SongPath());
    return 0;
}

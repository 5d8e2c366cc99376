#include "shell/Globals.h"
#include "shell/Profile.h"
#include "shell/SetupSettings.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

struct Scratch {
    std::filesystem::path root;
    Scratch()
    {
        char tmpl[] = "/tmp/zandor-bench-XXXXXX";
        root = mkdtemp(tmpl);
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        CSetupSettings settings; // a Start-style profile with every key
        for (int i = 0; i < 4; ++i)
            g_strPicPath[i] = CSetupSettings::kDefPicPath[i];
        settings.m_strBild = g_strPicPath[0];
        settings.SaveSettings();
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void BM_LoadSettings(benchmark::State& state)
{
    Scratch scratch;
    CSetupSettings settings;
    for (auto _ : state) {
        settings.LoadSettings();
        benchmark::DoNotOptimize(settings.m_nFieldX);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

// Every Start here changes one value, so every save replaces the file.
void BM_SaveSettings(benchmark::State& state)
{
    Scratch scratch;
    CSetupSettings settings;
    int n = 0;
    for (auto _ : state) {
        settings.m_nSpeed = 100 + (n++ & 63);
        benchmark::DoNotOptimize(settings.SaveSettings());
    }
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMicrosecond);

// A Start that changes nothing: the profile is read and compared, not rewritten.
void BM_SaveSettingsUnchanged(benchmark::State& state)
{
    Scratch scratch;
    CSetupSettings settings;
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.SaveSettings());
}
BENCHMARK(BM_SaveSettingsUnchanged)->Unit(benchmark::kMicrosecond);

// Bytes the heap holds now, small blocks and mapped ones alike.
std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A hand-edited profile of `bytes` bytes made of one short line over and over.
void WriteLines(const std::string& path, std::size_t bytes, const std::string& line, bool append)
{
    std::string text;
    text.reserve(bytes);
    while (text.size() + line.size() <= bytes)
        text += line;
    text.append(bytes - text.size(), '\n');
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out << text;
}

// What loading such a profile costs in time and memory: lines of nothing but
// their end (argument 0) or empty keys "a=" (1), at the profile's limit and
// beyond it (such a file is not read at all).
void BM_LoadLargeProfile(benchmark::State& state)
{
    Scratch scratch;
    const std::string path = CProfile::DefaultPath();
    const std::string line = state.range(1) == 0 ? "\n" : "a=\n";
    WriteLines(path, static_cast<std::size_t>(state.range(0)), line, false);
    std::size_t held = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        CProfile profile(path);
        benchmark::DoNotOptimize(profile.Load());
        benchmark::DoNotOptimize(profile.GetInt(CSetupSettings::kSection, "FieldX", 3));
        held = HeapInUse() - before;
    }
    const double lines = static_cast<double>(state.range(0)) / static_cast<double>(line.size());
    state.counters["MB_held"] = static_cast<double>(held) / 1e6;
    state.counters["bytes_per_line"] = static_cast<double>(held) / lines;
}
BENCHMARK(BM_LoadLargeProfile)
    ->Args({static_cast<std::int64_t>(CProfile::kMaxBytes), 0})
    ->Args({static_cast<std::int64_t>(CProfile::kMaxBytes), 1})
    ->Args({5000000, 0})
    ->Unit(benchmark::kMillisecond);

// Every setting, as each new board loads them, from a profile whose section
// holds 4 MB of other keys before the game's own.
void BM_LoadSettingsFromLargeProfile(benchmark::State& state)
{
    Scratch scratch;
    const std::string path = CProfile::DefaultPath();
    const std::string saved = [&path] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[Tessra]\n";
    }
    WriteLines(path, 4000000, "a=\n", true);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << saved.substr(saved.find('\n') + 1);
    }
    CSetupSettings settings;
    for (auto _ : state) {
        settings.LoadSettings();
        benchmark::DoNotOptimize(settings.m_nFieldX);
    }
}
BENCHMARK(BM_LoadSettingsFromLargeProfile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

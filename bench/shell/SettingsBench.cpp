#include "shell/Globals.h"
#include "shell/SetupSettings.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
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

} // namespace

BENCHMARK_MAIN();

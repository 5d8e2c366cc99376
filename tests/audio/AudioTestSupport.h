#pragma once

// Helpers for the audio tests: generated WAV files and reading back what SDL's
// disk driver wrote.

#include "audio/AudioDevice.h"
#include "audio/MidiSynth.h"
#include "tools/media/MidiWriter.h"
#include "tools/media/WavWriter.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

inline void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Wall-clock seconds since construction. Sleeps overshoot on a busy machine, so
// tests compare captures with measured times, not with the times they asked for.
struct Stopwatch {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

// A sine tone, mono 16 bit at 44.1 kHz.
inline std::vector<std::int16_t> Tone(double hz, double seconds, double amplitude)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(seconds * 44100));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::int16_t>(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / 44100));
    return out;
}

// What the disk driver wrote, as mono samples in -1..1.
struct Capture {
    int rate = 0;
    std::vector<float> samples;

    double Seconds() const { return rate > 0 ? static_cast<double>(samples.size()) / rate : 0.0; }
    std::size_t Index(double t) const
    {
        return std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, t) * rate));
    }
    // Root mean square over [from, to) seconds.
    double Rms(double from, double to) const
    {
        const std::size_t a = Index(from), b = Index(to);
        double sum = 0.0;
        for (std::size_t i = a; i < b; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        return b > a ? std::sqrt(sum / static_cast<double>(b - a)) : 0.0;
    }
    // Zero crossings per second over [from, to): a rough pitch.
    double CrossingsPerSecond(double from, double to) const
    {
        const std::size_t a = Index(from), b = Index(to);
        int n = 0;
        for (std::size_t i = a + 1; i < b; ++i)
            n += (samples[i - 1] < 0.0f) != (samples[i] < 0.0f);
        return b > a ? n / (static_cast<double>(b - a) / rate) : 0.0;
    }
    // Windows of `window` seconds whose RMS is above `threshold`, as start times.
    std::vector<double> LoudWindows(double threshold, double window = 0.01) const
    {
        std::vector<double> out;
        for (double t = 0.0; t + window <= Seconds(); t += window)
            if (Rms(t, t + window) > threshold)
                out.push_back(t);
        return out;
    }
    // Start and end (seconds) of the sound: first and last loud 10 ms window.
    std::pair<double, double> Span(double threshold) const
    {
        const std::vector<double> loud = LoudWindows(threshold);
        return loud.empty() ? std::pair{-1.0, -1.0} : std::pair{loud.front(), loud.back() + 0.01};
    }
};

// Base fixture: every test starts without a device and leaves none behind.
// Audio tests run the disk driver into a file of their own.
class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zandor-audio-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        CAudioDevice::Shutdown();
        m_font = CMidiSynth::SoundFontPath();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override
    {
        CAudioDevice::Shutdown();
        CMidiSynth::SetSoundFontPath(m_font);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string File(const std::string& name) const { return (m_dir / name).string(); }

    void UseDiskDriver()
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", File("capture.raw").c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }
    // Keeps the format of the device opened just now, for reading the capture.
    void KeepFormat() { Mix_QuerySpec(&m_rate, &m_format, &m_channels); }
    void OpenDevice()
    {
        ASSERT_TRUE(CAudioDevice::Acquire());
        KeepFormat();
    }
    // Closes the device, which flushes the disk file, and reads it back.
    Capture Finish()
    {
        CAudioDevice::Shutdown();
        Capture c;
        c.rate = m_rate;
        EXPECT_EQ(m_format, AUDIO_S16SYS);
        std::ifstream in(File("capture.raw"), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int channels = std::max(m_channels, 1);
        const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
        for (std::size_t i = 0; i < bytes.size() / (2u * channels); ++i) {
            double sum = 0.0;
            for (int ch = 0; ch < channels; ++ch)
                sum += s[i * channels + ch] / 32768.0;
            c.samples.push_back(static_cast<float>(sum / channels));
        }
        return c;
    }
    std::string WriteTone(const std::string& name, double hz, double seconds, double amplitude = 0.5)
    {
        EXPECT_TRUE(CWavWriter::Write(File(name), Tone(hz, seconds, amplitude)));
        return File(name);
    }

    std::filesystem::path m_dir;
    std::string m_font;
    int m_rate = 0;
    int m_channels = 0;
    Uint16 m_format = 0;
};

} // namespace audiotest

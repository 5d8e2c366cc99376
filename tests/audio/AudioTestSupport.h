#pragma once

// Helpers for the audio tests: temporary folders, generated WAV and MIDI files,
// and reading back what SDL's disk driver wrote.

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

namespace fs = std::filesystem;

inline void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Wall-clock seconds since construction. Sleeps overshoot on a busy machine, so
// tests compare captures with measured times, not with the times they asked for.
class Stopwatch {
public:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start = Clock::now();
};

// A folder of its own under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "zandor-audio-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!m_path.empty())
            fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

// A sine tone, mono 16 bit at 44.1 kHz.
inline std::vector<std::int16_t> Tone(double hz, double seconds, double amplitude)
{
    const int rate = 44100;
    std::vector<std::int16_t> out(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::int16_t>(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate));
    return out;
}

// The device format at the time of the call, needed to read the disk file later.
struct Format {
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
};
inline Format QueryFormat()
{
    Format f;
    Mix_QuerySpec(&f.rate, &f.format, &f.channels);
    return f;
}

// What the disk driver wrote, as mono samples in -1..1.
struct Capture {
    int rate = 0;
    std::vector<float> samples;

    double Seconds() const { return rate > 0 ? static_cast<double>(samples.size()) / rate : 0.0; }

    // Root mean square over [from, to) seconds.
    double Rms(double from, double to) const
    {
        const std::size_t a = static_cast<std::size_t>(std::max(0.0, from) * rate);
        const std::size_t b = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, to) * rate));
        if (b <= a)
            return 0.0;
        double sum = 0.0;
        for (std::size_t i = a; i < b; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        return std::sqrt(sum / static_cast<double>(b - a));
    }
    double Peak() const
    {
        double peak = 0.0;
        for (float s : samples)
            peak = std::max(peak, static_cast<double>(std::fabs(s)));
        return peak;
    }
    // Zero crossings per second over [from, to): a rough pitch.
    double CrossingsPerSecond(double from, double to) const
    {
        const std::size_t a = static_cast<std::size_t>(from * rate);
        const std::size_t b = std::min(samples.size(), static_cast<std::size_t>(to * rate));
        int n = 0;
        for (std::size_t i = a + 1; i < b; ++i)
            if ((samples[i - 1] < 0.0f) != (samples[i] < 0.0f))
                ++n;
        return b > a ? n / (static_cast<double>(b - a) / rate) : 0.0;
    }

    // Windows of `window` seconds whose RMS is above `threshold`, as start times.
    std::vector<double> LoudWindows(double threshold, double window = 0.02) const
    {
        std::vector<double> out;
        for (double t = 0.0; t + window <= Seconds(); t += window)
            if (Rms(t, t + window) > threshold)
                out.push_back(t);
        return out;
    }
};

inline Capture ReadCapture(const std::string& path, const Format& f)
{
    Capture c;
    c.rate = f.rate;
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int channels = std::max(f.channels, 1);
    if (f.format == AUDIO_S16SYS) {
        const std::size_t frames = bytes.size() / (2u * channels);
        const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
        for (std::size_t i = 0; i < frames; ++i) {
            double sum = 0.0;
            for (int ch = 0; ch < channels; ++ch)
                sum += s[i * channels + ch] / 32768.0;
            c.samples.push_back(static_cast<float>(sum / channels));
        }
    } else if (f.format == AUDIO_F32SYS) {
        const std::size_t frames = bytes.size() / (4u * channels);
        const auto* s = reinterpret_cast<const float*>(bytes.data());
        for (std::size_t i = 0; i < frames; ++i) {
            double sum = 0.0;
            for (int ch = 0; ch < channels; ++ch)
                sum += s[i * channels + ch];
            c.samples.push_back(static_cast<float>(sum / channels));
        }
    }
    return c;
}

// Base fixture: every test starts without a device and leaves none behind.
// Audio tests run the disk driver into a file of their own.
class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAudioDevice::Shutdown();
        m_font = CMidiSynth::SoundFontPath();
        m_capture = m_dir.File("capture.raw");
    }
    void TearDown() override
    {
        CAudioDevice::Shutdown();
        CMidiSynth::SetSoundFontPath(m_font);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void UseDiskDriver()
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_capture.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }
    void UseDummyDriver() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    // Opens the device now and keeps its format for reading the capture later.
    void OpenDevice()
    {
        ASSERT_TRUE(CAudioDevice::Acquire());
        m_format = QueryFormat();
    }
    // Closes the device, which flushes the disk file, and reads it back.
    Capture Finish()
    {
        CAudioDevice::Shutdown();
        return ReadCapture(m_capture, m_format);
    }

    TempDir m_dir;
    std::string m_capture;
    std::string m_font;
    Format m_format;
};

} // namespace audiotest

#pragma once

// Real sound through SDL's disk driver: everything the mixer plays goes into a
// file, which is read back as samples once the device is closed.

#include "RunFolder.h"
#include "audio/AudioDevice.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace support {

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
    // The sounds, as start and end seconds: runs of loud 10 ms windows, apart
    // by more than `gap` seconds of quiet.
    std::vector<std::pair<double, double>> Spans(double threshold, double gap = 0.2) const
    {
        std::vector<std::pair<double, double>> out;
        for (const double t : LoudWindows(threshold)) {
            if (out.empty() || t - out.back().second > gap)
                out.emplace_back(t, t);
            out.back().second = t + 0.01;
        }
        return out;
    }
    // Start and end of all the sound together; -1 without any.
    std::pair<double, double> Span(double threshold) const
    {
        const auto spans = Spans(threshold, 1e9);
        return spans.empty() ? std::pair{-1.0, -1.0} : spans.front();
    }
};

// From construction on, the next device the program opens writes into `file`;
// Finish closes it and reads the file back. The dummy driver comes back at the end.
class DiskAudio {
public:
    explicit DiskAudio(std::string file) : m_file(std::move(file))
    {
        CAudioDevice::Shutdown();
        fs::remove(m_file);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_file.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }
    ~DiskAudio()
    {
        CAudioDevice::Shutdown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;

    // Opens the device now (it opens on first use otherwise); false without one.
    bool Open()
    {
        const bool open = CAudioDevice::Acquire();
        KeepFormat();
        return open;
    }
    // Keeps the format of the device that is open, for reading the file.
    void KeepFormat() { Mix_QuerySpec(&m_rate, &m_format, &m_channels); }
    // The mixer was opened for the 16-bit samples the reader expects.
    bool Is16Bit() const { return m_format == AUDIO_S16SYS; }
    // Seconds of sound written so far (the file lags by a buffer).
    double Written() const
    {
        std::error_code ec;
        const auto bytes = fs::file_size(m_file, ec);
        return ec || m_rate == 0 ? 0.0
                                 : static_cast<double>(bytes) / (2.0 * std::max(m_channels, 1) * m_rate);
    }

    // Closes the device, which flushes the file, and reads it back.
    Capture Finish()
    {
        CAudioDevice::Shutdown();
        Capture c;
        c.rate = m_rate;
        const std::string bytes = ReadFile(m_file);
        const int channels = std::max(m_channels, 1);
        const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
        c.samples.reserve(bytes.size() / (2u * channels));
        for (std::size_t i = 0; i < bytes.size() / (2u * channels); ++i) {
            double sum = 0.0;
            for (int ch = 0; ch < channels; ++ch)
                sum += s[i * channels + ch] / 32768.0;
            c.samples.push_back(static_cast<float>(sum / channels));
        }
        return c;
    }

private:
    std::string m_file;
    int m_rate = 0, m_channels = 0;
    Uint16 m_format = 0;
};

} // namespace support

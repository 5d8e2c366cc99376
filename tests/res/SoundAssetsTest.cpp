#include "AssetFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

struct Wav {
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int> samples;
    double Seconds() const { return rate ? double(samples.size()) / rate : 0; }
};

Wav ReadWav(const std::string& path)
{
    const auto b = ReadAll(path);
    Wav w;
    const auto le = [&b](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | b[at + static_cast<std::size_t>(i)];
        return v;
    };
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return w;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at),
                             b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
        const std::uint32_t size = le(at + 4, 4);
        if (at + 8 + size > b.size())
            return w;
        if (id == "fmt ") {
            w.format = static_cast<int>(le(at + 8, 2));
            w.channels = static_cast<int>(le(at + 10, 2));
            w.rate = static_cast<int>(le(at + 12, 4));
            w.bits = static_cast<int>(le(at + 22, 2));
        } else if (id == "data" && w.bits == 16) {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                w.samples.push_back(static_cast<std::int16_t>(le(at + 8 + i, 2)));
            w.ok = true;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

const std::map<std::string, double> kLongest = {{"click", 0.080}, {"blip", 0.150}, {"miss", 0.300},
                                                {"ok", 0.400},    {"start", 1.5},  {"win", 3.0}};

} // namespace

// Short mono 16-bit PCM at 44.1 kHz, peaks at most -1 dBFS, no DC offset, and
// 5 ms fades at both ends so nothing clicks.
TEST(Sounds, AreShortQuietEnoughAndFaded)
{
    const double limit = 32768.0 * std::pow(10.0, -1.0 / 20.0);
    for (const auto& [name, longest] : kLongest) {
        SCOPED_TRACE(name);
        const Wav w = ReadWav(RunPath("sounds/" + name + ".wav"));
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 44100);
        EXPECT_EQ(w.bits, 16);
        EXPECT_LE(w.Seconds(), longest);
        ASSERT_GE(w.Seconds(), 0.02);
        double peak = 0, sum = 0;
        for (int s : w.samples) {
            peak = std::max(peak, std::abs(double(s)));
            sum += s;
        }
        EXPECT_LE(peak, limit);
        EXPECT_GT(peak, limit * 0.5); // loud enough to hear
        EXPECT_LT(std::abs(sum / w.samples.size()), 30.0);
        const std::size_t fade = static_cast<std::size_t>(0.005 * w.rate);
        for (std::size_t i = 0; i < fade; ++i) {
            const double bound = 32767.0 * double(i + 1) / double(fade) + 2;
            EXPECT_LE(std::abs(w.samples[i]), bound) << "start " << i;
            EXPECT_LE(std::abs(w.samples[w.samples.size() - 1 - i]), bound) << "end " << i;
        }
        EXPECT_LE(std::abs(w.samples.front()), 2);
        EXPECT_LE(std::abs(w.samples.back()), 2);
    }
}

#include "AssetFiles.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

// The samples of a WAV file as SDL reads it for the mixer; rate 0 when it does not.
struct Wav {
    SDL_AudioSpec spec{};
    std::vector<std::int16_t> samples;
    double Seconds() const { return spec.freq ? double(samples.size()) / spec.freq : 0; }
};

Wav ReadWav(const std::string& path)
{
    Wav w;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &w.spec, &buffer, &length))
        return {};
    const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
    w.samples.assign(s, s + length / 2);
    SDL_FreeWAV(buffer);
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
        EXPECT_EQ(std::tuple(w.spec.format, w.spec.channels, w.spec.freq),
                  std::tuple(AUDIO_S16LSB, 1, 44100));
        EXPECT_LE(w.Seconds(), longest);
        ASSERT_GE(w.Seconds(), 0.02);
        double peak = 0, sum = 0;
        for (int s : w.samples) {
            peak = std::max(peak, std::abs(double(s)));
            sum += s;
        }
        EXPECT_TRUE(peak <= limit && peak > limit * 0.5) << peak; // loud enough to hear
        EXPECT_LT(std::abs(sum / w.samples.size()), 30.0);
        const std::size_t fade = static_cast<std::size_t>(0.005 * w.spec.freq);
        for (std::size_t i = 0; i < fade; ++i) {
            const double bound = 32767.0 * double(i + 1) / double(fade) + 2;
            EXPECT_LE(std::abs(w.samples[i]), bound) << "start " << i;
            EXPECT_LE(std::abs(w.samples[w.samples.size() - 1 - i]), bound) << "end " << i;
        }
        EXPECT_LE(std::max(std::abs(w.samples.front()), std::abs(w.samples.back())), 2);
    }
}

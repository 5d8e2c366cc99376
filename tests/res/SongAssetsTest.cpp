#include "AssetFiles.h"
#include "SmfReader.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numeric>
#include <set>

namespace {

const char* const kSongs[] = {"midi/openplains.mid", "midi/zandor.mid", "midi/SunnyDays.mid",
                              "midi/EveningGlow.mid", "midi/risingcrown.mid"};

SmfSong Load(const char* file)
{
    return ReadSmf(ReadAll(RunPath(file)));
}

} // namespace

// Type-1 files that close every note, 60 to 150 seconds long, with melody,
// harmony and bass each on a program of its own.
TEST(Songs, AreTypeOneFilesWithMelodyHarmonyAndBass)
{
    for (const char* file : kSongs) {
        SCOPED_TRACE(file);
        const SmfSong s = Load(file);
        ASSERT_TRUE(s.ok) << s.error;
        EXPECT_EQ(s.format, 1);
        EXPECT_GE(s.tracks, 4);
        EXPECT_EQ(s.unmatchedNoteOns, 0);
        ASSERT_FALSE(s.tempos.empty());
        EXPECT_EQ(s.tempos.front().first, 0u);
        EXPECT_GE(s.Seconds(), 60.0);
        EXPECT_LE(s.Seconds(), 150.0);

        std::map<int, int> program;
        for (const auto& [ch, p] : s.programs)
            program[ch] = p;
        std::map<int, std::vector<int>> keys; // channel -> keys, drums left out
        for (const SmfNote& n : s.notes)
            if (n.channel != 9)
                keys[n.channel].push_back(n.key);
        std::set<int> programsUsed;
        int lowest = 127, highest = 0;
        for (const auto& [ch, k] : keys) {
            if (k.size() < 20)
                continue;
            ASSERT_TRUE(program.count(ch)) << "channel " << ch << " plays without a program";
            programsUsed.insert(program[ch]);
            const int mean = static_cast<int>(std::accumulate(k.begin(), k.end(), 0.0) / k.size());
            lowest = std::min(lowest, mean);
            highest = std::max(highest, mean);
        }
        EXPECT_GE(static_cast<int>(programsUsed.size()), 3);
        EXPECT_LT(lowest, 50);  // a bass line
        EXPECT_GT(highest, 62); // a melody above it
    }
}

TEST(Songs, AtLeastTwoHaveDrumsOnChannelTen)
{
    int withDrums = 0;
    for (const char* file : kSongs) {
        const SmfSong s = Load(file);
        withDrums += std::count_if(s.notes.begin(), s.notes.end(),
                                   [](const SmfNote& n) { return n.channel == 9; }) > 100;
    }
    EXPECT_GE(withDrums, 2);
}

TEST(Songs, SoundThroughTheMixer)
{
    const std::string out = std::string(ZANDOR_TEST_RUN_DIR) + "/../song-test-audio.raw";
    for (const char* file : kSongs) {
        SCOPED_TRACE(file);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        std::remove(out.c_str());
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        Mix_Init(MIX_INIT_MID);
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
        Mix_SetSoundFonts(ZANDOR_SOUNDFONT);
        Mix_Music* music = Mix_LoadMUS(RunPath(file).c_str());
        ASSERT_NE(music, nullptr) << Mix_GetError();
        ASSERT_EQ(Mix_PlayMusic(music, 0), 0) << Mix_GetError();
        SDL_Delay(1500);
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();

        const auto raw = ReadAll(out);
        ASSERT_GT(raw.size(), 44100u); // at least a quarter second of stereo samples
        double sum = 0;
        const std::size_t n = raw.size() / 2;
        for (std::size_t i = 0; i < n; ++i) {
            const auto v = static_cast<std::int16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
            sum += double(v) * v;
        }
        EXPECT_GT(std::sqrt(sum / n), 200.0); // clearly audible, not silence or hiss
    }
    std::remove(out.c_str());
}

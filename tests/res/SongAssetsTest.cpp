#include "AssetFiles.h"
#include "SmfReader.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

namespace {

const char* const kSongs[] = {"midi/openplains.mid", "midi/zandor.mid", "midi/SunnyDays.mid",
                              "midi/EveningGlow.mid", "midi/risingcrown.mid"};

SmfSong Load(const char* file)
{
    return ReadSmf(ReadAll(RunPath(file)));
}

// Notes per channel, drums left out.
std::map<int, std::vector<SmfNote>> ByChannel(const SmfSong& s)
{
    std::map<int, std::vector<SmfNote>> out;
    for (const SmfNote& n : s.notes)
        if (n.channel != 9)
            out[n.channel].push_back(n);
    return out;
}

// The melody: the non-drum channel with the highest mean pitch.
std::vector<SmfNote> Melody(const SmfSong& s)
{
    std::vector<SmfNote> best;
    double bestMean = -1;
    for (const auto& [ch, notes] : ByChannel(s)) {
        double sum = 0;
        for (const SmfNote& n : notes)
            sum += n.key;
        if (sum / notes.size() > bestMean && notes.size() > 40) {
            bestMean = sum / notes.size();
            best = notes;
        }
    }
    return best;
}

} // namespace

TEST(Songs, AreTypeOneFilesThatCloseEveryNote)
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
    }
}

TEST(Songs, LastBetweenOneAndTwoAndAHalfMinutes)
{
    for (const char* file : kSongs) {
        const SmfSong s = Load(file);
        ASSERT_TRUE(s.ok) << file;
        EXPECT_GE(s.Seconds(), 60.0) << file;
        EXPECT_LE(s.Seconds(), 150.0) << file;
    }
}

TEST(Songs, HaveMelodyHarmonyAndBassOnTheirOwnPrograms)
{
    for (const char* file : kSongs) {
        SCOPED_TRACE(file);
        const SmfSong s = Load(file);
        ASSERT_TRUE(s.ok);
        std::map<int, int> program;
        for (const auto& [ch, p] : s.programs)
            program[ch] = p;
        std::set<int> programsUsed;
        int voices = 0;
        int lowest = 127, highest = 0;
        for (const auto& [ch, notes] : ByChannel(s)) {
            if (notes.size() < 20)
                continue;
            ASSERT_TRUE(program.count(ch)) << "channel " << ch << " plays without a program";
            programsUsed.insert(program[ch]);
            ++voices;
            double mean = 0;
            for (const SmfNote& n : notes)
                mean += n.key;
            mean /= notes.size();
            lowest = std::min(lowest, static_cast<int>(mean));
            highest = std::max(highest, static_cast<int>(mean));
        }
        EXPECT_GE(voices, 3);
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
        int hits = 0;
        for (const SmfNote& n : s.notes)
            hits += n.channel == 9 ? 1 : 0;
        withDrums += hits > 100 ? 1 : 0;
    }
    EXPECT_GE(withDrums, 2);
}

TEST(Songs, MelodiesRepeatAndVaryTheirMotifs)
{
    for (const char* file : kSongs) {
        SCOPED_TRACE(file);
        const SmfSong s = Load(file);
        const std::vector<SmfNote> melody = Melody(s);
        ASSERT_GT(melody.size(), 40u);
        std::set<int> pitches;
        for (const SmfNote& n : melody)
            pitches.insert(n.key);
        EXPECT_GE(pitches.size(), 7u); // a real tune, not a drone
        // The same four-note rhythm-and-interval figure comes back several times,
        // but not everywhere: motifs with variation.
        std::map<std::vector<int>, int> figures;
        for (std::size_t i = 0; i + 4 < melody.size(); ++i) {
            std::vector<int> f;
            for (std::size_t k = 0; k < 3; ++k) {
                f.push_back(melody[i + k + 1].key - melody[i + k].key);
                f.push_back(static_cast<int>(melody[i + k + 1].tick - melody[i + k].tick));
            }
            ++figures[f];
        }
        int most = 0;
        for (const auto& [f, n] : figures)
            most = std::max(most, n);
        EXPECT_GE(most, 3);
        EXPECT_GE(figures.size(), melody.size() / 4);
    }
}

TEST(Songs, EndSlowerWithAFinalChordOverTheTonic)
{
    for (const char* file : kSongs) {
        SCOPED_TRACE(file);
        const SmfSong s = Load(file);
        ASSERT_TRUE(s.ok);
        // A ritardando: the last tempo is slower (more microseconds per quarter).
        EXPECT_GT(s.tempos.back().second, s.tempos.front().second);
        std::uint32_t lastStart = 0;
        for (const SmfNote& n : s.notes)
            lastStart = std::max(lastStart, n.tick);
        std::map<int, int> finalKey; // channel -> lowest key of the final chord
        for (const SmfNote& n : s.notes)
            if (n.tick == lastStart && n.channel != 9)
                finalKey[n.channel] =
                    finalKey.count(n.channel) ? std::min(finalKey[n.channel], n.key) : n.key;
        EXPECT_GE(finalKey.size(), 3u);
        // The bass (lowest) and the melody (highest) end on the same pitch class.
        int low = 127, high = 0;
        for (const auto& [ch, key] : finalKey) {
            low = std::min(low, key);
            high = std::max(high, key);
        }
        int top = 0;
        for (const SmfNote& n : s.notes)
            if (n.tick == lastStart && n.channel != 9)
                top = std::max(top, n.key);
        EXPECT_EQ(low % 12, top % 12);
        // And it is held: the final notes last at least a second.
        for (const SmfNote& n : s.notes) {
            if (n.tick == lastStart && n.channel != 9) {
                EXPECT_GT(s.SecondsAt(n.tick + n.length) - s.SecondsAt(n.tick), 1.0);
            }
        }
    }
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

#include "AudioTestSupport.h"

#include "audio/MidiPlayer.h"
#include "audio/SoundEffects.h"
#include "tests/support/SpecialFiles.h"

using namespace audiotest;

using SoundEffectsTest = AudioTest;

namespace {
// The 44-byte header of a mono PCM file of `size` bytes.
std::string WavHeader(std::uint32_t size, std::uint32_t rate, std::uint16_t bits)
{
    std::string header;
    const auto put = [&header](const char* tag, std::initializer_list<std::pair<std::uint32_t, int>> values) {
        header += tag;
        for (const auto& [v, bytes] : values)
            for (int i = 0; i < bytes; ++i)
                header += static_cast<char>(v >> (8 * i));
    };
    put("RIFF", {{size - 8, 4}});
    put("WAVEfmt ", {{16, 4}, {1, 2}, {1, 2}, {rate, 4}, {rate * bits / 8, 4}, {bits / 8, 2}, {bits, 2}});
    put("data", {{size - 44, 4}});
    return header;
}
} // namespace

// Effects as the player hears them: each at its level, length and pitch soon
// after the call, one at a time (a second one cuts the first off); a missing
// file leaves silence. (Stop, which the game never calls, is left untried.)
TEST_F(SoundEffectsTest, EffectsSoundOneAtATime)
{
    UseDiskDriver();
    const std::string tone = WriteTone("tone.wav", 440.0, 0.3);
    const std::string low = WriteTone("low.wav", 300.0, 3.0);
    const std::string high = WriteTone("high.wav", 2000.0, 0.2);
    OpenDevice();
    ASSERT_TRUE(CSoundEffects::Play(tone));
    Play(0.7);
    Stopwatch since;
    ASSERT_TRUE(CSoundEffects::Play(low));
    Play(0.3);
    ASSERT_TRUE(CSoundEffects::Play(high));
    const double cutAfter = since.Seconds();
    Play(0.7);
    EXPECT_FALSE(CSoundEffects::Play(File("missing.wav")) || CSoundEffects::Play("sounds\\missing.wav"));
    Play(0.4);
    const Capture c = Finish();
    const auto spans = c.Spans(0.1);
    ASSERT_EQ(spans.size(), 2u);
    const auto [begin, end] = spans[0];
    EXPECT_TRUE(begin < 0.25 && std::abs(end - begin - 0.3) <= 0.03) << begin << " to " << end;
    EXPECT_NEAR(c.Rms(begin + 0.02, end - 0.02), 0.5 / std::sqrt(2.0), 0.04);
    EXPECT_NEAR(c.CrossingsPerSecond(begin + 0.02, end - 0.02), 880.0, 30.0);
    // The low tone until the high one came, all of the high one, then silence
    // to the end, although the low tone would go on for three seconds.
    const auto [cutFrom, cutTo] = spans[1];
    EXPECT_NEAR(c.CrossingsPerSecond(cutFrom + 0.02, cutFrom + 0.2), 600.0, 40.0);
    EXPECT_NEAR(c.CrossingsPerSecond(cutTo - 0.15, cutTo - 0.02), 4000.0, 150.0);
    EXPECT_TRUE(cutTo - cutFrom > 0.3 && cutTo - cutFrom < std::min(cutAfter + 0.3, 2.5)) << cutTo - cutFrom;
    EXPECT_TRUE(c.Rms(cutTo + 0.01, c.Seconds()) < 0.001 && c.Seconds() - cutTo > 0.8) << c.Seconds() - cutTo;
}

// Only a regular file, or a link to one, within the size limit is played: a
// FIFO is not waited on, a device or a huge file is not read.
TEST_F(SoundEffectsTest, OnlyRegularFilesWithinTheLimitArePlayed)
{
    using namespace support;
    const std::string tone = WriteTone("tone.wav", 440.0, 0.2);
    ASSERT_EQ(symlink(tone.c_str(), File("link.wav").c_str()), 0);
    ASSERT_TRUE(MakeFifo(File("fifo.wav")));
    ASSERT_EQ(symlink("/dev/zero", File("zero.wav").c_str()), 0);
    // A header announcing sound up to one byte over the limit, which the rest
    // of the file (a hole of zeros) holds; and 12 MiB of 8-bit mono at 8 kHz:
    // within the file limit, but some 280 MB once converted for the device.
    ASSERT_TRUE(MakeLargeFile(File("huge.wav"), WavHeader(CSoundEffects::kMaxFileBytes + 2, 44100, 16),
                              CSoundEffects::kMaxFileBytes + 2));
    ASSERT_TRUE(MakeLargeFile(File("long.wav"), WavHeader(12u << 20, 8000, 8), 12u << 20));
    FifoWatchdog watchdog({File("fifo.wav")});
    const Stopwatch since;
    EXPECT_TRUE(CSoundEffects::Play(File("link.wav")));
    for (const char* name : {"fifo.wav", "zero.wav", "huge.wav", "long.wav"})
        EXPECT_FALSE(CSoundEffects::Play(File(name))) << name;
    EXPECT_LT(since.Seconds(), 1.0);

    // Backslash paths, and the cache.
    std::filesystem::create_directory(File("sounds"));
    const std::string click = WriteTone("sounds/click.wav", 1000.0, 0.05);
    EXPECT_TRUE(CSoundEffects::Play("sounds\\click.wav"));
    // Once decoded, an effect plays from memory even if its file goes away.
    std::filesystem::remove(click);
    EXPECT_TRUE(CSoundEffects::Play("sounds\\click.wav"));
}

TEST_F(SoundEffectsTest, EffectsSoundOverMusic)
{
    UseDiskDriver();
    CMidiWriter w(480);
    const int t = w.AddTrack();
    w.Program(t, 0, 0, 16);
    w.Note(t, 0, 1920, 0, 48, 127); // two seconds at 120 beats per minute
    ASSERT_TRUE(w.Write(File("song.mid")));
    const std::string tone = WriteTone("high.wav", 3000.0, 0.3, 0.3);
    CMidiPlayer player;
    ASSERT_TRUE(player.Open(File("song.mid")));
    KeepFormat();
    ASSERT_TRUE(player.Play() && WaitUntil([&] { return player.GetPositionMs() >= 400; }) &&
                CSoundEffects::Play(tone));
    // The effect does not stop the music.
    ASSERT_TRUE(WaitUntil([&] { return player.GetPositionMs() >= 1300; }));
    const Capture c = Finish();
    const double start = c.Span(0.02).first;
    ASSERT_GE(start, 0.0);
    // Music alone at first, later the high tone on top of it (many more
    // crossings in some window), and the music goes on after the tone.
    const double musicOnly = c.CrossingsPerSecond(start + 0.05, start + 0.3);
    double busiest = 0.0, busiestAt = 0.0;
    for (double at = start + 0.3; at + 0.1 < c.Seconds(); at += 0.05) {
        if (const double rate = c.CrossingsPerSecond(at, at + 0.1); rate > busiest) {
            busiest = rate;
            busiestAt = at;
        }
    }
    EXPECT_GT(busiest, musicOnly + 2000.0);
    EXPECT_GT(c.Rms(busiestAt + 0.45, busiestAt + 0.6), 0.02);
}

TEST_F(SoundEffectsTest, NoDeviceMeansSilenceAndOneMessage)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    const std::string tone = WriteTone("tone.wav", 440.0, 0.1);
    CMidiWriter w;
    w.Note(w.AddTrack(), 0, 480, 0, 60, 100);
    ASSERT_TRUE(w.Write(File("song.mid")));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(CAudioDevice::Acquire() || CSoundEffects::Play(tone) || CSoundEffects::Play(tone));
    CSoundEffects::Stop();
    CSoundEffects::ClearCache();
    CMidiPlayer player;
    EXPECT_FALSE(player.Open(File("song.mid")) || player.Play());
    EXPECT_EQ(std::tuple(player.m_bOpen, player.GetSeconds(), CAudioDevice::IsOpen()),
              std::tuple(0, -1, false));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("no audio device"), std::string::npos) << err;
}

#include "AudioTestSupport.h"

#include "audio/MidiPlayer.h"
#include "audio/SoundEffects.h"
#include "tests/support/SpecialFiles.h"

#include <cstring>

using namespace audiotest;

using SoundEffectsTest = AudioTest;

TEST_F(SoundEffectsTest, AnEffectIsWrittenToTheDevice)
{
    UseDiskDriver();
    const std::string tone = WriteTone("tone.wav", 440.0, 0.3);
    OpenDevice();
    ASSERT_TRUE(CSoundEffects::Play(tone));
    Play(0.7);
    const Capture c = Finish();

    // The tone comes out at its level, length and pitch, within a buffer or two of the call.
    const auto [begin, end] = c.Span(0.1);
    ASSERT_GE(begin, 0.0);
    EXPECT_NEAR(c.Rms(begin + 0.02, end - 0.02), 0.5 / std::sqrt(2.0), 0.04);
    EXPECT_NEAR(end - begin, 0.3, 0.03);
    EXPECT_NEAR(c.CrossingsPerSecond(begin + 0.02, end - 0.02), 880.0, 30.0);
    EXPECT_LT(begin, 0.25);
}

TEST_F(SoundEffectsTest, ASecondEffectCutsOffTheFirst)
{
    UseDiskDriver();
    const std::string longTone = WriteTone("long.wav", 300.0, 3.0);
    const std::string shortTone = WriteTone("short.wav", 2000.0, 0.2);
    OpenDevice();
    const Stopwatch sinceFirst;
    ASSERT_TRUE(CSoundEffects::Play(longTone));
    Play(0.3);
    ASSERT_TRUE(CSoundEffects::Play(shortTone));
    const double first = sinceFirst.Seconds();
    Play(1.5);
    const Capture c = Finish();

    // Part of the long, low tone, all of the short, high one, then silence,
    // although the long tone would have gone on for three seconds.
    const auto [begin, end] = c.Span(0.1);
    ASSERT_GE(begin, 0.0);
    EXPECT_LT(end - begin, std::min(first + 0.2 + 0.1, 2.5));
    EXPECT_GT(end - begin, 0.3);
    EXPECT_GT(c.Seconds() - end, 0.5);
    EXPECT_LT(c.Rms(end + 0.01, c.Seconds()), 0.001);
    EXPECT_NEAR(c.CrossingsPerSecond(end - 0.15, end - 0.02), 4000.0, 150.0);
    EXPECT_NEAR(c.CrossingsPerSecond(begin + 0.02, begin + 0.2), 600.0, 40.0);
}

TEST_F(SoundEffectsTest, StopAndMissingFilesLeaveSilence)
{
    UseDiskDriver();
    const std::string tone = WriteTone("tone.wav", 440.0, 3.0);
    OpenDevice();
    const Stopwatch sincePlay;
    ASSERT_TRUE(CSoundEffects::Play(tone));
    Play(0.3);
    CSoundEffects::Stop();
    const double played = sincePlay.Seconds();
    EXPECT_FALSE(CSoundEffects::Play(File("missing.wav")));
    EXPECT_FALSE(CSoundEffects::Play("sounds\\missing.wav"));
    Play(0.6);
    const Capture c = Finish();
    const auto [begin, end] = c.Span(0.1);
    ASSERT_GE(begin, 0.0);
    EXPECT_LT(end - begin, std::min(played + 0.1, 2.5));
    EXPECT_LT(c.Rms(end + 0.01, c.Seconds()), 0.001);
    EXPECT_GT(c.Seconds() - end, 0.3);
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
    // The tone's header announcing sound up to one byte over the limit, which
    // the rest of the file (a hole of zeros) holds.
    std::ifstream in(tone, std::ios::binary);
    std::string header(44, '\0');
    in.read(header.data(), 44);
    ASSERT_EQ(header.substr(36, 4), "data");
    const std::uint32_t size = CSoundEffects::kMaxFileBytes + 2;
    const std::uint32_t riff = size - 8, data = size - 44;
    std::memcpy(header.data() + 4, &riff, 4);
    std::memcpy(header.data() + 40, &data, 4);
    ASSERT_TRUE(MakeLargeFile(File("huge.wav"), header, size));
    // 12 MiB of 8-bit mono at 8 kHz: within the file limit, but some 280 MB
    // once converted for the device.
    std::string lowRate = header;
    const std::uint32_t lowSize = 12u << 20, lowRiff = lowSize - 8, lowData = lowSize - 44;
    const std::uint32_t rate = 8000;
    const std::uint16_t one = 1, bits = 8; // one channel, one byte a frame
    std::memcpy(lowRate.data() + 4, &lowRiff, 4);
    std::memcpy(lowRate.data() + 22, &one, 2);
    std::memcpy(lowRate.data() + 24, &rate, 4);
    std::memcpy(lowRate.data() + 28, &rate, 4);
    std::memcpy(lowRate.data() + 32, &one, 2);
    std::memcpy(lowRate.data() + 34, &bits, 2);
    std::memcpy(lowRate.data() + 40, &lowData, 4);
    ASSERT_TRUE(MakeLargeFile(File("long.wav"), lowRate, lowSize));

    FifoWatchdog watchdog({File("fifo.wav")});
    const Stopwatch since;
    EXPECT_TRUE(CSoundEffects::Play(File("link.wav")));
    for (const char* name : {"fifo.wav", "zero.wav", "huge.wav", "long.wav"})
        EXPECT_FALSE(CSoundEffects::Play(File(name))) << name;
    EXPECT_LT(since.Seconds(), 1.0);
}

TEST_F(SoundEffectsTest, BackslashPathsAndTheCache)
{
    std::filesystem::create_directory(File("sounds"));
    const std::string click = WriteTone("sounds/click.wav", 1000.0, 0.05);
    EXPECT_TRUE(CSoundEffects::Play("sounds\\click.wav"));
    // Once decoded, an effect plays from memory even if its file goes away ...
    std::filesystem::remove(click);
    EXPECT_TRUE(CSoundEffects::Play("sounds\\click.wav"));
    // ... until the cache is dropped.
    CSoundEffects::ClearCache();
    EXPECT_FALSE(CSoundEffects::Play("sounds\\click.wav"));
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
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(WaitUntil([&] { return player.GetPositionMs() >= 400; }));
    ASSERT_TRUE(CSoundEffects::Play(tone));
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
    EXPECT_FALSE(CAudioDevice::Acquire());
    EXPECT_FALSE(CSoundEffects::Play(tone));
    EXPECT_FALSE(CSoundEffects::Play(tone));
    CSoundEffects::Stop();
    CSoundEffects::ClearCache();
    CMidiPlayer player;
    EXPECT_FALSE(player.Open(File("song.mid")));
    EXPECT_FALSE(player.Play());
    EXPECT_EQ(player.m_bOpen, 0);
    EXPECT_EQ(player.GetSeconds(), -1);
    EXPECT_FALSE(CAudioDevice::IsOpen());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("no audio device"), std::string::npos) << err;
}

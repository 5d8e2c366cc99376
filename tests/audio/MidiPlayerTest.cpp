#include "AudioTestSupport.h"

#include "audio/MidiPlayer.h"
#include "tests/support/SpecialFiles.h"

#include <memory>

using namespace audiotest;

namespace {
// A song at 120 beats per minute (960 ticks a second) with one chord on an
// organ, which holds its notes at full strength and lets go quickly: the chord
// sounds from the start for `note` seconds, the song lasts `length` seconds.
bool WriteSong(const std::string& path, double note, double length)
{
    CMidiWriter w(480);
    const int track = w.AddTrack("test");
    w.Tempo(track, 0, 120);
    w.Program(track, 0, 0, 16);
    for (int key : {60, 67})
        w.Note(track, 0, static_cast<std::uint32_t>(note * 960), 0, key, 127);
    w.Control(track, static_cast<std::uint32_t>(length * 960), 0, 7, 100); // marks the end of the song
    return w.Write(path);
}

class MidiPlayerTest : public AudioTest {
protected:
    void SetUp() override
    {
        AudioTest::SetUp();
        m_song = File("song.mid");
        ASSERT_TRUE(WriteSong(m_song, 3.0, 3.0));
    }
    std::string m_song;
};

// Open, playing, device, minutes, seconds.
const auto State = [](const CMidiPlayer& p) {
    return std::vector<int>{p.m_bOpen, p.m_bPlaying, p.m_wDeviceID, p.GetMinutes(), p.GetSeconds()};
};
const std::vector<int> kClosed = {0, 0, 0, -1, -1};
} // namespace

TEST_F(MidiPlayerTest, OnlyAnOpenPlayerPlaysAndOpenRewindsWithoutPlaying)
{
    CMidiPlayer p;
    EXPECT_FALSE(p.Play() || p.Stop() || p.Close() || p.SetPositionMs(1000));
    EXPECT_EQ(State(p), kClosed);

    ASSERT_TRUE(p.Open(m_song));
    EXPECT_EQ(std::tuple(p.m_bOpen, p.m_bPlaying, p.GetSeconds()), std::tuple(1, 0, 0));
    EXPECT_FALSE(p.Open(m_song)); // already open
    // The position does not move while the song is only open.
    EXPECT_FALSE(WaitUntil([&] { return p.GetPositionMs() != 0; }, 0.3));

    ASSERT_TRUE(p.Close());
    EXPECT_EQ(State(p), kClosed);
    EXPECT_TRUE(p.Open(".\\song.mid")); // a relative path with backslashes
}

TEST_F(MidiPlayerTest, MissingOrBrokenSongOrSoundFontFailsSilently)
{
    std::ofstream(File("garbage.mid"), std::ios::binary) << "MThd this is not a song at all";
    CMidiWriter w;
    w.Note(w.AddTrack(), 0, 480, 0, 60, 100);
    const std::vector<std::uint8_t> song = w.Encode();
    ASSERT_TRUE(support::WriteFile(File("cut.mid"), std::vector(song.begin(), song.end() - 6)));
    std::ofstream(File("broken.sf2"), std::ios::binary) << "RIFF....sfbk but nothing else";
    // Not regular files, and a good song padded to one byte more than the
    // player reads (and, further below, to just as much).
    ASSERT_TRUE(support::MakeFifo(File("fifo.mid")));
    ASSERT_EQ(symlink("/dev/zero", File("zero.mid").c_str()), 0);
    const std::string songBytes(song.begin(), song.end());
    ASSERT_TRUE(support::MakeLargeFile(File("huge.mid"), songBytes, CMidiPlayer::kMaxFileBytes + 1));
    ASSERT_TRUE(support::MakeLargeFile(File("big.mid"), songBytes, CMidiPlayer::kMaxFileBytes));
    testing::internal::CaptureStderr();
    CMidiPlayer p;
    for (const char* name :
         {"missing.mid", "garbage.mid", "cut.mid", "", "fifo.mid", "zero.mid", "huge.mid"}) {
        EXPECT_FALSE(p.Open(File(name))) << name;
        EXPECT_EQ(State(p), kClosed) << name;
    }
    for (const char* name : {"missing.sf2", "broken.sf2"}) {
        CMidiSynth::SetSoundFontPath(File(name));
        EXPECT_FALSE(p.Open(m_song)) << name;
        EXPECT_EQ(State(p), kClosed) << name;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // The same song opens with the system's font.
    CMidiSynth::SetSoundFontPath(m_font);
    EXPECT_TRUE(p.Open(m_song) && p.Close() && p.Open(File("big.mid")));
}

TEST_F(MidiPlayerTest, PositionFollowsTheSongWhilePlaying)
{
    UseDiskDriver();
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    KeepFormat();
    const Stopwatch sincePlay;
    ASSERT_TRUE(p.Play() && WaitUntil([&] { return p.GetPositionMs() >= 1500; }));
    const long pos = p.GetPositionMs();
    const double wall = sincePlay.Seconds();
    const int seconds = p.GetSeconds();
    const Capture c = Finish(); // right after the query

    EXPECT_EQ(p.GetMinutes(), 0);
    EXPECT_TRUE(wall >= 1.9 || seconds == 1) << seconds;
    // The disk driver keeps roughly real time, and the position is exactly the
    // time the song has sounded: from its first note to the end of the capture.
    EXPECT_NEAR(pos / 1000.0, wall, 0.3);
    const std::vector<double> loud = c.LoudWindows(0.02, 0.005);
    ASSERT_FALSE(loud.empty()) << "the song wrote no sound";
    EXPECT_NEAR(pos / 1000.0, c.Seconds() - loud.front(), 0.06);
    EXPECT_GT(c.Rms(loud.front() + 0.1, c.Seconds()), 0.03);

    ASSERT_TRUE(p.Stop());
    EXPECT_EQ(p.GetPositionMs(), 0);
}

TEST_F(MidiPlayerTest, CloseOrDestroySilencesThePlayingSong)
{
    UseDiskDriver();
    for (const bool destroy : {false, true}) {
        auto p = std::make_unique<CMidiPlayer>();
        ASSERT_TRUE(p->Open(m_song));
        KeepFormat();
        const Stopwatch sincePlay;
        ASSERT_TRUE(p->Play() && WaitUntil([&] { return p->GetPositionMs() >= 600; }));
        if (destroy)
            p.reset();
        else
            ASSERT_TRUE(p->Close() && State(*p) == kClosed);
        const double played = sincePlay.Seconds();
        Play(0.6);
        const Capture c = Finish();
        // The three-second note ends with the player.
        const auto [begin, end] = c.Span(0.02);
        ASSERT_GE(begin, 0.0) << destroy;
        EXPECT_LT(end - begin, std::min(played + 0.25, 2.5)) << destroy;
        EXPECT_LT(c.Rms(c.Seconds() - 0.3, c.Seconds()), 0.002) << destroy;
    }
}

// A song in SMPTE time, whose tempo events change nothing: a tick is a millisecond at 25 frames of 40 ticks.
// One second of silence, then a second of sound, played once: the player stays at the end, still "playing".
// (The game only opens, plays and closes; Stop and seeking are left untried.)
TEST_F(MidiPlayerTest, SmpteSongSoundsAtItsTimesOnceAndStaysAtTheEnd)
{
    CMidiWriter w = CMidiWriter::Smpte(25, 40);
    const int track = w.AddTrack();
    w.Tempo(track, 0, 240);
    w.Program(track, 0, 0, 16);
    w.Note(track, 1000, 1000, 0, 60, 127);
    w.Note(track, 1000, 1000, 0, 67, 127);
    ASSERT_TRUE(w.Write(m_song));
    UseDiskDriver();
    const Stopwatch sinceOpen;
    CMidiPlayer player;
    ASSERT_TRUE(player.Open(m_song));
    KeepFormat();
    ASSERT_TRUE(player.Play());
    const double beforePlay = sinceOpen.Seconds();
    ASSERT_TRUE(WaitUntil([&] { return player.GetPositionMs() == 2000; }));
    Play(0.3);
    EXPECT_EQ(std::pair(player.GetPositionMs(), player.m_bPlaying), std::pair(2000L, 1));
    const Capture c = Finish();
    // The last sound (a tail of an earlier test's song may open the capture).
    const auto spans = c.Spans(0.02);
    ASSERT_FALSE(spans.empty()) << "the song wrote no sound";
    const auto [begin, end] = spans.back();
    EXPECT_TRUE(begin > 0.9 && begin < beforePlay + 1.3) << begin;
    EXPECT_TRUE(end - begin > 0.8 && end - begin < 1.4) << end - begin;
}

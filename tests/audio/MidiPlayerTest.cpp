#include "AudioTestSupport.h"

#include "audio/MidiPlayer.h"
#include "audio/SoundEffects.h"

#include <chrono>

using namespace audiotest;

namespace {
struct Note {
    double from; // seconds
    double to;
    int key;
};

// A song at 120 beats per minute (960 ticks a second) on an organ, which holds
// its notes at full strength and lets go quickly. The song lasts `length` seconds.
bool WriteSong(const std::string& path, const std::vector<Note>& notes, double length)
{
    CMidiWriter w(480);
    const int track = w.AddTrack("test");
    w.Tempo(track, 0, 120);
    w.Program(track, 0, 0, 16);
    const auto tick = [](double s) { return static_cast<std::uint32_t>(s * 960.0 + 0.5); };
    for (const Note& n : notes) {
        w.Note(track, tick(n.from), tick(n.to) - tick(n.from), 0, n.key, 127);
        w.Note(track, tick(n.from), tick(n.to) - tick(n.from), 0, n.key + 7, 127);
    }
    w.Control(track, tick(length), 0, 7, 100); // marks the end of the song
    return w.Write(path);
}

// Start and end (seconds) of the sound in a capture: first and last loud window.
struct Span {
    double begin = -1.0;
    double end = -1.0;
    double Length() const { return end - begin; }
};
Span Loudness(const Capture& c, double threshold)
{
    const std::vector<double> loud = c.LoudWindows(threshold, 0.01);
    Span s;
    if (!loud.empty()) {
        s.begin = loud.front();
        s.end = loud.back() + 0.01;
    }
    return s;
}

class MidiPlayerTest : public AudioTest {
protected:
    void SetUp() override
    {
        AudioTest::SetUp();
        UseDummyDriver();
        m_song = m_dir.File("song.mid");
        ASSERT_TRUE(WriteSong(m_song, {{0.0, 3.0, 60}}, 3.0));
    }
    std::string m_song;
};

void ExpectClosed(const CMidiPlayer& p)
{
    EXPECT_EQ(p.m_bOpen, 0);
    EXPECT_EQ(p.m_bPlaying, 0);
    EXPECT_EQ(p.m_wDeviceID, 0);
    EXPECT_EQ(p.GetMinutes(), -1);
    EXPECT_EQ(p.GetSeconds(), -1);
}
} // namespace

TEST_F(MidiPlayerTest, ClosedPlayerRefusesEverything)
{
    CMidiPlayer p;
    ExpectClosed(p);
    EXPECT_FALSE(p.Play());
    EXPECT_FALSE(p.Stop());
    EXPECT_FALSE(p.Close());
    EXPECT_FALSE(p.SetPositionMs(1000));
    ExpectClosed(p);
}

TEST_F(MidiPlayerTest, OpenRewindsWithoutPlayingAndRefusesASecondOpen)
{
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    EXPECT_EQ(p.m_bOpen, 1);
    EXPECT_EQ(p.m_bPlaying, 0);
    EXPECT_NE(p.m_wDeviceID, 0);
    EXPECT_EQ(p.GetMinutes(), 0);
    EXPECT_EQ(p.GetSeconds(), 0);

    const std::uint16_t id = p.m_wDeviceID;
    EXPECT_FALSE(p.Open(m_song));
    EXPECT_EQ(p.m_bOpen, 1);
    EXPECT_EQ(p.m_wDeviceID, id);

    // The position does not move while the song is only open.
    SleepMs(300);
    EXPECT_EQ(p.GetPositionMs(), 0);

    ASSERT_TRUE(p.Close());
    ExpectClosed(p);
    ASSERT_TRUE(p.Open(m_song));
    EXPECT_NE(p.m_wDeviceID, 0);
    EXPECT_NE(p.m_wDeviceID, id);
}

TEST_F(MidiPlayerTest, StopNeedsAPlayingSongAndKeepsTheFileOpen)
{
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    EXPECT_FALSE(p.Stop());
    EXPECT_EQ(p.m_bOpen, 1);

    ASSERT_TRUE(p.Play());
    EXPECT_EQ(p.m_bPlaying, 1);
    ASSERT_TRUE(p.Stop());
    EXPECT_EQ(p.m_bOpen, 1);
    EXPECT_EQ(p.m_bPlaying, 0);
    EXPECT_NE(p.m_wDeviceID, 0);
    EXPECT_FALSE(p.Stop());

    ASSERT_TRUE(p.Play());
    ASSERT_TRUE(p.Close());
    ExpectClosed(p);
}

TEST_F(MidiPlayerTest, PathsWithBackslashesOpen)
{
    const std::string sub = m_dir.File("midi");
    std::filesystem::create_directory(sub);
    ASSERT_TRUE(WriteSong(sub + "/zandor.mid", {{0.0, 1.0, 60}}, 1.0));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    CMidiPlayer p;
    const bool opened = p.Open("midi\\zandor.mid");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(opened);
}

TEST_F(MidiPlayerTest, MissingOrBrokenSongFailsSilently)
{
    const std::string garbage = m_dir.File("garbage.mid");
    {
        std::ofstream out(garbage, std::ios::binary);
        out << "MThd this is not a song at all";
    }
    std::vector<std::uint8_t> truncated = [&] {
        CMidiWriter w;
        const int t = w.AddTrack();
        w.Note(t, 0, 480, 0, 60, 100);
        return w.Encode();
    }();
    truncated.resize(truncated.size() - 6);
    const std::string cut = m_dir.File("cut.mid");
    {
        std::ofstream out(cut, std::ios::binary);
        out.write(reinterpret_cast<const char*>(truncated.data()),
                  static_cast<std::streamsize>(truncated.size()));
    }

    testing::internal::CaptureStderr();
    CMidiPlayer p;
    EXPECT_FALSE(p.Open(m_dir.File("missing.mid")));
    ExpectClosed(p);
    EXPECT_FALSE(p.Open(garbage));
    EXPECT_FALSE(p.Open(cut));
    EXPECT_FALSE(p.Open(m_dir.Path().string())); // a folder
    ExpectClosed(p);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(MidiPlayerTest, MissingOrBrokenSoundFontFailsSilently)
{
    const std::string broken = m_dir.File("broken.sf2");
    {
        std::ofstream out(broken, std::ios::binary);
        out << "RIFF....sfbk but nothing else";
    }
    testing::internal::CaptureStderr();
    CMidiPlayer p;
    CMidiSynth::SetSoundFontPath(m_dir.File("missing.sf2"));
    EXPECT_FALSE(p.Open(m_song));
    ExpectClosed(p);
    CMidiSynth::SetSoundFontPath(broken);
    EXPECT_FALSE(p.Open(m_song));
    ExpectClosed(p);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // The same song opens with the system's font.
    CMidiSynth::SetSoundFontPath(m_font);
    EXPECT_TRUE(p.Open(m_song));
}

TEST_F(MidiPlayerTest, PositionFollowsTheSongWhilePlaying)
{
    UseDiskDriver();
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    m_format = QueryFormat();
    const Stopwatch sincePlay;
    ASSERT_TRUE(p.Play());
    SleepMs(1500);
    const long pos = p.GetPositionMs();
    const double wall = sincePlay.Seconds();
    const int seconds = p.GetSeconds();
    const Capture c = Finish(); // right after the query

    EXPECT_EQ(p.GetMinutes(), 0);
    if (wall < 1.9) {
        EXPECT_EQ(seconds, 1);
    }
    // The disk driver keeps roughly real time ...
    EXPECT_NEAR(pos / 1000.0, wall, 0.3);
    // ... and exactly the time the song has sounded: from the first note (the
    // song starts with one) to the end of the capture.
    const std::vector<double> loud = c.LoudWindows(0.02, 0.005);
    ASSERT_FALSE(loud.empty()) << "the song wrote no sound";
    EXPECT_NEAR(pos / 1000.0, c.Seconds() - loud.front(), 0.06);
    EXPECT_GT(c.Peak(), 0.1);
    EXPECT_GT(c.Rms(loud.front() + 0.1, c.Seconds()), 0.03);

    ASSERT_TRUE(p.Stop());
    EXPECT_EQ(p.GetPositionMs(), 0);
}

TEST_F(MidiPlayerTest, PlayAfterStopStartsFromTheBeginning)
{
    UseDiskDriver();
    // A short note at the start, then silence.
    ASSERT_TRUE(WriteSong(m_song, {{0.0, 0.4, 60}}, 4.0));
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    m_format = QueryFormat();
    ASSERT_TRUE(p.Play());
    SleepMs(1200);
    ASSERT_TRUE(p.Stop());
    EXPECT_EQ(p.GetSeconds(), 0);
    ASSERT_TRUE(p.Play());
    EXPECT_LT(p.GetPositionMs(), 200);
    SleepMs(1000);
    EXPECT_EQ(p.GetSeconds(), 0);
    const Capture c = Finish();

    // The opening note sounds twice, once for each Play.
    const std::vector<double> loud = c.LoudWindows(0.02, 0.01);
    ASSERT_FALSE(loud.empty());
    std::vector<double> onsets{loud.front()};
    for (std::size_t i = 1; i < loud.size(); ++i)
        if (loud[i] - loud[i - 1] > 0.2)
            onsets.push_back(loud[i]);
    ASSERT_EQ(onsets.size(), 2u);
    EXPECT_GT(onsets[1] - onsets[0], 0.8);
}

TEST_F(MidiPlayerTest, SongPlaysOnceAndStaysPlaying)
{
    UseDiskDriver();
    ASSERT_TRUE(WriteSong(m_song, {{0.0, 0.3, 60}}, 0.6));
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    m_format = QueryFormat();
    ASSERT_TRUE(p.Play());
    SleepMs(2500);
    EXPECT_EQ(p.m_bPlaying, 1);
    EXPECT_EQ(p.GetPositionMs(), 600); // stays at the end
    const Capture c = Finish();
    const Span span = Loudness(c, 0.02);
    ASSERT_GE(span.begin, 0.0);
    EXPECT_LT(span.Length(), 0.8); // one burst, not repeated
    EXPECT_GT(c.Seconds(), 2.0);
}

TEST_F(MidiPlayerTest, CloseSilencesTheSong)
{
    UseDiskDriver();
    CMidiPlayer p;
    ASSERT_TRUE(p.Open(m_song));
    m_format = QueryFormat();
    const Stopwatch sincePlay;
    ASSERT_TRUE(p.Play());
    SleepMs(600);
    ASSERT_TRUE(p.Close());
    const double played = sincePlay.Seconds();
    SleepMs(800);
    const Capture c = Finish();
    const Span span = Loudness(c, 0.02);
    ASSERT_GE(span.begin, 0.0);
    // The three-second note ends with Close.
    EXPECT_LT(span.Length(), std::min(played + 0.25, 2.5));
    EXPECT_LT(c.Rms(c.Seconds() - 0.4, c.Seconds()), 0.002);
}

TEST_F(MidiPlayerTest, DestroyingAPlayingPlayerSilencesIt)
{
    UseDiskDriver();
    {
        CMidiPlayer p;
        ASSERT_TRUE(p.Open(m_song));
        m_format = QueryFormat();
        ASSERT_TRUE(p.Play());
        SleepMs(300);
    }
    SleepMs(600);
    const Capture c = Finish();
    EXPECT_GT(c.Peak(), 0.1);
    EXPECT_LT(c.Rms(c.Seconds() - 0.3, c.Seconds()), 0.002);
}

TEST_F(MidiPlayerTest, ASecondPlayerTakesOverTheSynthesizer)
{
    CMidiPlayer a;
    CMidiPlayer b;
    ASSERT_TRUE(a.Open(m_song));
    ASSERT_TRUE(b.Open(m_song));
    EXPECT_NE(a.m_wDeviceID, b.m_wDeviceID);
    ASSERT_TRUE(a.Play());
    SleepMs(200);
    ASSERT_TRUE(b.Play());
    const long frozen = a.GetPositionMs();
    SleepMs(300);
    // The first song no longer advances; stopping it leaves the second alone.
    EXPECT_LE(a.GetPositionMs(), frozen + 30);
    EXPECT_TRUE(a.Stop());
    SleepMs(200);
    EXPECT_GT(b.GetPositionMs(), 300);
}

TEST_F(MidiPlayerTest, PlayFromPositionStartsAtTheWholeSecond)
{
    // One second at 60 beats per minute, then 240: silence for three seconds,
    // then two seconds of sound. Seeking by ticks has to follow the tempo.
    CMidiWriter w(480);
    const int track = w.AddTrack();
    w.Tempo(track, 0, 60);
    w.Tempo(track, 480, 240);
    w.Program(track, 0, 0, 16);
    const std::uint32_t at3s = 480 + 2 * 1920;
    const std::uint32_t at5s = 480 + 4 * 1920;
    w.Note(track, at3s, at5s - at3s, 0, 60, 127);
    w.Note(track, at3s, at5s - at3s, 0, 67, 127);
    ASSERT_TRUE(w.Write(m_song));

    UseDiskDriver();
    OpenDevice();
    const Stopwatch sinceOpen;
    CMidiPlayer player;
    ASSERT_TRUE(player.Open(m_song));
    ASSERT_TRUE(player.SetPositionMs(3500));
    EXPECT_EQ(player.GetSeconds(), 3);
    ASSERT_TRUE(player.Play());
    const double beforePlay = sinceOpen.Seconds();
    const long first = player.GetPositionMs();
    EXPECT_GE(first, 3000);
    EXPECT_LT(first, 3200);
    SleepMs(300);
    EXPECT_EQ(player.GetSeconds(), 3);
    SleepMs(2400);
    EXPECT_EQ(player.GetPositionMs(), 5000);
    const Capture c = Finish();
    const Span span = Loudness(c, 0.02);
    ASSERT_GE(span.begin, 0.0) << "the song wrote no sound";
    // From 3.0 s (not 3.5 s, not 0 s) the note sounds for two seconds.
    EXPECT_LT(span.begin, beforePlay + 0.3);
    EXPECT_GT(span.Length(), 1.8);
    EXPECT_LT(span.Length(), 2.4);
}

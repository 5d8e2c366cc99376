// The board's song choice through the real MIDI player (dummy audio driver).
#include "BoardTestEnv.h"

#include "tools/media/MidiWriter.h"

namespace {

// A short song: one track of quarter notes on a piano.
void WriteSong(const std::string& relPath)
{
    std::filesystem::create_directories(std::filesystem::path(relPath).parent_path());
    CMidiWriter w(96);
    const int t = w.AddTrack("piano");
    w.Tempo(t, 0, 120);
    w.Program(t, 0, 0, 0);
    for (std::uint32_t i = 0; i < 16; ++i)
        w.Note(t, i * 96, 90, 0, static_cast<int>(60 + i % 8), 100);
    ASSERT_TRUE(w.Write(relPath));
}

class PlaySongTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        for (const char* name : {"openplains", "zandor", "SunnyDays", "EveningGlow", "risingcrown"})
            WriteSong(std::string("midi/") + name + ".mid");
    }
};

} // namespace

TEST_F(PlaySongTest, MusicOffOpensTheSongAndMusicOnReopensAndPlaysIt)
{
    CPuzzleBoard board;
    g_bMidi = 0;
    board.PlaySong(3);
    EXPECT_EQ(board.m_midi.m_bOpen, 1);
    EXPECT_EQ(board.m_midi.m_bPlaying, 0);
    EXPECT_EQ(board.m_midi.GetSeconds(), 0);
    const auto firstId = board.m_midi.m_wDeviceID;
    g_bMidi = 1;
    board.PlaySong(3);
    EXPECT_EQ(board.m_midi.m_bPlaying, 1);
    EXPECT_NE(board.m_midi.m_wDeviceID, 0);
    EXPECT_NE(board.m_midi.m_wDeviceID, firstId); // closed and opened again
    EXPECT_EQ(board.m_midi.GetMinutes(), 0);
}

TEST_F(PlaySongTest, SongZeroUnknownNumbersAndMissingFilesLeaveThePlayerClosed)
{
    std::filesystem::remove("midi/risingcrown.mid");
    CPuzzleBoard board;
    g_bMidi = 1;
    for (int song : {0, 6, 5}) { // 5 is the missing file
        board.PlaySong(2);
        ASSERT_EQ(board.m_midi.m_bPlaying, 1);
        board.PlaySong(song);
        EXPECT_EQ(board.m_midi.m_bOpen, 0) << song;
        EXPECT_EQ(board.m_midi.m_bPlaying, 0) << song;
        EXPECT_EQ(board.m_midi.GetSeconds(), -1) << song;
    }
}

TEST_F(PlaySongTest, DestroyingTheBoardClosesTheSong)
{
    g_bMidi = 1;
    {
        CPuzzleBoard board;
        board.PlaySong(1);
        ASSERT_EQ(board.m_midi.m_bPlaying, 1);
    }
    // A new board can open the same file at once: nothing was left holding it.
    CPuzzleBoard again;
    again.PlaySong(1);
    EXPECT_EQ(again.m_midi.m_bPlaying, 1);
}

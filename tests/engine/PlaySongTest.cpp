// The board's song choice through the real MIDI player (dummy audio driver).
#include "BoardTestEnv.h"

#include "support/Songs.h"

namespace {

class PlaySongTest : public BoardFilesTest {
protected:
    void SetUp() override
    {
        BoardFilesTest::SetUp();
        for (const char* name : {"openplains", "zandor", "SunnyDays", "EveningGlow", "risingcrown"})
            ASSERT_TRUE(support::WriteTune(std::string("midi/") + name + ".mid"));
    }
};

} // namespace

TEST_F(PlaySongTest, SongZeroUnknownNumbersAndMissingFilesLeaveThePlayerClosed)
{
    std::filesystem::remove("midi/risingcrown.mid");
    CPuzzleBoard board;
    g_bMidi = 1;
    for (int song : {0, 6, 5}) { // 5 is the missing file
        board.PlaySong(2);
        ASSERT_EQ(board.m_midi.m_bPlaying, 1);
        board.PlaySong(song);
        EXPECT_EQ(std::tuple(board.m_midi.m_bOpen, board.m_midi.m_bPlaying, board.m_midi.GetSeconds()),
                  std::tuple(0, 0, -1))
            << song;
    }
}

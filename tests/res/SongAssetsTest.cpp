// The game's five songs: each opens in the game's MIDI player, lasts a while, and sounds through the mixer.
#include "AssetFiles.h"

#include "audio/MidiPlayer.h"
#include "audio/MidiTempoMap.h"
#include "support/DiskAudio.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

TEST(Songs, SoundThroughTheMixer)
{
    const std::string capture = std::string(ZANDOR_TEST_RUN_DIR) + "/../song-test-audio.raw";
    for (const char* file : {"midi/openplains.mid", "midi/zandor.mid", "midi/SunnyDays.mid",
                             "midi/EveningGlow.mid", "midi/risingcrown.mid"}) {
        SCOPED_TRACE(file);
        CMidiTempoMap map;
        ASSERT_TRUE(map.Parse(support::ReadBytes(RunPath(file))));
        EXPECT_GE(map.LengthMs(), 60000.0);

        support::DiskAudio disk(capture);
        CMidiPlayer player;
        ASSERT_TRUE(player.Open(RunPath(file)));
        disk.KeepFormat();
        ASSERT_TRUE(player.Play() && support::WaitUntil([&] { return player.GetPositionMs() >= 500; }));
        const support::Capture c = disk.Finish();
        EXPECT_GT(c.Seconds(), 0.45);
        EXPECT_GT(c.Rms(0, c.Seconds()), 0.006); // clearly audible, not silence or hiss
    }
    std::filesystem::remove(capture);
}

// The song writer the generator and the tests use: its sound files are read
// back by the asset tests and played by the audio tests.
#include "tools/media/MidiWriter.h"

#include <gtest/gtest.h>

namespace {
const auto Be32 = [](const std::vector<std::uint8_t>& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
};
} // namespace

TEST(MidiWriter, TracksSortedWithDeltaTimesAndEndMarks)
{
    CMidiWriter w(96);
    const int conductor = w.AddTrack(), melody = w.AddTrack();
    w.Tempo(conductor, 0, 120);
    w.Note(melody, 96, 48, 0, 60, 100); // added out of order on purpose
    w.Note(melody, 0, 96, 0, 64, 90);
    const auto b = w.Encode();
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MThd");
    EXPECT_EQ((std::vector{b[9], b[11], b[13]}),
              (std::vector<std::uint8_t>{1, 2, 96})); // format 1, two tracks
    // Conductor track: tempo 500000 us per quarter, then end of track.
    const std::size_t t1 = 14;
    ASSERT_EQ(std::string(b.begin() + t1, b.begin() + t1 + 4), "MTrk");
    const std::vector<std::uint8_t> tempo{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00};
    ASSERT_EQ(Be32(b, t1 + 4), tempo.size());
    EXPECT_TRUE(std::equal(tempo.begin(), tempo.end(), b.begin() + t1 + 8));
    // Melody: on 64 at 0, off 64 before on 60 at 96, off 60 at 144.
    const std::size_t t2 = t1 + 8 + tempo.size();
    const std::vector<std::uint8_t> notes{0x00, 0x90, 64,   90,   0x60, 0x80, 64,   0,    0x00, 0x90,
                                          60,   100,  0x30, 0x80, 60,   0,    0x00, 0xFF, 0x2F, 0x00};
    ASSERT_EQ(Be32(b, t2 + 4), notes.size());
    EXPECT_TRUE(std::equal(notes.begin(), notes.end(), b.begin() + t2 + 8));
    EXPECT_EQ(w.LastTick(), 144u);
}

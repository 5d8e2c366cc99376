#include "audio/MidiTempoMap.h"
#include "tools/media/MidiWriter.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::uint8_t> Header(int format, int tracks, int division)
{
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<std::uint8_t>(format),
            0,
            static_cast<std::uint8_t>(tracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division & 0xFF)};
}
void AddTrack(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& body)
{
    const std::uint32_t n = static_cast<std::uint32_t>(body.size());
    file.insert(file.end(),
                {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                 static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    file.insert(file.end(), body.begin(), body.end());
}
} // namespace

TEST(MidiTempoMap, WithoutTempoEventsItRunsAt120BeatsPerMinute)
{
    CMidiWriter w(96);
    w.Note(w.AddTrack(), 0, 192, 0, 60, 100);
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(w.Encode()));
    EXPECT_EQ(map.Division(), 96);
    EXPECT_EQ(map.LengthTicks(), 192u);
    EXPECT_DOUBLE_EQ(map.LengthMs(), 1000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(96), 500.0);
    EXPECT_EQ(map.MsToTick(500.0), 96u);
    EXPECT_EQ(map.MsToTick(0.0), 0u);
    EXPECT_EQ(map.MsToTick(-5.0), 0u);
}

TEST(MidiTempoMap, TempoChangesInAnyTrackShapeTheTimeLine)
{
    CMidiWriter w(480);
    const int conductor = w.AddTrack("conductor");
    const int melody = w.AddTrack("melody");
    w.Tempo(conductor, 0, 120);   // 1000 ms per 960 ticks
    w.Tempo(conductor, 1920, 60); // from 2 s: 1000 ms per 480 ticks
    w.Tempo(melody, 2880, 240);   // from 4 s: 1000 ms per 1920 ticks
    w.Note(melody, 0, 4800, 0, 60, 100);
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(w.Encode()));
    EXPECT_DOUBLE_EQ(map.TickToMs(960), 1000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(1920), 2000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(2400), 3000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(2880), 4000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(4800), 5000.0);
    EXPECT_DOUBLE_EQ(map.LengthMs(), 5000.0);

    EXPECT_EQ(map.MsToTick(1000.0), 960u);
    EXPECT_EQ(map.MsToTick(3000.0), 2400u);
    EXPECT_EQ(map.MsToTick(4500.0), 3840u);
    // Every tick maps back onto itself; a millisecond later is never earlier.
    for (std::uint32_t tick = 0; tick <= 4800; tick += 7) {
        EXPECT_EQ(map.MsToTick(map.TickToMs(tick)), tick);
        EXPECT_GE(map.MsToTick(map.TickToMs(tick) + 1.0), tick);
    }
}

TEST(MidiTempoMap, ReadsRunningStatusSysExAndUnknownChunks)
{
    std::vector<std::uint8_t> file = Header(0, 1, 100);
    // An unknown chunk before the track is skipped.
    file.insert(file.end(), {'X', 'y', 'z', 'w', 0, 0, 0, 2, 0xAA, 0xBB});
    AddTrack(file, {
                       0x00, 0x90, 60,   100,                    // note on
                       0x32, 62,   100,                          // running status, 50 ticks later
                       0x00, 0xC0, 5,                            // program change: one data byte
                       0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,       // system exclusive
                       0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // 1 000 000 us per quarter
                       0x81, 0x00, 0x80, 60,   0,                // 128 ticks later
                       0x00, 0xFF, 0x2F, 0x00,                   // end of track at tick 178
                   });
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(file));
    EXPECT_EQ(map.LengthTicks(), 178u);
    EXPECT_DOUBLE_EQ(map.TickToMs(50), 250.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(150), 1250.0);
}

TEST(MidiTempoMap, RefusesWhatIsNotAStandardMidiFile)
{
    CMidiWriter w;
    w.Note(w.AddTrack(), 0, 480, 0, 60, 100);
    const std::vector<std::uint8_t> good = w.Encode();
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(good));

    EXPECT_FALSE(map.Parse(std::vector<std::uint8_t>{}));
    EXPECT_FALSE(map.IsValid());
    std::vector<std::uint8_t> bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(map.Parse(bad));
    for (std::size_t cut : {10u, 14u, 20u, 24u}) {
        bad.assign(good.begin(), good.end() - static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(map.Parse(bad)) << "cut " << cut;
    }
    bad = good;
    bad[12] = 0xE7; // SMPTE time division
    EXPECT_FALSE(map.Parse(bad));
    bad = good;
    bad[12] = bad[13] = 0; // no ticks per quarter
    EXPECT_FALSE(map.Parse(bad));

    std::vector<std::uint8_t> noTrack = Header(0, 1, 96);
    EXPECT_FALSE(map.Parse(noTrack));
    std::vector<std::uint8_t> dataWithoutStatus = Header(0, 1, 96);
    AddTrack(dataWithoutStatus, {0x00, 60, 100});
    EXPECT_FALSE(map.Parse(dataWithoutStatus));
    std::vector<std::uint8_t> endlessDelta = Header(0, 1, 96);
    AddTrack(endlessDelta, {0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_FALSE(map.Parse(endlessDelta));
    EXPECT_FALSE(map.IsValid());
}

#include "audio/MidiTempoMap.h"
#include "tools/media/MidiWriter.h"

#include <gtest/gtest.h>

namespace {
using Bytes = std::vector<std::uint8_t>;

// A file of format 0 with one track holding `body`; `before` goes between the header and the track.
Bytes OneTrackFile(const Bytes& body, int division, const Bytes& before = {})
{
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    file.push_back(static_cast<std::uint8_t>(division >> 8));
    file.push_back(static_cast<std::uint8_t>(division & 0xFF));
    file.insert(file.end(), before.begin(), before.end());
    const auto n = static_cast<std::uint32_t>(body.size());
    file.insert(file.end(),
                {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                 static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}
} // namespace

TEST(MidiTempoMap, TempoChangesInAnyTrackShapeTheTimeLineAndOtherEventsAreReadPast)
{
    CMidiWriter w(480);
    const int conductor = w.AddTrack("conductor"), melody = w.AddTrack("melody");
    w.Tempo(conductor, 0, 120);   // 1000 ms per 960 ticks
    w.Tempo(conductor, 1920, 60); // from 2 s: 1000 ms per 480 ticks
    w.Tempo(melody, 2880, 240);   // from 4 s: 1000 ms per 1920 ticks
    w.Note(melody, 0, 4800, 0, 60, 100);
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(w.Encode()));
    const std::pair<std::uint32_t, double> points[] = {{960, 1000},  {1920, 2000}, {2400, 3000},
                                                       {2880, 4000}, {3840, 4500}, {4800, 5000}};
    for (const auto& [tick, ms] : points) {
        EXPECT_DOUBLE_EQ(map.TickToMs(tick), ms);
        EXPECT_EQ(map.MsToTick(ms), tick);
    }
    EXPECT_DOUBLE_EQ(map.LengthMs(), 5000.0);
    // Every tick maps back onto itself; a millisecond later is never earlier.
    for (std::uint32_t tick = 0; tick <= 4800; tick += 7) {
        EXPECT_EQ(map.MsToTick(map.TickToMs(tick)), tick);
        EXPECT_GE(map.MsToTick(map.TickToMs(tick) + 1.0), tick);
    }

    // Running status, system exclusive and unknown chunks are read past.
    const Bytes file = OneTrackFile({0x00, 0x90, 60,   100,              // note on
                                     0x32, 62,   100,                    // running status, 50 ticks later
                                     0x00, 0xC0, 5,                      // program change: one data byte
                                     0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, // system exclusive
                                     0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // 1 000 000 us per quarter
                                     0x81, 0x00, 0x80, 60,   0,                // 128 ticks later
                                     0x00, 0xFF, 0x2F, 0x00},                  // end of track at tick 178
                                    100, {'X', 'y', 'z', 'w', 0, 0, 0, 2, 0xAA, 0xBB}); // an unknown chunk
    CMidiTempoMap raw;
    ASSERT_TRUE(raw.Parse(file));
    EXPECT_EQ(raw.LengthTicks(), 178u);
    EXPECT_DOUBLE_EQ(raw.TickToMs(50), 250.0);
    EXPECT_DOUBLE_EQ(raw.TickToMs(150), 1250.0);
}

TEST(MidiTempoMap, RunsAt120BeatsPerMinuteWithoutTempoEventsAndRefusesWhatIsNoMidiFile)
{
    CMidiWriter w(96);
    w.Note(w.AddTrack(), 0, 192, 0, 60, 100);
    const Bytes good = w.Encode();
    CMidiTempoMap map;
    ASSERT_TRUE(map.Parse(good));
    EXPECT_EQ(std::tuple(map.Division(), map.LengthTicks(), map.MsToTick(500.0), map.MsToTick(-5.0)),
              std::tuple(96, 192u, 96u, 0u));
    EXPECT_DOUBLE_EQ(map.LengthMs(), 1000.0);
    EXPECT_DOUBLE_EQ(map.TickToMs(96), 500.0);

    // `good` with the bytes from `at` on replaced.
    const auto changed = [&good](std::size_t at, Bytes bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    std::vector<std::pair<std::string, Bytes>> bad = {
        {"empty", {}},
        {"no MThd", changed(0, {'X'})},
        {"SMPTE time at -23 frames a second, which is none", changed(12, {0xE9})},
        {"25 frames of no ticks", changed(12, {0xE7, 0})},
        {"no ticks per quarter", changed(12, {0, 0})},
        {"the header without its track", Bytes(good.begin(), good.begin() + 14)},
        {"data without a status", OneTrackFile({0x00, 60, 100}, 96)},
        {"an endless delta time", OneTrackFile({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 96)}};
    for (std::ptrdiff_t cut : {10, 14, 20, 24})
        bad.emplace_back("cut " + std::to_string(cut), Bytes(good.begin(), good.end() - cut));
    for (const auto& [what, bytes] : bad) {
        EXPECT_FALSE(map.Parse(bytes)) << what;
        EXPECT_FALSE(map.IsValid()) << what;
    }
}

// In SMPTE time a tick lasts 1 / (frames per second * ticks per frame) seconds, whatever tempo events say; 29
// stands for 29.97 frames. Told in ticks per quarter for the synthesizer, the song keeps every time.
TEST(MidiTempoMap, SmpteTicksHaveOneLength)
{
    struct Case {
        int fps, ticksPerFrame;
        double msPerTick;
    } const cases[] = {{25, 40, 1.0}, {24, 10, 1000.0 / 240}, {30, 80, 1000.0 / 2400}, {29, 4, 1001.0 / 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fps);
        CMidiWriter w = CMidiWriter::Smpte(c.fps, c.ticksPerFrame);
        const int conductor = w.AddTrack("conductor"), melody = w.AddTrack("melody");
        w.Tempo(conductor, 0, 60);
        w.Tempo(conductor, 1000, 240);
        w.Tempo(melody, 2000, 33);
        w.Note(melody, 0, 3000, 0, 60, 100);
        const Bytes song = w.Encode();
        CMidiTempoMap map;
        ASSERT_TRUE(map.Parse(song));
        EXPECT_EQ(std::tuple(map.IsSmpte(), map.FramesPerSecond(), map.LengthTicks()),
                  std::tuple(true, c.fps, 3000u));
        CMidiTempoMap metrical;
        ASSERT_TRUE(metrical.Parse(map.MetricalSong(song)));
        EXPECT_EQ(std::pair(metrical.IsSmpte(), metrical.LengthTicks()), std::pair(false, 3000u));
        for (std::uint32_t tick = 0; tick <= 3000; tick += 125) {
            EXPECT_NEAR(map.TickToMs(tick), tick * c.msPerTick, 1e-9) << tick;
            EXPECT_EQ(map.MsToTick(map.TickToMs(tick)), tick);
            EXPECT_NEAR(metrical.TickToMs(tick), map.TickToMs(tick), 1e-9) << tick;
        }
    }
}

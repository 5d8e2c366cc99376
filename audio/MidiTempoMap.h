#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The time line of a Standard MIDI File: reads the header, walks every track
// for its tempo changes and its end, and converts between ticks and
// milliseconds. Both kinds of time division are read: ticks per quarter note,
// whose length the tempo events set, and SMPTE time (frames per second and
// ticks per frame), where a tick has a fixed length and tempo events change
// nothing.
class CMidiTempoMap {
public:
    // False (and an empty map) when the bytes are not a Standard MIDI File.
    bool Parse(const std::uint8_t* data, std::size_t size);
    bool Parse(const std::vector<std::uint8_t>& bytes) { return Parse(bytes.data(), bytes.size()); }

    bool IsValid() const { return m_nDivision > 0; }
    // Ticks per quarter note; for SMPTE time, ticks per second (at 29.97
    // frames a second, ticks per 1.001 seconds).
    int Division() const { return m_nDivision; }
    bool IsSmpte() const { return m_nFramesPerSecond != 0; }
    // 24, 25, 29 (for 29.97) or 30 in SMPTE time; 0 for ticks per quarter.
    int FramesPerSecond() const { return m_nFramesPerSecond; }
    std::uint32_t LengthTicks() const { return m_nLength; } // tick of the last end of track
    double LengthMs() const { return TickToMs(m_nLength); }

    double TickToMs(std::uint32_t tick) const;
    // The last tick that starts at or before `ms`.
    std::uint32_t MsToTick(double ms) const;

    // The parsed song (`bytes` as given to Parse) with its SMPTE time told in
    // ticks per quarter note: Division() ticks per quarter, one tempo that
    // makes a quarter last one second (1.001 at 29.97 frames) set at the start
    // and written over every tempo event. Ticks and times stay the same, so a
    // player that knows only ticks per quarter plays it right. A song with
    // ticks per quarter comes back as it is.
    std::vector<std::uint8_t> MetricalSong(const std::vector<std::uint8_t>& bytes) const;

private:
    struct Segment {
        std::uint32_t tick; // where this tempo starts
        double ms;          // the same point in milliseconds
        std::uint32_t usPerQuarter;
    };
    bool ParseTrack(const std::uint8_t* begin, const std::uint8_t* p, const std::uint8_t* end);

    int m_nDivision = 0;
    int m_nFramesPerSecond = 0;
    std::uint32_t m_nSmpteTempo = 0;         // microseconds per Division() ticks, for SMPTE time
    std::size_t m_nFirstTrack = 0;           // byte offset of the first track chunk
    std::vector<std::size_t> m_tempoOffsets; // byte offsets of the three value bytes of tempo events
    std::uint32_t m_nLength = 0;
    std::vector<Segment> m_segments; // sorted by tick, the first at tick 0
};

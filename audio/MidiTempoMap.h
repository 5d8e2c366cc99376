#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The time line of a Standard MIDI File: reads the header, walks every track
// for its tempo changes and its end, and converts between ticks and
// milliseconds. Files with SMPTE time division are refused, like anything that
// is not a well-formed file.
class CMidiTempoMap {
public:
    // False (and an empty map) when the bytes are not a Standard MIDI File.
    bool Parse(const std::uint8_t* data, std::size_t size);
    bool Parse(const std::vector<std::uint8_t>& bytes) { return Parse(bytes.data(), bytes.size()); }

    bool IsValid() const { return m_nDivision > 0; }
    int Division() const { return m_nDivision; }            // ticks per quarter note
    std::uint32_t LengthTicks() const { return m_nLength; } // tick of the last end of track
    double LengthMs() const { return TickToMs(m_nLength); }

    double TickToMs(std::uint32_t tick) const;
    // The last tick that starts at or before `ms`.
    std::uint32_t MsToTick(double ms) const;

private:
    struct Segment {
        std::uint32_t tick; // where this tempo starts
        double ms;          // the same point in milliseconds
        std::uint32_t usPerQuarter;
    };
    bool ParseTrack(const std::uint8_t* p, const std::uint8_t* end);

    int m_nDivision = 0;
    std::uint32_t m_nLength = 0;
    std::vector<Segment> m_segments; // sorted by tick, the first at tick 0
};

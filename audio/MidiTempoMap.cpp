#include "audio/MidiTempoMap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {
constexpr std::uint32_t kDefaultTempo = 500000; // 120 beats per minute

std::uint32_t ReadBE(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// A variable-length quantity of at most four bytes; false when it runs past `end`.
bool ReadVarLen(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const std::uint8_t b = *p++;
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

struct TempoEvent {
    std::uint32_t tick;
    std::uint32_t usPerQuarter;
};
} // namespace

bool CMidiTempoMap::Parse(const std::uint8_t* data, std::size_t size)
{
    m_nDivision = 0;
    m_nFramesPerSecond = 0;
    m_nSmpteTempo = 0;
    m_nFirstTrack = 0;
    m_nLength = 0;
    m_segments.clear();
    m_tempoOffsets.clear();

    const std::uint8_t* p = data;
    const std::uint8_t* const end = data + size;
    if (size < 14 || std::memcmp(p, "MThd", 4) != 0)
        return false;
    const std::uint32_t headerLength = ReadBE(p + 4, 4);
    if (headerLength < 6 || headerLength > size - 8)
        return false;
    std::uint32_t division = ReadBE(p + 12, 2);
    const int tracks = static_cast<int>(ReadBE(p + 10, 2));
    if (division == 0 || tracks == 0)
        return false;
    int framesPerSecond = 0;
    std::uint32_t smpteTempo = 0;
    if (division & 0x8000) {
        // SMPTE time: the negative frame rate, then ticks per frame. As ticks
        // per quarter note: a second's ticks to a quarter of one second
        // (29 stands for 29.97 frames: a quarter of 1.001 seconds).
        framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        const std::uint32_t ticksPerFrame = division & 0xFF;
        if ((framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 &&
             framesPerSecond != 30) ||
            ticksPerFrame == 0)
            return false;
        const std::uint32_t nominal =
            framesPerSecond == 29 ? 30 : static_cast<std::uint32_t>(framesPerSecond);
        division = nominal * ticksPerFrame;
        smpteTempo = framesPerSecond == 29 ? 1001000 : 1000000;
    }
    p += 8 + headerLength;

    // Tempo events are collected in m_segments first and turned into the time line below.
    int found = 0;
    while (found < tracks && end - p >= 8) {
        const std::uint32_t length = ReadBE(p + 4, 4);
        const bool isTrack = std::memcmp(p, "MTrk", 4) == 0;
        p += 8;
        if (length > static_cast<std::size_t>(end - p))
            return false;
        if (isTrack) {
            if (found == 0)
                m_nFirstTrack = static_cast<std::size_t>(p - 8 - data);
            if (!ParseTrack(data, p, p + length))
                return false;
            ++found;
        }
        p += length; // chunks of other types are skipped
    }
    if (found == 0) {
        m_segments.clear();
        m_tempoOffsets.clear();
        m_nLength = 0;
        return false;
    }
    if (framesPerSecond != 0) {
        // Every tick lasts the same; tempo events change nothing.
        m_segments.assign(1, {0, 0.0, smpteTempo});
        m_nDivision = static_cast<int>(division);
        m_nFramesPerSecond = framesPerSecond;
        m_nSmpteTempo = smpteTempo;
        return true;
    }

    // Tempo changes of all tracks form one time line; at the same tick the one
    // read last wins.
    std::stable_sort(m_segments.begin(), m_segments.end(),
                     [](const Segment& a, const Segment& b) { return a.tick < b.tick; });
    std::vector<Segment> line{{0, 0.0, kDefaultTempo}};
    for (const Segment& s : m_segments) {
        if (s.tick == line.back().tick) {
            line.back().usPerQuarter = s.usPerQuarter;
            continue;
        }
        const Segment& last = line.back();
        const double ms = last.ms + static_cast<double>(s.tick - last.tick) * last.usPerQuarter /
                                        static_cast<double>(division) / 1000.0;
        line.push_back({s.tick, ms, s.usPerQuarter});
    }
    m_segments = std::move(line);
    m_nDivision = static_cast<int>(division);
    return true;
}

bool CMidiTempoMap::ParseTrack(const std::uint8_t* begin, const std::uint8_t* p, const std::uint8_t* end)
{
    std::uint32_t tick = 0;
    std::uint8_t status = 0;
    while (p < end) {
        std::uint32_t delta = 0;
        if (!ReadVarLen(p, end, delta))
            return false;
        tick += delta;
        if (p >= end)
            return false;

        std::uint8_t b = *p;
        if (b & 0x80) {
            status = b;
            ++p;
        } else if (status == 0 || status >= 0xF0) {
            return false; // data byte without a running channel status
        }

        if (status == 0xFF) {
            if (p >= end)
                return false;
            const std::uint8_t type = *p++;
            std::uint32_t length = 0;
            if (!ReadVarLen(p, end, length) || length > static_cast<std::size_t>(end - p))
                return false;
            if (type == 0x51 && length == 3) {
                m_tempoOffsets.push_back(static_cast<std::size_t>(p - begin));
                const std::uint32_t tempo = ReadBE(p, 3);
                if (tempo > 0)
                    m_segments.push_back({tick, 0.0, tempo});
            }
            p += length;
            status = 0; // meta events cancel running status
            if (type == 0x2F) {
                m_nLength = std::max(m_nLength, tick);
                return true;
            }
        } else if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!ReadVarLen(p, end, length) || length > static_cast<std::size_t>(end - p))
                return false;
            p += length;
            status = 0;
        } else {
            const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - p < dataBytes)
                return false;
            p += dataBytes;
        }
        m_nLength = std::max(m_nLength, tick);
    }
    return true; // a track without an end-of-track event ends with its data
}

double CMidiTempoMap::TickToMs(std::uint32_t tick) const
{
    if (m_segments.empty() || m_nDivision <= 0)
        return 0.0;
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), tick,
                               [](std::uint32_t t, const Segment& s) { return t < s.tick; });
    const Segment& s = *(it - 1);
    return s.ms + static_cast<double>(tick - s.tick) * s.usPerQuarter / m_nDivision / 1000.0;
}

std::uint32_t CMidiTempoMap::MsToTick(double ms) const
{
    if (m_segments.empty() || m_nDivision <= 0 || !(ms > 0.0))
        return 0;
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), ms,
                               [](double m, const Segment& s) { return m < s.ms; });
    const Segment& s = *(it - 1);
    const double ticks = s.tick + (ms - s.ms) * 1000.0 * m_nDivision / s.usPerQuarter;
    if (ticks >= 4294967295.0)
        return 0xFFFFFFFFu;
    // A hair of tolerance so that a tick's own time maps back to that tick.
    return static_cast<std::uint32_t>(std::floor(ticks + 1e-6));
}

std::vector<std::uint8_t> CMidiTempoMap::MetricalSong(const std::vector<std::uint8_t>& bytes) const
{
    if (!IsSmpte() || bytes.size() < m_nFirstTrack + 8)
        return bytes;
    std::vector<std::uint8_t> song = bytes;
    const auto putBE = [&song](std::size_t at, std::uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i, v >>= 8)
            song[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v & 0xFF);
    };
    putBE(12, static_cast<std::uint32_t>(m_nDivision), 2);
    for (const std::size_t at : m_tempoOffsets) {
        if (at + 3 <= song.size())
            putBE(at, m_nSmpteTempo, 3);
    }
    // The tempo from the first tick on: an event before the first track's
    // first event, which keeps its own delta time after it.
    const std::uint8_t tempo[7] = {0x00,
                                   0xFF,
                                   0x51,
                                   0x03,
                                   static_cast<std::uint8_t>(m_nSmpteTempo >> 16),
                                   static_cast<std::uint8_t>(m_nSmpteTempo >> 8),
                                   static_cast<std::uint8_t>(m_nSmpteTempo)};
    const std::size_t track = m_nFirstTrack;
    putBE(track + 4, ReadBE(song.data() + track + 4, 4) + sizeof tempo, 4);
    song.insert(song.begin() + static_cast<std::ptrdiff_t>(track + 8), std::begin(tempo), std::end(tempo));
    return song;
}

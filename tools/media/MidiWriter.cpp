#include "tools/media/MidiWriter.h"

#include <algorithm>
#include <fstream>

namespace {
void PutBE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    std::uint8_t buf[5];
    int n = 0;
    buf[n++] = static_cast<std::uint8_t>(v & 0x7F);
    while (v >>= 7)
        buf[n++] = static_cast<std::uint8_t>((v & 0x7F) | 0x80);
    while (n > 0)
        out.push_back(buf[--n]);
}
std::uint8_t Clamp7(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 127));
}
} // namespace

CMidiWriter::CMidiWriter(int ticksPerQuarter) : m_ticksPerQuarter(ticksPerQuarter)
{
}

CMidiWriter CMidiWriter::Smpte(int framesPerSecond, int ticksPerFrame)
{
    CMidiWriter w(ticksPerFrame);
    w.m_framesPerSecond = framesPerSecond;
    return w;
}

int CMidiWriter::AddTrack(const std::string& name)
{
    m_tracks.push_back(Track{name, {}});
    return static_cast<int>(m_tracks.size()) - 1;
}

void CMidiWriter::Add(int track, std::uint32_t tick, int order, std::vector<std::uint8_t> bytes)
{
    m_tracks.at(static_cast<std::size_t>(track)).events.push_back(Event{tick, order, std::move(bytes)});
}

void CMidiWriter::Tempo(int track, std::uint32_t tick, int bpm)
{
    const std::uint32_t usPerQuarter = 60000000u / static_cast<std::uint32_t>(std::max(bpm, 1));
    std::vector<std::uint8_t> b{0xFF, 0x51, 0x03};
    PutBE(b, usPerQuarter, 3);
    Add(track, tick, 0, std::move(b));
}

void CMidiWriter::TimeSignature(int track, std::uint32_t tick, int numerator, int denominatorPow2)
{
    Add(track, tick, 0, {0xFF, 0x58, 0x04, Clamp7(numerator), Clamp7(denominatorPow2), 24, 8});
}

void CMidiWriter::Program(int track, std::uint32_t tick, int channel, int program)
{
    Add(track, tick, 1, {static_cast<std::uint8_t>(0xC0 | (channel & 0x0F)), Clamp7(program)});
}

void CMidiWriter::Control(int track, std::uint32_t tick, int channel, int controller, int value)
{
    Add(track, tick, 1,
        {static_cast<std::uint8_t>(0xB0 | (channel & 0x0F)), Clamp7(controller), Clamp7(value)});
}

void CMidiWriter::Note(int track, std::uint32_t tick, std::uint32_t length, int channel, int key,
                       int velocity)
{
    const std::uint8_t ch = static_cast<std::uint8_t>(channel & 0x0F);
    Add(track, tick, 3, {static_cast<std::uint8_t>(0x90 | ch), Clamp7(key), Clamp7(std::max(velocity, 1))});
    Add(track, tick + std::max<std::uint32_t>(length, 1), 2,
        {static_cast<std::uint8_t>(0x80 | ch), Clamp7(key), 0});
}

std::uint32_t CMidiWriter::LastTick() const
{
    std::uint32_t last = 0;
    for (const Track& t : m_tracks)
        for (const Event& e : t.events)
            last = std::max(last, e.tick);
    return last;
}

std::vector<std::uint8_t> CMidiWriter::Encode() const
{
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    PutBE(out, m_tracks.size() > 1 ? 1 : 0, 2);
    PutBE(out, static_cast<std::uint32_t>(m_tracks.size()), 2);
    if (m_framesPerSecond != 0) {
        out.push_back(static_cast<std::uint8_t>(-m_framesPerSecond));
        out.push_back(static_cast<std::uint8_t>(m_ticksPerQuarter));
    } else {
        PutBE(out, static_cast<std::uint32_t>(m_ticksPerQuarter), 2);
    }
    for (const Track& t : m_tracks) {
        std::vector<Event> events = t.events;
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<std::uint8_t> body;
        if (!t.name.empty()) {
            body.push_back(0);
            body.insert(body.end(), {0xFF, 0x03});
            PutVarLen(body, static_cast<std::uint32_t>(t.name.size()));
            body.insert(body.end(), t.name.begin(), t.name.end());
        }
        std::uint32_t now = 0;
        for (const Event& e : events) {
            PutVarLen(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBE(out, static_cast<std::uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

bool CMidiWriter::Write(const std::string& path) const
{
    const std::vector<std::uint8_t> bytes = Encode();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds Standard MIDI Files. Events are added with absolute tick times per track;
// Encode sorts each track by time (note-offs before note-ons at the same tick),
// writes delta times and closes each track with an end-of-track meta event.
class CMidiWriter {
public:
    explicit CMidiWriter(int ticksPerQuarter = 480);
    // SMPTE time instead: `framesPerSecond` (24, 25, 29 for 29.97, or 30) frames
    // of `ticksPerFrame` ticks each; tempo events then change nothing.
    static CMidiWriter Smpte(int framesPerSecond, int ticksPerFrame);

    int AddTrack(const std::string& name = {}); // returns the track index
    void Tempo(int track, std::uint32_t tick, int bpm);
    void TimeSignature(int track, std::uint32_t tick, int numerator, int denominatorPow2);
    void Program(int track, std::uint32_t tick, int channel, int program);
    void Control(int track, std::uint32_t tick, int channel, int controller, int value);
    // A note from `tick` lasting `length` ticks (channel 0..15; drums are channel 9).
    void Note(int track, std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);

    int TicksPerQuarter() const { return m_ticksPerQuarter; }
    std::uint32_t LastTick() const; // the latest event time over all tracks

    // Format 1 when there is more than one track, else format 0.
    std::vector<std::uint8_t> Encode() const;
    bool Write(const std::string& path) const;

private:
    struct Event {
        std::uint32_t tick;
        int order; // 0 meta, 1 program/control, 2 note off, 3 note on
        std::vector<std::uint8_t> bytes;
    };
    struct Track {
        std::string name;
        std::vector<Event> events;
    };
    void Add(int track, std::uint32_t tick, int order, std::vector<std::uint8_t> bytes);

    int m_ticksPerQuarter;
    int m_framesPerSecond = 0; // SMPTE time when not 0
    std::vector<Track> m_tracks;
};

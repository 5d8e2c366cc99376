#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small Standard MIDI File reader for the song tests.
struct SmfNote {
    std::uint32_t tick;
    int channel, key;
};

struct SmfSong {
    bool ok = false;
    std::string error;
    int format = -1, tracks = 0, division = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos; // tick, microseconds per quarter
    std::vector<std::pair<int, int>> programs;                   // channel, program
    std::vector<SmfNote> notes;
    int unmatchedNoteOns = 0;
    std::uint32_t lastTick = 0;

    double SecondsAt(std::uint32_t tick) const; // from the tempo map, 120 bpm before the first tempo
    double Seconds() const { return SecondsAt(lastTick); }
};

SmfSong ReadSmf(const std::vector<std::uint8_t>& bytes);

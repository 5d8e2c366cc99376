#pragma once

#include <cstdint>

// The program's one random generator: state = state * 214013 + 2531011 (mod 2^32),
// each number (state >> 16) & 0x7FFF. It starts at state 1 and is never reseeded,
// so the same actions give the same walks and songs on every run. The scramble
// walk and the song choice draw from it in turn.
class CRandom {
public:
    static int Next();                         // 0..32767
    static std::uint32_t GetState();           // for tests
    static void SetState(std::uint32_t state); // for tests
};

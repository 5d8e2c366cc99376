#pragma once

#include <cstdint>
#include <vector>

// The six sound effects, synthesised: 44.1 kHz mono 16-bit samples, peaks at
// about -1.5 dBFS, no DC, 5 ms fades at both ends.
namespace Sounds {

constexpr int kRate = 44100;

std::vector<std::int16_t> Start(); // a rising jingle, 1.2 s
std::vector<std::int16_t> Win();   // a fanfare, 2.6 s
std::vector<std::int16_t> Click(); // a short wooden tick
std::vector<std::int16_t> Miss();  // a dull low thud
std::vector<std::int16_t> Ok();    // a bright two-note chime
std::vector<std::int16_t> Blip();  // a short rising blip

} // namespace Sounds

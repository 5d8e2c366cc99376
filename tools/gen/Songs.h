#pragma once

#include <string>
#include <vector>

// The five songs of the music menu.
namespace Songs {

struct Written {
    std::string file; // name inside the midi folder
    double seconds = 0;
    int bars = 0;
    bool ok = false;
};

// Composes every song into `midiDir`.
std::vector<Written> WriteAll(const std::string& midiDir);

} // namespace Songs

#pragma once

// Song files for tests (programs that use it link zandor_media).

#include "tools/media/MidiWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace support {

// A tune of quarter notes on a piano, `seconds` long at 120 beats per minute; its folder is created.
inline bool WriteTune(const std::string& path, int seconds = 2)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    CMidiWriter w(96);
    const int t = w.AddTrack("piano");
    w.Tempo(t, 0, 120);
    w.Program(t, 0, 0, 0);
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(seconds) * 2; ++i)
        w.Note(t, i * 96, 90, 0, static_cast<int>(60 + i % 8), 100);
    return w.Write(path);
}

} // namespace support

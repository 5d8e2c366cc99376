#pragma once

// Sound effects recorded at the board's sound sink instead of played: the path the program asked for, or its
// number (1 start, 2 win, 3 click, 4 miss, 5 ok, 6 blip). Whether a sound is heard at all is decided before
// the sink, so the log is what the player would hear.

#include "engine/PuzzleBoard.h"

#include <algorithm>
#include <string>
#include <vector>

namespace support {

class SoundLog {
public:
    SoundLog() : m_old(CPuzzleBoard::s_pfnSoundSink)
    {
        Clear();
        CPuzzleBoard::s_pfnSoundSink = &Record;
    }
    ~SoundLog() { CPuzzleBoard::s_pfnSoundSink = m_old; }
    SoundLog(const SoundLog&) = delete;
    SoundLog& operator=(const SoundLog&) = delete;

    static void Clear() { s_paths.clear(); }
    static const std::vector<std::string>& Paths() { return s_paths; }
    static std::vector<int> Effects()
    {
        static const char* const kNames[6] = {"start", "win", "click", "miss", "ok", "blip"};
        std::vector<int> out;
        for (const std::string& path : s_paths)
            for (int i = 0; i < 6; ++i)
                if (path == std::string("sounds\\") + kNames[i] + ".wav")
                    out.push_back(i + 1);
        return out;
    }
    static int Count(int n)
    {
        const std::vector<int> effects = Effects();
        return static_cast<int>(std::count(effects.begin(), effects.end(), n));
    }

private:
    static bool Record(const std::string& path)
    {
        s_paths.push_back(path);
        return true;
    }
    CPuzzleBoard::SoundSink m_old;
    static inline std::vector<std::string> s_paths;
};

} // namespace support

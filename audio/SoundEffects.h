#pragma once

#include <string>

// Asynchronous WAV playback on one mixer channel: a new effect cuts off the one
// still playing. Decoded files are cached by path. Without an audio device every
// call is silent.
class CSoundEffects {
public:
    // Starts the file at `path` (a relative path may use '\'), returns at once.
    // Returns false when nothing was started (missing file, no device).
    static bool Play(const std::string& path);
    // Halts the effect that is playing, if any.
    static void Stop();
    // Drops cached samples (tests use it after rewriting a file).
    static void ClearCache();
};

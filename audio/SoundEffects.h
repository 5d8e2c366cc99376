#pragma once

#include <cstddef>
#include <string>

// Asynchronous WAV playback on one mixer channel: a new effect cuts off the one
// still playing. Decoded files are cached by path. Without an audio device every
// call is silent.
class CSoundEffects {
public:
    // A larger file, or one that is not a regular file (or a link to one), is
    // not played, as a missing one.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;
    // Nor is one whose samples, converted to the device's format, would take
    // more memory than this (a small file of 8-bit mono at a low rate grows
    // sixteen-fold and more).
    static constexpr std::size_t kMaxDecodedBytes = std::size_t{64} << 20;

    // Starts the file at `path` (a relative path may use '\'), returns at once.
    // Returns false when nothing was started (missing file, no device).
    static bool Play(const std::string& path);
    // Halts the effect that is playing, if any.
    static void Stop();
    // Drops cached samples (tests use it after rewriting a file).
    static void ClearCache();
};

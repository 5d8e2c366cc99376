#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM WAV files (RIFF, format tag 1).
class CWavWriter {
public:
    // Interleaved samples; returns false when the file cannot be written.
    static bool Write(const std::string& path, const std::vector<std::int16_t>& samples,
                      int sampleRate = 44100, int channels = 1);
    // The same bytes in memory.
    static std::vector<std::uint8_t> Encode(const std::vector<std::int16_t>& samples, int sampleRate = 44100,
                                            int channels = 1);
};

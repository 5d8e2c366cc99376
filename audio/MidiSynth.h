#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The process's one FluidSynth synthesizer, rendered into the shared mixer
// through its music hook. The soundfont is loaded once, on first use, and kept
// for the life of the process. One song sounds at a time: starting a song
// silences the one before. Called from the user-interface thread; the mixer's
// audio thread only renders.
class CMidiSynth {
public:
    // Opens the device, creates the synthesizer with the soundfont (first call
    // only) and hooks it into the mixer. False when the device or the soundfont
    // is missing or the soundfont does not load; nothing is reported.
    static bool Prepare();

    // Starts `song` (the bytes of a whole Standard MIDI File) at `tick`. From
    // then on every frame rendered for the song is added to `*frames`, which
    // also names the song for Halt. Whatever sounded before stops.
    static bool Start(const std::vector<std::uint8_t>& song, std::uint32_t tick,
                      std::atomic<std::uint64_t>* frames);
    // Silences the song counted in `frames` if it is the one sounding.
    static void Halt(const std::atomic<std::uint64_t>* frames);

    // Output rate of the synthesizer in frames per second; 0 before Prepare.
    static int SampleRate();

    // The soundfont file; the default is the system's General MIDI font. A new
    // path takes effect at the next Prepare (tests use it).
    static void SetSoundFontPath(const std::string& path);
    static std::string SoundFontPath();
};

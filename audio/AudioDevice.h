#pragma once

// The one SDL2_mixer device the program shares between effects and music.
// Opened lazily at 44.1 kHz with a buffer of at most 1024 frames; when no device
// can be opened, everything stays silent and one line goes to standard error.
class CAudioDevice {
public:
    // Opens the mixer on first use; true while a device is open.
    static bool Acquire();
    // True when a device is open (does not try to open one).
    static bool IsOpen();
    // Closes the mixer and SDL audio (tests and program end).
    static void Shutdown();
};

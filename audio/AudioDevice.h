#pragma once

// The one SDL2_mixer device the program shares between effects and music.
// Opened lazily at 44.1 kHz with a buffer of at most 1024 frames; when no device
// can be opened, everything stays silent and one line goes to standard error.
// Called from the user-interface thread only.
class CAudioDevice {
public:
    // Opens the mixer on first use; true while a device is open. After a failed
    // attempt it stays silent and does not try again until Shutdown.
    static bool Acquire();
    // True when a device is open (does not try to open one).
    static bool IsOpen();
    // Closes the mixer and SDL audio (tests and program end). Everything that
    // feeds the mixer is told first, so nothing is mixed from freed data.
    static void Shutdown();

    // Called at Shutdown, before the mixer closes, in the order of registration.
    // Registering the same function twice keeps one entry.
    static void AddCloseListener(void (*listener)());
};

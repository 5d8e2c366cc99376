#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Plays one MIDI song at a time through FluidSynth into the shared mixer.
// Open, play from a position rounded down to a second, stop and rewind, close,
// and the position in minutes and seconds. A song plays once; after its end the
// player stays playing and silent. Without a device or a soundfont, Open fails
// and nothing is reported.
class CMidiPlayer {
public:
    // A larger song file, or one that is not a regular file (or a link to
    // one), does not open, as a missing one.
    static constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;

    CMidiPlayer();
    ~CMidiPlayer();
    CMidiPlayer(const CMidiPlayer&) = delete;
    CMidiPlayer& operator=(const CMidiPlayer&) = delete;

    bool Open(const std::string& path); // opens and rewinds; does not play
    bool Play();                        // from the current position, rounded down to a second
    bool Stop();                        // stops and rewinds; the file stays open
    bool Close();                       // stops if playing and closes
    int GetMinutes() const;             // whole minutes of the position, or -1
    int GetSeconds() const;             // seconds part 0..59 of the position, or -1

    // The position in milliseconds, or -1 when no song is open. While playing
    // it follows the samples rendered; it stops at the end of the song.
    long GetPositionMs() const;
    // Moves the position of an open song that is not playing (tests; the game
    // only rewinds through Stop). Clamped to the song; false when closed or playing.
    bool SetPositionMs(long ms);

    int m_bOpen = 0;
    int m_bPlaying = 0;
    std::uint16_t m_wDeviceID = 0;

private:
    struct Impl;
    Impl* m_pImpl = nullptr;
};

#pragma once

#include <string>

// The game's settings as the profile (section "Tessra") holds them, and the
// operations that move them between the profile and memory. The setup dialog
// derives from this class; constructing one only loads the settings, it builds
// no window, so the board can make a temporary one to learn the field size.
//
// Besides the fields below, LoadSettings fills and SaveSettings writes the
// process-wide g_bSound, g_bMidi, g_nPicture and g_strPicPath.
class CSetupSettings {
public:
    CSetupSettings(); // performs LoadSettings
    virtual ~CSetupSettings() = default;

    // Reads every setting from the profile. Missing keys take their defaults;
    // picture, speed, difficulty and field size are clamped into their ranges.
    // After a save that failed, the values of that save are the answer instead,
    // for as long as the profile path stays the same: settings the player chose
    // stay in force for the rest of the run even when they could not be stored.
    // Leaves m_strBild as it is.
    void LoadSettings();

    // Writes the twelve keys in one go. False when the profile could not be
    // written: one line on standard error, SaveError() says why, and the values
    // stay in force (see LoadSettings) until a later save succeeds.
    bool SaveSettings();
    // Why the last SaveSettings failed ("permission denied"); empty after a
    // successful one.
    const std::string& SaveError() const { return m_strSaveError; }
    // The file the settings live in.
    static std::string ProfilePath();

    int m_nDifficult = kStdDifficult; // random blank moves of one scramble
    int m_nSpeed = kStdSpeed;         // milliseconds between scramble steps
    int m_nFieldX = kStdFieldX;       // tile columns
    int m_nFieldY = kStdFieldY;       // tile rows
    std::string m_strBild;            // path of the picture selected at the last Start

    // The profile section and keys.
    static constexpr const char* kSection = "Tessra";

    // Defaults for keys missing from the profile.
    static constexpr int kDefPicture = 1;
    static constexpr int kDefSound = 1;
    static constexpr int kDefMidi = 1;
    static constexpr int kDefSpeed = 150;
    static constexpr int kDefDifficult = 20;
    static constexpr int kDefFieldX = 3;
    static constexpr int kDefFieldY = 3;
    static constexpr const char* kDefPicPath[4] = {"bitmaps\\pic1.bmp", "bitmaps\\pic2.bmp",
                                                   "bitmaps\\pic3.bmp", "bitmaps\\pic4.bmp"};

    // The standard settings (the "Standard" button of the setup dialog).
    // m_strBild is not changed by them.
    static constexpr int kStdPicture = 1;
    static constexpr int kStdSound = 1;
    static constexpr int kStdMidi = 0;
    static constexpr int kStdSpeed = 150;
    static constexpr int kStdDifficult = 20;
    static constexpr int kStdFieldX = 3;
    static constexpr int kStdFieldY = 3;
    static constexpr const char* const* kStdPicPath = kDefPicPath;

    // Ranges the setup dialog lets through, and the clamp on load.
    static constexpr int kMinPicture = 1, kMaxPicture = 4;
    static constexpr int kMinSpeed = 10, kMaxSpeed = 10000;
    static constexpr int kMinDifficult = 1, kMaxDifficult = 1000;
    static constexpr int kSpinMaxDifficult = 100; // the spin arrows stop here
    static constexpr int kMinField = 2, kMaxField = 10;

private:
    std::string m_strSaveError;
};

#pragma once

#include <string>

// Process-wide settings shared by the board, the dialogs and the audio code.
// They are filled from the profile by every LoadSettings.
extern int g_bSound;                // sound effects play only when this is exactly 1
extern int g_bMidi;                 // background music on when non-zero
extern int g_nPicture;              // selected picture, 1..4
extern std::string g_strPicPath[4]; // picture paths; element n - 1 belongs to picture n
extern bool g_bPatternShown;        // the pattern preview is shown

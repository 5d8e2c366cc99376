#include "shell/Globals.h"

int g_bSound = 1;
int g_bMidi = 1;
int g_nPicture = 1;
std::string g_strPicPath[4];
bool g_bPatternShown = false;

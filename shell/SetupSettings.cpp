#include "shell/SetupSettings.h"

#include "shell/Globals.h"
#include "shell/Profile.h"

#include <algorithm>

CSetupSettings::CSetupSettings()
{
    LoadSettings();
}

void CSetupSettings::LoadSettings()
{
    CProfile profile(CProfile::DefaultPath());
    profile.Load();

    g_bSound = profile.GetInt(kSection, "Sound", kDefSound);
    g_bMidi = profile.GetInt(kSection, "Midi", kDefMidi);
    m_nDifficult =
        std::clamp(profile.GetInt(kSection, "Difficult", kDefDifficult), kMinDifficult, kMaxDifficult);
    m_nSpeed = std::clamp(profile.GetInt(kSection, "Speed", kDefSpeed), kMinSpeed, kMaxSpeed);
    m_nFieldX = std::clamp(profile.GetInt(kSection, "FieldX", kDefFieldX), kMinField, kMaxField);
    m_nFieldY = std::clamp(profile.GetInt(kSection, "FieldY", kDefFieldY), kMinField, kMaxField);
    g_nPicture = std::clamp(profile.GetInt(kSection, "Bild", kDefPicture), kMinPicture, kMaxPicture);
    static const char* const keys[4] = {"Pic1", "Pic2", "Pic3", "Pic4"};
    for (int i = 0; i < 4; ++i)
        g_strPicPath[i] = profile.GetString(kSection, keys[i], kDefPicPath[i]);
}

bool CSetupSettings::SaveSettings()
{
    CProfile profile(CProfile::DefaultPath());
    profile.Load();

    profile.SetInt(kSection, "Bild", g_nPicture);
    profile.SetInt(kSection, "Sound", g_bSound);
    profile.SetInt(kSection, "Midi", g_bMidi);
    profile.SetInt(kSection, "Speed", m_nSpeed);
    profile.SetInt(kSection, "Difficult", m_nDifficult);
    profile.SetInt(kSection, "FieldX", m_nFieldX);
    profile.SetInt(kSection, "FieldY", m_nFieldY);
    profile.SetString(kSection, "strBild", m_strBild);
    profile.SetString(kSection, "Pic1", g_strPicPath[0]);
    profile.SetString(kSection, "Pic2", g_strPicPath[1]);
    profile.SetString(kSection, "Pic3", g_strPicPath[2]);
    profile.SetString(kSection, "Pic4", g_strPicPath[3]);
    return profile.Save();
}

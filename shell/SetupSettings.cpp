#include "shell/SetupSettings.h"

#include "shell/Globals.h"
#include "shell/Profile.h"

#include <algorithm>
#include <optional>

namespace {

const char* const kPicKeys[4] = {"Pic1", "Pic2", "Pic3", "Pic4"};

// The values of the last save that failed, with the profile they were meant
// for. While set, loads of that profile answer with them.
struct Unsaved {
    std::string path;
    int sound = 0, midi = 0, picture = 0;
    int difficult = 0, speed = 0, fieldX = 0, fieldY = 0;
    std::string picPath[4];
};

std::optional<Unsaved>& UnsavedValues()
{
    static std::optional<Unsaved> values;
    return values;
}

} // namespace

CSetupSettings::CSetupSettings()
{
    LoadSettings();
}

std::string CSetupSettings::ProfilePath()
{
    return CProfile::DefaultPath();
}

void CSetupSettings::LoadSettings()
{
    const std::string path = ProfilePath();
    if (const std::optional<Unsaved>& unsaved = UnsavedValues(); unsaved && unsaved->path == path) {
        g_bSound = unsaved->sound;
        g_bMidi = unsaved->midi;
        m_nDifficult = unsaved->difficult;
        m_nSpeed = unsaved->speed;
        m_nFieldX = unsaved->fieldX;
        m_nFieldY = unsaved->fieldY;
        g_nPicture = unsaved->picture;
        for (int i = 0; i < 4; ++i)
            g_strPicPath[i] = unsaved->picPath[i];
        return;
    }

    CProfile profile(path);
    profile.Load();

    g_bSound = profile.GetInt(kSection, "Sound", kDefSound);
    g_bMidi = profile.GetInt(kSection, "Midi", kDefMidi);
    m_nDifficult =
        std::clamp(profile.GetInt(kSection, "Difficult", kDefDifficult), kMinDifficult, kMaxDifficult);
    m_nSpeed = std::clamp(profile.GetInt(kSection, "Speed", kDefSpeed), kMinSpeed, kMaxSpeed);
    m_nFieldX = std::clamp(profile.GetInt(kSection, "FieldX", kDefFieldX), kMinField, kMaxField);
    m_nFieldY = std::clamp(profile.GetInt(kSection, "FieldY", kDefFieldY), kMinField, kMaxField);
    g_nPicture = std::clamp(profile.GetInt(kSection, "Bild", kDefPicture), kMinPicture, kMaxPicture);
    for (int i = 0; i < 4; ++i)
        g_strPicPath[i] = profile.GetString(kSection, kPicKeys[i], kDefPicPath[i]);
}

bool CSetupSettings::SaveSettings()
{
    CProfile profile(ProfilePath());
    profile.Load();

    profile.SetInt(kSection, "Bild", g_nPicture);
    profile.SetInt(kSection, "Sound", g_bSound);
    profile.SetInt(kSection, "Midi", g_bMidi);
    profile.SetInt(kSection, "Speed", m_nSpeed);
    profile.SetInt(kSection, "Difficult", m_nDifficult);
    profile.SetInt(kSection, "FieldX", m_nFieldX);
    profile.SetInt(kSection, "FieldY", m_nFieldY);
    profile.SetString(kSection, "strBild", m_strBild);
    for (int i = 0; i < 4; ++i)
        profile.SetString(kSection, kPicKeys[i], g_strPicPath[i]);

    if (profile.Save()) {
        m_strSaveError.clear();
        UnsavedValues().reset();
        return true;
    }
    m_strSaveError = profile.GetError();
    Unsaved& unsaved = UnsavedValues().emplace();
    unsaved.path = profile.GetPath();
    unsaved.sound = g_bSound;
    unsaved.midi = g_bMidi;
    unsaved.picture = g_nPicture;
    unsaved.difficult = m_nDifficult;
    unsaved.speed = m_nSpeed;
    unsaved.fieldX = m_nFieldX;
    unsaved.fieldY = m_nFieldY;
    for (int i = 0; i < 4; ++i)
        unsaved.picPath[i] = g_strPicPath[i];
    return false;
}

#include "ShellTestEnv.h"

#include "shell/Globals.h"
#include "shell/Profile.h"
#include "shell/SetupSettings.h"

#include <sstream>

class SetupSettingsTest : public ShellTest {
protected:
    void SetUp() override { Scribble(); }
    // Scribbles over the process-wide values so a load must really set them.
    static void Scribble()
    {
        g_bSound = g_bMidi = g_nPicture = -9;
        for (auto& path : g_strPicPath)
            path = "stale";
    }
    // What a load gave: "picture sound midi / difficulty speed x y".
    static std::string Loaded(const CSetupSettings& s)
    {
        std::ostringstream out;
        out << g_nPicture << ' ' << g_bSound << ' ' << g_bMidi << " / " << s.m_nDifficult << ' ' << s.m_nSpeed
            << ' ' << s.m_nFieldX << ' ' << s.m_nFieldY;
        return out.str();
    }
};

TEST_F(SetupSettingsTest, HandEditedGarbageLoadsClampedAndUnsavedValuesStayInForceUntilASaveSucceeds)
{
    WriteFile(ProfilePath(), "\xEF\xBB\xBF[TESSRA]\nBild=abc\nSound=2\nMidi=-3\nSpeed=99999999999999999999\n"
                             "Difficult=-5\nFieldX=-4\nFieldY=12abc\nPic1=\xff\xfe\x01weird\n" +
                                 std::string(100000, '=') + "\n" +
                                 std::string("\x00\x00\x00garbage\x00\n", 12) +
                                 "Pic4=" + std::string(50000, 'q') + "\n");
    CSetupSettings garbage;
    // Picture "abc" reads 0, clamped to 1; the sound and music flags stay as
    // read (sound only when exactly 1, music when non-zero).
    EXPECT_EQ(Loaded(garbage), "1 2 -3 / 1 10000 2 10");
    EXPECT_EQ(std::pair(g_strPicPath[0], g_strPicPath[3]),
              std::pair(std::string("\xff\xfe\x01weird"), std::string(50000, 'q')));

    WriteFile(ProfilePath(), "[Tessra]\nBild=9\nSpeed=3\nDifficult=5000\nFieldX=0\nFieldY=1\n");
    CSetupSettings second;
    EXPECT_EQ(Loaded(second), "4 1 1 / 1000 10 2 2");

    // Values a save could not store answer every later load of that profile, until
    // a save succeeds; the player is told the reason.
    const std::filesystem::path blocked = m_root / "notafolder";
    WriteFile(blocked.string(), "x");
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", blocked.c_str(), 1), 0);
    CSetupSettings settings;
    settings.m_nFieldX = 7, settings.m_nDifficult = 500;
    g_nPicture = 3, g_bSound = 0, g_strPicPath[2] = "mine.bmp";
    const std::string err = Stderr([&] { EXPECT_FALSE(settings.SaveSettings()); });
    EXPECT_TRUE(Lines(err) == 1 && settings.SaveError() == "not a directory") << err;
    // Another profile is read as it stands.
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1), 0);
    EXPECT_EQ(Loaded(CSetupSettings()), "4 1 1 / 1000 10 2 2");

    // Once the folder can be made, the next save stores them and the file rules again.
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", blocked.c_str(), 1), 0);
    std::filesystem::remove(blocked);
    Scribble();
    CSetupSettings retry;
    EXPECT_EQ(Loaded(retry) + " " + g_strPicPath[2], "3 0 1 / 500 150 7 3 mine.bmp");
    ASSERT_TRUE(retry.SaveSettings());
    EXPECT_EQ(retry.SaveError(), "");
    const std::string saved = (blocked / "zandor-puzzle.INI").string();
    EXPECT_NE(ReadFile(saved).find("FieldX=7\n"), std::string::npos);
    WriteFile(saved, "[Tessra]\nFieldX=4\n");
    Scribble();
    EXPECT_EQ(Loaded(CSetupSettings()), "1 1 1 / 20 150 4 3");
}

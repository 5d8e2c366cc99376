#include "ShellTestEnv.h"

#include "shell/Globals.h"
#include "shell/PathMap.h"
#include "shell/Profile.h"
#include "shell/SetupSettings.h"

class SetupSettingsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // Scribble over the process-wide values so a load must really set them.
        g_bSound = g_bMidi = g_nPicture = -9;
        for (auto& path : g_strPicPath)
            path = "stale";
    }
};

TEST_F(SetupSettingsTest, FirstRunWithoutAProfileUsesTheDefaults)
{
    CSetupSettings settings;
    EXPECT_EQ(g_bSound, 1);
    EXPECT_EQ(g_bMidi, 1);
    EXPECT_EQ(g_nPicture, 1);
    EXPECT_EQ(settings.m_nDifficult, 20);
    EXPECT_EQ(settings.m_nSpeed, 150);
    EXPECT_EQ(settings.m_nFieldX, 3);
    EXPECT_EQ(settings.m_nFieldY, 3);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g_strPicPath[i], "bitmaps\\pic" + std::to_string(i + 1) + ".bmp");
    EXPECT_FALSE(std::filesystem::exists(ProfilePath())); // loading writes nothing
}

TEST_F(SetupSettingsTest, StartWithStandardSettingsWritesTheTwelveKeysInOrder)
{
    CSetupSettings settings;
    g_nPicture = 1;
    g_bSound = 1;
    g_bMidi = 0;
    settings.m_strBild = g_strPicPath[0];
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_EQ(ReadFile(ProfilePath()),
              "[Tessra]\nBild=1\nSound=1\nMidi=0\nSpeed=150\nDifficult=20\nFieldX=3\n"
              "FieldY=3\nstrBild=bitmaps\\pic1.bmp\nPic1=bitmaps\\pic1.bmp\n"
              "Pic2=bitmaps\\pic2.bmp\nPic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n");
}

TEST_F(SetupSettingsTest, SavedValuesComeBackOnTheNextLoad)
{
    {
        CSetupSettings settings;
        g_nPicture = 3;
        g_bSound = 0;
        settings.m_nSpeed = 10000;
        settings.m_nDifficult = 1000;
        settings.m_nFieldX = 10;
        settings.m_nFieldY = 2;
        g_strPicPath[2] = "/home/player/Bilder/Katze mit Hut.bmp";
        settings.m_strBild = g_strPicPath[2];
        ASSERT_TRUE(settings.SaveSettings());
    }
    g_nPicture = g_bSound = g_bMidi = 7;
    g_strPicPath[2] = "gone";
    CSetupSettings loaded;
    EXPECT_EQ(g_nPicture, 3);
    EXPECT_EQ(g_bSound, 0);
    EXPECT_EQ(g_bMidi, 1);
    EXPECT_EQ(loaded.m_nSpeed, 10000);
    EXPECT_EQ(loaded.m_nDifficult, 1000);
    EXPECT_EQ(loaded.m_nFieldX, 10);
    EXPECT_EQ(loaded.m_nFieldY, 2);
    EXPECT_EQ(g_strPicPath[2], "/home/player/Bilder/Katze mit Hut.bmp");
    EXPECT_EQ(loaded.m_strBild, ""); // written but never read back
}

TEST_F(SetupSettingsTest, SaveKeepsForeignContentAndTheFileOrder)
{
    WriteFile(ProfilePath(), "; hand-made\r\n[Tessra]\r\nFieldY=4\r\n; keep this comment\r\nbild=2\r\n"
                             "Colour=blue\r\n\r\n[Other]\r\nSpeed=1\r\n");
    CSetupSettings settings;
    EXPECT_EQ(g_nPicture, 2);
    EXPECT_EQ(settings.m_nFieldY, 4);
    settings.m_nFieldY = 5;
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_EQ(ReadFile(ProfilePath()),
              "; hand-made\r\n[Tessra]\r\nFieldY=5\r\n; keep this comment\r\nbild=2\r\nColour=blue\r\n"
              "Sound=1\r\nMidi=1\r\nSpeed=150\r\nDifficult=20\r\nFieldX=3\r\nstrBild=\r\n"
              "Pic1=bitmaps\\pic1.bmp\r\nPic2=bitmaps\\pic2.bmp\r\nPic3=bitmaps\\pic3.bmp\r\nPic4="
              "bitmaps\\pic4.bmp\r\n"
              "\r\n[Other]\r\nSpeed=1\r\n");
}

TEST_F(SetupSettingsTest, EmptyPicturePathStaysEmptyAndBackslashesStay)
{
    WriteFile(ProfilePath(), "[Tessra]\nPic1=bitmaps\\mine\\cat.bmp\nPic2=\n");
    CSetupSettings settings;
    EXPECT_EQ(g_strPicPath[0], "bitmaps\\mine\\cat.bmp");
    EXPECT_EQ(g_strPicPath[1], "");
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_NE(ReadFile(ProfilePath()).find("Pic1=bitmaps\\mine\\cat.bmp\nPic2=\n"), std::string::npos);
    CSetupSettings again;
    EXPECT_EQ(g_strPicPath[1], "");
    EXPECT_EQ(ToNativePath("bitmaps\\mine\\cat.bmp"), "bitmaps/mine/cat.bmp");
    EXPECT_EQ(ToNativePath("/home/a/b.bmp"), "/home/a/b.bmp");
}

TEST_F(SetupSettingsTest, HandEditedGarbageLoadsClamped)
{
    WriteFile(ProfilePath(), "\xEF\xBB\xBF[TESSRA]\nBild=abc\nSound=2\nMidi=-3\nSpeed=99999999999999999999\n"
                             "Difficult=-5\nFieldX=-4\nFieldY=12abc\nPic1=\xff\xfe\x01weird\n" +
                                 std::string(100000, '=') + "\n" +
                                 std::string("\x00\x00\x00garbage\x00\n", 12) +
                                 "Pic4=" + std::string(50000, 'q') + "\n");
    CSetupSettings settings;
    EXPECT_EQ(g_nPicture, 1); // "abc" reads 0, clamped to 1
    EXPECT_EQ(g_bSound, 2);   // kept as read: no sound, since it is not exactly 1
    EXPECT_EQ(g_bMidi, -3);   // kept as read: music on, since non-zero
    EXPECT_EQ(settings.m_nSpeed, 10000);
    EXPECT_EQ(settings.m_nDifficult, 1);
    EXPECT_EQ(settings.m_nFieldX, 2);
    EXPECT_EQ(settings.m_nFieldY, 10);
    EXPECT_EQ(g_strPicPath[0], "\xff\xfe\x01weird");
    EXPECT_EQ(g_strPicPath[3], std::string(50000, 'q'));

    WriteFile(ProfilePath(), "[Tessra]\nBild=9\nSpeed=3\nDifficult=5000\nFieldX=0\nFieldY=1\n");
    CSetupSettings second;
    EXPECT_EQ(g_nPicture, 4);
    EXPECT_EQ(second.m_nSpeed, 10);
    EXPECT_EQ(second.m_nDifficult, 1000);
    EXPECT_EQ(second.m_nFieldX, 2);
    EXPECT_EQ(second.m_nFieldY, 2);
}

TEST_F(SetupSettingsTest, UnwritableProfileKeepsTheValuesAndSaysSoOnce)
{
    WriteFile((m_root / "notafolder").string(), "x");
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", (m_root / "notafolder").c_str(), 1), 0);
    CSetupSettings settings;
    settings.m_nFieldX = 7;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.SaveSettings());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(settings.m_nFieldX, 7);
}

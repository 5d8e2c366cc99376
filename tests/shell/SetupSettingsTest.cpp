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
        g_bSound = -9;
        g_bMidi = -9;
        g_nPicture = -9;
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
    EXPECT_EQ(settings.m_strBild, "");
    EXPECT_EQ(g_strPicPath[0], "bitmaps\\pic1.bmp");
    EXPECT_EQ(g_strPicPath[1], "bitmaps\\pic2.bmp");
    EXPECT_EQ(g_strPicPath[2], "bitmaps\\pic3.bmp");
    EXPECT_EQ(g_strPicPath[3], "bitmaps\\pic4.bmp");
    // Loading writes nothing.
    EXPECT_FALSE(std::filesystem::exists(ProfilePath()));
}

TEST_F(SetupSettingsTest, StartWithStandardSettingsWritesTheTwelveKeysInOrder)
{
    CSetupSettings settings;
    // What the "Standard" button sets, then Start takes picture 1.
    g_nPicture = CSetupSettings::kStdPicture;
    g_bSound = CSetupSettings::kStdSound;
    g_bMidi = CSetupSettings::kStdMidi;
    settings.m_nSpeed = CSetupSettings::kStdSpeed;
    settings.m_nDifficult = CSetupSettings::kStdDifficult;
    settings.m_nFieldX = CSetupSettings::kStdFieldX;
    settings.m_nFieldY = CSetupSettings::kStdFieldY;
    for (int i = 0; i < 4; ++i)
        g_strPicPath[i] = CSetupSettings::kStdPicPath[i];
    settings.m_strBild = g_strPicPath[0];
    ASSERT_TRUE(settings.SaveSettings());

    EXPECT_EQ(ReadFile(ProfilePath()), "[Tessra]\n"
                                       "Bild=1\n"
                                       "Sound=1\n"
                                       "Midi=0\n"
                                       "Speed=150\n"
                                       "Difficult=20\n"
                                       "FieldX=3\n"
                                       "FieldY=3\n"
                                       "strBild=bitmaps\\pic1.bmp\n"
                                       "Pic1=bitmaps\\pic1.bmp\n"
                                       "Pic2=bitmaps\\pic2.bmp\n"
                                       "Pic3=bitmaps\\pic3.bmp\n"
                                       "Pic4=bitmaps\\pic4.bmp\n");
}

TEST_F(SetupSettingsTest, SavedValuesComeBackOnTheNextLoad)
{
    {
        CSetupSettings settings;
        g_nPicture = 3;
        g_bSound = 0;
        g_bMidi = 1;
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
    EXPECT_EQ(g_strPicPath[0], "bitmaps\\pic1.bmp");
    // strBild is written but never read back.
    EXPECT_EQ(loaded.m_strBild, "");
}

TEST_F(SetupSettingsTest, SaveKeepsForeignContentAndTheFileOrder)
{
    const std::string before = "; hand-made\r\n"
                               "[Tessra]\r\n"
                               "FieldY=4\r\n"
                               "; keep this comment\r\n"
                               "bild=2\r\n"
                               "Colour=blue\r\n"
                               "\r\n"
                               "[Other]\r\n"
                               "Speed=1\r\n";
    WriteFile(ProfilePath(), before);
    CSetupSettings settings;
    EXPECT_EQ(g_nPicture, 2);
    EXPECT_EQ(settings.m_nFieldY, 4);
    settings.m_nFieldY = 5;
    ASSERT_TRUE(settings.SaveSettings());

    EXPECT_EQ(ReadFile(ProfilePath()), "; hand-made\r\n"
                                       "[Tessra]\r\n"
                                       "FieldY=5\r\n"
                                       "; keep this comment\r\n"
                                       "bild=2\r\n"
                                       "Colour=blue\r\n"
                                       "Sound=1\r\n"
                                       "Midi=1\r\n"
                                       "Speed=150\r\n"
                                       "Difficult=20\r\n"
                                       "FieldX=3\r\n"
                                       "strBild=\r\n"
                                       "Pic1=bitmaps\\pic1.bmp\r\n"
                                       "Pic2=bitmaps\\pic2.bmp\r\n"
                                       "Pic3=bitmaps\\pic3.bmp\r\n"
                                       "Pic4=bitmaps\\pic4.bmp\r\n"
                                       "\r\n"
                                       "[Other]\r\n"
                                       "Speed=1\r\n");
}

TEST_F(SetupSettingsTest, EmptyPicturePathStaysEmpty)
{
    WriteFile(ProfilePath(), "[Tessra]\nPic2=\n");
    CSetupSettings settings;
    EXPECT_EQ(g_strPicPath[1], "");
    EXPECT_EQ(g_strPicPath[0], "bitmaps\\pic1.bmp");
    ASSERT_TRUE(settings.SaveSettings());
    CSetupSettings again;
    EXPECT_EQ(g_strPicPath[1], "");
}

TEST_F(SetupSettingsTest, HandEditedGarbageLoadsClamped)
{
    std::string text = "\xEF\xBB\xBF[TESSRA]\n"
                       "Bild=abc\n"
                       "Sound=2\n"
                       "Midi=-3\n"
                       "Speed=99999999999999999999\n"
                       "Difficult=-5\n"
                       "FieldX=-4\n"
                       "FieldY=12abc\n"
                       "Pic1=\xff\xfe\x01weird\n" +
                       std::string(100000, '=') + "\n" + std::string("\x00\x00\x00garbage\x00\n", 12) +
                       "Pic4=" + std::string(50000, 'q') + "\n";
    WriteFile(ProfilePath(), text);
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

    // No section of ours at all: the defaults.
    WriteFile(ProfilePath(), "[Something]\nBild=3\nFieldX=9\n");
    CSetupSettings third;
    EXPECT_EQ(g_nPicture, 1);
    EXPECT_EQ(third.m_nFieldX, 3);
}

TEST_F(SetupSettingsTest, UnwritableProfileKeepsTheValuesAndSaysSoOnce)
{
    WriteFile((m_root / "notafolder").string(), "x");
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", (m_root / "notafolder").c_str(), 1), 0);
    CSetupSettings settings;
    settings.m_nFieldX = 7;
    g_bSound = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.SaveSettings());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(settings.m_nFieldX, 7);
    EXPECT_EQ(g_bSound, 0);
}

TEST_F(SetupSettingsTest, StoredPathsKeepTheirBackslash)
{
    WriteFile(ProfilePath(), "[Tessra]\nPic1=bitmaps\\mine\\cat.bmp\n");
    CSetupSettings settings;
    EXPECT_EQ(g_strPicPath[0], "bitmaps\\mine\\cat.bmp");
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_NE(ReadFile(ProfilePath()).find("Pic1=bitmaps\\mine\\cat.bmp\n"), std::string::npos);

    EXPECT_EQ(ToNativePath("bitmaps\\mine\\cat.bmp"), "bitmaps/mine/cat.bmp");
    EXPECT_EQ(ToNativePath("/home/a/b.bmp"), "/home/a/b.bmp");
    EXPECT_EQ(ToNativePath(""), "");
}

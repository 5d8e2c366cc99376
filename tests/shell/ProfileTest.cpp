#include "ShellTestEnv.h"

#include "shell/Profile.h"

#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class ProfileTest : public ShellTest {};

TEST_F(ProfileTest, LocationFollowsXdgConfigHome)
{
    EXPECT_EQ(CProfile::DefaultPath(), ProfilePath());

    const char* home = std::getenv("HOME");
    const std::string oldHome = home ? home : "";
    struct RestoreHome {
        std::string value;
        ~RestoreHome() { setenv("HOME", value.c_str(), 1); }
    } restore{oldHome};
    ASSERT_EQ(setenv("HOME", (m_root / "home").c_str(), 1), 0);
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", "", 1), 0);
    EXPECT_EQ(CProfile::DefaultPath(), (m_root / "home" / ".config" / "zandor-puzzle.INI").string());
    ASSERT_EQ(unsetenv("XDG_CONFIG_HOME"), 0);
    EXPECT_EQ(CProfile::DefaultPath(), (m_root / "home" / ".config" / "zandor-puzzle.INI").string());
    // A relative folder is no valid setting and is ignored.
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", "relative/cfg", 1), 0);
    EXPECT_EQ(CProfile::DefaultPath(), (m_root / "home" / ".config" / "zandor-puzzle.INI").string());

    // The first save creates the missing folder.
    CProfile profile(CProfile::DefaultPath());
    profile.SetInt("Tessra", "Bild", 2);
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadFile(CProfile::DefaultPath()), "[Tessra]\nBild=2\n");
}

TEST_F(ProfileTest, MissingFileOrKeyGivesTheDefault)
{
    CProfile profile(ProfilePath());
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Speed", 150), 150);
    EXPECT_EQ(profile.GetString("Tessra", "Pic1", "bitmaps\\pic1.bmp"), "bitmaps\\pic1.bmp");

    WriteFile(ProfilePath(), "[Other]\nSpeed=5\n[Tessra]\nFieldX=4\n");
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Speed", 150), 150); // only in another section
    EXPECT_EQ(profile.GetInt("Tessra", "FieldX", 3), 4);
    EXPECT_EQ(profile.GetInt("Missing", "FieldX", 3), 3);
}

TEST_F(ProfileTest, NamesMatchInAnyCase)
{
    WriteFile(ProfilePath(), "[tESSRA]\nbild=3\nPIC1=mine.bmp\n  FieldX = 7 \n");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 1), 3);
    EXPECT_EQ(profile.GetString("TESSRA", "pic1", ""), "mine.bmp");
    EXPECT_EQ(profile.GetInt("tessra", "fieldx", 3), 7);

    // A write to a differently spelt key replaces it in place.
    profile.SetInt("Tessra", "Bild", 4);
    EXPECT_EQ(profile.GetText(), "[tESSRA]\nbild=4\nPIC1=mine.bmp\n  FieldX = 7 \n");
}

TEST_F(ProfileTest, EmptyValueIsEmptyTextNotTheDefault)
{
    WriteFile(ProfilePath(), "[Tessra]\nPic2=\nPic3=   \nSpeed=\n");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetString("Tessra", "Pic2", "bitmaps\\pic2.bmp"), "");
    EXPECT_EQ(profile.GetString("Tessra", "Pic3", "bitmaps\\pic3.bmp"), "");
    // An integer key without a value reads as missing.
    EXPECT_EQ(profile.GetInt("Tessra", "Speed", 150), 150);
}

TEST_F(ProfileTest, IntegersReadLikeTheWindowsReader)
{
    const std::pair<const char*, int> cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"-7", -7},
        {"+5", 5},
        {"  42  ", 42},
        {"007", 7},
        {"0x10", 0},
        {"- 5", 0},
        {"1.9", 1},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999999999", INT_MIN},
    };
    std::string text = "[Tessra]\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += "K" + std::to_string(i) + "=" + cases[i].first + "\n";
    WriteFile(ProfilePath(), text);
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(profile.GetInt("Tessra", "K" + std::to_string(i), 555), cases[i].second) << cases[i].first;
}

TEST_F(ProfileTest, QuotesAroundAValueAreDropped)
{
    WriteFile(ProfilePath(), "[Tessra]\nPic1=\"/home/a b/x.bmp\"\nPic2='y.bmp'\nPic3=\"unbalanced\n");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetString("Tessra", "Pic1", ""), "/home/a b/x.bmp");
    EXPECT_EQ(profile.GetString("Tessra", "Pic2", ""), "y.bmp");
    EXPECT_EQ(profile.GetString("Tessra", "Pic3", ""), "\"unbalanced");
}

TEST_F(ProfileTest, EverythingElseSurvivesAWriteByteForByte)
{
    const std::string before = "; Zandor settings, edited by hand\n"
                               "\n"
                               "[Window]\n"
                               "Left = 10\n"
                               "Bild=99\n"
                               "\n"
                               "[Tessra]\n"
                               "# my favourite\n"
                               "Bild = 2\n"
                               "Extra=keep me\n"
                               "Speed=150\n"
                               "\n"
                               "; next section\n"
                               "[Last]\n"
                               "x=y\n";
    WriteFile(ProfilePath(), before);
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    profile.SetInt("Tessra", "Bild", 3);
    profile.SetInt("Tessra", "Speed", 200);
    profile.SetInt("Tessra", "FieldX", 5);
    profile.SetString("Fresh", "Key", "v");
    ASSERT_TRUE(profile.Save());

    const std::string after = "; Zandor settings, edited by hand\n"
                              "\n"
                              "[Window]\n"
                              "Left = 10\n"
                              "Bild=99\n"
                              "\n"
                              "[Tessra]\n"
                              "# my favourite\n"
                              "Bild = 3\n"
                              "Extra=keep me\n"
                              "Speed=200\n"
                              "FieldX=5\n"
                              "\n"
                              "; next section\n"
                              "[Last]\n"
                              "x=y\n"
                              "\n"
                              "[Fresh]\n"
                              "Key=v\n";
    EXPECT_EQ(ReadFile(ProfilePath()), after);

    // Reading it again finds the same values; a second identical write changes nothing.
    CProfile again(ProfilePath());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.GetInt("Tessra", "Bild", 0), 3);
    EXPECT_EQ(again.GetInt("Window", "Bild", 0), 99);
    again.SetInt("Tessra", "Bild", 3);
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(ReadFile(ProfilePath()), after);
}

TEST_F(ProfileTest, FirstOfDuplicateKeysIsReadAndReplaced)
{
    WriteFile(ProfilePath(), "[Tessra]\nBild=2\nBild=3\n[Tessra]\nBild=4\n");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 0), 2);
    profile.SetInt("Tessra", "Bild", 1);
    EXPECT_EQ(profile.GetText(), "[Tessra]\nBild=1\nBild=3\n[Tessra]\nBild=4\n");
}

TEST_F(ProfileTest, CrlfFilesAreReadAndStayCrlf)
{
    WriteFile(ProfilePath(), "[Other]\r\na=1\r\n[Tessra]\r\nBild=2\r\nPic1=bitmaps\\x.bmp\r\n");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 0), 2);
    EXPECT_EQ(profile.GetString("Tessra", "Pic1", ""), "bitmaps\\x.bmp");
    profile.SetInt("Tessra", "Bild", 3);
    profile.SetInt("Tessra", "Sound", 0);
    profile.SetInt("New", "k", 1);
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(
        ReadFile(ProfilePath()),
        "[Other]\r\na=1\r\n[Tessra]\r\nBild=3\r\nPic1=bitmaps\\x.bmp\r\nSound=0\r\n\r\n[New]\r\nk=1\r\n");
}

TEST_F(ProfileTest, LastLineWithoutLineEndGetsOneBeforeNewLines)
{
    WriteFile(ProfilePath(), "[Tessra]\nBild=2");
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 0), 2);
    profile.SetInt("Tessra", "Sound", 1);
    EXPECT_EQ(profile.GetText(), "[Tessra]\nBild=2\nSound=1\n");
}

TEST_F(ProfileTest, ByteOrderMarkLongLinesAndBinaryBytesSurvive)
{
    std::string longLine(200000, 'x');
    std::string binary("\x00\x01\xff\xfe\x7f=\x80", 7);
    const std::string before =
        "\xEF\xBB\xBF[Tessra]\n" + longLine + "=" + longLine + "\n" + binary + "\nBild=3\n\x01\x02\x03\n";
    WriteFile(ProfilePath(), before);
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 0), 3);
    EXPECT_EQ(profile.GetString("Tessra", longLine, ""), longLine);
    profile.SetInt("Tessra", "Bild", 4);
    ASSERT_TRUE(profile.Save());
    std::string expected = before;
    expected.replace(expected.find("Bild=3"), 6, "Bild=4");
    EXPECT_EQ(ReadFile(ProfilePath()), expected);
}

TEST_F(ProfileTest, LineBreakInAValueCannotSplitTheFile)
{
    CProfile profile(ProfilePath());
    profile.SetString("Tessra", "Pic1", "first\n[Evil]\nBild=9");
    profile.SetString("Tessra", "Pic2", "a\rb");
    EXPECT_EQ(profile.GetText(), "[Tessra]\nPic1=first\nPic2=a\n");
}

TEST_F(ProfileTest, SaveReplacesTheFileThroughARename)
{
    WriteFile(ProfilePath(), "[Tessra]\nBild=1\n");
    chmod(ProfilePath().c_str(), 0640);
    struct stat before;
    ASSERT_EQ(stat(ProfilePath().c_str(), &before), 0);
    // A reader that has the old file open keeps reading the old text.
    std::FILE* reader = std::fopen(ProfilePath().c_str(), "rb");
    ASSERT_NE(reader, nullptr);

    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    profile.SetInt("Tessra", "Bild", 2);
    ASSERT_TRUE(profile.Save());

    struct stat after;
    ASSERT_EQ(stat(ProfilePath().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0640u); // permissions kept
    char old[64] = {};
    std::size_t n = std::fread(old, 1, sizeof old - 1, reader);
    std::fclose(reader);
    EXPECT_EQ(std::string(old, n), "[Tessra]\nBild=1\n");
    EXPECT_EQ(ReadFile(ProfilePath()), "[Tessra]\nBild=2\n");
    EXPECT_EQ(HiddenFiles(m_root / "config"), 0);

    // Saving what the file already holds leaves the file alone.
    profile.SetInt("Tessra", "Bild", 2);
    ASSERT_TRUE(profile.Save());
    CProfile again(ProfilePath());
    ASSERT_TRUE(again.Load());
    again.SetInt("Tessra", "bild", 2);
    ASSERT_TRUE(again.Save());
    struct stat unchanged;
    ASSERT_EQ(stat(ProfilePath().c_str(), &unchanged), 0);
    EXPECT_EQ(unchanged.st_ino, after.st_ino);
    again.SetInt("Tessra", "bild", 3);
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(ReadFile(ProfilePath()), "[Tessra]\nBild=3\n");
}

TEST_F(ProfileTest, FailedWriteLeavesTheOldFileWhole)
{
    // The file-size limit makes writing the new text fail half way, as a full
    // disk would: the old profile must stay as it was, with no leftovers.
    const std::string old = "[Tessra]\nBild=1\n";
    WriteFile(ProfilePath(), old);
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    profile.SetString("Tessra", "Pic1", std::string(4096, 'p'));

    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    const bool saved1 = profile.Save();
    const std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(ReadFile(ProfilePath()), old);
    EXPECT_EQ(HiddenFiles(m_root / "config"), 0);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(ProfileTest, UnwritableFolderFailsWithOneLine)
{
    // A regular file where the folder should be: nothing can be created there.
    WriteFile((m_root / "blocker").string(), "not a folder");
    CProfile profile((m_root / "blocker" / "zandor-puzzle.INI").string());
    EXPECT_FALSE(profile.Load());
    profile.SetInt("Tessra", "Bild", 2);
    profile.SetInt("Tessra", "Sound", 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(profile.Save());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("zandor-puzzle.INI"), std::string::npos);
    // What was set is still there in memory.
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 0), 2);
    EXPECT_EQ(ReadFile((m_root / "blocker").string()), "not a folder");
}

TEST_F(ProfileTest, SymbolicLinkKeepsPointingAtTheRealFile)
{
    const std::string real = (m_root / "elsewhere.ini").string();
    WriteFile(real, "[Tessra]\nBild=1\n");
    std::filesystem::create_directories(m_root / "config");
    std::filesystem::create_symlink(real, ProfilePath());
    CProfile profile(ProfilePath());
    ASSERT_TRUE(profile.Load());
    profile.SetInt("Tessra", "Bild", 4);
    ASSERT_TRUE(profile.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(ProfilePath()));
    EXPECT_EQ(ReadFile(real), "[Tessra]\nBild=4\n");
}

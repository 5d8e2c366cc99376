#include "ShellTestEnv.h"

#include "shell/Profile.h"
#include "tests/support/SpecialFiles.h"

#include <array>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <utility>
#include <vector>

class ProfileTest : public ShellTest {};

// Integers read like the Windows reader: leading digits, clamped to the int range.
TEST_F(ProfileTest, ReadsNamesInAnyCaseEmptyValuesQuotesIntegersAndTheFirstDuplicate)
{
    CProfile profile(ProfilePath());
    EXPECT_FALSE(profile.Load());
    EXPECT_EQ(profile.GetInt("Tessra", "Speed", 150), 150);
    EXPECT_EQ(profile.GetString("Tessra", "Pic1", "bitmaps\\pic1.bmp"), "bitmaps\\pic1.bmp");

    const std::string nines(32, '9');
    // clang-format off
    const std::pair<std::string, int> cases[] = {
        {"12abc", 12}, {"abc", 0}, {"-7", -7}, {"+5", 5}, {"  42  ", 42}, {"007", 7}, {"0x10", 0}, {"- 5", 0},
        {"1.9", 1}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN}, {nines, INT_MAX}, {"-" + nines, INT_MIN}};
    // clang-format on
    std::string text = "[Other]\nDifficult=5\n[tESSRA]\nbild=3\nPIC1=mine.bmp\n  FieldX = 7 \n"
                       "Pic2=\nPic3=   \nSpeed=\nQ1=\"/home/a b/x.bmp\"\nQ2='y.bmp'\nQ3=\"unbalanced\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += "K" + std::to_string(i) + "=" + cases[i].first + "\n";
    WriteFile(ProfilePath(), text + "Bild=9\n[Tessra]\nBild=4\n");
    ASSERT_TRUE(profile.Load());
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(profile.GetInt("Tessra", "K" + std::to_string(i), 555), cases[i].second) << cases[i].first;
    EXPECT_EQ(profile.GetInt("Tessra", "Bild", 1), 3); // the first of two
    EXPECT_EQ(profile.GetInt("tessra", "fieldx", 3), 7);
    EXPECT_EQ(profile.GetInt("Tessra", "Difficult", 20), 20); // only in another section
    EXPECT_EQ(profile.GetInt("Missing", "FieldX", 3), 3);
    EXPECT_EQ(profile.GetInt("Tessra", "Speed", 150), 150); // an integer without digits reads as missing
    // Empty text is a value; quotes around a value are dropped when they pair up.
    const std::pair<const char*, const char*> texts[] = {{"pic1", "mine.bmp"}, {"Pic2", ""},
                                                         {"Pic3", ""},         {"Q1", "/home/a b/x.bmp"},
                                                         {"Q2", "y.bmp"},      {"Q3", "\"unbalanced"}};
    for (const auto& [key, value] : texts)
        EXPECT_EQ(profile.GetString("TESSRA", key, "default"), value) << key;
}

// A write changes only the value written; everything else of the file stays as it was, byte for byte. What is
// written reads back as it was set, and saving the same values again changes nothing.
TEST_F(ProfileTest, WriteKeepsEverythingElseAndReadsBack)
{
    const std::string longLine(200000, 'x');
    const std::string binary("\x00\x01\xff\xfe\x7f=\x80", 7);
    struct Case {
        const char* name;
        std::string before;
        std::vector<std::array<std::string, 3>> sets;
        std::string after;
    };
    // clang-format off
    const Case cases[] = {
        {"comments and other sections",
         "; by hand\n\n[Window]\nLeft = 10\nBild=99\n\n[Tessra]\n# mine\nBild = 2\nExtra=keep me\nSpeed=150\n\n; next\n[Last]\nx=y\n",
         {{"Tessra", "Bild", "3"}, {"Tessra", "Speed", "200"}, {"Tessra", "FieldX", "5"}, {"Fresh", "Key", "v"}},
         "; by hand\n\n[Window]\nLeft = 10\nBild=99\n\n[Tessra]\n# mine\nBild = 3\nExtra=keep me\nSpeed=200\n"
         "FieldX=5\n\n; next\n[Last]\nx=y\n\n[Fresh]\nKey=v\n"},
        {"other spelling", "[tESSRA]\nbild=3\nPIC1=mine.bmp\n", {{"Tessra", "Bild", "4"}}, "[tESSRA]\nbild=4\nPIC1=mine.bmp\n"},
        {"duplicates", "[Tessra]\nBild=2\nBild=3\n[Tessra]\nBild=4\n", {{"Tessra", "Bild", "1"}},
         "[Tessra]\nBild=1\nBild=3\n[Tessra]\nBild=4\n"},
        {"crlf", "[Other]\r\na=1\r\n[Tessra]\r\nBild=2\r\n", {{"Tessra", "Bild", "3"}, {"Tessra", "Sound", "0"}, {"New", "k", "1"}},
         "[Other]\r\na=1\r\n[Tessra]\r\nBild=3\r\nSound=0\r\n\r\n[New]\r\nk=1\r\n"},
        {"no final line end", "[Tessra]\nBild=2", {{"Tessra", "Sound", "1"}}, "[Tessra]\nBild=2\nSound=1\n"},
        {"line breaks in values", "", {{"Tessra", "Pic1", "first\n[Evil]\nBild=9"}, {"Tessra", "Pic2", "a\rb"}},
         "[Tessra]\nPic1=first\nPic2=a\n"},
        {"lone carriage return ending the last line", "[Other]\r\na=1\r\n[Tessra\r", {{"Tessra", "FieldX", "7"}},
         "[Other]\r\na=1\r\n[Tessra\rFieldX=7\r\n"},
        {"carriage returns only", "[Tessra]\rBild=2\r; c\r", {{"Tessra", "Bild", "3"}, {"Tessra", "Sound", "0"}, {"New", "k", "1"}},
         "[Tessra]\rBild=3\rSound=0\r; c\r\r[New]\rk=1\r"},
        {"lone carriage return inside a crlf file", "[Tessra]\r\nBild=2\rSpeed=5\r\n", {{"Tessra", "Speed", "6"}},
         "[Tessra]\r\nBild=2\rSpeed=6\r\n"},
        {"values the reader would change", "[Tessra]\nPic1 = old\n",
         {{"Tessra", "Pic1", " lead"}, {"Tessra", "Pic2", "trail\t"}, {"Tessra", "Pic3", "\"quoted\""}, {"Tessra", "Pic4", "'"},
          {"Tessra", "strBild", "'half"}},
         "[Tessra]\nPic1 = \" lead\"\nPic2=\"trail\t\"\nPic3=\"\"quoted\"\"\nPic4='\nstrBild='half\n"},
        {"bom, long lines, binary",
         "\xEF\xBB\xBF[Tessra]\n" + longLine + "=" + longLine + "\n" + binary + "\nBild=3\n\x01\x02\x03\n", {{"Tessra", "Bild", "4"}},
         "\xEF\xBB\xBF[Tessra]\n" + longLine + "=" + longLine + "\n" + binary + "\nBild=4\n\x01\x02\x03\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(ProfilePath(), c.before);
        CProfile profile(ProfilePath());
        ASSERT_TRUE(profile.Load());
        for (const auto& [section, key, value] : c.sets)
            profile.SetString(section, key, value);
        ASSERT_TRUE(profile.Save());
        EXPECT_EQ(ReadFile(ProfilePath()), c.after);

        CProfile again(ProfilePath());
        ASSERT_TRUE(again.Load());
        for (const auto& [section, key, value] : c.sets) {
            EXPECT_EQ(again.GetString(section, key, "missing"), value.substr(0, value.find_first_of("\r\n")))
                << key;
            again.SetString(section, key, again.GetString(section, key, ""));
        }
        ASSERT_TRUE(again.Save());
        EXPECT_EQ(ReadFile(ProfilePath()), c.after);
    }
}

// A save puts a new file in place by a rename, with the old one's permissions;
// through a link it replaces the file the link names, and the link stays.
TEST_F(ProfileTest, SaveRenamesANewFileIntoPlaceOrWritesThroughALink)
{
    const std::string real = (m_root / "elsewhere.ini").string();
    for (const std::string& file : {ProfilePath(), real}) {
        WriteFile(file, "[Tessra]\nBild=1\n");
        chmod(file.c_str(), 0640);
        if (file == real) {
            std::filesystem::remove(ProfilePath());
            std::filesystem::create_symlink(real, ProfilePath());
        }
        struct stat before, after;
        ASSERT_EQ(stat(file.c_str(), &before), 0);
        CProfile profile(ProfilePath());
        ASSERT_TRUE(profile.Load());
        profile.SetInt("Tessra", "Bild", 2);
        ASSERT_TRUE(profile.Save());
        ASSERT_EQ(stat(file.c_str(), &after), 0);
        EXPECT_TRUE(before.st_ino != after.st_ino && (after.st_mode & 0777) == 0640);
        EXPECT_EQ(ReadFile(file), "[Tessra]\nBild=2\n");
        EXPECT_EQ(std::pair(std::filesystem::is_symlink(ProfilePath()), HiddenFiles(m_root / "config")),
                  std::pair(file == real, 0));
    }
}

TEST_F(ProfileTest, FailedWriteLeavesTheOldFileWhole)
{
    // The file-size limit makes writing fail half way, as a full disk would.
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
    bool ok = true;
    const std::string err = Stderr([&] { ok = profile.Save(); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(!ok && HiddenFiles(m_root / "config") == 0 && Lines(err) == 1) << err;
    EXPECT_EQ(ReadFile(ProfilePath()), old);
}

// A profile that is no regular file, or too large to read, is neither read (nor waited on) nor replaced.
TEST_F(ProfileTest, SpecialOrHugeFilesAreNeitherReadNorReplaced)
{
    using namespace support;
    const std::string path = ProfilePath();
    const std::string fifo = (m_root / "fifo").string(), node = (m_root / "null").string();
    const std::string big = "[Tessra]\nFieldX=5\n";
    // Each of them, and the kind of file that stays.
    const std::tuple<const char*, std::function<bool()>, mode_t> cases[] = {
        {"fifo", [&] { return MakeFifo(path); }, S_IFIFO},
        {"link to a fifo", [&] { return MakeFifo(fifo) && symlink(fifo.c_str(), path.c_str()) == 0; },
         S_IFLNK},
        {"device node", [&] { return MakeNullDevice(path); }, S_IFCHR},
        {"link to a device node",
         [&] { return MakeNullDevice(node) && symlink(node.c_str(), path.c_str()) == 0; }, S_IFLNK},
        {"folder", [&] { return mkdir(path.c_str(), 0755) == 0; }, S_IFDIR},
        {"link to nothing", [&] { return symlink((m_root / "gone").c_str(), path.c_str()) == 0; }, S_IFLNK},
        {"link to /dev/zero", [&] { return symlink("/dev/zero", path.c_str()) == 0; }, S_IFLNK},
        {"one byte too large", [&] { return MakeLargeFile(path, big, CProfile::kMaxBytes + 1); }, S_IFREG},
    };
    for (const auto& [name, make, kind] : cases) {
        SCOPED_TRACE(name);
        const std::string why = kind == S_IFREG ? "could not be read whole" : "not a regular file";
        std::filesystem::remove_all(m_root / "config");
        std::filesystem::remove(fifo);
        std::filesystem::remove(node);
        std::filesystem::create_directories(m_root / "config");
        if (!make()) {
            ADD_FAILURE() << "cannot make it: " << std::strerror(errno);
            continue;
        }
        FifoWatchdog watchdog({path, fifo});
        const auto start = std::chrono::steady_clock::now();
        CProfile profile(path);
        EXPECT_TRUE(!profile.Load() && profile.GetInt("Tessra", "FieldX", 3) == 3);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        profile.SetInt("Tessra", "FieldX", 7);
        const std::string err = Stderr([&] { EXPECT_FALSE(profile.Save()); });
        EXPECT_TRUE(Lines(err) == 1 && err.find(path + ": " + why) != std::string::npos) << err;
        EXPECT_EQ(profile.GetError(), why);
        EXPECT_EQ(std::pair(FileKind(path), HiddenFiles(m_root / "config")), std::pair(kind, 0));
        if (kind == S_IFREG) {
            EXPECT_EQ(std::filesystem::file_size(path), CProfile::kMaxBytes + 1);
            EXPECT_EQ(ReadFile(path).substr(0, big.size()), big);
        }
    }
}

// Temporary files of saves that never finished go with the next save; those
// of another profile, or of a save that may still be running, stay.
TEST_F(ProfileTest, SaveRemovesTheTemporaryFilesOfEarlierSaves)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child); // a process that is gone
    const std::string dead = std::to_string(child), mine = std::to_string(getpid());
    const std::filesystem::path folder = m_root / "config";
    const std::vector<std::string> stale = {".zandor-puzzle.INI.tmp" + dead + ".0",
                                            ".zandor-puzzle.INI.tmp" + mine + ".17",
                                            ".zandor-puzzle.INI.tmp1.4"};
    const std::vector<std::string> kept = {".zandor-puzzle.INI.tmp1.5", ".other.INI.tmp" + dead + ".0",
                                           ".zandor-puzzle.INI.tmp" + dead + ".0.bak",
                                           "zandor-puzzle.INI.bak"};
    for (const std::string& name : stale)
        WriteFile((folder / name).string(), "[Tessra]\nBild=");
    for (const std::string& name : kept)
        WriteFile((folder / name).string(), "keep");
    // Written an hour and more ago by a process that still runs.
    const timespec old[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (folder / stale[2]).c_str(), old, 0), 0);

    CProfile profile(ProfilePath());
    profile.SetInt("Tessra", "Bild", 2);
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadFile(ProfilePath()), "[Tessra]\nBild=2\n");
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    for (const std::string& name : kept)
        EXPECT_EQ(ReadFile((folder / name).string()), "keep") << name;
}

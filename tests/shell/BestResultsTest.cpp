// The best-results store: the two records of each board size, the file that keeps them, and what happens to a
// file it cannot use or a folder it cannot write.
#include "ShellTestEnv.h"

#include "shell/BestResults.h"
#include "support/SpecialFiles.h"

#include <functional>

using Entry = CBestResults::Entry;
using namespace std::literals;
namespace fs = std::filesystem;

TEST(BestResults, KeepsFewestMovesAndShortestTimePerSizeInItsFile)
{
    support::RunFolder folder;
    CBestResults best;
    const struct {
        int cols, rows, moves, seconds;
        bool fewest, fastest;
    } games[] = {
        {4, 4, 40, 100, true, true},                                // the first game of a size sets both
        {4, 4, 40, 100, false, false},                              // the same result again sets none
        {4, 4, 50, 200, false, false},                              // a worse game replaces nothing
        {4, 4, 35, 150, true, false},                               // fewer moves, more time
        {4, 4, 60, 90, false, true},                                // less time, more moves
        {3, 5, 20, 30, true, true},                                 // another size has records of its own
        {2, 2, 3, 0, true, true},      {11, 4, 1, 1, false, false}, // no board has that size
        {3, 3, -1, 5, false, false},
    };
    for (const auto& g : games) {
        const CBestResults::NewBest nb = best.Record(g.cols, g.rows, g.moves, g.seconds);
        EXPECT_EQ(std::pair(nb.bFewestMoves, nb.bShortestTime), std::pair(g.fewest, g.fastest))
            << g.cols << "x" << g.rows << " " << g.moves << " " << g.seconds;
    }
    const std::vector<Entry> expected = {{2, 2, 3, 0}, {3, 5, 20, 30}, {4, 4, 35, 90}};
    EXPECT_EQ(best.Entries(), expected);
    EXPECT_EQ(support::ReadFile(folder.BestResultsPath()), "zandor-puzzle best results 1\n"
                                                           "# size, fewest moves, shortest time in seconds\n"
                                                           "2x2 3 0\n3x5 20 30\n4x4 35 90\nend\n");

    // The next run reads them back; a second game running at the same time
    // does not undo the first one's records, as every change reads the file first.
    CBestResults other;
    other.Refresh();
    EXPECT_EQ(other.Entries(), expected);
    EXPECT_TRUE(other.Record(5, 5, 100, 300).Any() && best.Record(4, 4, 30, 95).bFewestMoves);
    other.Refresh();
    EXPECT_EQ(other.Entries(),
              (std::vector<Entry>{{2, 2, 3, 0}, {3, 5, 20, 30}, {4, 4, 30, 90}, {5, 5, 100, 300}}));

    // Cleared: an empty list, and no temporary file left beside it.
    EXPECT_TRUE(best.Clear());
    other.Refresh();
    EXPECT_TRUE(other.Entries().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.BestResultsPath().parent_path()), {}), 1);
    EXPECT_FALSE(best.IsMemoryOnly());
}

TEST(BestResults, AnUnusableFileIsSetAsideAnUnwritableFolderKeepsTheResultsForTheRun)
{
    const std::string whole = CBestResults::Format({{3, 3, 10, 20}, {4, 4, 30, 40}});
    const std::string head = std::string(CBestResults::kVersionLine) + "\n";
    const std::pair<const char*, std::string> texts[] = {
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv)},
        {"empty", ""},
        {"cut before the end", whole.substr(0, whole.size() - 4)},
        {"cut in a line", whole.substr(0, whole.find("4x4") + 4)},
        {"another version", "zandor-puzzle best results 2\nend\n"},
        {"a size twice", head + "3x3 5 6\n3x3 7 8\nend\n"},
        {"no board size", head + "1x3 5 6\nend\n"},
        {"a sign", head + "3x3 -5 6\nend\n"},
        {"too large a number", head + "3x3 5 99999999999\nend\n"},
        {"a field too many", head + "3x3 5 6 7\nend\n"},
        {"lines after the end", whole + "5x5 1 1\n"},
    };
    std::vector<std::pair<std::string, std::function<bool(const fs::path&)>>> cases;
    for (const auto& [name, text] : texts)
        cases.emplace_back(name, [text = text](const fs::path& p) { return support::WriteFile(p, text); });
    cases.emplace_back("a FIFO", [](const fs::path& p) { return support::MakeFifo(p); });
    cases.emplace_back("a folder", [](const fs::path& p) { return fs::create_directory(p); });
    // A valid start, then a hole of zeros past the size limit.
    cases.emplace_back("huge", [&](const fs::path& p) {
        return support::MakeLargeFile(p, whole, CBestResults::kMaxBytes * 1000);
    });
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        support::RunFolder folder;
        const fs::path path = folder.BestResultsPath();
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(make(path));
        const mode_t kind = support::FileKind(path);
        CBestResults best;
        CBestResults::NewBest nb;
        const std::string err = Stderr([&] { nb = best.Record(3, 3, 12, 25); });
        // Started afresh: the first game of the size sets both records.
        EXPECT_TRUE(nb.bFewestMoves && nb.bShortestTime && !best.IsMemoryOnly());
        EXPECT_EQ(best.Entries(), (std::vector<Entry>{{3, 3, 12, 25}}));
        // The old file lies beside the new one, as it was.
        EXPECT_EQ(std::pair(support::FileKind(path.string() + CBestResults::kDamagedSuffix),
                            support::FileKind(path)),
                  std::pair(kind, mode_t(S_IFREG)));
        std::vector<Entry> read;
        EXPECT_TRUE(CBestResults::Parse(support::ReadFile(path), read) && read == best.Entries());
        EXPECT_TRUE(Lines(err) == 1 && err.find(path.string()) != std::string::npos) << err;
    }

    // An unwritable folder keeps the results for the run and says so once.
    support::RunFolder folder;
    // The data folder is a plain file, so nothing can be made in it (not even by root).
    ASSERT_TRUE(support::WriteFile(folder.Root() / "data", "not a folder"));
    CBestResults best;
    const std::string err = Stderr([&] {
        EXPECT_TRUE(best.Record(4, 4, 30, 60).Any() && !best.Record(4, 4, 31, 61).Any()); // remembered
        EXPECT_TRUE(best.Record(4, 4, 29, 70).bFewestMoves && best.Record(2, 3, 5, 5).Any());
    });
    EXPECT_TRUE(Lines(err) == 1 && err.find(folder.BestResultsPath().string()) != std::string::npos) << err;
    EXPECT_TRUE(best.IsMemoryOnly() && !best.GetError().empty());
    EXPECT_EQ(best.Entries(), (std::vector<Entry>{{2, 3, 5, 5}, {4, 4, 29, 60}}));
    EXPECT_TRUE(!best.Clear() && best.Entries().empty());
}

// The pattern databases on disk: written once, read back, and never trusted when
// a file is damaged.
#include "TestBoards.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PatternCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zandor-pdb-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        CPatternStore::Instance().Clear();
        CPatternStore::Instance().SetCacheDirectory(m_dir);
    }
    void TearDown() override
    {
        CPatternStore::Instance().Clear();
        CPatternStore::Instance().SetCacheDirectory(testboards::SharedCacheDir());
        fs::remove_all(m_dir);
    }
    static std::shared_ptr<const CPatternSet> Load(int x, int y)
    {
        return CPatternStore::Instance().Wait(x, y, nullptr, std::chrono::steady_clock::time_point::max());
    }
    fs::path m_dir;
};

// Damages a file image in the ways a cache file goes wrong.
const std::vector<std::pair<const char*, std::function<void(std::vector<std::uint8_t>&)>>> kDamage = {
    {"truncated", [](std::vector<std::uint8_t>& b) { b.resize(b.size() - 100); }},
    {"cut inside the header", [](std::vector<std::uint8_t>& b) { b.resize(10); }},
    {"empty", [](std::vector<std::uint8_t>& b) { b.clear(); }},
    {"one byte longer", [](std::vector<std::uint8_t>& b) { b.push_back(0); }},
    {"flipped byte in the table", [](std::vector<std::uint8_t>& b) { b[b.size() / 2] ^= 0x04; }},
    {"wrong magic", [](std::vector<std::uint8_t>& b) { b[0] = 'X'; }},
    {"wrong version", [](std::vector<std::uint8_t>& b) { b[4] += 1; }},
    {"wrong shape", [](std::vector<std::uint8_t>& b) { std::swap(b[8], b[12]); }},
    {"wrong tile group", [](std::vector<std::uint8_t>& b) { b[20] += 1; }},
};

} // namespace

TEST_F(PatternCache, TablesAreWrittenOnceReadBackAndRebuiltWhenDamaged)
{
    const auto reference = Load(4, 3);
    ASSERT_TRUE(reference);
    ASSERT_TRUE(reference->IsReady());
    const int groups = reference->GroupCount();
    auto counters = CPatternStore::Instance().Counters();
    EXPECT_EQ(counters.nBuilt, groups);
    EXPECT_EQ(counters.nSaved, groups);
    EXPECT_EQ(counters.nLoaded, 0);
    CPatternStore::Instance().Clear();
    const auto loaded = Load(4, 3);
    ASSERT_TRUE(loaded);
    counters = CPatternStore::Instance().Counters();
    EXPECT_EQ(counters.nLoaded, groups);
    EXPECT_EQ(counters.nBuilt, 0);
    for (int g = 0; g < groups; ++g)
        EXPECT_EQ(loaded->Database(g).Serialize(), reference->Database(g).Serialize());

    const fs::path file = m_dir / reference->Database(groups - 1).FileName();
    const std::vector<std::uint8_t> good = reference->Database(groups - 1).Serialize();
    ASSERT_EQ(support::ReadBytes(file), good);
    for (const auto& [name, damage] : kDamage) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = good;
        damage(bytes);
        support::WriteFile(file, bytes);
        // The table itself refuses the image...
        CPatternDatabase probe(4, 3, reference->Database(groups - 1).PatternTiles());
        EXPECT_FALSE(probe.Deserialize(bytes));
        EXPECT_FALSE(probe.IsReady());
        // ...and the store builds it again and repairs the file.
        CPatternStore::Instance().Clear();
        const auto repaired = Load(4, 3);
        ASSERT_TRUE(repaired);
        counters = CPatternStore::Instance().Counters();
        EXPECT_EQ(counters.nBuilt, 1);
        EXPECT_EQ(counters.nLoaded, groups - 1);
        EXPECT_EQ(repaired->Database(groups - 1).Serialize(), good);
        EXPECT_EQ(support::ReadBytes(file), good);
    }
}

TEST_F(PatternCache, UnwritableFolderWorksFromMemory)
{
    // A plain file where the folder should be: nothing can be created below it.
    ASSERT_TRUE(support::WriteFile(m_dir / "blocker", "not a folder"));
    CPatternStore::Instance().SetCacheDirectory(m_dir / "blocker" / "zandor-puzzle");
    const auto set = Load(3, 2);
    ASSERT_TRUE(set);
    EXPECT_EQ(CPatternStore::Instance().Counters().nSaved, 0);
    EXPECT_EQ(CPatternStore::Instance().Counters().nBuilt, set->GroupCount());

    const CPuzzleState state(3, 2, {4, 0, 2, 5, 3, 1});
    ASSERT_TRUE(state.IsSolvable());
    const CSolveResult result = CPuzzleSolver::Solve(state);
    EXPECT_EQ(result.status, CSolveResult::EStatus::Solved);
    EXPECT_TRUE(result.bOptimal);
    EXPECT_TRUE(testboards::Solves(state, result.moves));
}

TEST(PatternCacheFolder, FollowsXdgCacheHome)
{
    const support::ScopedEnv home("HOME", "/home/player"), xdg("XDG_CACHE_HOME", "/var/cache/player");
    EXPECT_EQ(CPatternStore::DefaultCacheDirectory(), fs::path("/var/cache/player/zandor-puzzle"));
    for (const auto& notUsable : {std::optional<std::string>(""), std::optional<std::string>(),
                                  std::optional<std::string>("relative/dir")}) {
        support::ScopedEnv::Set("XDG_CACHE_HOME", notUsable);
        EXPECT_EQ(CPatternStore::DefaultCacheDirectory(), fs::path("/home/player/.cache/zandor-puzzle"));
    }
    support::ScopedEnv::Set("HOME", std::nullopt);
    EXPECT_TRUE(CPatternStore::DefaultCacheDirectory().empty());
}

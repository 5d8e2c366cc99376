// The pattern databases on disk: shipped with the program or written to the cache
// once, read back, and never trusted when a file is damaged.
#include "TestBoards.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace fs = std::filesystem;

namespace {

class PatternCache : public ::testing::Test {
protected:
    static std::shared_ptr<const CPatternSet> Load(int x, int y)
    {
        return CPatternStore::Instance().Wait(x, y, nullptr, std::chrono::steady_clock::time_point::max());
    }
    // Tables taken from the shipped folder, loaded from the cache, built, saved.
    static void ExpectCounters(int shipped, int loaded, int built, int saved)
    {
        const auto c = CPatternStore::Instance().Counters();
        EXPECT_EQ((std::vector{c.nShipped, c.nLoaded, c.nBuilt, c.nSaved}),
                  (std::vector{shipped, loaded, built, saved}));
    }
    testboards::SScratchTables m_tables;
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
    ASSERT_TRUE(reference && reference->IsReady());
    const int groups = reference->GroupCount();
    ExpectCounters(0, 0, groups, groups);
    CPatternStore::Instance().Clear();
    const auto loaded = Load(4, 3);
    ASSERT_TRUE(loaded);
    ExpectCounters(0, groups, 0, 0);
    for (int g = 0; g < groups; ++g)
        EXPECT_EQ(loaded->Database(g).Serialize(), reference->Database(g).Serialize());
    // A tall board uses the tables of the wide one.
    EXPECT_EQ(Load(3, 4), loaded);

    // The same files shipped with the program are read from there first.
    fs::copy(m_tables.Cache(), m_tables.Shipped());
    CPatternStore::Instance().Clear();
    ASSERT_TRUE(Load(4, 3));
    ExpectCounters(groups, 0, 0, 0);

    // One table damaged, in the shipped folder or in the cache: it is built again
    // into the cache, and the shipped folder is never written.
    const std::string name = reference->Database(groups - 1).FileName();
    const std::vector<std::uint8_t> good = reference->Database(groups - 1).Serialize();
    ASSERT_EQ(support::ReadBytes(m_tables.Cache() / name), good);
    for (const auto& [what, damage] : kDamage) {
        std::vector<std::uint8_t> bytes = good;
        damage(bytes);
        // The table itself refuses the image...
        CPatternDatabase probe(4, 3, reference->Database(groups - 1).PatternTiles());
        EXPECT_FALSE(probe.Deserialize(bytes) || probe.IsReady()) << what;
        for (bool shipped : {false, true}) {
            SCOPED_TRACE(std::string(what) + (shipped ? ", shipped" : ", in the cache"));
            const fs::path folder = shipped ? m_tables.Shipped() : m_tables.Cache();
            fs::remove_all(m_tables.dir);
            fs::create_directories(folder);
            for (int g = 0; g < groups; ++g)
                support::WriteFile(folder / reference->Database(g).FileName(),
                                   g == groups - 1 ? bytes : reference->Database(g).Serialize());
            // ...and the store builds it again.
            CPatternStore::Instance().Clear();
            const auto repaired = Load(4, 3);
            ASSERT_TRUE(repaired);
            ExpectCounters(shipped ? groups - 1 : 0, shipped ? 0 : groups - 1, 1, 1);
            EXPECT_EQ(repaired->Database(groups - 1).Serialize(), good);
            EXPECT_EQ(support::ReadBytes(m_tables.Cache() / name), good);
            if (shipped) {
                EXPECT_EQ(support::ReadBytes(folder / name), bytes);
            }
        }
    }
    // The damaged shipped file stays; the repaired copy in the cache is read instead.
    CPatternStore::Instance().Clear();
    ASSERT_TRUE(Load(4, 3));
    ExpectCounters(groups - 1, 1, 0, 0);
}

TEST_F(PatternCache, TheBuildShipsEveryTableTheSolverLoads)
{
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_TEST_SHIPPED);
    int groups = 0;
    for (auto [x, y] : {std::pair{5, 2}, {6, 2}, {4, 3}, {7, 2}, {5, 3}, {8, 2}, {4, 4}}) {
        const auto set = Load(x, y);
        ASSERT_TRUE(set) << x << "x" << y;
        groups += set->GroupCount();
    }
    ExpectCounters(groups, 0, 0, 0);
}

TEST_F(PatternCache, UnwritableFolderWorksFromMemory)
{
    // A plain file where the folder should be: nothing can be created below it.
    ASSERT_TRUE(support::WriteFile(m_tables.dir / "blocker", "not a folder"));
    CPatternStore::Instance().SetCacheDirectory(m_tables.dir / "blocker" / "zandor-puzzle");
    const auto set = Load(2, 6);
    ASSERT_TRUE(set);
    ExpectCounters(0, 0, set->GroupCount(), 0);

    std::mt19937 rng(5);
    const CPuzzleState state = testboards::RandomSolvable(2, 6, rng);
    const CSolveResult result = CPuzzleSolver::Solve(state);
    EXPECT_EQ(result.status, CSolveResult::EStatus::Solved);
    EXPECT_TRUE(result.bOptimal && testboards::Solves(state, result.moves));
}

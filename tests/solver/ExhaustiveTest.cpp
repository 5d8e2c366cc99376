// Every arrangement of the small boards: breadth-first search from the finished
// picture gives the true distances; the solver must match them exactly and must
// call exactly the unreached arrangements unsolvable.
#include "TestBoards.h"
#include "engine/solver/PuzzleSolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace {

std::uint64_t Pack(const std::vector<int>& tiles)
{
    std::uint64_t key = 0;
    for (int t : tiles)
        key = key * 16 + static_cast<std::uint64_t>(t);
    return key;
}

std::unordered_map<std::uint64_t, int> Distances(int x, int y)
{
    std::unordered_map<std::uint64_t, int> dist;
    std::vector<int> solved(static_cast<size_t>(x * y));
    for (size_t i = 0; i < solved.size(); ++i)
        solved[i] = static_cast<int>(i);
    std::deque<std::vector<int>> queue{solved};
    dist[Pack(solved)] = 0;
    while (!queue.empty()) {
        std::vector<int> tiles = queue.front();
        queue.pop_front();
        const int d = dist[Pack(tiles)];
        const int blank = static_cast<int>(std::find(tiles.begin(), tiles.end(), x * y - 1) - tiles.begin());
        const int bc = blank % x, br = blank / x;
        const int around[4][2] = {{bc + 1, br}, {bc - 1, br}, {bc, br + 1}, {bc, br - 1}};
        for (const auto& a : around) {
            if (a[0] < 0 || a[0] >= x || a[1] < 0 || a[1] >= y)
                continue;
            std::vector<int> next = tiles;
            std::swap(next[static_cast<size_t>(blank)], next[static_cast<size_t>(a[1] * x + a[0])]);
            if (dist.emplace(Pack(next), d + 1).second)
                queue.push_back(next);
        }
    }
    return dist;
}

void CheckEveryArrangement(int x, int y, int every)
{
    const auto dist = Distances(x, y);
    std::vector<int> tiles(static_cast<size_t>(x * y));
    for (size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = static_cast<int>(i);
    long total = 0, reachable = 0, solvedChecked = 0;
    int longest = 0;
    do {
        const auto it = dist.find(Pack(tiles));
        const bool reached = it != dist.end();
        reachable += reached;
        if (total++ % every != 0)
            continue;
        const CPuzzleState state(x, y, tiles);
        ASSERT_EQ(CPuzzleSolver::IsSolvable(state), reached) << "arrangement " << total;
        const CSolveResult result = CPuzzleSolver::Solve(state);
        if (!reached) {
            ASSERT_EQ(result.status, CSolveResult::EStatus::Unsolvable);
            ASSERT_TRUE(result.moves.empty());
            continue;
        }
        ASSERT_EQ(result.status, CSolveResult::EStatus::Solved);
        ASSERT_TRUE(result.bOptimal);
        ASSERT_EQ(static_cast<int>(result.moves.size()), it->second) << "arrangement " << total;
        ASSERT_TRUE(testboards::Solves(state, result.moves)) << "arrangement " << total;
        longest = std::max(longest, it->second);
        ++solvedChecked;
    } while (std::next_permutation(tiles.begin(), tiles.end()));
    // Exactly half of all arrangements can be reached.
    EXPECT_EQ(reachable * 2, total);
    EXPECT_GT(solvedChecked, 0);
    EXPECT_GT(longest, 0);
}

} // namespace

TEST(Exhaustive, TwoByTwo)
{
    CheckEveryArrangement(2, 2, 1);
}

TEST(Exhaustive, ThreeByTwoAndTwoByThree)
{
    CheckEveryArrangement(3, 2, 1);
    CheckEveryArrangement(2, 3, 1);
}

TEST(Exhaustive, ThreeByThree)
{
    // Under the sanitizer every 16th arrangement, to keep the run short.
    CheckEveryArrangement(3, 3, testboards::UnderSanitizer() ? 16 : 1);
}

// Every arrangement of the small boards: breadth-first search from the finished picture gives the true
// distances; the solver must match them exactly and must call exactly the unreached arrangements unsolvable.
#include "TestBoards.h"
#include "engine/solver/PuzzleSolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

void CheckEveryArrangement(int x, int y, int every)
{
    const auto dist = testboards::Distances(x, y);
    std::vector<int> tiles(static_cast<size_t>(x * y));
    std::iota(tiles.begin(), tiles.end(), 0);
    long total = 0, reachable = 0;
    do {
        const auto it = dist.find(testboards::Pack(tiles));
        const bool reached = it != dist.end();
        reachable += reached;
        if (total++ % every != 0)
            continue;
        const CPuzzleState state(x, y, tiles);
        ASSERT_EQ(CPuzzleSolver::IsSolvable(state), reached) << "arrangement " << total;
        const CSolveResult result = CPuzzleSolver::Solve(state);
        if (!reached) {
            ASSERT_TRUE(result.status == CSolveResult::EStatus::Unsolvable && result.moves.empty()) << total;
            continue;
        }
        ASSERT_TRUE(result.status == CSolveResult::EStatus::Solved && result.bOptimal) << total;
        ASSERT_EQ(static_cast<int>(result.moves.size()), it->second) << "arrangement " << total;
        ASSERT_TRUE(testboards::Solves(state, result.moves)) << "arrangement " << total;
    } while (std::next_permutation(tiles.begin(), tiles.end()));
    // Exactly half of all arrangements can be reached.
    EXPECT_EQ(reachable * 2, total);
}

} // namespace

TEST(Exhaustive, TwoByTwoThreeByTwoTwoByThreeAndThreeByThree)
{
    // Of 3 x 3 under the sanitizer every 16th arrangement, to keep the run short.
    for (auto [x, y, every] :
         {std::tuple{2, 2, 1}, {3, 2, 1}, {2, 3, 1}, {3, 3, testboards::kUnderSanitizer ? 16 : 1}})
        CheckEveryArrangement(x, y, every);
}

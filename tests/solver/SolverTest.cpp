#include "TestBoards.h"
#include "engine/solver/PathShortener.h"
#include "engine/solver/PuzzleSolver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>

using Clock = std::chrono::steady_clock;
using Status = CSolveResult::EStatus;

TEST(Solver, RefusesMalformedAndUnsolvableBoardsAndLeavesFinishedOnesAlone)
{
    const CSolveResult wrongSize = CPuzzleSolver::Solve(CPuzzleState(11, 3));
    EXPECT_EQ(wrongSize.status, Status::Malformed);
    EXPECT_FALSE(wrongSize.message.empty());

    std::mt19937 rng(7);
    std::vector<int> tiles = testboards::RandomSolvable(10, 10, rng).Tiles();
    std::swap(tiles[tiles[0] == 99 ? 2 : 0], tiles[tiles[1] == 99 ? 2 : 1]);
    const CSolveResult unsolvable = CPuzzleSolver::Solve(CPuzzleState(10, 10, tiles));
    EXPECT_EQ(unsolvable.status, Status::Unsolvable);
    EXPECT_TRUE(unsolvable.moves.empty());

    const CSolveResult finished = CPuzzleSolver::Solve(CPuzzleState(10, 3));
    EXPECT_EQ(finished.status, Status::Solved);
    EXPECT_TRUE(finished.moves.empty());
}

TEST(Solver, EveryShapeIsSolvedByLegalMoves)
{
    std::mt19937 rng(2024);
    const int boards = testboards::kUnderSanitizer ? 1 : 3;
    double ratio = 0; // 10 x 10: moves against the Manhattan bound
    for (int x = 2; x <= 10; ++x) {
        for (int y = 2; y <= 10; ++y) {
            // Under the sanitizer: the smaller shapes and the extreme ones.
            const bool extreme = (x == 10 || x == 2) && (y == 10 || y == 2);
            if (testboards::kUnderSanitizer && x * y > 50 && !extreme)
                continue;
            for (int i = 0; i < boards; ++i) {
                const CPuzzleState state = testboards::RandomSolvable(x, y, rng);
                // The shortest search only where it is quick; the short solver everywhere else.
                CPuzzleSolver::SOptions options;
                options.bShortest = x * y <= 12;
                const CSolveResult r = CPuzzleSolver::Solve(state, options);
                ASSERT_EQ(r.status, Status::Solved) << x << "x" << y;
                ASSERT_TRUE(testboards::Solves(state, r.moves)) << x << "x" << y << " board " << i;
                EXPECT_GE(static_cast<int>(r.moves.size()), state.ManhattanDistance());
                EXPECT_EQ(r.bOptimal, x * y <= 12) << x << "x" << y;
                if (x * y == 100)
                    ratio += static_cast<double>(r.moves.size()) / state.ManhattanDistance();
            }
        }
    }
    // Quality guard: large boards need well under three times the Manhattan bound.
    EXPECT_LT(ratio / boards, 2.6);
}

// On the shapes too large for an exhaustive check: boards at the edge of a
// breadth-first search from the finished picture, whose true distance is known.
TEST(Solver, ShortestSolutionsMatchABreadthFirstSearch)
{
    std::mt19937 rng(99);
    // Under the sanitizer the 16-cell tables would take most of the run to build:
    // the 12-cell shapes use the same code with smaller tables.
    const std::vector<std::pair<int, int>> shapes =
        testboards::kUnderSanitizer ? std::vector<std::pair<int, int>>{{4, 3}, {3, 4}}
                                    : std::vector<std::pair<int, int>>{{4, 4}, {5, 3}, {3, 4}};
    const int depth = testboards::kUnderSanitizer ? 14 : 17;
    for (auto [x, y] : shapes) {
        std::vector<std::uint64_t> edge;
        for (const auto& [key, d] : testboards::Distances(x, y, depth))
            if (d == depth)
                edge.push_back(key);
        std::vector<std::uint64_t> picked;
        std::sample(edge.begin(), edge.end(), std::back_inserter(picked), 8, rng);
        ASSERT_EQ(picked.size(), 8u);
        for (std::uint64_t key : picked) {
            std::vector<int> tiles(static_cast<size_t>(x * y));
            for (auto t = tiles.rbegin(); t != tiles.rend(); ++t, key >>= 4)
                *t = static_cast<int>(key & 15);
            const CPuzzleState state(x, y, tiles);
            const CSolveResult r = CPuzzleSolver::Solve(state);
            ASSERT_EQ(r.status, Status::Solved);
            ASSERT_TRUE(r.bOptimal);
            ASSERT_TRUE(testboards::Solves(state, r.moves));
            EXPECT_EQ(static_cast<int>(r.moves.size()), depth) << x << "x" << y;
        }
    }
}

TEST(Solver, StopFlagEndsALargeSolveAtOnce)
{
    std::mt19937 rng(11);
    std::atomic<bool> stop{true};
    CPuzzleSolver::SOptions options;
    options.pStop = &stop;
    const auto start = Clock::now();
    const CSolveResult r = CPuzzleSolver::Solve(testboards::RandomSolvable(10, 10, rng), options);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(r.status, Status::Interrupted);
    EXPECT_TRUE(r.moves.empty());
}

TEST(Solver, InterruptedShortestSearchFallsBackToAShortSolution)
{
    // The short solver finishes small boards with the 3 x 3 table; the very first
    // fallback of a run waits for it to be built, so it is made ready first.
    ASSERT_TRUE(CPatternStore::Instance().Wait(3, 3, nullptr, Clock::time_point::max()));
    std::mt19937 rng(31);
    int fellBack = 0;
    for (int i = 0; i < 6; ++i) {
        const CPuzzleState state = testboards::RandomSolvable(4, 4, rng);
        std::atomic<bool> stop{false};
        CPuzzleSolver::SOptions options;
        options.pStop = &stop;
        Clock::time_point stoppedAt = Clock::time_point::max();
        std::thread stopper([&stop, &stoppedAt] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            stoppedAt = Clock::now();
            stop = true;
        });
        const CSolveResult r = CPuzzleSolver::Solve(state, options);
        const auto returned = Clock::now();
        stopper.join();
        // Back soon after the stop, with the short solution in hand.
        if (r.bFellBack) {
            EXPECT_LT(returned - stoppedAt, std::chrono::milliseconds(200));
        }
        ASSERT_EQ(r.status, Status::Solved);
        ASSERT_TRUE(testboards::Solves(state, r.moves));
        EXPECT_NE(r.bOptimal, r.bFellBack);
        fellBack += r.bFellBack;
    }
    EXPECT_GT(fellBack, 0);

    // A deadline already past: the short solution at once.
    const CPuzzleState state = testboards::RandomSolvable(4, 4, rng);
    CPuzzleSolver::SOptions options;
    options.deadline = Clock::now();
    const auto start = Clock::now();
    const CSolveResult r = CPuzzleSolver::Solve(state, options);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(r.status, Status::Solved);
    EXPECT_TRUE(r.bFellBack);
    EXPECT_FALSE(r.bOptimal);
    EXPECT_TRUE(testboards::Solves(state, r.moves));
}

TEST(PathShortener, DropsDetoursThatReturnToAnEarlierBoard)
{
    std::mt19937 rng(3);
    const CPuzzleState state = testboards::RandomSolvable(3, 3, rng);
    const std::vector<CCell> best = CPuzzleSolver::Solve(state).moves;
    ASSERT_GE(best.size(), 4u);

    // After two moves: step away and back, then run the blank three times round a
    // 2 x 2 block, which puts its three tiles back where they were.
    CPuzzleState mid = state;
    ASSERT_TRUE(mid.Apply({best[0], best[1]}));
    const CCell b = mid.Blank();
    const int dc = b.col == 0 ? 1 : -1, dr = b.row == 0 ? 1 : -1;
    std::vector<CCell> padded(best.begin(), best.begin() + 2);
    padded.insert(padded.end(), {CCell(b.col + dc, b.row), b});
    for (int round = 0; round < 3; ++round)
        padded.insert(padded.end(),
                      {CCell(b.col + dc, b.row), CCell(b.col + dc, b.row + dr), CCell(b.col, b.row + dr), b});
    padded.insert(padded.end(), best.begin() + 2, best.end());
    ASSERT_TRUE(testboards::Solves(state, padded));

    EXPECT_EQ(CPathShortener::RemoveLoops(state, padded), best);
    // A list without loops is left alone.
    EXPECT_EQ(CPathShortener::RemoveLoops(state, best), best);
}

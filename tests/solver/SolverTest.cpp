#include "TestBoards.h"
#include "engine/solver/OptimalSolver.h"
#include "engine/solver/PathShortener.h"
#include "engine/solver/PuzzleSolver.h"
#include "engine/solver/SolutionPlan.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>
#include <tuple>

using Clock = std::chrono::steady_clock;
using Status = CSolveResult::EStatus;

TEST(Solver, EveryShapeIsSolvedByLegalMoves)
{
    std::mt19937 rng(2024);
    const int boards = testboards::kUnderSanitizer ? 1 : 3;
    double ratio = 0; // 10 x 10: moves against the Manhattan bound
    for (int x = 2; x <= 10; ++x)
        for (int y = 2; y <= 10; ++y) {
            // Under the sanitizer: the smaller shapes and the extreme ones.
            const bool extreme = (x == 10 || x == 2) && (y == 10 || y == 2);
            if (testboards::kUnderSanitizer && x * y > 50 && !extreme)
                continue;
            for (int i = 0; i < boards; ++i) {
                const CPuzzleState state = testboards::RandomSolvable(x, y, rng);
                // The shortest search only where it is quick; the short solver everywhere else.
                const CSolveResult r = CPuzzleSolver::Solve(state, {.bShortest = x * y <= 12});
                ASSERT_EQ(r.status, Status::Solved) << x << "x" << y;
                ASSERT_TRUE(testboards::Solves(state, r.moves)) << x << "x" << y << " board " << i;
                EXPECT_GE(static_cast<int>(r.moves.size()), state.ManhattanDistance());
                EXPECT_EQ(r.bOptimal, x * y <= 12) << x << "x" << y;
                if (x * y == 100)
                    ratio += static_cast<double>(r.moves.size()) / state.ManhattanDistance();
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
            ASSERT_TRUE(r.status == Status::Solved && r.bOptimal && testboards::Solves(state, r.moves));
            EXPECT_EQ(static_cast<int>(r.moves.size()), depth) << x << "x" << y;
        }
    }
}

// The stop flag and the deadline end the work at once on every size; the result is the best complete solution
// held then: the short one of a small board found before the shortest search began, otherwise none.
TEST(Solver, LimitsMeanTheSameOnEverySize)
{
    // The caller's limit: already reached, or some milliseconds after the call. The small board is scrambled
    // lightly, so its short solution is found at once, while the shortest search waits for tables that take
    // seconds to build; it comes last, as those builds keep both processors busy.
    // Width, height, limit in milliseconds, scramble steps (0 for a random board), the answer.
    const std::tuple<int, int, int, int, Status> cases[] = {
        {3, 3, -1, 0, Status::Interrupted},   {4, 4, -1, 0, Status::Interrupted},
        {10, 10, -1, 0, Status::Interrupted}, {2, 9, -1, 0, Status::Interrupted},
        {10, 10, 2, 0, Status::Interrupted},  {4, 4, 500, 12, Status::Solved}};
    // An empty cache and no shipped tables.
    testboards::SScratchTables scratch;
    std::mt19937 rng(11);
    for (const auto& [x, y, limitMs, walk, status] : cases) {
        for (bool byStop : {false, true}) {
            SCOPED_TRACE(std::to_string(x) + "x" + std::to_string(y) + (byStop ? " stop" : " deadline"));
            const CPuzzleState state =
                walk ? testboards::Walk(x, y, walk, rng) : testboards::RandomSolvable(x, y, rng);
            const auto start = Clock::now();
            const auto limit = start + std::chrono::milliseconds(limitMs);
            std::atomic<bool> stop{limitMs < 0};
            auto reached = std::max(start, limit); // when the stop flag was really raised
            CPuzzleSolver::SOptions options;
            std::thread stopper;
            if (byStop) {
                options.pStop = &stop;
                if (!stop)
                    stopper = std::thread([&] {
                        std::this_thread::sleep_until(limit);
                        reached = Clock::now();
                        stop = true;
                    });
            } else {
                options.deadline = limit;
            }
            const CSolveResult r = CPuzzleSolver::Solve(state, options);
            const auto returned = Clock::now();
            if (stopper.joinable())
                stopper.join();
            EXPECT_LT(returned - reached, std::chrono::milliseconds(testboards::kUnderSanitizer ? 50 : 20));
            ASSERT_EQ(r.status, status);
            EXPECT_EQ(std::pair(r.bOptimal, r.bFellBack), std::pair(false, status == Status::Solved));
            EXPECT_TRUE(status == Status::Solved ? testboards::Solves(state, r.moves) : r.moves.empty());
        }
    }
    // Boards that need no search are answered all the same: finished, no board at all, or two tiles swapped.
    const CPuzzleSolver::SOptions past{.deadline = Clock::now()};
    const CSolveResult finished = CPuzzleSolver::Solve(CPuzzleState(10, 3), past);
    EXPECT_TRUE(finished.status == Status::Solved && finished.moves.empty());
    const CSolveResult wrongSize = CPuzzleSolver::Solve(CPuzzleState(11, 3), past);
    EXPECT_TRUE(wrongSize.status == Status::Malformed && !wrongSize.message.empty());
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState(2, 2, {1, 0, 2, 3}), past).status, Status::Unsolvable);
    std::vector<int> tiles = CPuzzleState(10, 10).Tiles();
    std::swap(tiles[0], tiles[1]);
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState(10, 10, tiles), past).status, Status::Unsolvable);
    EXPECT_EQ(CPuzzleSolver::ShortestLength(testboards::RandomSolvable(4, 4, rng), past), -1);
}

// A board gets the same answer whether or not the pattern store's tables are
// ready; and the shortest answer is the same whichever tables estimate the distance.
TEST(Solver, SameBoardSameAnswerWhateverTablesAreReady)
{
    std::mt19937 rng(77);
    std::vector<std::pair<CPuzzleState, CPuzzleSolver::SOptions>> boards;
    const std::tuple<int, int, bool> cases[] = {{4, 3, true},   {3, 4, true},  {4, 4, false}, {5, 5, true},
                                                {10, 10, true}, {10, 2, true}, {2, 10, true}};
    for (const auto& [x, y, shortest] : cases)
        for (int i = 0; i < 2; ++i)
            boards.emplace_back(testboards::RandomSolvable(x, y, rng),
                                CPuzzleSolver::SOptions{.bShortest = shortest});
    std::vector<CSolveResult> first;
    {
        testboards::SScratchTables scratch; // nothing ready, nothing on disk
        for (const auto& [state, options] : boards)
            first.push_back(CPuzzleSolver::Solve(state, options));
    }
    for (auto [x, y] : {std::pair{4, 3}, {4, 4}})
        ASSERT_TRUE(CPatternStore::Instance().Wait(x, y, nullptr, Clock::time_point::max()));
    for (size_t i = 0; i < boards.size(); ++i) {
        const auto& [state, options] = boards[i];
        SCOPED_TRACE(std::to_string(state.Width()) + "x" + std::to_string(state.Height()));
        const CSolveResult again = CPuzzleSolver::Solve(state, options);
        ASSERT_EQ(first[i].status, Status::Solved);
        EXPECT_TRUE(testboards::Solves(state, again.moves));
        EXPECT_EQ(std::pair(again.moves, again.bOptimal), std::pair(first[i].moves, first[i].bOptimal));
        if (state.Width() == 4 && state.Height() == 3) {
            // The quick tables of small groups give a weaker estimate, the same moves.
            std::vector<CCell> quick;
            COptimalSolver solver(*CPatternStore::Instance().Quick(4, 3));
            ASSERT_TRUE(solver.Solve(state, {}, quick));
            EXPECT_EQ(quick, again.moves);
        }
    }
}

// Hints: the first move of a shortest solution, asked afresh on each new board, finishes a small board in
// exactly the shortest number of moves; on a large board the kept plan finishes it, and a player who leaves
// its path and comes back is served again.
TEST(Solver, FollowingHintsFinishesTheBoard)
{
    std::mt19937 rng(8);
    for (auto [x, y, steps] : {std::tuple{3, 3, 200}, {4, 4, 120}, {10, 10, 2000}}) {
        SCOPED_TRACE(std::to_string(x) + "x" + std::to_string(y));
        CPuzzleState state = testboards::Walk(x, y, steps, rng);
        const CPuzzleState start = state;
        const int shortest = CPuzzleSolver::ShortestLength(state, {});
        CSolutionPlan plan(state, CPuzzleSolver::Solve(state));
        ASSERT_FALSE(plan.IsEmpty());
        EXPECT_EQ(std::pair(plan.IsOptimal(), shortest),
                  std::pair(x * y <= 16, x * y <= 16 ? plan.Length() : -1));
        int moves = 0;
        CCell previousBlank = state.Blank();
        for (; !state.IsSolved() && moves <= plan.Length(); ++moves) {
            std::optional<CCell> hint = plan.NextMove(state);
            if (x * y <= 16) {
                const CSolveResult fresh = CPuzzleSolver::Solve(state);
                ASSERT_EQ(fresh.moves.size(), static_cast<size_t>(shortest - moves));
                hint = fresh.moves.front();
            } else if (moves == 10) {
                // A detour (not the hint, not back to the board before): off the path, then back.
                CPuzzleState away = state;
                const CCell b = away.Blank();
                for (CCell c : {CCell(b.col + 1, b.row), CCell(b.col - 1, b.row), CCell(b.col, b.row + 1),
                                CCell(b.col, b.row - 1)})
                    if (c != *hint && c != previousBlank && away.Click(c))
                        break;
                ASSERT_NE(away, state);
                ASSERT_TRUE(!plan.NextMove(away) && plan.MovesLeft(away) == -1 && away.Click(b));
                EXPECT_EQ(plan.NextMove(away), hint);
            }
            ASSERT_TRUE(hint);
            previousBlank = state.Blank();
            ASSERT_TRUE(state.Click(*hint));
        }
        EXPECT_TRUE(state.IsSolved());
        EXPECT_EQ(std::pair(moves, plan.MovesLeft(start)),
                  std::pair(x * y <= 16 ? shortest : plan.Length(), plan.Length()));
    }
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

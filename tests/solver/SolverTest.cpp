#include "TestBoards.h"
#include "engine/solver/PathShortener.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>

using Clock = std::chrono::steady_clock;
using Status = CSolveResult::EStatus;

namespace {

// Plain iterative deepening with the Manhattan bound: slow but simple, the
// yardstick for the shortest lengths on boards too large for a full search.
class CPlainSearch {
public:
    explicit CPlainSearch(const CPuzzleState& s) : m_x(s.Width()), m_y(s.Height()), m_tiles(s.Tiles()) {}

    int Shortest()
    {
        int blank = 0;
        for (size_t i = 0; i < m_tiles.size(); ++i)
            if (m_tiles[i] == m_x * m_y - 1)
                blank = static_cast<int>(i);
        int h = 0;
        for (size_t i = 0; i < m_tiles.size(); ++i)
            h += Distance(m_tiles[i], static_cast<int>(i));
        for (int bound = h;; bound = m_next) {
            m_next = INT_MAX;
            if (Search(0, bound, blank, -1, h))
                return bound;
        }
    }

private:
    int Distance(int tile, int cell) const
    {
        if (tile == m_x * m_y - 1)
            return 0;
        return std::abs(tile % m_x - cell % m_x) + std::abs(tile / m_x - cell / m_x);
    }
    bool Search(int g, int bound, int blank, int previous, int h)
    {
        if (h == 0)
            return true;
        if (g + h > bound) {
            m_next = std::min(m_next, g + h);
            return false;
        }
        const int bc = blank % m_x, br = blank / m_x;
        const int around[4][2] = {{bc + 1, br}, {bc - 1, br}, {bc, br + 1}, {bc, br - 1}};
        for (const auto& a : around) {
            if (a[0] < 0 || a[0] >= m_x || a[1] < 0 || a[1] >= m_y)
                continue;
            const int cell = a[1] * m_x + a[0];
            if (cell == previous)
                continue;
            const int tile = m_tiles[static_cast<size_t>(cell)];
            const int nh = h - Distance(tile, cell) + Distance(tile, blank);
            std::swap(m_tiles[static_cast<size_t>(cell)], m_tiles[static_cast<size_t>(blank)]);
            const bool found = Search(g + 1, bound, cell, blank, nh);
            std::swap(m_tiles[static_cast<size_t>(cell)], m_tiles[static_cast<size_t>(blank)]);
            if (found)
                return true;
        }
        return false;
    }

    int m_x, m_y;
    std::vector<int> m_tiles;
    int m_next = INT_MAX;
};

// A random walk of the blank that never undoes its last step.
CPuzzleState Walk(int x, int y, int steps, std::mt19937& rng)
{
    CPuzzleState s(x, y);
    CCell previous(-1, -1);
    for (int i = 0; i < steps;) {
        const CCell b = s.Blank();
        const CCell options[4] = {
            {b.col + 1, b.row}, {b.col - 1, b.row}, {b.col, b.row + 1}, {b.col, b.row - 1}};
        const CCell pick = options[rng() % 4];
        if (pick == previous || !s.Click(pick))
            continue;
        previous = b;
        ++i;
    }
    return s;
}

} // namespace

TEST(Solver, RefusesMalformedAndUnsolvableBoards)
{
    const CSolveResult wrongSize = CPuzzleSolver::Solve(CPuzzleState(11, 3));
    EXPECT_EQ(wrongSize.status, Status::Malformed);
    EXPECT_FALSE(wrongSize.message.empty());
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState(3, 3, {0, 1, 2, 3, 4, 5, 6, 7})).status, Status::Malformed);
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState(3, 3, {0, 1, 2, 3, 4, 5, 6, 6, 8})).status,
              Status::Malformed);
    EXPECT_EQ(CPuzzleSolver::Solve(CPuzzleState(3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 9})).status,
              Status::Malformed);
    EXPECT_FALSE(CPuzzleSolver::IsSolvable(CPuzzleState(3, 3, {0, 1, 2, 3, 4, 5, 6, 6, 8})));

    std::mt19937 rng(7);
    CPuzzleState big = testboards::RandomSolvable(10, 10, rng);
    std::vector<int> tiles = big.Tiles();
    const size_t a = tiles[0] == 99 ? 2 : 0, b = tiles[1] == 99 ? 2 : 1;
    std::swap(tiles[a], tiles[b]);
    const CSolveResult unsolvable = CPuzzleSolver::Solve(CPuzzleState(10, 10, tiles));
    EXPECT_EQ(unsolvable.status, Status::Unsolvable);
    EXPECT_TRUE(unsolvable.moves.empty());
}

TEST(Solver, FinishedBoardNeedsNoMoves)
{
    for (int x : {2, 4, 10}) {
        const CSolveResult r = CPuzzleSolver::Solve(CPuzzleState(x, 3));
        EXPECT_EQ(r.status, Status::Solved);
        EXPECT_TRUE(r.moves.empty());
        EXPECT_TRUE(r.bOptimal);
    }
}

TEST(Solver, EveryShapeIsSolvedByLegalMoves)
{
    std::mt19937 rng(2024);
    const int boards = testboards::Sample(8) >= 8 ? 3 : 1;
    for (int x = 2; x <= 10; ++x) {
        for (int y = 2; y <= 10; ++y) {
            // Under the sanitizer: the smaller shapes and the extreme ones.
            const bool extreme = (x == 10 || x == 2) && (y == 10 || y == 2);
            if (testboards::UnderSanitizer() && x * y > 50 && !extreme)
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
                if (x * y <= 12) {
                    EXPECT_TRUE(r.bOptimal) << x << "x" << y;
                }
            }
        }
    }
}

TEST(Solver, ShortestSolutionsMatchAPlainSearch)
{
    std::mt19937 rng(99);
    const int boards = testboards::Sample(8);
    // Under the sanitizer the 16-cell tables would take most of the run to build:
    // the 12-cell shapes use the same code with smaller tables.
    const std::vector<std::pair<int, int>> shapes =
        testboards::UnderSanitizer() ? std::vector<std::pair<int, int>>{{4, 3}, {3, 4}}
                                     : std::vector<std::pair<int, int>>{{4, 4}, {5, 3}, {3, 4}};
    for (auto [x, y] : shapes) {
        for (int i = 0; i < boards; ++i) {
            const CPuzzleState state = Walk(x, y, 60, rng);
            const CSolveResult r = CPuzzleSolver::Solve(state);
            ASSERT_EQ(r.status, Status::Solved);
            ASSERT_TRUE(r.bOptimal);
            ASSERT_TRUE(testboards::Solves(state, r.moves));
            EXPECT_EQ(static_cast<int>(r.moves.size()), CPlainSearch(state).Shortest()) << x << "x" << y;
        }
    }
}

TEST(Solver, LargeBoardsStayWellBelowTheGreedyLength)
{
    // Quality guard: 10 x 10 boards need well under three times the Manhattan bound.
    std::mt19937 rng(5);
    double ratio = 0;
    const int boards = testboards::Sample(8) >= 8 ? 4 : 1;
    for (int i = 0; i < boards; ++i) {
        const CPuzzleState state = testboards::RandomSolvable(10, 10, rng);
        const CSolveResult r = CPuzzleSolver::Solve(state);
        ASSERT_EQ(r.status, Status::Solved);
        ASSERT_TRUE(testboards::Solves(state, r.moves));
        EXPECT_FALSE(r.bOptimal);
        ratio += static_cast<double>(r.moves.size()) / state.ManhattanDistance();
    }
    EXPECT_LT(ratio / boards, 2.6);
}

TEST(Solver, StopFlagEndsALargeSolveAtOnce)
{
    std::mt19937 rng(11);
    const CPuzzleState state = testboards::RandomSolvable(10, 10, rng);
    std::atomic<bool> stop{true};
    CPuzzleSolver::SOptions options;
    options.pStop = &stop;
    const auto start = Clock::now();
    const CSolveResult r = CPuzzleSolver::Solve(state, options);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(r.status, Status::Interrupted);
    EXPECT_TRUE(r.moves.empty());
}

TEST(Solver, InterruptedShortestSearchFallsBackToAShortSolution)
{
    // The short solver finishes small boards with the 3 x 3 table; the very first
    // fallback of a run waits for it to be built (milliseconds, longer under the
    // sanitizer), so it is made ready first.
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
    std::vector<CCell> detour = {CCell(b.col + dc, b.row), b};
    for (int round = 0; round < 3; ++round) {
        detour.push_back(CCell(b.col + dc, b.row));
        detour.push_back(CCell(b.col + dc, b.row + dr));
        detour.push_back(CCell(b.col, b.row + dr));
        detour.push_back(b);
    }
    std::vector<CCell> padded(best.begin(), best.begin() + 2);
    padded.insert(padded.end(), detour.begin(), detour.end());
    padded.insert(padded.end(), best.begin() + 2, best.end());
    ASSERT_TRUE(testboards::Solves(state, padded));

    const std::vector<CCell> shortened = CPathShortener::RemoveLoops(state, padded);
    EXPECT_EQ(shortened, best);
    // A list without loops is left alone.
    EXPECT_EQ(CPathShortener::RemoveLoops(state, best), best);
}

// The hint worker alone, plain C++ so that it also runs under ThreadSanitizer:
// hints and Solve followed to the end, and questions cancelled, replaced or
// closed while the worker answers them.
#include "engine/HintWorker.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"
#include "solver/TestBoards.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/syscall.h>

namespace {

using Answer = CHintWorker::SAnswer;
using Ticket = CHintWorker::Ticket;

// No tables of 10 to 16 cells shipped or cached: they are being built all through
// these tests, so the shortest search there gives way to the short solution.
// Answers are collected with the lowest nice value of the threads they came on.
class HintWorkerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_tables.emplace(); }
    static void TearDownTestSuite() { s_tables.reset(); }
    static inline std::optional<testboards::SScratchTables> s_tables;

    CHintWorker::Callback Collect()
    {
        return [this](const Answer& answer) {
            const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
            std::lock_guard lock(m_mutex);
            m_answers.push_back(answer);
            m_nLowestNice = std::min(m_nLowestNice, nice);
        };
    }
    // The answer to a ticket, waiting up to `seconds` for it (0: has it come?).
    std::optional<Answer> Wait(Ticket ticket, double seconds = 30)
    {
        std::optional<Answer> found;
        support::WaitUntil(
            [&] {
                std::lock_guard lock(m_mutex);
                for (const Answer& a : m_answers)
                    if (a.nTicket == ticket)
                        found = a;
                return found.has_value();
            },
            seconds);
        return found;
    }

    std::mutex m_mutex;
    std::vector<Answer> m_answers;
    int m_nLowestNice = 20;
};

TEST_F(HintWorkerTest, HintsAndSolveFollowedFinishTheBoard)
{
    const struct {
        int x, y, steps;
        bool bShortest; // every hint from a shortest solution
    } cases[] = {
        {3, 3, 60, true},    // the quick tables: shortest at once
        {4, 4, 40, false},   // tables still being built: the short plan, followed to its end
        {10, 10, 600, false} // the short solution only
    };
    CHintWorker worker(Collect(),
                       {.search = std::chrono::milliseconds(30), .improve = std::chrono::milliseconds(5)});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "x" + std::to_string(c.y));
        const CPuzzleState start =
            testboards::Walk(c.x, c.y, c.steps, static_cast<unsigned>(c.x * 100 + c.y));
        const std::size_t shortLength = CPuzzleSolver::Solve(start, {.bShortest = false}).moves.size();
        CPuzzleState board = start;
        int moves = 0;
        for (; !board.IsSolved() && moves < 5000; ++moves) {
            const std::optional<Answer> hint = Wait(worker.AskHint(board));
            ASSERT_TRUE(hint && hint->move && board.Click(*hint->move));
            EXPECT_TRUE(moves > 0 || hint->bOptimal == c.bShortest);
        }
        // Never longer than the first plan, tried again for a shortest one or not.
        EXPECT_LE(static_cast<std::size_t>(moves), shortLength);
        EXPECT_TRUE(!c.bShortest || moves == CPuzzleSolver::ShortestLength(start, {})) << moves;
        // Solve: every move at once, finishing the board.
        const std::optional<Answer> solve = Wait(worker.AskSolve(start));
        CPuzzleState end = start;
        ASSERT_TRUE(solve && end.Apply(solve->moves) && end.IsSolved());
    }
    // Nothing to do on a finished board: an answer without a move.
    const std::optional<Answer> none = Wait(worker.AskHint(CPuzzleState(3, 3)));
    EXPECT_TRUE(none && !none->move);
    // Background work gives way to the window.
    std::lock_guard lock(m_mutex);
    EXPECT_GE(m_nLowestNice, 10);
}

TEST_F(HintWorkerTest, CancelledReplacedAndClosedQuestionsAreNeverAnswered)
{
    std::optional<CHintWorker> worker(std::in_place, Collect());
    // Questions in quick succession, as moves made while hints are on their
    // way, some cancelled: once a question is replaced or cancelled its answer
    // never comes (it may have come before). The shortest length runs beside them.
    const Ticket shortest = worker->AskShortest(testboards::Walk(3, 3, 50, 3));
    std::vector<std::pair<Ticket, bool>> dropped; // and whether it was answered by then
    Ticket open = 0;
    for (unsigned i = 0; i <= 40; ++i) {
        const CPuzzleState board = testboards::Walk(i % 2 ? 10 : 3, i % 2 ? 10 : 3, 200, i);
        const Ticket ticket = i % 3 ? worker->AskHint(board) : worker->AskSolve(board);
        if (open)
            dropped.emplace_back(open, Wait(open, 0).has_value());
        open = ticket;
        if (i % 5 == 4) {
            worker->Cancel(open);
            dropped.emplace_back(open, Wait(open, 0).has_value());
            open = 0;
        }
    }
    ASSERT_TRUE(Wait(open));
    const std::optional<Answer> length = Wait(shortest);
    ASSERT_TRUE(length);
    EXPECT_EQ(length->nShortest, CPuzzleSolver::ShortestLength(testboards::Walk(3, 3, 50, 3), {}));
    ASSERT_TRUE(support::WaitUntil([&] { return worker->IsIdle(); }));
    for (const auto& [ticket, answeredThen] : dropped)
        EXPECT_EQ(Wait(ticket, 0).has_value(), answeredThen) << "question " << ticket;

    // Cancelled in the middle of its search: the worker is free at once and
    // the answer never comes. An older ticket cancels nothing.
    const Ticket running = worker->AskSolve(testboards::Walk(10, 10, 3000, 11));
    ASSERT_TRUE(support::WaitUntil([&] { return worker->IsAnswering(); }));
    worker->Cancel(dropped.front().first);
    worker->Cancel(running);
    EXPECT_TRUE(support::WaitUntil([&] { return worker->IsIdle(); }, 0.5) && !Wait(running, 0.05));

    // Closed in the middle of a search (and of the shortest length waiting for
    // tables being built): it stops at once and answers nothing.
    worker->AskShortest(testboards::Walk(4, 4, 200, 5));
    const Ticket last = worker->AskSolve(testboards::Walk(10, 10, 3000, 5));
    ASSERT_TRUE(support::WaitUntil([&] { return worker->IsAnswering(); }));
    const support::Stopwatch watch;
    worker.reset();
    EXPECT_LT(watch.Seconds(), 0.5);
    EXPECT_FALSE(Wait(last, 0));
}

} // namespace

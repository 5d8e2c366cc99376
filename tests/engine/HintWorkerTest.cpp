// The hint worker alone (plain C++, no Qt, so that it also runs under
// ThreadSanitizer): hints followed to the end, Solve's moves, cancelled and
// replaced questions, the shortest length beside them, and stopping mid-search.
#include "engine/HintWorker.h"
#include "engine/solver/PatternStore.h"
#include "engine/solver/PuzzleSolver.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Answer = CHintWorker::SAnswer;

// A walk of the blank that never steps straight back, as a scramble does.
CPuzzleState Scrambled(int x, int y, int steps, unsigned seed)
{
    std::mt19937 rng(seed);
    CPuzzleState state(x, y);
    CCell last(-1, -1);
    for (int i = 0; i < steps;) {
        const CCell blank = state.Blank();
        static const int d[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        const int k = static_cast<int>(rng() % 4);
        const CCell tile(blank.col + d[k][0], blank.row + d[k][1]);
        if (tile == last || !state.Click(tile))
            continue;
        last = blank;
        ++i;
    }
    return state;
}

// Collects the answers the worker delivers, on its threads, with the nice value
// each arrived at.
class Answers {
public:
    CHintWorker::Callback Callback()
    {
        return [this](const Answer& answer) {
            const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
            std::lock_guard lock(m_mutex);
            m_answers.push_back(answer);
            m_nLowestNice = std::min(m_nLowestNice, nice);
            m_changed.notify_all();
        };
    }
    // The answer to a ticket, waiting up to `seconds` for it.
    std::optional<Answer> Wait(CHintWorker::Ticket ticket, double seconds = 30)
    {
        std::unique_lock lock(m_mutex);
        std::optional<Answer> found;
        m_changed.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
            for (const Answer& a : m_answers)
                if (a.nTicket == ticket)
                    found = a;
            return found.has_value();
        });
        return found;
    }
    std::vector<Answer> All() const
    {
        std::lock_guard lock(m_mutex);
        return m_answers;
    }
    int LowestNice() const
    {
        std::lock_guard lock(m_mutex);
        return m_nLowestNice;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Answer> m_answers;
    int m_nLowestNice = 20;
};

// Hints asked and followed until the board is finished; the number of moves,
// or -1 when a hint failed or the moves ran past `limit`.
int FollowHints(CHintWorker& worker, Answers& answers, CPuzzleState board, int limit,
                std::optional<Answer>* first = nullptr)
{
    for (int moves = 0; moves <= limit; ++moves) {
        if (board.IsSolved())
            return moves;
        const std::optional<Answer> hint = answers.Wait(worker.AskHint(board));
        if (!hint || !hint->move || !board.Click(*hint->move))
            return -1;
        if (first && !*first)
            *first = hint;
    }
    return -1;
}

// The tables of boards of 10 to 16 cells are neither shipped nor cached here:
// they are being built all through these tests, so the shortest search on such
// a board gives way to the short solution.
class HintWorkerTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = fs::temp_directory_path() / ("zandor-hint-worker-" + std::to_string(::getpid()));
        fs::create_directories(s_dir / "shipped");
        CPatternStore::Instance().SetShippedDirectory(s_dir / "shipped");
        CPatternStore::Instance().SetCacheDirectory(s_dir / "cache");
    }
    static void TearDownTestSuite()
    {
        CPatternStore::Instance().Clear();
        CPatternStore::Instance().SetShippedDirectory(std::nullopt);
        CPatternStore::Instance().SetCacheDirectory(std::nullopt);
        fs::remove_all(s_dir);
    }
    static inline fs::path s_dir;

    Answers answers;
};

TEST_F(HintWorkerTest, HintsFollowedFinishTheBoard)
{
    const struct {
        int x, y, steps;
        bool bShortest; // every hint from a shortest solution
    } cases[] = {
        {3, 3, 60, true},    // the quick tables: shortest at once
        {2, 4, 30, true},    //
        {4, 4, 40, false},   // tables still being built: the short plan, followed to its end
        {10, 10, 600, false} // the short solution only
    };
    CHintWorker::SBudget budget;
    budget.search = std::chrono::milliseconds(30);
    budget.improve = std::chrono::milliseconds(5);
    CHintWorker worker(answers.Callback(), budget);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "x" + std::to_string(c.y));
        const CPuzzleState start = Scrambled(c.x, c.y, c.steps, static_cast<unsigned>(c.x * 100 + c.y));
        CPuzzleSolver::SOptions shortOnly;
        shortOnly.bShortest = false;
        const int shortLength = static_cast<int>(CPuzzleSolver::Solve(start, shortOnly).moves.size());
        std::optional<Answer> first;
        const int moves = FollowHints(worker, answers, start, 5000, &first);
        ASSERT_GT(moves, 0);
        EXPECT_EQ(first->bOptimal, c.bShortest);
        if (c.bShortest) {
            EXPECT_EQ(moves, CPuzzleSolver::ShortestLength(start, {}));
        } else { // never longer than the first plan, tried again or not
            EXPECT_LE(moves, shortLength);
        }
    }
    // Background work gives way to the window.
    EXPECT_GE(answers.LowestNice(), 10);
}

TEST_F(HintWorkerTest, SolveAnswersTheRestOfTheHintsPlan)
{
    CHintWorker worker(answers.Callback());
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{10, 10}}) {
        CPuzzleState board = Scrambled(x, y, 300, 7);
        // Three hints followed, then the rest at once: the same plan.
        std::vector<CCell> hinted;
        for (int i = 0; i < 3; ++i) {
            const std::optional<Answer> hint = answers.Wait(worker.AskHint(board));
            ASSERT_TRUE(hint && hint->move);
            hinted.push_back(*hint->move);
            ASSERT_TRUE(board.Click(*hint->move));
        }
        const std::optional<Answer> solve = answers.Wait(worker.AskSolve(board));
        ASSERT_TRUE(solve);
        EXPECT_EQ(solve->question, CHintWorker::EQuestion::Solve);
        CPuzzleState end = board;
        ASSERT_TRUE(end.Apply(solve->moves));
        EXPECT_TRUE(end.IsSolved());
        if (x * y <= 9) {
            EXPECT_EQ(static_cast<int>(solve->moves.size()) + 3,
                      CPuzzleSolver::ShortestLength(Scrambled(x, y, 300, 7), {}));
        }
    }
    // Nothing to do on a finished board: an answer without moves.
    const std::optional<Answer> none = answers.Wait(worker.AskHint(CPuzzleState(3, 3)));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->move);
}

TEST_F(HintWorkerTest, CancelledAndReplacedQuestionsAreNeverAnswered)
{
    CHintWorker worker(answers.Callback());
    // Questions in quick succession, as moves made while hints are on their
    // way, some cancelled: once a question is replaced or cancelled its answer
    // never comes (it may have come before). The shortest length runs beside them.
    const CHintWorker::Ticket shortest = worker.AskShortest(Scrambled(3, 3, 50, 3));
    const auto answered = [&](CHintWorker::Ticket t) {
        for (const Answer& a : answers.All())
            if (a.nTicket == t)
                return true;
        return false;
    };
    std::vector<std::pair<CHintWorker::Ticket, bool>> dropped; // and whether it was answered by then
    CHintWorker::Ticket open = 0;
    for (unsigned i = 0; i <= 40; ++i) {
        const CPuzzleState board = Scrambled(i % 2 ? 10 : 3, i % 2 ? 10 : 3, 200, i);
        const CHintWorker::Ticket ticket = i % 3 ? worker.AskHint(board) : worker.AskSolve(board);
        if (open)
            dropped.emplace_back(open, answered(open));
        open = ticket;
        if (i % 5 == 4) {
            worker.Cancel(open);
            dropped.emplace_back(open, answered(open));
            open = 0;
        }
    }
    ASSERT_TRUE(answers.Wait(open));
    ASSERT_TRUE(answers.Wait(shortest));
    EXPECT_EQ(answers.Wait(shortest)->nShortest, CPuzzleSolver::ShortestLength(Scrambled(3, 3, 50, 3), {}));
    ASSERT_TRUE(support::WaitUntil([&] { return worker.IsIdle(); }));
    for (const auto& [ticket, answeredThen] : dropped)
        EXPECT_EQ(answered(ticket), answeredThen) << "question " << ticket;
    const std::size_t delivered = answers.All().size();

    // Cancelled in the middle of its search: the worker is free at once and
    // the answer never comes. An older ticket cancels nothing.
    const CHintWorker::Ticket running = worker.AskSolve(Scrambled(10, 10, 3000, 11));
    ASSERT_TRUE(support::WaitUntil([&] { return worker.IsAnswering(); }));
    worker.Cancel(dropped.front().first);
    worker.Cancel(running);
    EXPECT_TRUE(support::WaitUntil([&] { return worker.IsIdle(); }, 0.5));
    EXPECT_FALSE(answers.Wait(running, 0.05));
    EXPECT_EQ(answers.All().size(), delivered);
}

TEST_F(HintWorkerTest, AShortPlanGivesWayToAShortestOneOnceTheTablesAreThere)
{
    const fs::path shipped = ZANDOR_TEST_SHIPPED;
    if (!fs::exists(shipped / "pdb-4x4-0.1.2.bin"))
        GTEST_SKIP() << "no tables in " << shipped;
    CPatternStore::Instance().Clear();
    CPatternStore::Instance().SetShippedDirectory(shipped);
    CPuzzleSolver::SOptions shortOnly; // the short solver's own small tables made first
    shortOnly.bShortest = false;
    CPuzzleSolver::Solve(Scrambled(4, 4, 20, 1), shortOnly);
    CHintWorker::SBudget budget;
    budget.search = std::chrono::milliseconds(5); // sooner than the 4 x 4 tables load
    CHintWorker worker(answers.Callback(), budget);

    CPuzzleState board = Scrambled(4, 4, 60, 9);
    const std::optional<Answer> first = answers.Wait(worker.AskHint(board));
    ASSERT_TRUE(first && first->move);
    EXPECT_FALSE(first->bOptimal);
    ASSERT_TRUE(board.Click(*first->move));
    ASSERT_TRUE(CPatternStore::Instance().Wait(4, 4, nullptr, std::chrono::steady_clock::now() + 10s));
    std::optional<Answer> second;
    const int rest = FollowHints(worker, answers, board, 200, &second);
    EXPECT_TRUE(second->bOptimal);
    EXPECT_EQ(rest, CPuzzleSolver::ShortestLength(board, {}));

    CPatternStore::Instance().Clear();
    CPatternStore::Instance().SetShippedDirectory(s_dir / "shipped");
}

TEST_F(HintWorkerTest, ClosingMidSearchStopsAtOnceAndAnswersNothing)
{
    support::Stopwatch watch;
    CHintWorker::Ticket solve = 0;
    {
        CHintWorker worker(answers.Callback());
        worker.AskShortest(Scrambled(4, 4, 200, 5)); // waits for tables being built
        solve = worker.AskSolve(Scrambled(10, 10, 3000, 5));
        ASSERT_TRUE(support::WaitUntil([&] { return worker.IsAnswering(); }));
        watch = {};
    }
    EXPECT_LT(watch.Seconds(), 0.5);
    EXPECT_FALSE(answers.Wait(solve, 0));
}

} // namespace

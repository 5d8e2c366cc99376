#include "engine/HintWorker.h"

#include "engine/solver/PuzzleSolver.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Background work gives way to the window's thread (and to the rest of the
// desktop). Threads started from here inherit it.
void LowerThreadPriority()
{
    constexpr int kNice = 10;
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, tid, kNice);
}

} // namespace

CHintWorker::CHintWorker(Callback onAnswer, SBudget budget)
    : m_onAnswer(std::move(onAnswer)), m_budget(budget)
{
    m_player.thread = std::thread([this] { Run(m_player); });
    m_background.thread = std::thread([this] { Run(m_background); });
}

CHintWorker::~CHintWorker()
{
    for (SLane* lane : {&m_player, &m_background}) {
        std::lock_guard lock(lane->mutex);
        lane->bQuit = true;
        lane->nOpen = 0;
        lane->bStop = true;
        lane->changed.notify_all();
    }
    m_player.thread.join();
    m_background.thread.join();
}

CHintWorker::Ticket CHintWorker::Ask(SLane& lane, EQuestion question, const CPuzzleState& board)
{
    const Ticket ticket = ++m_nLastTicket;
    std::lock_guard lock(lane.mutex);
    lane.pending = SQuestion{question, ticket, board};
    lane.nOpen = ticket;
    lane.bStop = true; // the search for an older question, if one runs
    lane.changed.notify_all();
    return ticket;
}

void CHintWorker::Cancel(Ticket ticket)
{
    if (ticket == 0)
        return;
    for (SLane* lane : {&m_player, &m_background}) {
        std::lock_guard lock(lane->mutex);
        if (lane->nOpen == ticket) {
            lane->nOpen = 0;
            lane->pending.reset();
            lane->bStop = true;
        }
    }
}

void CHintWorker::CancelAll()
{
    for (SLane* lane : {&m_player, &m_background}) {
        std::lock_guard lock(lane->mutex);
        lane->nOpen = 0;
        lane->pending.reset();
        lane->bStop = true;
    }
}

void CHintWorker::Prepare(int x, int y)
{
    std::lock_guard lock(m_background.mutex);
    m_background.prepare = std::make_pair(x, y);
    m_background.changed.notify_all();
}

bool CHintWorker::IsIdle() const
{
    for (const SLane* lane : {&m_player, &m_background}) {
        std::lock_guard lock(lane->mutex);
        if (lane->pending || lane->prepare || lane->bAnswering)
            return false;
    }
    return true;
}

bool CHintWorker::IsAnswering() const
{
    std::lock_guard lock(m_player.mutex);
    return m_player.bAnswering;
}

void CHintWorker::Run(SLane& lane)
{
    LowerThreadPriority();
    std::unique_lock lock(lane.mutex);
    for (;;) {
        lane.changed.wait(lock, [&lane] { return lane.bQuit || lane.pending || lane.prepare; });
        if (lane.bQuit)
            return;
        if (lane.prepare) {
            const auto [x, y] = *lane.prepare;
            lane.prepare.reset();
            lock.unlock();
            CPuzzleSolver::Prepare(x, y);
            lock.lock();
            continue;
        }
        const SQuestion question = std::move(*lane.pending);
        lane.pending.reset();
        lane.bStop = false;
        lane.bAnswering = true;
        lock.unlock();
        const SAnswer answer = Answer(question, lane.bStop);
        lock.lock();
        lane.bAnswering = false;
        // Delivered under the lock: a question cancelled (or replaced) before
        // this point never gets its answer.
        if (lane.nOpen == question.nTicket) {
            lane.nOpen = 0;
            if (m_onAnswer)
                m_onAnswer(answer);
        }
    }
}

CHintWorker::SAnswer CHintWorker::Answer(const SQuestion& question, const std::atomic<bool>& stop)
{
    SAnswer answer;
    answer.question = question.question;
    answer.nTicket = question.nTicket;
    answer.board = question.board;
    const CPuzzleState& board = question.board;

    if (question.question == EQuestion::Shortest) {
        CPuzzleSolver::SOptions options;
        options.pStop = &stop;
        options.deadline = std::chrono::steady_clock::now() + m_budget.shortest;
        answer.nShortest = CPuzzleSolver::ShortestLength(board, options);
        return answer;
    }

    if (!board.IsWellFormed() || !board.IsSolvable() || board.IsSolved())
        return answer;
    UpdatePlan(board, stop);
    const int step = m_plan.StepOf(board);
    if (step < 0)
        return answer; // stopped before any solution was found
    answer.bOptimal = m_plan.IsOptimal();
    if (question.question == EQuestion::Hint)
        answer.move = m_planMoves[static_cast<size_t>(step)];
    else
        answer.moves.assign(m_planMoves.begin() + step, m_planMoves.end());
    return answer;
}

void CHintWorker::UpdatePlan(const CPuzzleState& board, const std::atomic<bool>& stop)
{
    const bool onPlan = m_plan.StepOf(board) >= 0;
    const bool shortestWanted = board.CellCount() <= CPuzzleSolver::kMaxShortestCells;
    if (onPlan && (m_plan.IsOptimal() || !shortestWanted))
        return;

    CPuzzleSolver::SOptions options;
    options.pStop = &stop;
    // The budget limits the wait for a shortest solution; a larger board's short
    // solution, all there is for it, is never cut.
    if (shortestWanted)
        options.deadline = std::chrono::steady_clock::now() + (onPlan ? m_budget.improve : m_budget.search);
    const CSolveResult result = CPuzzleSolver::Solve(board, options);
    // A short solution replaces nothing: the plan being followed finishes the
    // board, and another short plan from here could lead back.
    if (result.status != CSolveResult::EStatus::Solved || (onPlan && !result.bOptimal))
        return;
    CSolutionPlan plan(board, result);
    if (plan.IsEmpty())
        return;
    m_plan = std::move(plan);
    m_planMoves = result.moves;
}

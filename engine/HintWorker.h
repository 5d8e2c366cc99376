#pragma once

#include "engine/solver/Cell.h"
#include "engine/solver/PuzzleState.h"
#include "engine/solver/SolutionPlan.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Answers the game's questions about a board on threads of its own, so that the
// window never waits for the solver:
// - a hint: the tile to click next;
// - a solution: every click that finishes the board (the Solve command);
// - the number of moves of a shortest solution (a game's start).
//
// Hints and solutions share one thread, and a new question there replaces the
// one before it. The shortest length has a thread of its own and runs beside
// them. Every question gets a ticket; Cancel(ticket) stops its search at once,
// and once Cancel, or a newer question on the same thread, has returned, no
// answer to that ticket is delivered. Answers go to the callback on the
// worker's thread (the caller takes them over to its own); the callback must not
// call back into the worker.
//
// Hints on a board of at most 16 cells come from a shortest solution, so hints
// followed one after the other finish the board in the fewest possible moves.
// Larger boards get the short solution, kept as a plan while the player follows
// it, so that hints never lead round in circles. A shortest search that takes
// longer than the search budget gives way to the short solution; the next hints
// on that plan try the shortest search again, each for a moment (the improve
// budget), and switch to a shortest plan once one is found. Either way hints
// followed blindly always finish the board.
//
// The threads run at a lower priority than the window's, and so do the threads
// that load the solver's tables when Prepare starts them. The destructor stops
// every search and joins the threads.
class CHintWorker {
public:
    using Ticket = std::uint64_t; // 0 is no question

    enum class EQuestion { Hint, Solve, Shortest };

    struct SAnswer {
        EQuestion question = EQuestion::Hint;
        Ticket nTicket = 0;
        CPuzzleState board;        // the board asked about
        std::optional<CCell> move; // Hint: the tile to click; none when no move was found
        std::vector<CCell> moves;  // Solve: the clicks that finish the board; empty when none were found
        int nShortest = -1;        // Shortest: moves of a shortest solution; -1 unknown
        bool bOptimal = false;     // Hint, Solve: the moves belong to a shortest solution
    };
    using Callback = std::function<void(const SAnswer&)>;

    struct SBudget {
        // Boards of at most 16 cells: how long to look for a shortest solution.
        std::chrono::milliseconds search{1500};    // a board that the plan does not hold
        std::chrono::milliseconds improve{250};    // another try for a shortest plan
        std::chrono::milliseconds shortest{20000}; // the length of a shortest solution
    };

    explicit CHintWorker(Callback onAnswer) : CHintWorker(std::move(onAnswer), SBudget{}) {}
    CHintWorker(Callback onAnswer, SBudget budget);
    ~CHintWorker();
    CHintWorker(const CHintWorker&) = delete;
    CHintWorker& operator=(const CHintWorker&) = delete;

    Ticket AskHint(const CPuzzleState& board) { return Ask(m_player, EQuestion::Hint, board); }
    Ticket AskSolve(const CPuzzleState& board) { return Ask(m_player, EQuestion::Solve, board); }
    Ticket AskShortest(const CPuzzleState& board) { return Ask(m_background, EQuestion::Shortest, board); }
    // Ends the question when it is still open; does nothing for older tickets.
    void Cancel(Ticket ticket);
    void CancelAll();
    // Starts loading the solver's tables for boards of x columns and y rows
    // (from the background thread, whose priority the loading threads take).
    void Prepare(int x, int y);

    // Nothing asked is waiting or being answered.
    bool IsIdle() const;
    // A search is running on the hints' thread (tests and benchmarks).
    bool IsAnswering() const;

private:
    struct SQuestion {
        EQuestion question = EQuestion::Hint;
        Ticket nTicket = 0;
        CPuzzleState board;
    };
    // One thread with at most one open question.
    struct SLane {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::optional<SQuestion> pending;
        std::optional<std::pair<int, int>> prepare;
        Ticket nOpen = 0; // the question waiting or being answered; 0 none
        bool bAnswering = false;
        bool bQuit = false;
        std::atomic<bool> bStop{false}; // the running search ends
        std::thread thread;
    };

    Ticket Ask(SLane& lane, EQuestion question, const CPuzzleState& board);
    void Run(SLane& lane);
    SAnswer Answer(const SQuestion& question, const std::atomic<bool>& stop);
    // The player's thread: makes sure the plan holds the board, searching when
    // it does not (or when it may now find a shorter plan).
    void UpdatePlan(const CPuzzleState& board, const std::atomic<bool>& stop);

    Callback m_onAnswer;
    SBudget m_budget;
    std::atomic<Ticket> m_nLastTicket{0};
    // Touched by the player's thread only.
    CSolutionPlan m_plan;
    std::vector<CCell> m_planMoves;
    SLane m_player;
    SLane m_background;
};

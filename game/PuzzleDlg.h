#pragma once

#include "about/AboutDlg.h"
#include "common/Rect.h"
#include "engine/HintWorker.h"
#include "engine/PuzzleBoard.h"
#include "imaging/BitmapDialog.h"
#include "shell/BestResults.h"
#include "shell/SetupDlg.h"

#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class CCongratsDlg;
class CPatternDlg;
class QAction;
class QMenu;
struct MenuPopup;

// The game window and the program's main window: the board, the move counter
// and the clock, Scramble, Unscramble and New Game.
//
// Its menu bar (160) and context menu (224) carry New Game, Undo and Redo,
// Hint and Solve, Scramble and Unscramble, the sound and music switches, the five songs, Show
// Pattern, Show Grid, About, How to play, Best Results and Exit. F1 shows the
// help page too.
//
// Keys, whichever control has the focus: an arrow slides the tile beside the
// blank in its direction into the blank, as a click on that tile would;
// Ctrl+Z undoes the last move, Ctrl+Shift+Z and Ctrl+Y redo it; H asks for
// a hint, Ctrl+L solves the board.
//
// Hint and Solve ask the solver on the threads of m_pHintWorker and never wait
// for it: the answer comes back as a call on this window's thread, and a
// question whose board has changed since (a move, Undo, Scramble, Unscramble,
// New Game) is cancelled and its answer dropped. A hint frames the tile to click
// until the next move; Solve plays the rest of a solution one move per Speed
// interval. When a scramble walk ends on a board of at most 16 cells, the
// length of its shortest solution is computed in the background for the
// congratulation.
//
// A puzzle won by the player's own moves after a Scramble counts for the best
// results of its board size; the congratulation says which record it set.
//
// Timers: TIMER_SCRAMBLE makes one step of a scramble walk per Speed
// milliseconds; TIMER_CLOCK advances the clock once a second from the
// player's first move; TIMER_HINT moves the hint's frame; TIMER_SOLVE makes
// one move of Solve per Speed milliseconds. They keep ticking while another
// dialog runs modally.
class CPuzzleDlg : public CBitmapDialog {
    Q_OBJECT
public:
    enum { TIMER_SCRAMBLE = 1, TIMER_CLOCK = 2, TIMER_HINT = 3, TIMER_SOLVE = 4 };
    // Milliseconds between two pictures of the hint's moving frame.
    static constexpr int kHintFrameInterval = 80;

    explicit CPuzzleDlg(QWidget* pParentWnd = nullptr);
    ~CPuzzleDlg() override;

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID) override;
    void OnTimer(int nIDEvent) override;
    void OnPaint(QPainter* pDC) override;
    void OnLButtonDown(Qt::KeyboardModifiers nFlags, QPoint point) override;
    void OnMouseMove(Qt::KeyboardModifiers nFlags, QPoint point) override;
    // The move counter and the clock get golden faces.
    std::optional<QBrush> OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor) override;

    void OnScramble();
    void OnUnscramble();
    void OnNewGame();
    // Takes the last move back: the tile slides back with the click sound
    // and the move counter goes down; the clock runs on. With nothing to
    // take back, the miss sound; during a walk and after the final piece,
    // nothing.
    void OnUndo();
    // Makes the last move taken back again, as a click on that tile would
    // (completing the puzzle, if it does). Sounds as OnUndo.
    void OnRedo();
    // An arrow key: the tile (dCol, dRow) away from the blank slides into it,
    // as a click on it would; no tile there: the miss sound. Nothing during
    // a walk.
    void OnArrowKey(int dCol, int dRow);
    // H: the solver names the tile to click next, and a frame marks it until
    // the board changes. Nothing during a walk or Solve, or while a hint is
    // on its way or shown; the miss sound when there is nothing to solve.
    void OnHint();
    // Ctrl+L: the computer plays the rest of a solution, one move per Speed
    // interval with the click sound. Its moves are not counted and cannot be
    // undone; a board it finishes shows the whole picture with the win sound
    // but no congratulation, and counts for no best result. Solve again,
    // Scramble, Unscramble or New Game stop it; clicks and the game's keys do
    // nothing meanwhile.
    void OnSolve();
    // Whether Solve was asked and has not ended.
    bool IsSolving() const { return m_bSolving; }
    // The game's keys (arrows, undo, redo, hint, solve); false for any other key.
    bool OnGameKey(int nKey, Qt::KeyboardModifiers nFlags);
    // Whether a menu command has something to do now (Undo, Redo); the
    // "&Play" items are greyed by it.
    bool IsCommandEnabled(int nID) const;
    void UpdatePlayMenu();
    // Moves 0, clock "0 : 00"; the controls are left to the caller.
    void ResetClock();

    void OnExit();
    void OnSound();
    void OnMidi();
    // A song of the Midi menu (ids 32782..32786); OnUpdateSong runs first.
    void OnSong(int nID);
    void OnUpdateSong(int nID);
    // Puts the check mark on song k (1..5) alone.
    void CheckSong(int k);
    // The check marks of Sound and Midi follow g_bSound and g_bMidi.
    void UpdateMenuChecks();
    void OnShowPattern();
    void OnShowGrid();
    void OnAbout();
    // F1 (the help command) and "How to play": the help page.
    void OnHelp();
    // "Best Results...": the records of every board size.
    void OnBestResults();
    // Shows the context menu at a screen point.
    void OnContextMenu(QPoint ptScreen);
    // Chooses the cursor for a client point; false where the default applies.
    bool OnSetCursor(QPoint point);
    // The client area's top-left corner moved to (x, y) on the screen.
    void OnMove(int x, int y);

    // The menu bar's item with a command id, or null.
    QAction* GetMenuItem(int nID) const;

    // The board rectangle in client pixels as the widget's update region.
    static QRect ToQRect(const CRect& rc) { return QRect(rc.left, rc.top, rc.Width(), rc.Height()); }

    int m_nMoves = 0;
    QString m_strTime;
    QIcon m_hIcon;
    CPuzzleBoard m_board;
    CSetupDlg m_setup;
    // The preview, made by the first Show Pattern. It belongs to this window
    // (its parent), which destroys it; closing it only hides it.
    QPointer<CPatternDlg> m_pPatternDlg;
    CRect m_rcBoard = CPuzzleBoard::kBoardRect;
    QPoint m_ptWindow;
    int m_nScrambleStep = 0;
    int m_nMinutes = 0;
    int m_nSeconds = 0;
    int m_nSong = 0; // the song last picked from the Midi menu; 0 before the first pick
    QCursor m_hHandCursor;
    QCursor m_hNoCursor;
    CAboutDlg m_about;
    // The song the last New Game started; Midi on plays it until a song is picked.
    int m_nNewGameSong = 0;

    // The fewest moves and shortest times of every board size.
    CBestResults m_bestResults;
    // True from the first step of a scramble walk until the game ends (a win,
    // Unscramble, New Game, the next Scramble): only such a board is a game
    // whose win counts for the best results.
    bool m_bScrambled = false;
    // True once Solve has moved a tile in this game: a win after it records
    // no best result (a win by Solve's own last move shows no congratulation
    // either). Cleared when the game ends.
    bool m_bSolvedByComputer = false;

    // Hint and Solve. The worker's answers come back through OnSolverAnswer.
    std::unique_ptr<CHintWorker> m_pHintWorker;
    CHintWorker::Ticket m_nHintTicket = 0;     // the hint asked and not yet answered
    CHintWorker::Ticket m_nSolveTicket = 0;    // the solution asked for Solve
    CHintWorker::Ticket m_nShortestTicket = 0; // the shortest length of this game's start
    std::optional<CCell> m_hintCell;           // the tile the hint marks
    int m_nHintPhase = 0;                      // the frame's step of its movement
    int m_nHintsUsed = 0;                      // hints shown in this game
    int m_nShortest = -1;                      // moves a shortest solution of the start needs; -1 unknown
    bool m_bSolving = false;                   // Solve asked, or playing its moves
    std::vector<CCell> m_solveMoves;           // what Solve plays
    std::size_t m_nSolveStep = 0;              // the next of them

    // Program-wide: the first New Game of a run is silent; the first
    // Unscramble of a run always rebuilds the board.
    static bool s_bFirstNewGame;
    static bool s_bFirstUnscramble;

    // The caption's by-line after "Zandor Puzzle by ".
    static constexpr const char* kByLine = "the Zandor Puzzle team";

public slots:
    // The window closes: every question to the solver ends at once.
    void done(int r) override;

protected:
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The game's keys reach the board before the focused control takes them.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The last move put every tile home: the whole picture, the win sound,
    // the clock stopped, the result recorded and congratulated.
    void OnPuzzleComplete();
    // Records a won game in the best results and tells the dialog which
    // records it set; a board that was never scrambled, or one the computer
    // solved, records nothing.
    void RecordBestResult(CCongratsDlg& congrats);
    // The board no longer holds a game that could count for the best results.
    void EndGame();
    // Stops a running walk: no timer, no flag, no steps.
    void StopWalk();
    // A walk runs or is armed.
    bool WalkOn() const;
    // The board holds a game that a hint or Solve can finish.
    bool HasSomethingToSolve() const;
    // An answer of the worker, on this window's thread; dropped when its
    // question was cancelled or its board is gone.
    void OnSolverAnswer(const CHintWorker::SAnswer& answer);
    // Frames the tile and starts the frame's movement.
    void ShowHint(CCell cell);
    // The hint asked or shown goes: its question is cancelled, its frame erased.
    void ForgetHint();
    // Ends Solve: its question, its timer and its moves.
    void StopSolve();
    // One move of Solve; the last one finishes the picture.
    void SolveStep();
    // The client rectangle of one cell.
    QRect CellQRect(CCell cell) const { return ToQRect(m_board.CellsRect(cell, cell)); }
    void DrawHintFrame(QPainter* pDC) const;
    // Undo or Redo on the board: nothing during Solve; the miss sound when
    // there is nothing to take, the click sound and the two cells in rect
    // when a tile slid (true).
    bool StepThroughRecord(bool bUndo, CRect& rect);
    // A tile the player moved (click, key, redo): the counter goes up, the
    // two cells in rect are repainted, and a solved board completes the
    // puzzle.
    void CountMove(const CRect& rect);
    // The clock starts (or restarts its second) while the counter stands at 1.
    void StartClockAtFirstMove();
    // The board changed within rect: repaint it, the cursor and the menu follow.
    void BoardChanged(const CRect& rect);
    // Fills a menu from a table; its commands come back through OnCommand.
    void FillMenu(QMenu* menu, const MenuPopup& popup, bool keepActions);
    // Chooses the cursor again where the mouse is, after the board changed.
    void RefreshCursor();
    // Puts the preview beside the window whose client area starts at ptClient.
    void PlacePattern(QPoint ptClient);

    std::map<int, QAction*> m_menuItems;
};

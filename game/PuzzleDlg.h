#pragma once

#include "about/AboutDlg.h"
#include "common/Rect.h"
#include "engine/PuzzleBoard.h"
#include "imaging/BitmapDialog.h"
#include "shell/BestResults.h"
#include "shell/SetupDlg.h"

#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QString>

#include <map>

class CCongratsDlg;
class CPatternDlg;
class QAction;
class QMenu;
struct MenuPopup;

// The game window and the program's main window: the board, the move counter
// and the clock, Scramble, Unscramble and New Game.
//
// Its menu bar (160) and context menu (224) carry New Game, Scramble and
// Unscramble, the sound and music switches, the five songs, Show Pattern,
// Show Grid, About, How to play, Best Results and Exit. F1 shows the help page
// too.
//
// A puzzle won by the player's own moves after a Scramble counts for the best
// results of its board size; the congratulation says which record it set.
//
// Timers: TIMER_SCRAMBLE makes one step of a scramble walk per Speed
// milliseconds; TIMER_CLOCK advances the clock once a second from the
// player's first move. Both keep ticking while another dialog runs modally.
class CPuzzleDlg : public CBitmapDialog {
    Q_OBJECT
public:
    enum { TIMER_SCRAMBLE = 1, TIMER_CLOCK = 2 };

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
    // True when the computer made the moves that finished the picture (the
    // Solve command sets it before its last move); such a win shows the
    // congratulation but records no best result. Cleared when the game ends.
    bool m_bSolvedByComputer = false;

    // Program-wide: the first New Game of a run is silent; the first
    // Unscramble of a run always rebuilds the board.
    static bool s_bFirstNewGame;
    static bool s_bFirstUnscramble;

    // The caption's by-line after "Zandor Puzzle by ".
    static constexpr const char* kByLine = "the Zandor Puzzle team";

protected:
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
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
    // Fills a menu from a table; its commands come back through OnCommand.
    void FillMenu(QMenu* menu, const MenuPopup& popup, bool keepActions);
    // Chooses the cursor again where the mouse is, after the board changed.
    void RefreshCursor();
    // Puts the preview beside the window whose client area starts at ptClient.
    void PlacePattern(QPoint ptClient);

    std::map<int, QAction*> m_menuItems;
};

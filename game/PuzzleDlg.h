#pragma once

#include "engine/PuzzleBoard.h"
#include "engine/Rect.h"
#include "imaging/BitmapDialog.h"
#include "shell/SetupDlg.h"

#include <QIcon>
#include <QString>

class CPatternDlg;

// The game window and the program's main window: the board, the move counter
// and the clock, Scramble, Unscramble and New Game.
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

    void OnScramble();
    void OnUnscramble();
    void OnNewGame();
    // Moves 0, clock "0 : 00"; the controls are left to the caller.
    void ResetClock();

    // The board rectangle in client pixels as the widget's update region.
    static QRect ToQRect(const CRect& rc) { return QRect(rc.left, rc.top, rc.Width(), rc.Height()); }

    int m_nMoves = 0;
    QString m_strTime;
    QIcon m_hIcon;
    CPuzzleBoard m_board;
    CSetupDlg m_setup;
    CPatternDlg* m_pPatternDlg = nullptr;
    CRect m_rcBoard{10, 10, 310, 310};
    QPoint m_ptWindow;
    int m_nScrambleStep = 0;
    int m_nMinutes = 0;
    int m_nSeconds = 0;

    // Program-wide: the first New Game of a run is silent; the first
    // Unscramble of a run always rebuilds the board.
    static bool s_bFirstNewGame;
    static bool s_bFirstUnscramble;

    // The caption's by-line after "Zandor Puzzle by ".
    static constexpr const char* kByLine = "the Zandor Puzzle team";

private:
    // Stops a running walk: no timer, no flag, no steps.
    void StopWalk();
};

#include "game/PuzzleDlg.h"

#include "engine/Random.h"
#include "game/CongratsDlg.h"
#include "game/PatternDlg.h"
#include "imaging/DataExchange.h"
#include "imaging/ResourceFinder.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"

#include <QAction>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

bool CPuzzleDlg::s_bFirstNewGame = true;
bool CPuzzleDlg::s_bFirstUnscramble = true;

namespace {

constexpr int kClockInterval = 1000;

// The program icon in every size the resources hold.
QIcon LoadProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path =
            CResourceFinder::Find(QStringLiteral("icon-%1").arg(size), {QStringLiteral("png")});
        if (!path.isEmpty()) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return icon;
}

} // namespace

CPuzzleDlg::CPuzzleDlg(QWidget* pParentWnd) : CBitmapDialog(IDD_PUZZLE_DIALOG, pParentWnd)
{
    setWindowTitle(windowTitle() + QString::fromUtf8(kByLine));
    m_hIcon = LoadProgramIcon();
}

CPuzzleDlg::~CPuzzleDlg()
{
    // The preview is owned by this window and goes with it.
    delete m_pPatternDlg;
    m_pPatternDlg = nullptr;
    g_bPatternShown = false;
}

void CPuzzleDlg::DoDataExchange(CDataExchange* pDX)
{
    CBitmapDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MOVES, m_nMoves);
    DDX_Text(pDX, IDC_TIME, m_strTime);
}

bool CPuzzleDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();

    setWindowIcon(m_hIcon);
    if (g_bSound) {
        CPuzzleBoard::PlaySoundEffect(1);
    }
    SetBitmap(IDB_BACKGROUND, BITMAP_TILE);
    m_rcBoard = CRect(10, 10, 310, 310);
    ResetClock();
    m_nScrambleStep = 0;
    if (QWidget* scramble = GetDlgItem(IDC_SCRAMBLE)) {
        scramble->setFocus(Qt::OtherFocusReason);
    }
    OnNewGame();
    // The focus stays on Scramble, so Enter scrambles from the start.
    if (QWidget* scramble = GetDlgItem(IDC_SCRAMBLE)) {
        scramble->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool CPuzzleDlg::OnCommand(int nID)
{
    switch (nID) {
    case IDC_SCRAMBLE:
        OnScramble();
        return true;
    case IDC_UNSCRAMBLE:
        OnUnscramble();
        return true;
    default:
        return CBitmapDialog::OnCommand(nID);
    }
}

void CPuzzleDlg::ResetClock()
{
    m_nMoves = 0;
    m_strTime = QStringLiteral("0 : 00");
    m_nMinutes = 0;
    m_nSeconds = 0;
}

void CPuzzleDlg::OnPaint(QPainter* pDC)
{
    m_board.Draw(pDC);
}

void CPuzzleDlg::OnLButtonDown(Qt::KeyboardModifiers nFlags, QPoint point)
{
    CRect rect;
    if (m_board.MoveTileAt(point.x(), point.y(), rect)) {
        ++m_nMoves;
        UpdateData(false);
        InvalidateRect(ToQRect(rect));
        if (m_board.IsSolved()) {
            m_board.PlaceLastTile();
            InvalidateRect(ToQRect(m_rcBoard));
            CPuzzleBoard::PlaySoundEffect(2);
            KillTimer(TIMER_CLOCK);
            // A walk armed but not yet started must not shuffle the
            // finished picture while the player reads the result.
            StopWalk();

            CCongratsDlg congrats;
            congrats.SetResult(m_nMoves, m_nSeconds, m_nMinutes);
            if (congrats.DoModal() == IDOK) {
                OnNewGame();
            } else {
                OnUnscramble();
            }
        }
    }
    if (m_nMoves == 1) {
        SetTimer(TIMER_CLOCK, kClockInterval);
    }
    CBitmapDialog::OnLButtonDown(nFlags, point);
}

void CPuzzleDlg::OnTimer(int nIDEvent)
{
    if (nIDEvent == TIMER_CLOCK) {
        if (++m_nSeconds > 59) {
            m_nSeconds = 0;
            ++m_nMinutes;
        }
        m_strTime = QString::asprintf("%d : %02d", m_nMinutes, m_nSeconds);
        UpdateData(false);
    } else if (nIDEvent == TIMER_SCRAMBLE) {
        if (m_nScrambleStep < m_setup.m_nDifficult) {
            CRect rect;
            m_board.ScrambleStep(rect);
            m_board.m_bScrambling = true;
            ++m_nScrambleStep;
            InvalidateRect(ToQRect(rect));
        } else {
            StopWalk();
        }
    }
    CBitmapDialog::OnTimer(nIDEvent);
}

void CPuzzleDlg::StopWalk()
{
    KillTimer(TIMER_SCRAMBLE);
    m_board.m_bScrambling = false;
    m_nScrambleStep = 0;
}

void CPuzzleDlg::OnNewGame()
{
    if (s_bFirstNewGame) {
        s_bFirstNewGame = false;
    } else {
        CPuzzleBoard::PlaySoundEffect(6);
    }
    KillTimer(TIMER_SCRAMBLE);
    KillTimer(TIMER_CLOCK);
    m_board.PlaySong(0);

    m_setup.DoModal();

    if (g_bPatternShown && m_pPatternDlg) {
        m_pPatternDlg->SetPicture();
    }
    m_board.NewBoard();
    if (g_bMidi) {
        const int song = CRandom::Next() % 5 + 1;
        m_board.PlaySong(song);
    }
    ResetClock();
    UpdateData(false);
    InvalidateRect(ToQRect(m_rcBoard));
}

void CPuzzleDlg::OnScramble()
{
    if (m_board.m_bScrambling) {
        return;
    }
    CPuzzleBoard::PlaySoundEffect(6);
    m_board.NewBoard();
    KillTimer(TIMER_CLOCK);
    ResetClock();
    UpdateData(false);
    m_nScrambleStep = 0;
    SetTimer(TIMER_SCRAMBLE, m_setup.m_nSpeed);
    InvalidateRect(ToQRect(m_rcBoard));
}

void CPuzzleDlg::OnUnscramble()
{
    KillTimer(TIMER_SCRAMBLE);
    KillTimer(TIMER_CLOCK);
    CPuzzleBoard::PlaySoundEffect(6);
    ResetClock();
    UpdateData(false);
    m_nScrambleStep = 0;
    m_board.m_bScrambling = false;
    if (s_bFirstUnscramble || !m_board.IsSolved()) {
        s_bFirstUnscramble = false;
        m_board.NewBoard();
        InvalidateRect(ToQRect(m_rcBoard));
    }
}

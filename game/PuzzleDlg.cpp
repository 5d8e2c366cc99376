#include "game/PuzzleDlg.h"

#include "engine/Random.h"
#include "engine/solver/PuzzleSolver.h"
#include "game/BestResultsDlg.h"
#include "game/CongratsDlg.h"
#include "game/HelpDlg.h"
#include "game/PatternDlg.h"
#include "platform/DataExchange.h"
#include "res/Colors.h"
#include "res/CursorHotSpot.h"
#include "res/Menus.h"
#include "res/ResourceFinder.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QMoveEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

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

// The pointing hand (cursor resource 233; on a screen of device pixel ratio
// above 1 its double-size version), or the system's hand without it.
QCursor LoadHandCursor(qreal devicePixelRatio)
{
    const QStringList extensions{QStringLiteral("png"), QStringLiteral("bmp")};
    if (devicePixelRatio > 1) {
        QPixmap pixmap(CResourceFinder::FindAt2x(QString::number(IDC_HAND), extensions));
        if (pixmap.size() == QSize(64, 64)) {
            // The hot spot counts the image's own pixels: X11 takes it so.
            pixmap.setDevicePixelRatio(2);
            return QCursor(pixmap, 2 * kHandCursorHotSpotX, 2 * kHandCursorHotSpotY);
        }
    }
    const QString path = CResourceFinder::Find(IDC_HAND, extensions);
    const QPixmap pixmap(path);
    if (path.isEmpty() || pixmap.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(pixmap, kHandCursorHotSpotX, kHandCursorHotSpotY);
}

} // namespace

CPuzzleDlg::CPuzzleDlg(QWidget* pParentWnd) : CBitmapDialog(IDD_PUZZLE_DIALOG, pParentWnd)
{
    setWindowTitle(windowTitle() + QString::fromUtf8(kByLine));
    m_hIcon = LoadProgramIcon();
    m_hHandCursor = LoadHandCursor(devicePixelRatioF());
    m_hNoCursor = QCursor(Qt::ForbiddenCursor);

    if (const MenuResource* menu = FindMenu(IDR_MAINMENU)) {
        auto* bar = new QMenuBar(this);
        for (const MenuPopup& popup : menu->popups) {
            FillMenu(bar->addMenu(QString::fromUtf8(popup.title)), popup, true);
        }
        bar->setCursor(Qt::ArrowCursor);
        SetMenuBar(bar);
    }

    // The scramble buttons show the hand; every other control keeps its own
    // cursor instead of the one the board puts on the window.
    for (const auto& control : Controls()) {
        QWidget* w = control.widget;
        const int id = control.item->id;
        if (id == IDC_SCRAMBLE || id == IDC_UNSCRAMBLE) {
            w->setCursor(m_hHandCursor);
        } else if (!w->testAttribute(Qt::WA_SetCursor)) {
            w->setCursor(Qt::ArrowCursor);
        }
        if (qobject_cast<QLineEdit*>(w)) {
            // The window's own context menu, not the edit box's.
            w->setContextMenuPolicy(Qt::NoContextMenu);
        }
        w->installEventFilter(this);
    }

    m_pHintWorker = std::make_unique<CHintWorker>([this](const CHintWorker::SAnswer& answer) {
        // On the worker's thread: the answer goes over to this window's thread.
        QMetaObject::invokeMethod(
            this, [this, answer] { OnSolverAnswer(answer); }, Qt::QueuedConnection);
    });
}

void CPuzzleDlg::FillMenu(QMenu* menu, const MenuPopup& popup, bool keepActions)
{
    for (const MenuItem& item : popup.items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        action->setEnabled(IsCommandEnabled(item.id));
        if (keepActions) {
            action->setCheckable(item.checkable);
            const int id = item.id;
            // Check marks are set by the program alone, never by the click.
            connect(action, &QAction::triggered, this, [this, action, id] {
                if (action->isCheckable()) {
                    action->setChecked(!action->isChecked());
                }
                OnCommand(id);
            });
            m_menuItems[id] = action;
        }
    }
}

QAction* CPuzzleDlg::GetMenuItem(int nID) const
{
    const auto it = m_menuItems.find(nID);
    return it == m_menuItems.end() ? nullptr : it->second;
}

// The preview is a child of this window and goes with it; its destructor
// clears g_bPatternShown when it was shown. The worker stops first, so that
// no answer is on its way to a window that is going.
CPuzzleDlg::~CPuzzleDlg()
{
    m_pHintWorker.reset();
}

void CPuzzleDlg::done(int r)
{
    m_pHintWorker->CancelAll();
    m_nHintTicket = m_nSolveTicket = m_nShortestTicket = 0;
    StopSolve();
    ForgetHint();
    CBitmapDialog::done(r);
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
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundStart);
    }
    SetBitmap(IDB_BACKGROUND, BITMAP_TILE);
    m_rcBoard = CPuzzleBoard::kBoardRect;
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
    case ID_SCRAMBLE:
        OnScramble();
        return true;
    case IDC_UNSCRAMBLE:
    case ID_UNSCRAMBLE:
        OnUnscramble();
        return true;
    case IDC_SHOW_PATTERN:
    case ID_SHOW_PATTERN:
        OnShowPattern();
        return true;
    case IDC_SHOW_GRID:
    case ID_SHOW_GRID:
        OnShowGrid();
        return true;
    case ID_NEW_GAME:
        OnNewGame();
        return true;
    case ID_UNDO:
        OnUndo();
        return true;
    case ID_REDO:
        OnRedo();
        return true;
    case ID_HINT:
        OnHint();
        return true;
    case ID_SOLVE:
        OnSolve();
        return true;
    case ID_EXIT:
        OnExit();
        return true;
    case ID_SOUND:
        OnSound();
        return true;
    case ID_MIDI:
        OnMidi();
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    case ID_HELP:
    case ID_HOW_TO_PLAY:
        OnHelp();
        return true;
    case ID_BEST_RESULTS:
        OnBestResults();
        return true;
    default:
        if (nID >= ID_SONG1 && nID <= ID_SONG5) {
            // The update handler runs right before the command.
            OnUpdateSong(nID);
            OnSong(nID);
            return true;
        }
        return CBitmapDialog::OnCommand(nID);
    }
}

void CPuzzleDlg::OnExit()
{
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    EndDialog(IDCANCEL);
}

void CPuzzleDlg::OnSound()
{
    g_bSound = g_bSound == 0 ? 1 : 0;
    UpdateMenuChecks();
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
}

void CPuzzleDlg::OnMidi()
{
    if (g_bMidi != 0) {
        m_board.PlaySong(0);
        g_bMidi = 0;
        UpdateMenuChecks();
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    } else {
        g_bMidi = 1;
        // Until a song is picked from the menu, the one New Game chose.
        m_board.PlaySong(m_nSong != 0 ? m_nSong : m_nNewGameSong);
        UpdateMenuChecks();
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    }
}

void CPuzzleDlg::OnSong(int nID)
{
    m_nSong = nID - ID_MIDI;
    m_board.PlaySong(m_nSong);
}

void CPuzzleDlg::OnUpdateSong(int nID)
{
    CheckSong(nID - ID_MIDI);
}

void CPuzzleDlg::CheckSong(int k)
{
    for (int id = ID_SONG1; id <= ID_SONG5; ++id) {
        if (QAction* item = GetMenuItem(id)) {
            item->setChecked(false);
        }
    }
    if (QAction* item = GetMenuItem(ID_MIDI + k)) {
        item->setChecked(true);
    }
}

void CPuzzleDlg::UpdateMenuChecks()
{
    if (QAction* sound = GetMenuItem(ID_SOUND)) {
        sound->setChecked(g_bSound != 0);
    }
    if (QAction* midi = GetMenuItem(ID_MIDI)) {
        midi->setChecked(g_bMidi != 0);
    }
}

void CPuzzleDlg::OnShowPattern()
{
    if (g_bPatternShown) {
        return;
    }
    // A closed preview is only hidden: the same one is shown again.
    if (!m_pPatternDlg) {
        m_pPatternDlg = new CPatternDlg(this);
    }
    PlacePattern(m_ptWindow);
    m_pPatternDlg->Create();
    m_pPatternDlg->SetPicture();
}

// The preview stands left of the window, its top level with the board's.
void CPuzzleDlg::PlacePattern(QPoint ptClient)
{
    constexpr int size = CPatternDlg::kPictureSize;
    m_pPatternDlg->setFixedSize(size, size);
    m_pPatternDlg->move(ptClient.x() - size, ptClient.y() + CPuzzleBoard::kOrigin);
}

void CPuzzleDlg::OnMove(int x, int y)
{
    m_ptWindow = QPoint(x, y);
    if (g_bPatternShown && m_pPatternDlg) {
        PlacePattern(m_ptWindow);
    }
}

void CPuzzleDlg::moveEvent(QMoveEvent* event)
{
    CBitmapDialog::moveEvent(event);
    const QPoint client = mapToGlobal(ClientOrigin());
    OnMove(client.x(), client.y());
}

void CPuzzleDlg::OnShowGrid()
{
    m_board.m_bShowGrid = !m_board.m_bShowGrid;
    CheckDlgButton(IDC_SHOW_GRID, m_board.m_bShowGrid ? 1 : 0);
    InvalidateRect(ToQRect(m_rcBoard));
}

void CPuzzleDlg::OnAbout()
{
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    m_about.DoModal();
}

void CPuzzleDlg::OnHelp()
{
    CHelpDlg help(this);
    help.DoModal();
}

void CPuzzleDlg::OnBestResults()
{
    CBestResultsDlg best(m_bestResults, this);
    best.DoModal();
}

void CPuzzleDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        OnCommand(ID_HELP);
        return;
    }
    if (OnGameKey(event->key(), event->modifiers())) {
        return;
    }
    CBitmapDialog::keyPressEvent(event);
}

bool CPuzzleDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (OnGameKey(key->key(), key->modifiers())) {
            return true;
        }
    }
    return CBitmapDialog::eventFilter(watched, event);
}

bool CPuzzleDlg::OnGameKey(int nKey, Qt::KeyboardModifiers nFlags)
{
    const Qt::KeyboardModifiers mods = nFlags & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (nKey) {
        case Qt::Key_Left: // the tile right of the blank moves left
            OnArrowKey(1, 0);
            return true;
        case Qt::Key_Right:
            OnArrowKey(-1, 0);
            return true;
        case Qt::Key_Up:
            OnArrowKey(0, 1);
            return true;
        case Qt::Key_Down:
            OnArrowKey(0, -1);
            return true;
        case Qt::Key_H:
            OnCommand(ID_HINT);
            return true;
        default:
            return false;
        }
    }
    if (mods == Qt::ControlModifier && nKey == Qt::Key_L) {
        OnCommand(ID_SOLVE);
        return true;
    }
    if (mods == Qt::ControlModifier && nKey == Qt::Key_Z) {
        OnCommand(ID_UNDO);
        return true;
    }
    if ((mods == (Qt::ControlModifier | Qt::ShiftModifier) && nKey == Qt::Key_Z) ||
        (mods == Qt::ControlModifier && nKey == Qt::Key_Y)) {
        OnCommand(ID_REDO);
        return true;
    }
    return false;
}

void CPuzzleDlg::OnArrowKey(int dCol, int dRow)
{
    if (m_bSolving) {
        return;
    }
    const CCell blank = m_board.BlankCell();
    const CPuzzleBoard::SMoveResult move = m_board.MoveTile(CCell(blank.col + dCol, blank.row + dRow));
    if (move.outcome == CPuzzleBoard::EMove::Refused) {
        return;
    }
    if (move.Moved()) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundClick);
        CountMove(m_board.CellsRect(move.from, move.to));
    } else {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundMiss);
    }
    StartClockAtFirstMove();
}

void CPuzzleDlg::OnUndo()
{
    CRect rect;
    if (!StepThroughRecord(true, rect)) {
        return;
    }
    --m_nMoves;
    UpdateData(false);
    BoardChanged(rect);
}

void CPuzzleDlg::OnRedo()
{
    CRect rect;
    if (!StepThroughRecord(false, rect)) {
        return;
    }
    CountMove(rect);
    StartClockAtFirstMove();
}

bool CPuzzleDlg::StepThroughRecord(bool bUndo, CRect& rect)
{
    if (m_bSolving) {
        return false;
    }
    const CPuzzleBoard::SMoveResult move = bUndo ? m_board.Undo() : m_board.Redo();
    if (move.outcome == CPuzzleBoard::EMove::NoMove) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundMiss);
    }
    if (!move.Moved()) {
        return false;
    }
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundClick);
    rect = m_board.CellsRect(move.from, move.to);
    return true;
}

bool CPuzzleDlg::IsCommandEnabled(int nID) const
{
    switch (nID) {
    case ID_UNDO:
        return !m_bSolving && m_board.CanUndo();
    case ID_REDO:
        return !m_bSolving && m_board.CanRedo();
    case ID_HINT:
        return !m_bSolving && !WalkOn() && HasSomethingToSolve();
    case ID_SOLVE:
        return m_bSolving || (!WalkOn() && HasSomethingToSolve());
    default:
        return true;
    }
}

void CPuzzleDlg::UpdatePlayMenu()
{
    for (const MenuItem& item : menu_tables::kPlay) {
        if (QAction* action = GetMenuItem(item.id)) {
            action->setEnabled(IsCommandEnabled(item.id));
        }
    }
}

void CPuzzleDlg::BoardChanged(const CRect& rect)
{
    ForgetHint();
    InvalidateRect(ToQRect(rect));
    RefreshCursor();
    UpdatePlayMenu();
}

void CPuzzleDlg::OnContextMenu(QPoint ptScreen)
{
    const MenuResource* resource = FindMenu(IDR_CONTEXTMENU);
    if (!resource || resource->popups.empty()) {
        return;
    }
    QMenu menu(this);
    FillMenu(&menu, resource->popups.front(), false);
    if (QAction* chosen = menu.exec(ptScreen)) {
        OnCommand(chosen->data().toInt());
    }
}

void CPuzzleDlg::contextMenuEvent(QContextMenuEvent* event)
{
    OnContextMenu(event->globalPos());
}

bool CPuzzleDlg::OnSetCursor(QPoint point)
{
    for (int id : {IDC_SCRAMBLE, IDC_UNSCRAMBLE}) {
        const QWidget* button = GetDlgItem(id);
        if (button && button->geometry().translated(-ClientOrigin()).contains(point)) {
            setCursor(m_hHandCursor);
            return true;
        }
    }
    if (ToQRect(m_rcBoard).contains(point)) {
        setCursor(m_board.CanMoveAt(point.x(), point.y()) ? m_hHandCursor : m_hNoCursor);
        return true;
    }
    unsetCursor();
    return false;
}

void CPuzzleDlg::OnMouseMove(Qt::KeyboardModifiers nFlags, QPoint point)
{
    OnSetCursor(point);
    CBitmapDialog::OnMouseMove(nFlags, point);
}

void CPuzzleDlg::RefreshCursor()
{
    if (underMouse()) {
        OnSetCursor(mapFromGlobal(QCursor::pos()) - ClientOrigin());
    }
}

std::optional<QBrush> CPuzzleDlg::OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor)
{
    std::optional<QBrush> brush = CBitmapDialog::OnCtlColor(dc, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC && pWnd &&
        (pWnd == GetDlgItem(IDC_MOVES) || pWnd == GetDlgItem(IDC_TIME))) {
        return QBrush(QColor::fromRgb(kGoldenFace));
    }
    return brush;
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
    if (m_hintCell) {
        DrawHintFrame(pDC);
    }
}

// A dark band along the inside of the tile's edges with bright dashes running
// round it; it stays within the tile, so a step of its movement repaints the
// tile alone.
void CPuzzleDlg::DrawHintFrame(QPainter* pDC) const
{
    const QRect cell = CellQRect(*m_hintCell);
    const int band = std::clamp(std::min(cell.width(), cell.height()) / 10, 3, 6);
    const qreal half = band / 2.0;
    const QRectF ring = QRectF(cell).adjusted(half, half, -half, -half);
    pDC->save();
    pDC->setClipRect(cell);
    pDC->setRenderHint(QPainter::Antialiasing, true);
    pDC->setBrush(Qt::NoBrush);
    QPen shadow(QColor::fromRgb(kHintFrameShadow), band);
    shadow.setJoinStyle(Qt::MiterJoin);
    pDC->setPen(shadow);
    pDC->drawRect(ring);
    QPen dashes(QColor::fromRgb(kHintFrame), band - 2);
    dashes.setJoinStyle(Qt::MiterJoin);
    dashes.setCapStyle(Qt::FlatCap);
    dashes.setDashPattern({2.0, 1.5});
    dashes.setDashOffset(-0.5 * m_nHintPhase);
    pDC->setPen(dashes);
    pDC->drawRect(ring);
    pDC->restore();
}

void CPuzzleDlg::OnLButtonDown(Qt::KeyboardModifiers nFlags, QPoint point)
{
    if (m_bSolving) {
        // Solve plays alone.
        CBitmapDialog::OnLButtonDown(nFlags, point);
        return;
    }
    CRect rect;
    if (m_board.MoveTileAt(point.x(), point.y(), rect)) {
        CountMove(rect);
    }
    StartClockAtFirstMove();
    CBitmapDialog::OnLButtonDown(nFlags, point);
}

void CPuzzleDlg::CountMove(const CRect& rect)
{
    ++m_nMoves;
    UpdateData(false);
    BoardChanged(rect);
    if (!m_board.IsSolved()) {
        return;
    }
    OnPuzzleComplete();
}

void CPuzzleDlg::StartClockAtFirstMove()
{
    if (m_nMoves == 1) {
        SetTimer(TIMER_CLOCK, kClockInterval);
    }
}

void CPuzzleDlg::OnPuzzleComplete()
{
    m_board.PlaceLastTile();
    BoardChanged(m_rcBoard);
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundWin);
    KillTimer(TIMER_CLOCK);
    // A walk armed but not yet started must not shuffle the
    // finished picture while the player reads the result.
    StopWalk();

    CCongratsDlg congrats;
    congrats.SetResult(m_nMoves, m_nSeconds, m_nMinutes);
    congrats.SetShortest(m_nShortest);
    congrats.SetHintsUsed(m_nHintsUsed);
    RecordBestResult(congrats);
    if (congrats.DoModal() == IDOK) {
        OnNewGame();
    } else {
        OnUnscramble();
    }
}

void CPuzzleDlg::RecordBestResult(CCongratsDlg& congrats)
{
    const bool counts = m_bScrambled && !m_bSolvedByComputer;
    // The finished picture counts only once.
    EndGame();
    if (!counts) {
        return;
    }
    const CBestResults::NewBest best =
        m_bestResults.Record(m_board.m_nCols, m_board.m_nRows, m_nMoves, m_nMinutes * 60 + m_nSeconds);
    congrats.SetNewBest(m_board.m_nCols, m_board.m_nRows, best.bFewestMoves, best.bShortestTime);
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
            m_bScrambled = true;
            ++m_nScrambleStep;
            BoardChanged(rect);
        } else {
            StopWalk();
            // The start of the game: how few moves would do, for the congratulation.
            if (m_bScrambled && m_board.m_nCols * m_board.m_nRows <= CPuzzleSolver::kMaxShortestCells) {
                m_nShortestTicket = m_pHintWorker->AskShortest(CPuzzleState::FromBoard(m_board));
            }
        }
    } else if (nIDEvent == TIMER_HINT) {
        ++m_nHintPhase;
        if (m_hintCell) {
            InvalidateRect(CellQRect(*m_hintCell));
        }
    } else if (nIDEvent == TIMER_SOLVE) {
        SolveStep();
    }
    CBitmapDialog::OnTimer(nIDEvent);
}

void CPuzzleDlg::EndGame()
{
    m_bScrambled = false;
    m_bSolvedByComputer = false;
    m_nHintsUsed = 0;
    m_nShortest = -1;
    m_pHintWorker->Cancel(m_nShortestTicket);
    m_nShortestTicket = 0;
}

void CPuzzleDlg::StopWalk()
{
    KillTimer(TIMER_SCRAMBLE);
    m_board.m_bScrambling = false;
    m_nScrambleStep = 0;
    UpdatePlayMenu();
}

bool CPuzzleDlg::WalkOn() const
{
    return m_board.m_bScrambling || Timers().IsTimerRunning(TIMER_SCRAMBLE);
}

bool CPuzzleDlg::HasSomethingToSolve() const
{
    // A board showing its final piece is no arrangement of tiles.
    return !m_board.IsSolved() && CPuzzleState::FromBoard(m_board).IsWellFormed();
}

void CPuzzleDlg::OnHint()
{
    if (m_bSolving || WalkOn() || m_nHintTicket != 0 || m_hintCell) {
        return;
    }
    if (!HasSomethingToSolve()) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundMiss);
        return;
    }
    m_nHintTicket = m_pHintWorker->AskHint(CPuzzleState::FromBoard(m_board));
}

void CPuzzleDlg::OnSolve()
{
    if (m_bSolving) {
        StopSolve();
        return;
    }
    if (WalkOn()) {
        return;
    }
    if (!HasSomethingToSolve()) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundMiss);
        return;
    }
    ForgetHint();
    m_bSolving = true;
    m_nSolveTicket = m_pHintWorker->AskSolve(CPuzzleState::FromBoard(m_board));
    UpdatePlayMenu();
}

void CPuzzleDlg::OnSolverAnswer(const CHintWorker::SAnswer& answer)
{
    if (answer.nTicket == 0) {
        return;
    }
    if (answer.nTicket == m_nShortestTicket) {
        m_nShortestTicket = 0;
        m_nShortest = answer.nShortest;
        return;
    }
    // Besides its ticket, the answer's board must still be the one shown.
    const bool current = answer.board == CPuzzleState::FromBoard(m_board);
    if (answer.nTicket == m_nHintTicket) {
        m_nHintTicket = 0;
        if (current && answer.move &&
            CPuzzleBoard::CanSlide(*answer.move, m_board.BlankCell(), m_board.m_nCols, m_board.m_nRows)) {
            ShowHint(*answer.move);
        }
    } else if (answer.nTicket == m_nSolveTicket) {
        m_nSolveTicket = 0;
        if (!current || answer.moves.empty()) {
            StopSolve();
            return;
        }
        m_solveMoves = answer.moves;
        m_nSolveStep = 0;
        SetTimer(TIMER_SOLVE, m_setup.m_nSpeed);
    }
}

void CPuzzleDlg::ShowHint(CCell cell)
{
    m_hintCell = cell;
    ++m_nHintsUsed;
    m_nHintPhase = 0;
    SetTimer(TIMER_HINT, kHintFrameInterval);
    InvalidateRect(CellQRect(cell));
}

void CPuzzleDlg::ForgetHint()
{
    if (m_nHintTicket != 0) {
        m_pHintWorker->Cancel(m_nHintTicket);
        m_nHintTicket = 0;
    }
    if (m_hintCell) {
        KillTimer(TIMER_HINT);
        InvalidateRect(CellQRect(*m_hintCell));
        m_hintCell.reset();
    }
}

void CPuzzleDlg::StopSolve()
{
    if (m_nSolveTicket != 0) {
        m_pHintWorker->Cancel(m_nSolveTicket);
        m_nSolveTicket = 0;
    }
    KillTimer(TIMER_SOLVE);
    m_solveMoves.clear();
    m_nSolveStep = 0;
    if (m_bSolving) {
        m_bSolving = false;
        UpdatePlayMenu();
    }
}

void CPuzzleDlg::SolveStep()
{
    if (m_nSolveStep >= m_solveMoves.size()) {
        StopSolve();
        return;
    }
    const CPuzzleBoard::SMoveResult move = m_board.MoveTile(m_solveMoves[m_nSolveStep++]);
    if (!move.Moved()) {
        StopSolve();
        return;
    }
    // The computer's moves are not the player's to take back, and the game is
    // no longer the player's alone.
    m_board.ForgetMoves();
    m_bSolvedByComputer = true;
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundClick);
    BoardChanged(m_board.CellsRect(move.from, move.to));
    if (!m_board.IsSolved()) {
        return;
    }
    // Finished by the computer: the whole picture and the win sound, nothing more.
    StopSolve();
    m_board.PlaceLastTile();
    BoardChanged(m_rcBoard);
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundWin);
    KillTimer(TIMER_CLOCK);
    EndGame();
}

void CPuzzleDlg::OnNewGame()
{
    if (s_bFirstNewGame) {
        s_bFirstNewGame = false;
    } else {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    }
    KillTimer(TIMER_SCRAMBLE);
    KillTimer(TIMER_CLOCK);
    StopSolve();
    ForgetHint();
    EndGame();
    m_board.PlaySong(0);

    m_setup.DoModal();

    if (g_bPatternShown && m_pPatternDlg) {
        m_pPatternDlg->SetPicture();
    }
    UpdateMenuChecks();
    m_board.NewBoard();
    // The solver's tables for this size load while the player looks.
    m_pHintWorker->Prepare(m_board.m_nCols, m_board.m_nRows);
    if (g_bMidi) {
        const int song = CRandom::Next() % 5 + 1;
        m_board.PlaySong(song);
        CheckSong(song);
        m_nNewGameSong = song;
    }
    ResetClock();
    UpdateData(false);
    BoardChanged(m_rcBoard);
}

void CPuzzleDlg::OnScramble()
{
    if (m_board.m_bScrambling) {
        return;
    }
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    StopSolve();
    EndGame();
    m_board.NewBoard();
    UpdateMenuChecks();
    KillTimer(TIMER_CLOCK);
    ResetClock();
    UpdateData(false);
    m_nScrambleStep = 0;
    SetTimer(TIMER_SCRAMBLE, m_setup.m_nSpeed);
    BoardChanged(m_rcBoard);
}

void CPuzzleDlg::OnUnscramble()
{
    StopSolve();
    ForgetHint();
    StopWalk();
    KillTimer(TIMER_CLOCK);
    EndGame();
    CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    ResetClock();
    UpdateData(false);
    // A solved board that stays: the moves that led there (and back) go.
    m_board.ForgetMoves();
    UpdatePlayMenu();
    if (s_bFirstUnscramble || !m_board.IsSolved()) {
        s_bFirstUnscramble = false;
        m_board.NewBoard();
        UpdateMenuChecks();
        BoardChanged(m_rcBoard);
    }
}

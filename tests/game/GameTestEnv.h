#pragma once

// Support for the game window tests: run folder and profile, pictures, a
// sound recorder, an answerer for modal dialogs and the game window itself.

#include "engine/PuzzleBoard.h"
#include "engine/Random.h"
#include "engine/solver/PatternStore.h"
#include "game/CongratsDlg.h"
#include "game/PuzzleDlg.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "shell/Profile.h"
#include "shell/SetupDlg.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"
#include "support/SoundLog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gametest {

using support::Pattern;
using support::SoundLog;

// The run folder (current directory) and the profile folder of one test.
struct RunFolder : support::RunFolder {
    // bitmaps/pic1.bmp .. pic4.bmp, 300 x 300 so that no scaling blurs them.
    static void WritePictures()
    {
        for (int n = 1; n <= 4; ++n) {
            QImage img = Pattern(300, 300);
            if (n > 1)
                img.invertPixels();
            QVERIFY(support::SaveBmp(img, QStringLiteral("bitmaps/pic%1.bmp").arg(n)));
        }
    }
    // Stores keys of the section "Tessra", as Start in the setup dialog would.
    static void Store(const std::map<std::string, int>& values) { QVERIFY(support::StoreSettings(values)); }
    static QByteArray ProfileBytes()
    {
        return QByteArray::fromStdString(support::ReadFile(CProfile::DefaultPath()));
    }
};

// Answers modal dialogs while they are up: "Player Setup" with Start, the
// congratulation dialog with congratsAnswer.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
        m_timer.start(5);
    }

    // What to do in "Player Setup" before Start (Enter); may be empty.
    std::function<void(CSetupDlg*)> onSetup;
    int congratsAnswer = IDCANCEL; // IDOK (YES) or IDCANCEL (NO)
    // Looks at the congratulation before it is answered; may be empty.
    std::function<void(CCongratsDlg*)> onCongrats;

    QStringList setupTitles;
    QStringList congrats; // "moves, m:ss" of each congratulation

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        m_last = modal; // not answered again from inside its own answer
        if (auto* setup = qobject_cast<CSetupDlg*>(modal)) {
            setupTitles << setup->windowTitle();
            if (onSetup)
                onSetup(setup);
            QTest::keyClick(setup, Qt::Key_Return);
        } else if (auto* dlg = qobject_cast<CCongratsDlg*>(modal)) {
            congrats << QString::asprintf("%d, %d:%02d", dlg->m_nMoves, dlg->m_nMinutes, dlg->m_nSeconds);
            if (onCongrats)
                onCongrats(dlg);
            dlg->GetDlgItemAs<QPushButton>(congratsAnswer)->click();
        }
        m_last = nullptr;
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
};

constexpr int kWalk = CPuzzleDlg::TIMER_SCRAMBLE, kClock = CPuzzleDlg::TIMER_CLOCK;

// Runs `open`, which shows a modal dialog of type T, and `inside` on it once it
// is up; `inside` closes it. One still open after ten seconds is cancelled,
// so that a failed check cannot leave it blocking the test.
template <class T> void WithModal(const std::function<void()>& open, const std::function<void(T*)>& inside)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll.stop();
            inside(dlg);
        }
    });
    poll.start(5);
    QTimer::singleShot(10000, &poll, [] {
        if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget()))
            dlg->EndDialog(IDCANCEL);
    });
    open();
}

// Resets what a run of the program starts with.
inline void FreshProgramState()
{
    CPuzzleDlg::s_bFirstNewGame = true;
    CPuzzleDlg::s_bFirstUnscramble = true;
    CPuzzleBoard::s_nLastDir = 5;
    CRandom::SetState(1);
    g_bPatternShown = false;
    // New Game loads the solver's tables: the ones the build made, not built anew.
#ifdef ZANDOR_TEST_SHIPPED
    CPatternStore::Instance().SetShippedDirectory(ZANDOR_TEST_SHIPPED);
#endif
}

// Collects the regions the window is asked to paint.
struct PaintRecorder : QObject {
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    QRegion region;
    int count = 0;

    bool eventFilter(QObject*, QEvent* e) override // installed on the window alone
    {
        if (e->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(e)->region();
            ++count;
        }
        return false;
    }
};

// Centre of cell (c, r) in client pixels.
inline QPoint CellCentre(const CPuzzleBoard& b, int c, int r)
{
    return {10 + c * b.m_nTileW + b.m_nTileW / 2, 10 + r * b.m_nTileH + b.m_nTileH / 2};
}

inline void ClickClient(CPuzzleDlg& dlg, QPoint client)
{
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, client + dlg.ClientOrigin());
}

inline int CellValue(const CPuzzleBoard& b, int c, int r)
{
    return static_cast<signed char>(b.m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
}

// A cell next to the blank.
inline QPoint MovableCell(const CPuzzleBoard& b)
{
    return b.m_nBlankCol > 0 ? QPoint(b.m_nBlankCol - 1, b.m_nBlankRow)
                             : QPoint(b.m_nBlankCol + 1, b.m_nBlankRow);
}

// The game window over a fresh run folder with the given settings (music off
// unless stated); opening it answers Player Setup with Start.
struct Game {
    RunFolder folder;
    SoundLog sounds;
    ModalAnswerer answerer;
    std::unique_ptr<CPuzzleDlg> dlg;

    explicit Game(std::map<std::string, int> settings = {}, bool open = true, bool pictures = true)
    {
        FreshProgramState();
        if (pictures)
            folder.WritePictures();
        settings.emplace("Midi", 0);
        RunFolder::Store(settings);
        if (open)
            Open();
    }
    void Open()
    {
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->show();
    }
    CPuzzleBoard& Board() { return dlg->m_board; }
    bool WalkRunning() const { return dlg->Timers().IsTimerRunning(kWalk); }
    bool ClockRunning() const { return dlg->Timers().IsTimerRunning(kClock); }
    // The counters as the player sees them: "moves, time, clock running or stopped".
    QString Counters() const
    {
        return QStringLiteral("%1, %2, %3")
            .arg(dlg->GetDlgItemText(IDC_MOVES), dlg->GetDlgItemText(IDC_TIME),
                 ClockRunning() ? "running" : "stopped");
    }
    void Click(QPoint cell) { ClickClient(*dlg, CellCentre(dlg->m_board, cell.x(), cell.y())); }
    // A key pressed where the focus is, as the player presses it.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(dlg->focusWidget() ? dlg->focusWidget() : dlg.get(), key, modifiers);
    }
    void ClickHome() { Click({dlg->m_board.m_nCols - 1, dlg->m_board.m_nRows - 1}); }
    void Tick(int timer, int n = 1)
    {
        while (n-- > 0)
            dlg->OnTimer(timer);
    }
    // Runs a walk to its end; returns where the blank stood before each step,
    // which clicked in reverse is the way back.
    std::vector<CCell> Walk()
    {
        std::vector<CCell> way;
        dlg->OnScramble();
        while (WalkRunning()) {
            way.push_back(Board().BlankCell());
            Tick(kWalk);
        }
        if (!way.empty())
            way.pop_back(); // the tick that ended the walk moved nothing
        return way;
    }
};

} // namespace gametest

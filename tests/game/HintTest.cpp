// Hint and Solve in the game window: hints followed to the end and counted, the
// frame, stale hints, Solve's uncounted moves and what stops it. How long the
// window waits for a hint is measured in bench/game (HintBench).
#include "GameTestEnv.h"

#include "engine/solver/PuzzleSolver.h"
#include "res/Menus.h"
#include "support/Wait.h"

#include <filesystem>

using namespace gametest;

namespace {

// A game of x by y tiles after a scramble walk (its ticks given directly), the
// shortest length of its start come back where there is one.
struct HintGame : Game {
    HintGame(int x, int y, int steps, int speed = 10)
        : Game({{"FieldX", x}, {"FieldY", y}, {"Difficult", steps}, {"Speed", speed}})
    {
        Walk();
        if (x * y <= CPuzzleSolver::kMaxShortestCells)
            QVERIFY(QTest::qWaitFor([this] { return dlg->m_nShortest >= 0; }, 10000));
    }
    CPuzzleState State() const { return CPuzzleState::FromBoard(dlg->m_board); }
    // H pressed; the tile it marks, or none when no mark came.
    std::optional<CCell> Hint()
    {
        Key(Qt::Key_H);
        (void)QTest::qWaitFor([this] { return dlg->m_hintCell.has_value(); }, 10000);
        return dlg->m_hintCell;
    }
    // Where the window now shows other pixels than `before`, in client pixels.
    QRect Changed(const QImage& before) const
    {
        const QImage now = dlg->grab().toImage();
        QRect changed;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
        return changed.translated(-dlg->ClientOrigin());
    }
};

} // namespace

class HintTest : public QObject {
    Q_OBJECT

private slots:
    void hintsFollowedFinishThePuzzleAndAreCounted_data()
    {
        QTest::addColumn<int>("x"); // x by x tiles, scrambled by 30 x steps
        QTest::newRow("3x3") << 3;
        QTest::newRow("4x4") << 4;
        QTest::newRow("10x10") << 10;
    }
    void hintsFollowedFinishThePuzzleAndAreCounted()
    {
        QFETCH(int, x);
        HintGame g(x, x, 30 * x);
        const bool small = x * x <= CPuzzleSolver::kMaxShortestCells;
        const int shortest = g.dlg->m_nShortest;
        QCOMPARE(shortest, small ? CPuzzleSolver::ShortestLength(g.State(), {}) : -1);
        QStringList congratulation;
        g.answerer.onCongrats = [&](CCongratsDlg* c) {
            congratulation << CCongratsDlg::MovesText(c->m_nMoves) << c->ShortestText() << c->HintsText();
        };

        int moves = 0;
        for (; congratulation.isEmpty() && moves < 5000; ++moves) {
            const QImage before = moves == 0 ? g.dlg->grab().toImage() : QImage();
            const std::optional<CCell> cell = g.Hint();
            QVERIFY(cell && CPuzzleBoard::CanSlide(*cell, g.Board().BlankCell(), x, x));
            if (moves == 0) {
                // The frame lies on the marked tile alone, and its movement
                // repaints that tile alone. H again while it shows asks nothing.
                const QRect tile = CPuzzleDlg::ToQRect(g.Board().CellsRect(*cell, *cell));
                const QRect changed = g.Changed(before);
                QVERIFY(!changed.isEmpty() && tile.contains(changed));
                PaintRecorder painted(g.dlg.get());
                g.Tick(CPuzzleDlg::TIMER_HINT, 2);
                QTRY_VERIFY(painted.count > 0);
                QCOMPARE(painted.region.boundingRect().translated(-g.dlg->ClientOrigin()), tile);
                g.Key(Qt::Key_H);
            }
            g.Click({cell->col, cell->row});
            QVERIFY(!g.dlg->m_hintCell);
        }
        if (small)
            QCOMPARE(moves, shortest);
        QCOMPARE(congratulation,
                 (QStringList{CCongratsDlg::MovesText(moves),
                              small ? QStringLiteral("This start could be solved in %1 moves.").arg(shortest)
                                    : QString(),
                              QStringLiteral("You used %1 hints.").arg(moves)}));
        QCOMPARE(g.dlg->m_nHintsUsed, 0); // the next game starts afresh
    }

    void aHintMadeStaleByTheBoardNeverMarksATile_data()
    {
        QTest::addColumn<int>("command"); // 0: a move; ID_REDO: Undo, then Redo
        QTest::newRow("move") << 0;
        QTest::newRow("undo") << ID_UNDO;
        QTest::newRow("undo and redo") << ID_REDO;
        QTest::newRow("scramble") << ID_SCRAMBLE;
        QTest::newRow("unscramble") << ID_UNSCRAMBLE;
        QTest::newRow("new game") << ID_NEW_GAME;
    }
    void aHintMadeStaleByTheBoardNeverMarksATile()
    {
        QFETCH(int, command);
        HintGame g(3, 3, 40);
        const bool undo = command == ID_UNDO || command == ID_REDO;
        if (undo)
            g.Click(MovableCell(g.Board()));
        // The answer is ready and waits in the event queue while the board changes.
        g.Key(Qt::Key_H);
        QVERIFY(support::WaitUntil([&g] { return g.dlg->m_pHintWorker->IsIdle(); }));
        if (command == 0)
            g.Click(MovableCell(g.Board()));
        else if (undo)
            g.Key(Qt::Key_Z, Qt::ControlModifier);
        else
            g.dlg->OnCommand(command);
        if (command == ID_REDO)
            g.Key(Qt::Key_Y, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(); // the answer, if one was on its way
        QVERIFY(!g.dlg->m_hintCell && g.dlg->m_nHintsUsed == 0);
        // A hint asked now is for the board as it is.
        if (g.WalkRunning())
            g.Walk();
        else if (g.Board().IsSolved())
            g.Click(MovableCell(g.Board()));
        const std::optional<CCell> cell = g.Hint();
        QVERIFY(cell && CPuzzleBoard::CanSlide(*cell, g.Board().BlankCell(), 3, 3) &&
                g.dlg->m_nHintsUsed == 1);
    }

    void solvePlaysTheRestUncountedAndUncongratulated()
    {
        HintGame g(4, 4, 120, 20);
        g.Click(MovableCell(g.Board())); // the player's one move
        const int rest = CPuzzleSolver::ShortestLength(g.State(), {});
        SoundLog::Clear();
        g.Key(Qt::Key_L, Qt::ControlModifier);
        QVERIFY(g.dlg->IsSolving() && !g.dlg->GetMenuItem(ID_HINT)->isEnabled() &&
                g.dlg->GetMenuItem(ID_SOLVE)->isEnabled()); // Solve, to stop it
        // Clicks and the game's keys do nothing while Solve asks and plays.
        const auto tryToPlay = [&g] {
            const std::vector<std::string> rows = g.Board().m_rows;
            g.Click(MovableCell(g.Board()));
            for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_H})
                g.Key(key);
            g.Key(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(g.Board().m_rows, rows);
        };
        tryToPlay();
        QTRY_VERIFY(g.dlg->m_nSolveStep >= 2);
        tryToPlay();
        QTRY_VERIFY_WITH_TIMEOUT(!g.dlg->IsSolving(), 10000);
        QCOMPARE(CellValue(g.Board(), 3, 3), 16);
        // The computer's moves with their clicks, then the win sound and the
        // whole picture; the counter kept the player's move, the clock stopped.
        std::vector<int> sounds(static_cast<size_t>(rest), CPuzzleBoard::kSoundClick);
        sounds.push_back(CPuzzleBoard::kSoundWin);
        QCOMPARE(SoundLog::Effects(), sounds);
        QCOMPARE(g.dlg->GetDlgItemText(IDC_MOVES), QStringLiteral("1"));
        QVERIFY(!g.ClockRunning() && g.answerer.congrats.isEmpty() &&
                !std::filesystem::exists(g.folder.BestResultsPath()) &&
                !g.dlg->GetMenuItem(ID_UNDO)->isEnabled());
    }

    void solveStops_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("Solve again") << int(ID_SOLVE);
        QTest::newRow("Unscramble") << int(ID_UNSCRAMBLE);
        QTest::newRow("New Game") << int(ID_NEW_GAME);
        QTest::newRow("Scramble") << int(ID_SCRAMBLE);
    }
    void solveStops()
    {
        QFETCH(int, command);
        HintGame g(10, 10, 300, 20);
        g.dlg->OnCommand(ID_SOLVE);
        QTRY_VERIFY(g.dlg->m_nSolveStep >= 2);
        g.dlg->OnCommand(command);
        QVERIFY(!g.dlg->IsSolving() && !g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SOLVE));
        const std::vector<std::string> rows = g.Board().m_rows;
        QTest::qWait(100);
        if (command != ID_SCRAMBLE)
            QCOMPARE(g.Board().m_rows, rows);
        QCOMPARE(g.Board().IsSolved(), command != ID_SOLVE && command != ID_SCRAMBLE);
        // After Solve again the board is the player's once more.
        if (command == ID_SOLVE) {
            g.Click(MovableCell(g.Board()));
            QCOMPARE(g.dlg->GetDlgItemText(IDC_MOVES), QStringLiteral("1"));
        }
    }
};

QTEST_MAIN(HintTest)
#include "HintTest.moc"

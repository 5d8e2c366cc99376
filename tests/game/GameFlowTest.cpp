// Play through the real game window: moves, the clock, the walk, completion,
// Scramble, Unscramble, New Game and the ways out.
#include "GameTestEnv.h"

#include "res/Menus.h"

using namespace gametest;

class GameFlowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpRunsPlayerSetupThenShowsTheSolvedBoardAndEscapeCloseOrExitEndIt()
    {
        Game g;
        QCOMPARE(g.answerer.setupTitles, QStringList{QStringLiteral("Player Setup")});
        QVERIFY(g.dlg->isVisible() && g.Board().IsSolved() && !g.WalkRunning());
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        // The start sound, then Start's ok; the first New Game of a run is silent.
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{1, 5}));
        // Scramble has the focus: Enter scrambles, unless another button has the focus.
        QCOMPARE(g.dlg->focusWidget(), g.dlg->GetDlgItem(IDC_SCRAMBLE));
        QTest::keyClick(g.dlg.get(), Qt::Key_Return);
        QVERIFY(g.WalkRunning());
        g.dlg->GetDlgItem(IDC_UNSCRAMBLE)->setFocus();
        QTest::keyClick(g.dlg->GetDlgItem(IDC_UNSCRAMBLE), Qt::Key_Return);
        QVERIFY(!g.WalkRunning());
        // On a control that is no button, Enter presses the default one: Scramble.
        g.dlg->GetDlgItem(IDC_SHOW_GRID)->setFocus();
        QTest::keyClick(g.dlg.get(), Qt::Key_Return);
        QVERIFY(g.WalkRunning());
        // Escape, the close box and Exit end the window.
        QTest::keyClick(g.dlg.get(), Qt::Key_Escape);
        QVERIFY(!g.dlg->isVisible() && g.dlg->result() == IDCANCEL);
        g.dlg->show();
        QCOMPARE(g.answerer.setupTitles.size(), 2);
        g.dlg->close();
        QVERIFY(!g.dlg->isVisible());
        g.dlg->show();
        SoundLog::Clear();
        g.dlg->GetMenuItem(ID_EXIT)->trigger(); // with the blip
        QVERIFY(SoundLog::Effects() == std::vector<int>{6} && !g.dlg->isVisible());
    }

    void clockRunsFromTheFirstMoveToCompletionAndOnItsTimer()
    {
        Game g;
        g.Click(MovableCell(g.Board()));
        QCOMPARE(g.Counters(), QStringLiteral("1, 0 : 00, running"));
        QCOMPARE(SoundLog::Count(3), 1);
        int ticks = 0;
        for (const auto& [at, text] : {std::pair{1, "0 : 01"}, {60, "1 : 00"}, {600, "10 : 00"}}) {
            g.Tick(kClock, at - ticks);
            ticks = at;
            QCOMPARE(g.dlg->GetDlgItemText(IDC_TIME), QString::fromLatin1(text));
        }
        g.Tick(kClock, 5);
        // Back into place: the second move completes the puzzle and stops the clock.
        g.ClickHome();
        QCOMPARE(std::pair(g.answerer.congrats, g.ClockRunning()), std::pair(QStringList{"2, 10:05"}, false));
        // The clock on its own timer. (The walk on its timer: the whole game in EndToEndTest.)
        g.Click(MovableCell(g.Board()));
        QTRY_COMPARE_WITH_TIMEOUT(g.dlg->GetDlgItemText(IDC_TIME), QStringLiteral("0 : 01"), 3000);
    }

    void missedClicksChangeNoCounter()
    {
        Game g({{"FieldX", 4}, {"FieldY", 4}});
        // A tile two cells from the blank: the miss sound, nothing counted.
        g.Click({1, 3});
        QCOMPARE(SoundLog::Count(4), 1);
        // The blank, the margin around the board, the window background.
        g.Click({3, 3});
        ClickClient(*g.dlg, QPoint(5, 5));
        ClickClient(*g.dlg, QPoint(320, 300));
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        QVERIFY(g.Board().IsSolved());
        // During a walk clicks and keys move nothing either, silently.
        g.dlg->OnScramble();
        g.Tick(kWalk);
        const auto rows = g.Board().m_rows;
        SoundLog::Clear();
        g.Click(MovableCell(g.Board()));
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
            g.Key(key);
        g.Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(SoundLog::Effects().empty() && g.Board().m_rows == rows);
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
    }

    void oneStepWalkSolvedByTheFirstMove()
    {
        // The first move by a click (then NO), an arrow key (then YES), and a redo (then NO) of the solving
        // move, which the board itself made and took back without the window.
        for (const auto& [answer, way] : {std::pair{IDCANCEL, 0}, {IDOK, 1}, {IDCANCEL, 2}}) {
            Game g({{"Difficult", 1}});
            g.Walk();
            QVERIFY(!g.Board().IsSolved());
            SoundLog::Clear();
            g.answerer.congratsAnswer = answer;
            if (way == 0) {
                g.ClickHome();
            } else if (way == 1) {
                g.Key(g.Board().BlankCell().col == 1 ? Qt::Key_Left : Qt::Key_Up);
            } else {
                QVERIFY(g.Board().MoveTile(CCell(2, 2)).Moved() && g.Board().Undo().Moved());
                g.Key(Qt::Key_Y, Qt::ControlModifier);
            }
            QCOMPARE(g.answerer.congrats, QStringList{QStringLiteral("1, 0:00")});
            // YES runs Player Setup again, NO goes on with the blip of Unscramble.
            QCOMPARE(g.answerer.setupTitles.size(), answer == IDOK ? 2 : 1);
            QCOMPARE(SoundLog::Effects(),
                     answer == IDOK ? (std::vector<int>{3, 2, 6, 5}) : (std::vector<int>{3, 2, 6}));
            QVERIFY(g.Board().IsSolved() && !g.Board().CanRedo());
            QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        }
    }

    void wholeGameByArrowKeysFromAnyControlWithMovesUndoneAndRedone()
    {
        Game g({{"Difficult", 6}});
        // No tile right of or below the blank in its corner: the miss sound.
        g.Key(Qt::Key_Left);
        g.Key(Qt::Key_Up);
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{1, 5, 4, 4}));
        // The walk from the generator's first state, and the way back.
        const std::vector<CCell> way = g.Walk();
        QVERIFY(way.size() == 6 && SoundLog::Count(3) == 6);
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        const auto walked = g.Board().m_rows;

        SoundLog::Clear();
        const auto expect = [&](int moves) {
            QCOMPARE(g.Counters(), QStringLiteral("%1, 0 : 00, running").arg(moves));
        };
        // The arrow that slides the tile at `cell` into the blank.
        const auto arrow = [&](CCell cell) {
            const CCell blank = g.Board().BlankCell();
            const int dc = cell.col - blank.col, dr = cell.row - blank.row;
            return dc == 1 ? Qt::Key_Left : dc == -1 ? Qt::Key_Right : dr == 1 ? Qt::Key_Up : Qt::Key_Down;
        };
        const int controls[] = {IDC_SCRAMBLE, IDC_UNSCRAMBLE, IDC_SHOW_GRID};
        for (int n = 1; n <= 6; ++n) {
            QWidget* control = g.dlg->GetDlgItem(controls[n % 3]);
            control->setFocus();
            g.Key(arrow(way[way.size() - n]));
            if (n == 6)
                break;
            expect(n);
            QCOMPARE(g.dlg->focusWidget(), control);
            if (n == 1) { // back to the walk's end and on again; the clock runs on
                g.Key(Qt::Key_Z, Qt::ControlModifier);
                expect(0);
                QCOMPARE(g.Board().m_rows, walked);
                g.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                expect(1);
            } else if (n == 4) { // two back, two again
                g.Key(Qt::Key_Z, Qt::ControlModifier);
                g.Key(Qt::Key_Z, Qt::ControlModifier);
                expect(2);
                g.Key(Qt::Key_Y, Qt::ControlModifier);
                expect(3);
                g.Key(Qt::Key_Y, Qt::ControlModifier);
                expect(4);
            }
        }
        QCOMPARE(g.answerer.congrats, QStringList{QStringLiteral("6, 0:00")});
        // A click for every move, undo and redo; the win; NO's Unscramble.
        QCOMPARE(std::tuple(SoundLog::Count(3), SoundLog::Count(2), SoundLog::Effects().back()),
                 std::tuple(6 + 3 + 3, 1, 6));
        // The keys neither pressed the buttons nor ticked the box.
        QVERIFY(!g.Board().m_bShowGrid && !g.WalkRunning());
    }

    // A walk is armed by Scramble, which starts it over until its first step, takes Difficult steps, one a
    // tick, and stops for Unscramble, New Game or a completion.
    void walkTakesDifficultyStepsAndStopsForUnscrambleNewGameOrACompletion()
    {
        Game g({{"Difficult", 3}, {"Speed", 5000}});
        g.dlg->OnScramble();
        SoundLog::Clear();
        g.dlg->OnScramble(); // before the first step: starts over, with the blip
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QCOMPARE(g.dlg->Timers().GetInterval(kWalk), 5000);
        // Armed: nothing has moved and clicks are not blocked. A tile slid out
        // and back completes the puzzle, which ends the walk.
        QVERIFY(!g.Board().m_bScrambling);
        g.Click(MovableCell(g.Board()));
        g.ClickHome();
        QVERIFY(g.answerer.congrats.size() == 1 && !g.WalkRunning());

        g.dlg->OnScramble();
        SoundLog::Clear();
        for (int step = 1; step <= 3; ++step) {
            g.Tick(kWalk);
            QVERIFY(g.Board().m_bScrambling && SoundLog::Count(3) == step);
            if (step == 1) { // after the first step Scramble does nothing
                const auto rows = g.Board().m_rows;
                g.dlg->OnScramble();
                QVERIFY(g.Board().m_rows == rows && g.dlg->m_nScrambleStep == 1 && SoundLog::Count(6) == 0);
            }
        }
        const auto rows = g.Board().m_rows;
        g.Tick(kWalk);
        QVERIFY(!g.WalkRunning() && !g.Board().m_bScrambling && !g.Board().IsSolved());
        QCOMPARE(g.Board().m_rows, rows);
        QCOMPARE(g.Walk().size(), std::size_t(3)); // a second walk makes as many steps

        // Unscramble during a walk, and New Game, which stops the clock too.
        g.dlg->OnScramble();
        g.Tick(kWalk, 2);
        g.dlg->OnUnscramble();
        QVERIFY(!g.WalkRunning() && !g.Board().m_bScrambling && g.Board().IsSolved());
        g.Click(MovableCell(g.Board()));
        g.dlg->OnScramble();
        g.Tick(kWalk);
        SoundLog::Clear();
        g.dlg->OnNewGame();
        QVERIFY(g.answerer.setupTitles.size() == 2 && SoundLog::Effects().front() == 6);
        QVERIFY(!g.WalkRunning() && g.Board().IsSolved());
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
    }

    void unscrambleOnASolvedBoardOnlyZeroesTheCounters()
    {
        Game g;
        // The first Unscramble of a run always builds the board again.
        const qint64 first = g.Board().m_hPicture.cacheKey();
        g.dlg->OnUnscramble();
        QVERIFY(g.Board().m_hPicture.cacheKey() != first);
        // A tile out and back by Undo: solved, the clock running.
        const qint64 picture = g.Board().m_hPicture.cacheKey();
        g.Click(MovableCell(g.Board()));
        g.Key(Qt::Key_Z, Qt::ControlModifier);
        g.Tick(kClock, 67);
        QCOMPARE(g.Counters(), QStringLiteral("0, 1 : 07, running"));
        SoundLog::Clear();
        g.dlg->OnUnscramble();
        QCOMPARE(g.Board().m_hPicture.cacheKey(), picture);
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6}); // the blip
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        g.Tick(kClock); // counted from zero again
        QCOMPARE(g.dlg->GetDlgItemText(IDC_TIME), QStringLiteral("0 : 01"));

        // On a scrambled board it shows the saved field size.
        g.Walk();
        RunFolder::Store({{"FieldX", 5}, {"FieldY", 2}});
        g.dlg->OnUnscramble();
        QVERIFY(QSize(g.Board().m_nCols, g.Board().m_nRows) == QSize(5, 2) && g.Board().IsSolved());
    }
};

QTEST_MAIN(GameFlowTest)
#include "GameFlowTest.moc"

// Play through the real game window: moves, the clock, the walk, completion,
// Scramble, Unscramble, New Game and the ways out.
#include "GameTestEnv.h"

#include "res/Menus.h"

using namespace gametest;

class GameFlowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpRunsPlayerSetupThenShowsTheSolvedBoard()
    {
        Game g;
        QCOMPARE(g.answerer.setupTitles, QStringList{QStringLiteral("Player Setup")});
        QVERIFY(g.dlg->isVisible());
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        QVERIFY(!g.WalkRunning());
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
    }

    void clockRunsFromTheFirstMoveToCompletion()
    {
        Game g;
        g.Click(MovableCell(g.Board()));
        QCOMPARE(g.Counters(), QStringLiteral("1, 0 : 00, running"));
        QCOMPARE(SoundLog::Count(3), 1);
        int ticks = 0;
        for (const auto& [at, text] : {std::pair{1, "0 : 01"}, {60, "1 : 00"}, {600, "10 : 00"}}) {
            g.Tick(kClock, at - ticks);
            ticks = at;
            QCOMPARE(Text(*g.dlg, IDC_TIME), QString::fromLatin1(text));
        }
        g.Tick(kClock, 5);
        // Back into place: the second move completes the puzzle and stops the clock.
        g.ClickHome();
        QCOMPARE(g.answerer.congrats, QStringList{QStringLiteral("2, 10:05")});
        QVERIFY(!g.ClockRunning());
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
        // During a walk clicks move nothing either, silently.
        g.dlg->OnScramble();
        g.Tick(kWalk);
        const auto rows = g.Board().m_rows;
        SoundLog::Clear();
        g.Click(MovableCell(g.Board()));
        QVERIFY(SoundLog::Effects().empty());
        QCOMPARE(g.Board().m_rows, rows);
        QCOMPARE(g.dlg->m_nMoves, 0);
        QVERIFY(!g.ClockRunning());
    }

    void oneStepWalkSolvedByTheFirstMove()
    {
        for (int answer : {IDCANCEL, IDOK}) { // NO, YES
            Game g({{"Difficult", 1}});
            g.Walk();
            QVERIFY(!g.Board().IsSolved());
            SoundLog::Clear();
            g.answerer.congratsAnswer = answer;
            g.ClickHome();
            QCOMPARE(g.answerer.congrats, QStringList{QStringLiteral("1, 0:00")});
            // YES runs Player Setup again, NO goes on with the blip of Unscramble.
            QCOMPARE(g.answerer.setupTitles.size(), answer == IDOK ? 2 : 1);
            if (answer == IDCANCEL)
                QCOMPARE(SoundLog::Effects(), (std::vector<int>{3, 2, 6}));
            QVERIFY(g.Board().IsSolved());
            QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        }
    }

    void walkTakesDifficultyStepsAndScrambleOnlyRestartsItBeforeTheFirst()
    {
        Game g({{"Difficult", 3}, {"Speed", 40}});
        g.dlg->OnScramble();
        SoundLog::Clear();
        g.dlg->OnScramble(); // before the first step: starts over, with the blip
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QCOMPARE(g.dlg->Timers().GetInterval(kWalk), 40);
        // Armed: nothing has moved yet and clicks are not blocked.
        QVERIFY(!g.Board().m_bScrambling);
        QVERIFY(g.Board().IsSolved());
        for (int step = 1; step <= 3; ++step) {
            g.Tick(kWalk);
            QVERIFY(g.Board().m_bScrambling);
            QCOMPARE(SoundLog::Count(3), step);
            if (step == 1) { // after the first step Scramble does nothing
                const auto rows = g.Board().m_rows;
                g.dlg->OnScramble();
                QCOMPARE(g.Board().m_rows, rows);
                QCOMPARE(g.dlg->m_nScrambleStep, 1);
                QCOMPARE(SoundLog::Effects(), (std::vector<int>{6, 3}));
            }
        }
        const auto rows = g.Board().m_rows;
        g.Tick(kWalk);
        QVERIFY(!g.WalkRunning());
        QVERIFY(!g.Board().m_bScrambling);
        QCOMPARE(g.Board().m_rows, rows);
        QVERIFY(!g.Board().IsSolved());
        SoundLog::Clear();
        g.Walk(); // a second walk makes as many steps
        QCOMPARE(SoundLog::Count(3), 3);
    }

    void walkAndClockRunOnTheirTimers()
    {
        Game g({{"Difficult", 5}, {"Speed", 10}});
        g.dlg->OnScramble();
        QTRY_VERIFY_WITH_TIMEOUT(!g.WalkRunning(), 3000);
        QCOMPARE(SoundLog::Count(3), 5);
        QVERIFY(!g.Board().IsSolved());
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        g.Click(MovableCell(g.Board()));
        QTRY_COMPARE_WITH_TIMEOUT(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 01"), 3000);
    }

    void unscrambleAndNewGameDuringAWalkStopIt()
    {
        Game g({{"Difficult", 5}});
        g.dlg->OnScramble();
        g.Tick(kWalk, 2);
        g.dlg->OnUnscramble();
        QVERIFY(!g.WalkRunning());
        QVERIFY(!g.Board().m_bScrambling);
        QVERIFY(g.Board().IsSolved());
        SoundLog::Clear();
        g.Walk();
        QCOMPARE(SoundLog::Count(3), 5);
        QVERIFY(!g.Board().IsSolved());
        // New Game stops the clock and the walk too, with a blip.
        g.Click(MovableCell(g.Board()));
        g.dlg->OnScramble();
        g.Tick(kWalk);
        SoundLog::Clear();
        g.dlg->OnNewGame();
        QCOMPARE(g.answerer.setupTitles.size(), 2);
        QCOMPARE(SoundLog::Effects().front(), 6);
        QVERIFY(!g.WalkRunning());
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
    }

    void unscrambleOnASolvedBoardOnlyZeroesTheCounters()
    {
        Game g;
        // The first Unscramble of a run always builds the board again.
        const qint64 first = g.Board().m_hPicture.cacheKey();
        g.dlg->OnUnscramble();
        QVERIFY(g.Board().m_hPicture.cacheKey() != first);

        const qint64 picture = g.Board().m_hPicture.cacheKey();
        g.dlg->m_nMoves = 7;
        g.dlg->m_strTime = QStringLiteral("3 : 07");
        g.dlg->m_nSeconds = 7;
        g.dlg->m_nMinutes = 3;
        g.dlg->UpdateData(false);
        SoundLog::Clear();
        g.dlg->OnUnscramble();
        QCOMPARE(g.Board().m_hPicture.cacheKey(), picture);
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));
        QCOMPARE(g.dlg->m_nMinutes * 60 + g.dlg->m_nSeconds, 0);

        // On a scrambled board it shows the saved field size.
        g.Walk();
        RunFolder::Store({{"FieldX", 5}, {"FieldY", 2}});
        g.dlg->OnUnscramble();
        QCOMPARE(QSize(g.Board().m_nCols, g.Board().m_nRows), QSize(5, 2));
        QVERIFY(g.Board().IsSolved());
    }

    void completionWhileAWalkIsArmedStopsTheWalk()
    {
        Game g({{"Difficult", 5}, {"Speed", 5000}});
        g.dlg->OnScramble();
        // Before the first step the player slides a tile out and back.
        g.Click(MovableCell(g.Board()));
        g.ClickHome();
        QCOMPARE(g.answerer.congrats.size(), 1);
        QVERIFY(!g.WalkRunning());
        QVERIFY(g.Board().IsSolved());
    }

    void escapeTheCloseBoxAndExitEndTheWindow()
    {
        Game g;
        QTest::keyClick(g.dlg.get(), Qt::Key_Escape);
        QVERIFY(!g.dlg->isVisible());
        QCOMPARE(g.dlg->result(), int(IDCANCEL));
        g.dlg->show();
        QCOMPARE(g.answerer.setupTitles.size(), 2);
        g.dlg->close();
        QVERIFY(!g.dlg->isVisible());
        g.dlg->show();
        SoundLog::Clear();
        g.dlg->GetMenuItem(ID_EXIT)->trigger(); // with the blip
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QVERIFY(!g.dlg->isVisible());
    }
};

QTEST_MAIN(GameFlowTest)
#include "GameFlowTest.moc"

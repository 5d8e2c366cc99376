// Play through the real game window: moves, the clock, the walk, completion,
// Scramble, Unscramble and New Game.
#include "GameTestEnv.h"

#include <memory>

using namespace gametest;

namespace {

struct Game {
    RunFolder folder;
    SoundLog sounds;
    ModalAnswerer answerer;
    std::unique_ptr<CPuzzleDlg> dlg;

    // Stores the settings, builds the window and shows it (Player Setup is
    // answered with Start on the way).
    explicit Game(std::map<std::string, int> settings = {})
    {
        FreshProgramState();
        folder.WritePictures();
        settings.emplace("Midi", 0);
        RunFolder::Store(settings);
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->show();
    }
    CPuzzleBoard& Board() { return dlg->m_board; }
    bool WalkRunning() const { return dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE); }
    bool ClockRunning() const { return dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_CLOCK); }
    std::vector<std::string> Rows() const { return dlg->m_board.m_rows; }
    // Runs a walk to its end by ticking the walk timer directly.
    void Walk()
    {
        dlg->OnScramble();
        while (WalkRunning()) {
            dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        }
    }
};

// A cell next to the blank and one that is not.
QPoint MovableCell(const CPuzzleBoard& b)
{
    return b.m_nBlankCol > 0 ? QPoint(b.m_nBlankCol - 1, b.m_nBlankRow)
                             : QPoint(b.m_nBlankCol + 1, b.m_nBlankRow);
}

} // namespace

class GameFlowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpRunsPlayerSetupThenShowsTheSolvedBoard()
    {
        Game g;
        QCOMPARE(g.answerer.setupsAnswered, 1);
        QCOMPARE(g.answerer.setupTitles.value(0), QStringLiteral("Player Setup"));
        QVERIFY(g.dlg->isVisible());
        QVERIFY(g.dlg->windowTitle().startsWith(QStringLiteral("Zandor Puzzle by ")));
        QVERIFY(g.dlg->windowTitle().size() > 17);
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 00"));
        // The start sound plays; the first New Game of a run is silent; Start in
        // Player Setup plays its ok.
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{1, 5}));
        QVERIFY(!g.ClockRunning());
        QVERIFY(!g.WalkRunning());
        QCOMPARE(g.dlg->focusWidget(), g.dlg->GetDlgItem(IDC_SCRAMBLE));
    }

    void clockStartsWithTheFirstMoveAndCountsMinutes()
    {
        Game g;
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        QCOMPARE(g.dlg->m_nMoves, 1);
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("1"));
        QVERIFY(g.ClockRunning());
        QCOMPARE(g.dlg->Timers().GetInterval(CPuzzleDlg::TIMER_CLOCK), 1000);
        QCOMPARE(SoundLog::Count(3), 1);

        g.dlg->OnTimer(CPuzzleDlg::TIMER_CLOCK);
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 01"));
        for (int i = 1; i < 60; ++i) {
            g.dlg->OnTimer(CPuzzleDlg::TIMER_CLOCK);
        }
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("1 : 00"));
        for (int i = 60; i < 600; ++i) {
            g.dlg->OnTimer(CPuzzleDlg::TIMER_CLOCK);
        }
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("10 : 00"));
        QCOMPARE(g.dlg->m_nMinutes, 10);
        QCOMPARE(g.dlg->m_nSeconds, 0);
        // The second move counts but leaves the clock alone.
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y() - 1));
        QCOMPARE(g.dlg->m_nMoves, 2);
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("10 : 00"));
    }

    void clockTicksByItselfAfterTheFirstMove()
    {
        Game g;
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        QTRY_COMPARE_WITH_TIMEOUT(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 01"), 3000);
    }

    void missedClicksChangeNoCounter()
    {
        Game g({{"FieldX", 4}, {"FieldY", 4}});
        QCOMPARE(g.Board().m_nCols, 4);
        // A tile two cells from the blank: the miss sound, nothing counted.
        ClickClient(*g.dlg, CellCentre(g.Board(), 1, 3));
        QCOMPARE(SoundLog::Count(4), 1);
        // The blank, the margin around the board, the window background.
        ClickClient(*g.dlg, CellCentre(g.Board(), 3, 3));
        ClickClient(*g.dlg, QPoint(5, 5));
        ClickClient(*g.dlg, QPoint(320, 300));
        QCOMPARE(g.dlg->m_nMoves, 0);
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QVERIFY(!g.ClockRunning());
        QVERIFY(g.Board().IsSolved());
        // During a walk clicks move nothing either.
        g.dlg->OnScramble();
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        const auto rows = g.Rows();
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        QCOMPARE(g.Rows(), rows);
        QCOMPARE(g.dlg->m_nMoves, 0);
        QVERIFY(!g.ClockRunning());
    }

    void oneStepWalkSolvedByTheFirstMoveThenNo()
    {
        Game g({{"Difficult", 1}});
        QCOMPARE(g.dlg->m_setup.m_nDifficult, 1);
        g.Walk();
        QVERIFY(!g.Board().IsSolved());
        QVERIFY(!g.Board().m_bScrambling);
        SoundLog::Clear();
        g.answerer.congratsAnswer = IDCANCEL;
        ClickClient(*g.dlg, CellCentre(g.Board(), g.Board().m_nCols - 1, g.Board().m_nRows - 1));
        QCOMPARE(g.answerer.congrats.size(), std::size_t(1));
        QCOMPARE(g.answerer.congrats[0].moves, 1);
        QCOMPARE(g.answerer.congrats[0].seconds, 0);
        QCOMPARE(g.answerer.congrats[0].minutes, 0);
        // Click, win, then the blip of Unscramble.
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{3, 2, 6}));
        QCOMPARE(g.answerer.setupsAnswered, 1);
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 00"));
        QVERIFY(!g.ClockRunning());
    }

    void completionAnsweredYesRunsPlayerSetup()
    {
        Game g({{"Difficult", 1}});
        g.Walk();
        g.answerer.congratsAnswer = IDOK;
        ClickClient(*g.dlg, CellCentre(g.Board(), g.Board().m_nCols - 1, g.Board().m_nRows - 1));
        QCOMPARE(g.answerer.congrats.size(), std::size_t(1));
        QCOMPARE(g.answerer.setupsAnswered, 2);
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 00"));
        QVERIFY(!g.ClockRunning());
    }

    void completionStopsTheClockAndReportsTheTime()
    {
        Game g;
        // Out of the solved board and back: two moves complete the puzzle.
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        for (int i = 0; i < 65; ++i) {
            g.dlg->OnTimer(CPuzzleDlg::TIMER_CLOCK);
        }
        g.answerer.congratsAnswer = IDCANCEL;
        ClickClient(*g.dlg, CellCentre(g.Board(), g.Board().m_nCols - 1, g.Board().m_nRows - 1));
        QCOMPARE(g.answerer.congrats.size(), std::size_t(1));
        QCOMPARE(g.answerer.congrats[0].moves, 2);
        QCOMPARE(g.answerer.congrats[0].seconds, 5);
        QCOMPARE(g.answerer.congrats[0].minutes, 1);
        QVERIFY(!g.ClockRunning());
    }

    void walkTakesDifficultyTicksAndEndsOnTheNext()
    {
        Game g({{"Difficult", 3}, {"Speed", 40}});
        SoundLog::Clear();
        g.dlg->OnScramble();
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QVERIFY(g.WalkRunning());
        QCOMPARE(g.dlg->Timers().GetInterval(CPuzzleDlg::TIMER_SCRAMBLE), 40);
        // Armed: nothing has moved yet and clicks are not blocked.
        QVERIFY(!g.Board().m_bScrambling);
        QVERIFY(g.Board().IsSolved());
        for (int step = 1; step <= 3; ++step) {
            g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
            QVERIFY(g.Board().m_bScrambling);
            QCOMPARE(g.dlg->m_nScrambleStep, step);
            QCOMPARE(SoundLog::Count(3), step);
        }
        const auto rows = g.Rows();
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        QVERIFY(!g.WalkRunning());
        QVERIFY(!g.Board().m_bScrambling);
        QCOMPARE(g.dlg->m_nScrambleStep, 0);
        QCOMPARE(g.Rows(), rows);
        QCOMPARE(SoundLog::Count(3), 3);
        QVERIFY(!g.Board().IsSolved());
    }

    void walkRunsOnItsTimer()
    {
        Game g({{"Difficult", 5}, {"Speed", 10}});
        g.dlg->OnScramble();
        QTRY_VERIFY_WITH_TIMEOUT(!g.WalkRunning(), 3000);
        QCOMPARE(SoundLog::Count(3), 5);
        QVERIFY(!g.Board().IsSolved());
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QVERIFY(!g.ClockRunning());
    }

    void scrambleDuringAWalkAfterItsFirstStepDoesNothing()
    {
        Game g({{"Difficult", 4}});
        g.dlg->OnScramble();
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        const auto rows = g.Rows();
        SoundLog::Clear();
        g.dlg->OnScramble();
        QCOMPARE(g.Rows(), rows);
        QCOMPARE(g.dlg->m_nScrambleStep, 1);
        QVERIFY(SoundLog::Effects().empty());
        QVERIFY(g.WalkRunning());
    }

    void scrambleBeforeTheFirstStepStartsTheWalkOver()
    {
        Game g({{"Difficult", 4}});
        g.dlg->OnScramble();
        SoundLog::Clear();
        g.dlg->OnScramble();
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QCOMPARE(g.dlg->m_nScrambleStep, 0);
        QVERIFY(g.Board().IsSolved());
        QVERIFY(g.WalkRunning());
    }

    void twoWalksMakeTheSameNumberOfSteps()
    {
        Game g({{"Difficult", 6}});
        g.Walk();
        QCOMPARE(SoundLog::Count(3), 6);
        SoundLog::Clear();
        g.Walk();
        QCOMPARE(SoundLog::Count(3), 6);
    }

    void unscrambleDuringAWalkStopsItAndScrambleWorksAgain()
    {
        Game g({{"Difficult", 5}});
        g.dlg->OnScramble();
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        QVERIFY(!g.Board().IsSolved() || g.Board().m_bScrambling);
        g.dlg->OnUnscramble();
        QVERIFY(!g.WalkRunning());
        QVERIFY(!g.Board().m_bScrambling);
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(g.dlg->m_nScrambleStep, 0);
        SoundLog::Clear();
        g.Walk();
        QCOMPARE(SoundLog::Count(3), 5);
        QVERIFY(!g.Board().IsSolved());
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
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 00"));
        QCOMPARE(g.dlg->m_nMinutes, 0);
        QCOMPARE(g.dlg->m_nSeconds, 0);
    }

    void unscrambleShowsTheSavedFieldSize()
    {
        Game g;
        g.Walk();
        RunFolder::Store({{"FieldX", 5}, {"FieldY", 2}});
        g.dlg->OnUnscramble();
        QCOMPARE(g.Board().m_nCols, 5);
        QCOMPARE(g.Board().m_nRows, 2);
        QVERIFY(g.Board().IsSolved());
    }

    void newGameStopsEverythingAndBlips()
    {
        Game g({{"Difficult", 5}});
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        g.dlg->OnScramble();
        g.dlg->OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        SoundLog::Clear();
        g.dlg->OnNewGame();
        QCOMPARE(g.answerer.setupsAnswered, 2);
        QCOMPARE(SoundLog::Effects().front(), 6);
        QVERIFY(!g.WalkRunning());
        QVERIFY(!g.ClockRunning());
        QVERIFY(g.Board().IsSolved());
        QCOMPARE(Text(*g.dlg, IDC_MOVES), QStringLiteral("0"));
        QCOMPARE(Text(*g.dlg, IDC_TIME), QStringLiteral("0 : 00"));
    }

    void completionWhileAWalkIsArmedStopsTheWalk()
    {
        Game g({{"Difficult", 5}, {"Speed", 5000}});
        g.dlg->OnScramble();
        // Before the first step the player slides a tile out and back.
        const QPoint cell = MovableCell(g.Board());
        ClickClient(*g.dlg, CellCentre(g.Board(), cell.x(), cell.y()));
        g.answerer.congratsAnswer = IDCANCEL;
        ClickClient(*g.dlg, CellCentre(g.Board(), g.Board().m_nCols - 1, g.Board().m_nRows - 1));
        QCOMPARE(g.answerer.congrats.size(), std::size_t(1));
        QVERIFY(!g.WalkRunning());
        QVERIFY(g.Board().IsSolved());
    }

    void escapeAndTheCloseBoxEndTheWindow()
    {
        Game g;
        QTest::keyClick(g.dlg.get(), Qt::Key_Escape);
        QVERIFY(!g.dlg->isVisible());
        QCOMPARE(g.dlg->result(), int(IDCANCEL));
        g.dlg->show();
        QCOMPARE(g.answerer.setupsAnswered, 2);
        g.dlg->close();
        QVERIFY(!g.dlg->isVisible());
    }
};

QTEST_MAIN(GameFlowTest)
#include "GameFlowTest.moc"

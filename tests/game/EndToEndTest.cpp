// Whole runs of the program as a player makes them. A game: the program starts with no profile, Player Setup
// comes up with the standard values, Start, Scramble, the puzzle solved by clicking tiles, NO in the
// congratulation dialog, and the window closed; the profile holds what Start saved and nothing more. A
// pattern preview opened and closed many times, open across New Games and still open when the program ends.
#include "GameTestEnv.h"

#include "game/PatternDlg.h"
#include "res/Menus.h"
#include "shell/PuzzleApp.h"

#include <QLabel>

using namespace gametest;

class EndToEndTest : public QObject {
    Q_OBJECT

    QPoint m_setupOpened{-1, -1}; // the difficulty and speed Player Setup showed
    QByteArray m_profileBeforeClose;
    bool m_scriptDone = false;

    // Where the blank was before each step of the walk: the player's way back.
    static inline CPuzzleDlg* s_walking = nullptr;
    static inline std::vector<QPoint> s_path;
    static bool RecordBlank(const std::string& sound)
    {
        if (s_walking && sound.find("click") != std::string::npos)
            s_path.push_back({s_walking->m_board.m_nBlankCol, s_walking->m_board.m_nBlankRow});
        return true;
    }

    void Play(CPuzzleDlg* dlg, ModalAnswerer& answerer)
    {
        QVERIFY(dlg->m_board.IsSolved() && dlg->m_setup.m_nDifficult == 8);
        s_walking = dlg;
        CPuzzleBoard::s_pfnSoundSink = &RecordBlank;
        QTest::mouseClick(dlg->GetDlgItem(IDC_SCRAMBLE), Qt::LeftButton);
        QVERIFY(dlg->Timers().IsTimerRunning(kWalk));
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->Timers().IsTimerRunning(kWalk), 5000);
        s_walking = nullptr;
        QVERIFY(!dlg->m_board.IsSolved() && s_path.size() == 8);
        answerer.congratsAnswer = IDCANCEL;
        for (auto cell = s_path.rbegin(); cell != s_path.rend(); ++cell)
            ClickClient(*dlg, CellCentre(dlg->m_board, cell->x(), cell->y()));
        QCOMPARE(answerer.congrats.size(), 1);
        QVERIFY(answerer.congrats[0].startsWith(QStringLiteral("8, ")) && dlg->m_board.IsSolved());
        QCOMPARE(dlg->GetDlgItemText(IDC_MOVES) + ", " + dlg->GetDlgItemText(IDC_TIME),
                 QStringLiteral("0, 0 : 00"));
        m_profileBeforeClose = RunFolder::ProfileBytes();
        m_scriptDone = true;
    }

    // Runs the program (theApp.InitInstance) until the game window is closed. The script runs once the game
    // window runs its own loop, after the first Player Setup; then the close box ends the program.
    void RunProgram(const std::function<void(CPuzzleDlg*)>& script)
    {
        QTimer start;
        connect(&start, &QTimer::timeout, this, [&script, &start] {
            auto* dlg = qobject_cast<CPuzzleDlg*>(theApp.m_pMainWnd);
            if (!dlg || QApplication::activeModalWidget() != dlg)
                return;
            start.stop();
            script(dlg);
            dlg->close();
        });
        start.start(10);
        QVERIFY(!theApp.InitInstance() && !theApp.m_pMainWnd);
    }

private slots:
    void wholeGameFromAFreshStart()
    {
        RunFolder folder;
        folder.WritePictures();
        FreshProgramState();
        SoundLog sounds;
        QVERIFY(!QFile::exists(QString::fromStdString(CProfile::DefaultPath())));

        ModalAnswerer answerer;
        answerer.onSetup = [this](CSetupDlg* setup) {
            m_setupOpened = QPoint(setup->m_nDifficult, setup->m_nSpeed);
            // Difficulty 8, Speed 10, no music.
            for (const auto& [id, value] : {std::pair{IDC_DIFFICULT, 8}, std::pair{IDC_SPEED, 10}}) {
                auto* edit = setup->GetDlgItemAs<QLineEdit>(id);
                edit->selectAll();
                QTest::keyClicks(edit, QString::number(value));
            }
            if (auto* midi = setup->GetDlgItemAs<QAbstractButton>(IDC_MIDI); midi->isChecked())
                midi->click();
        };
        RunProgram([&](CPuzzleDlg* dlg) { Play(dlg, answerer); });
        QVERIFY(m_scriptDone);

        QCOMPARE(answerer.setupTitles, QStringList{QStringLiteral("Player Setup")});
        QCOMPARE(m_setupOpened, QPoint(20, 150)); // the standard values
        // Closing wrote nothing; Start had saved the settings (all of them: the setup dialog's tests).
        QCOMPARE(RunFolder::ProfileBytes(), m_profileBeforeClose);
        QVERIFY(m_profileBeforeClose.contains("\nDifficult=8\n") &&
                m_profileBeforeClose.contains("\nMidi=0\n"));
    }

    void previewOpenedAndClosedAgainAndAgainThenTheProgramEnds()
    {
        Game game({}, false);
        QPointer<CPatternDlg> lastPreview;
        RunProgram([&](CPuzzleDlg* dlg) {
            QWidget* button = dlg->GetDlgItem(IDC_SHOW_PATTERN);
            // A click on the picture, Escape, Enter, the close request.
            const std::function<void(CPatternDlg*)> closers[] = {
                [](CPatternDlg* p) { QTest::mouseClick(p->findChild<QLabel*>(), Qt::LeftButton); },
                [](CPatternDlg* p) { QTest::keyClick(p, Qt::Key_Escape); },
                [](CPatternDlg* p) { QTest::keyClick(p, Qt::Key_Return); },
                [](CPatternDlg* p) { p->close(); }};
            for (int i = 0; i < 20; ++i) {
                i % 2 == 0 ? QTest::mouseClick(button, Qt::LeftButton) // by the button and by the menu
                           : dlg->GetMenuItem(ID_SHOW_PATTERN)->trigger();
                const auto previews = dlg->findChildren<CPatternDlg*>();
                QCOMPARE(previews.size(), 1);
                CPatternDlg* preview = previews.front();
                QVERIFY(preview->isVisible() && g_bPatternShown);
                QCOMPARE(preview->geometry(), QRect(dlg->m_ptWindow + QPoint(-300, 10), QSize(300, 300)));
                closers[i % 4](preview);
                QVERIFY(!preview->isVisible() && !g_bPatternShown);
                // What the event loop does between two clicks of the player.
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            // New Game with the preview open: it shows the picture chosen in Player Setup.
            QTest::mouseClick(button, Qt::LeftButton);
            lastPreview = dlg->findChild<CPatternDlg*>();
            QVERIFY(lastPreview && lastPreview->isVisible());
            QCOMPARE(lastPreview->GetPicture().pixel(7, 3), Pattern(300, 300).pixel(7, 3));
            const auto newGameWith = [&](int picture) {
                game.answerer.onSetup = [picture](CSetupDlg* s) {
                    s->GetDlgItemAs<QAbstractButton>(picture)->click();
                };
                dlg->GetMenuItem(ID_NEW_GAME)->trigger();
            };
            newGameWith(IDC_PIC2);
            QVERIFY(lastPreview && lastPreview->isVisible() && g_bPatternShown);
            QCOMPARE(lastPreview->GetPicture().pixel(7, 3), Pattern(300, 300).pixel(7, 3) ^ 0x00FFFFFF);
            // A picture whose file is gone leaves it empty.
            QVERIFY(QFile::remove(QStringLiteral("bitmaps/pic3.bmp")));
            newGameWith(IDC_PIC3);
            QVERIFY(lastPreview && lastPreview->isVisible() && lastPreview->GetPicture().isNull());
        });
        // The program ended with the preview open: it went with the game window.
        QVERIFY(lastPreview.isNull() && !g_bPatternShown);
        QCOMPARE(game.answerer.setupTitles.size(), 3);
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"

// The game window's menus and commands, the sound and music switches, the pattern preview, the help page, the
// about box's mail link, Show Grid and the cursor.
#include "GameTestEnv.h"

#include "game/HelpDlg.h"
#include "game/PatternDlg.h"
#include "imaging/LinkResult.h"
#include "res/Menus.h"
#include "support/RunFolder.h"
#include "support/Songs.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QTextBrowser>

using namespace gametest;

namespace {

struct MenuGame : Game {
    using Game::Game;
    QAction* Item(int id) const { return dlg->GetMenuItem(id); }
    bool Checked(int id) const { return Item(id) && Item(id)->isChecked(); }
    std::vector<int> CheckedSongs() const
    {
        std::vector<int> songs;
        for (int id = ID_SONG1; id <= ID_SONG5; ++id)
            if (Checked(id))
                songs.push_back(id - ID_MIDI);
        return songs;
    }
};

// Moves the mouse to a client point, as the player would, and returns the
// cursor shown there: the one of the topmost control that sets one.
QCursor HoverAt(CPuzzleDlg& dlg, QPoint client)
{
    const QPoint p = client + dlg.ClientOrigin();
    QTest::mouseMove(&dlg, p);
    QApplication::processEvents();
    const QWidget* w = dlg.childAt(p) ? dlg.childAt(p) : &dlg;
    while (w && !w->testAttribute(Qt::WA_SetCursor))
        w = w->parentWidget();
    return w ? w->cursor() : QCursor(Qt::ArrowCursor);
}

const auto IsHand = [](const CPuzzleDlg& dlg, const QCursor& c) {
    return c.shape() == Qt::BitmapCursor && c.hotSpot() == dlg.m_hHandCursor.hotSpot();
};

// Opens the context menu and runs `inside` on it while it is up.
void WithContextMenu(CPuzzleDlg& dlg, QObject* owner, std::function<void(QMenu*)> inside)
{
    QTimer::singleShot(50, owner, [inside] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        inside(menu);
    });
    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(100, 100), dlg.mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(&dlg, &open);
}

// The help page shown by `open`: its title and text; it is closed by `close`.
QString HelpPageShownBy(const std::function<void()>& open, const std::function<void(CHelpDlg*)>& close)
{
    QString text;
    WithModal<CHelpDlg>(open, [&](CHelpDlg* help) {
        text = help->windowTitle() + QLatin1Char('\n') + help->Page()->toPlainText();
        close(help);
    });
    return text;
}

// A desktop of our own making: xdg-open and xdg-settings as shell scripts in a folder that is the whole PATH
// (an empty script leaves the tool out), and a web browser's desktop entry there.
struct FakeDesktop {
    FakeDesktop(const QByteArray& opener, const QByteArray& settings)
    {
        QVERIFY(support::WriteFile(Path("applications/test-browser.desktop"),
                                   "[Desktop Entry]\nType=Application\nName=Browser\nExec=browser %u\n"));
        for (const auto& [name, body] :
             {std::pair{"xdg-open", opener}, std::pair{"xdg-settings", settings}}) {
            if (!body.isEmpty()) {
                QVERIFY(support::WriteFile(Path(name), ("#!/bin/sh\n" + body + "\n").toStdString()));
                std::filesystem::permissions(Path(name), std::filesystem::perms::owner_exec,
                                             std::filesystem::perm_options::add);
            }
        }
    }
    std::string Path(const char* name) const
    {
        return m_dir.filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir m_dir;
    support::ScopedEnv m_path{"PATH", m_dir.path().toStdString()};
    support::ScopedEnv m_dataHome{"XDG_DATA_HOME", m_dir.path().toStdString()};
    support::ScopedEnv m_dataDirs{"XDG_DATA_DIRS", m_dir.path().toStdString()};
    support::ScopedEnv m_browser{"BROWSER", std::nullopt};
};

// The longest pause between the ticks of a 5 ms timer, the one still going on included.
struct TickGaps : QObject {
    QTimer timer;
    QElapsedTimer clock;
    qint64 longest = 0;
    TickGaps()
    {
        connect(&timer, &QTimer::timeout, this, [this] { longest = std::max(longest, clock.restart()); });
        clock.start();
        timer.start(5);
    }
    qint64 Longest() const { return std::max(longest, clock.elapsed()); }
};

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void soundSwitchIsRestoredByScrambleAndShowGridBoxAndMenuAgree()
    {
        MenuGame g;
        // Sound on by the profile, Midi off, no song marked.
        QVERIFY(g.Checked(ID_SOUND) && !g.Checked(ID_MIDI) && g.CheckedSongs().empty());
        // Show Grid from the box and the menu agree, silently.
        auto* box = g.dlg->GetDlgItemAs<QCheckBox>(IDC_SHOW_GRID);
        for (int i = 0; i < 4; ++i) { // box on, menu off, box on, menu off
            i % 2 == 0 ? QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2))
                       : g.Item(ID_SHOW_GRID)->trigger();
            QCOMPARE(std::pair(g.Board().m_bShowGrid, box->isChecked()), std::pair(i % 2 == 0, i % 2 == 0));
        }
        QCOMPARE(SoundLog::Count(6), 0);
        // Off: silent, the switch's own blip and a move too; on: the blip.
        SoundLog::Clear();
        g.Item(ID_SOUND)->trigger();
        QVERIFY(g_bSound == 0 && !g.Checked(ID_SOUND));
        g.Click(MovableCell(g.Board()));
        QVERIFY(g.dlg->m_nMoves == 1 && SoundLog::Effects().empty());
        g.Item(ID_SOUND)->trigger();
        QVERIFY(g_bSound == 1 && g.Checked(ID_SOUND));
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        // Scramble brings back the saved switch and its check mark.
        g.Item(ID_SOUND)->trigger();
        g.Item(ID_SCRAMBLE)->trigger();
        QVERIFY(g_bSound == 1 && g.Checked(ID_SOUND) && g.WalkRunning());
        // The switch is not saved.
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        QCOMPARE(profile.GetInt("Tessra", "Sound", -1), 1);
    }

    void songPickedWithMidiOffIsSilentUntilMidiOnAndNewGamePicksARandomOne()
    {
        MenuGame g;
        // Only "Sunny Days" exists: any other song would stay closed.
        QVERIFY(support::WriteTune("midi/SunnyDays.mid"));
        g.Item(ID_MIDI + 3)->trigger();
        QVERIFY(g.dlg->m_nSong == 3 && g.CheckedSongs() == std::vector<int>{3});
        QVERIFY(g.Board().m_midi.m_bOpen && !g.Board().m_midi.m_bPlaying);
        g.Item(ID_MIDI)->trigger();
        QVERIFY(g_bMidi == 1 && g.Checked(ID_MIDI) && g.Board().m_midi.m_bPlaying);
        QTRY_VERIFY(g.Board().m_midi.GetPositionMs() > 0); // the mixer plays it

        // New Game with Midi on plays a random song and marks it.
        for (const char* name : {"openplains", "zandor", "EveningGlow", "risingcrown"})
            QVERIFY(support::WriteTune(std::string("midi/") + name + ".mid"));
        g.dlg->OnNewGame();
        const int song = g.dlg->m_nNewGameSong;
        QVERIFY(song >= 1 && song <= 5 && g.Board().m_midi.m_bPlaying);
        QCOMPARE(g.CheckedSongs(), std::vector<int>{song});
        g.Item(ID_MIDI)->trigger();
        QVERIFY(!g.Board().m_midi.m_bOpen && !g.Checked(ID_MIDI));
    }

    void showPatternFollowsTheWindowAndHelpPageOpensFromF1AndTheMenu()
    {
        MenuGame g;
        g.dlg->move(500, 200);
        QTRY_COMPARE(g.dlg->m_ptWindow, g.dlg->mapToGlobal(g.dlg->ClientOrigin()));
        // (Opened by the button and the menu, one at a time: EndToEndTest.)
        g.Item(ID_SHOW_PATTERN)->trigger();
        auto* preview = g.dlg->findChild<CPatternDlg*>();
        QVERIFY(preview && preview->isVisible());
        // A thin black border; inside it the picture from its top-left corner.
        QImage framed(300, 300, QImage::Format_RGB32);
        framed.fill(Qt::black);
        QPainter(&framed).drawImage(1, 1, Pattern(300, 300).copy(0, 0, 298, 298));
        QCOMPARE(preview->grab().toImage().convertToFormat(QImage::Format_RGB32), framed);

        g.dlg->move(650, 260);
        QTRY_COMPARE(preview->pos(), g.dlg->mapToGlobal(g.dlg->ClientOrigin()) + QPoint(-300, 10));

        // F1 where the focus is (Scramble), closed with Escape; the menu item, closed with OK.
        const QString byKey =
            HelpPageShownBy([&] { QTest::keyClick(g.dlg->GetDlgItem(IDC_SCRAMBLE), Qt::Key_F1); },
                            [](CHelpDlg* h) { QTest::keyClick(h, Qt::Key_Escape); });
        QVERIFY(!QApplication::activeModalWidget());
        const QString byMenu =
            HelpPageShownBy([&] { g.Item(ID_HOW_TO_PLAY)->trigger(); },
                            [](CHelpDlg* h) { QTest::mouseClick(h->GetDlgItem(IDOK), Qt::LeftButton); });
        QVERIFY(!QApplication::activeModalWidget() && byMenu == byKey);
        // The rules, the mouse and the keyboard, the menus.
        for (const char* words : {"How to play", "Scramble", "blank", "Right click", "context menu", "Enter",
                                  "Escape", "F1", "File", "Options", "Midi", "Player Setup", "Best Results"})
            QVERIFY2(byKey.contains(QLatin1String(words)), words);
        QVERIFY(SoundLog::Count(6) == 0 && !g.WalkRunning()); // F1 on the focused Scramble did not scramble
    }

    void mailLinkInTheAboutBoxWaitsForNothing_data()
    {
        QTest::addColumn<QByteArray>("opener");   // xdg-open; empty: there is none
        QTest::addColumn<QByteArray>("settings"); // xdg-settings; empty: there is none
        QTest::addColumn<bool>("browser");        // the browser was started with the target
        QTest::addColumn<int>("message");         // the code reported; 0: no message
        const QByteArray browser = "echo test-browser.desktop";
        QTest::newRow("mail program opens it") << QByteArray("exit 0") << browser << false << 0;
        QTest::newRow("no mail program: the browser") << QByteArray("exit 3") << browser << true << 0;
        QTest::newRow("no mail program, no browser")
            << QByteArray("exit 3") << QByteArray("exit 1") << false << LinkResult::NoAssoc;
        QTest::newRow("no opener, no browser")
            << QByteArray() << QByteArray() << false << LinkResult::NoAssoc;
        QTest::newRow("slow opener fails, slow browser lookup")
            << QByteArray("/bin/sleep 0.3; exit 4") << QByteArray("/bin/sleep 0.5; exit 1") << false
            << LinkResult::AssocIncomplete;
        QTest::newRow("opener stays with the mail program")
            << QByteArray("/bin/sleep 1.5; exit 4") << browser << false << 0;
    }

    void mailLinkInTheAboutBoxWaitsForNothing()
    {
        QFETCH(QByteArray, opener);
        QFETCH(QByteArray, settings);
        QFETCH(bool, browser);
        QFETCH(int, message);
        MenuGame g;
        FakeDesktop desktop(opener, settings);
        QStringList messages;
        int beeps = 0;
        CHyperLink::s_pfnMessageBox = [&](const QString& text, QMessageBox::Icon) { messages << text; };
        CHyperLink::s_pfnBeep = [&] { ++beeps; };
        QStringList started; // the browser's command lines
        CHyperLink::s_pfnStartDetached = [&](const QString& program, const QStringList& args) {
            started << program + QLatin1Char(' ') + args.join(QLatin1Char(' '));
            return true;
        };
        const int patience = CHyperLink::s_nOpenerPatienceMs;
        CHyperLink::s_nOpenerPatienceMs = 800;

        qint64 longestPause = -1;
        WithModal<CAboutDlg>([&] { g.Item(ID_APP_ABOUT)->trigger(); },
                             [&](CAboutDlg* about) {
                                 CHyperLink& link = about->m_link;
                                 [&] {
                                     TickGaps gaps;
                                     QTest::mousePress(&link, Qt::LeftButton, {}, link.rect().center());
                                     QTRY_VERIFY_WITH_TIMEOUT(link.IsVisited() || !messages.isEmpty(), 5000);
                                     // An opener that runs on ends unheeded.
                                     QTRY_VERIFY_WITH_TIMEOUT(link.findChildren<QProcess*>().isEmpty(), 5000);
                                     longestPause = gaps.Longest();
                                 }();
                                 about->EndDialog(IDOK);
                             });
        CHyperLink::s_nOpenerPatienceMs = patience;
        CHyperLink::s_pfnMessageBox = nullptr;
        CHyperLink::s_pfnBeep = nullptr;
        CHyperLink::s_pfnStartDetached = nullptr;

        // The fake programs take 300 ms or more: waiting for one would stall the
        // window that long. The margin below that absorbs a busy machine.
        QVERIFY2(longestPause >= 0 && longestPause < 200, qPrintable(QString::number(longestPause)));
        QCOMPARE(started, browser ? QStringList{"browser " + CAboutDlg::MailTarget()} : QStringList());
        QCOMPARE(g.dlg->m_about.m_link.IsVisited(), message == 0);
        QCOMPARE(messages, message == 0 ? QStringList() : QStringList{CHyperLink::LinkErrorText(message)});
        QCOMPARE(beeps, message == 0 ? 0 : 1);
    }

    void playMenuUndoesAndRedoesAndGreysWhatHasNothingToDo()
    {
        MenuGame g;
        // "&Play" follows "&File" and holds Undo and Redo, then Hint and Solve.
        const QList<QAction*> bar = g.dlg->findChild<QMenuBar*>()->actions();
        QCOMPARE(bar.value(1)->text(), QStringLiteral("&Play"));
        QList<int> ids;
        for (const QAction* a : bar.value(1)->menu()->actions())
            ids << a->data().toInt();
        QCOMPARE(ids, (QList<int>{ID_UNDO, ID_REDO, 0, ID_HINT, ID_SOLVE}));
        QCOMPARE(g.Item(ID_UNDO)->text(), QStringLiteral("&Undo\tCtrl+Z"));
        // "undo redo": which of the two can be chosen.
        const auto enabled = [&g] {
            return QStringLiteral("%1 %2")
                .arg(g.Item(ID_UNDO)->isEnabled())
                .arg(g.Item(ID_REDO)->isEnabled());
        };
        QCOMPARE(enabled(), QStringLiteral("0 0"));
        // The keys with nothing to do: the miss sound, nothing counted.
        SoundLog::Clear();
        g.Key(Qt::Key_Z, Qt::ControlModifier);
        g.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{4, 4}));
        QCOMPARE(g.Counters(), QStringLiteral("0, 0 : 00, stopped"));

        g.Click({1, 2});
        QCOMPARE(enabled(), QStringLiteral("1 0"));
        // Undo back to the solved board: no completion, the clock runs on.
        g.Item(ID_UNDO)->trigger();
        QVERIFY(g.Board().IsSolved() && g.answerer.congrats.isEmpty());
        QCOMPARE(g.Counters() + " / " + enabled(), QStringLiteral("0, 0 : 00, running / 0 1"));
        bool contextUndo = true;
        WithContextMenu(*g.dlg, this, [&](QMenu* menu) {
            contextUndo = menu->actions().value(0)->isEnabled();
            menu->close();
        });
        QVERIFY(!contextUndo);
        g.Item(ID_REDO)->trigger();
        QCOMPARE(g.Counters() + " / " + enabled(), QStringLiteral("1, 0 : 00, running / 1 0"));
        QCOMPARE(SoundLog::Effects(), (std::vector<int>{4, 4, 3, 3, 3}));

        // Scramble forgets the moves; nothing to undo during the walk or after it.
        g.Item(ID_SCRAMBLE)->trigger();
        QCOMPARE(enabled(), QStringLiteral("0 0"));
        g.Walk();
        QCOMPARE(enabled(), QStringLiteral("0 0"));
        g.Click(MovableCell(g.Board()));
        g.Item(ID_UNDO)->trigger();
        QCOMPARE(enabled(), QStringLiteral("0 1"));
        g.Item(ID_UNSCRAMBLE)->trigger();
        QCOMPARE(enabled(), QStringLiteral("0 0"));
    }

    void cursorMarksTheTilesThatWouldMove()
    {
        MenuGame g;
        CPuzzleDlg& d = *g.dlg;
        const auto rectOf = [&d](int id) {
            return d.GetDlgItem(id)->geometry().translated(-d.ClientOrigin());
        };
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, 1, 2))));
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, 2, 2)).shape(), Qt::ForbiddenCursor);
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, 0, 0)).shape(), Qt::ForbiddenCursor);
        QVERIFY(IsHand(d, HoverAt(d, rectOf(IDC_SCRAMBLE).center())));
        QCOMPARE(HoverAt(d, rectOf(IDC_SHOW_GRID).center()).shape(), Qt::ArrowCursor);
        QCOMPARE(HoverAt(d, QPoint(320, 320)).shape(), Qt::ArrowCursor);
        // Back on the board after the arrow, and during a walk too.
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, 1, 2))));
        d.OnScramble();
        g.Tick(kWalk);
        const QPoint beside = MovableCell(d.m_board);
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, beside.x(), beside.y()))));
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, d.m_board.m_nBlankCol, d.m_board.m_nBlankRow)).shape(),
                 Qt::ForbiddenCursor);
    }

    // The right button's menu: the main menu's commands without their check
    // marks (its items are the menu table's), and they reach the window.
    void contextMenuHasNoCheckMarkAndItsCommandsWork()
    {
        MenuGame g;
        bool anyChecked = false;
        WithContextMenu(*g.dlg, this, [&](QMenu* menu) {
            for (const QAction* a : menu->actions())
                anyChecked = anyChecked || a->isChecked();
            QVERIFY(menu->actions().size() > 8);
            menu->close();
        });
        QVERIFY(g_bSound != 0 && !anyChecked);

        // Its commands reach the window: "S&ound" switches the sound off.
        WithContextMenu(*g.dlg, this, [](QMenu* menu) {
            for (QAction* a : menu->actions())
                if (a->data().toInt() == ID_SOUND)
                    menu->setActiveAction(a);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QVERIFY(g_bSound == 0 && !g.Checked(ID_SOUND));
    }
};

QTEST_MAIN(MenusTest)
#include "MenusTest.moc"

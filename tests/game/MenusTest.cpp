// The game window's menus and commands, the sound and music switches, the
// pattern preview, Show Grid and the cursor.
#include "GameTestEnv.h"

#include "game/PatternDlg.h"
#include "res/Menus.h"
#include "support/Songs.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>

using namespace gametest;

namespace {

struct MenuGame : Game {
    using Game::Game;
    QAction* Item(int id) const { return dlg->GetMenuItem(id); }
    bool Checked(int id) const { return Item(id) && Item(id)->isChecked(); }
    std::vector<int> CheckedSongs() const
    {
        std::vector<int> songs;
        for (int id = ID_SONG1; id <= ID_SONG5; ++id) {
            if (Checked(id))
                songs.push_back(id - ID_MIDI);
        }
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

bool IsHand(const CPuzzleDlg& dlg, const QCursor& c)
{
    return c.shape() == Qt::BitmapCursor && c.hotSpot() == dlg.m_hHandCursor.hotSpot();
}

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

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void soundSwitchIsHeardOnlyWhenOnAndScrambleBringsBackTheSavedOne()
    {
        MenuGame g;
        // Sound on by the profile, Midi off, no song marked.
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(!g.Checked(ID_MIDI));
        QVERIFY(g.CheckedSongs().empty());
        // Off: silent, the switch's own blip and a move too; on: the blip.
        SoundLog::Clear();
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
        g.Click(MovableCell(g.Board()));
        QCOMPARE(g.dlg->m_nMoves, 1);
        QVERIFY(SoundLog::Effects().empty());
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        // Scramble brings back the saved switch and its check mark.
        g.Item(ID_SOUND)->trigger();
        g.Item(ID_SCRAMBLE)->trigger();
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(g.WalkRunning());
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
        QCOMPARE(g.dlg->m_nSong, 3);
        QCOMPARE(g.CheckedSongs(), std::vector<int>{3});
        QVERIFY(g.Board().m_midi.m_bOpen);
        QVERIFY(!g.Board().m_midi.m_bPlaying);
        g.Item(ID_MIDI)->trigger();
        QCOMPARE(g_bMidi, 1);
        QVERIFY(g.Checked(ID_MIDI));
        QVERIFY(g.Board().m_midi.m_bPlaying);
        QTRY_VERIFY(g.Board().m_midi.GetPositionMs() > 0); // the mixer plays it

        // New Game with Midi on plays a random song and marks it.
        for (const char* name : {"openplains", "zandor", "EveningGlow", "risingcrown"})
            QVERIFY(support::WriteTune(std::string("midi/") + name + ".mid"));
        const std::uint32_t state = CRandom::GetState();
        const int expected = CRandom::Next() % 5 + 1;
        CRandom::SetState(state);
        g.dlg->OnNewGame();
        QCOMPARE(g.CheckedSongs(), std::vector<int>{expected});
        QVERIFY(g.Board().m_midi.m_bPlaying);
        QCOMPARE(g.dlg->m_nNewGameSong, expected);
        g.Item(ID_MIDI)->trigger();
        QVERIFY(!g.Board().m_midi.m_bOpen);
        QVERIFY(!g.Checked(ID_MIDI));
    }

    void showPatternOpensOnePreviewThatFollowsTheWindow()
    {
        MenuGame g;
        g.dlg->move(500, 200);
        QTRY_COMPARE(g.dlg->m_ptWindow, g.dlg->mapToGlobal(g.dlg->ClientOrigin()));
        QTest::mouseClick(g.dlg->GetDlgItem(IDC_SHOW_PATTERN), Qt::LeftButton);
        g.Item(ID_SHOW_PATTERN)->trigger();
        const auto previews = g.dlg->findChildren<CPatternDlg*>();
        QCOMPARE(previews.size(), 1);
        CPatternDlg* preview = previews.front();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->size(), QSize(300, 300));
        QCOMPARE(preview->pos(), g.dlg->m_ptWindow + QPoint(-300, 10));

        g.dlg->move(650, 260);
        QTRY_COMPARE(preview->pos(), g.dlg->mapToGlobal(g.dlg->ClientOrigin()) + QPoint(-300, 10));
        QCOMPARE(SoundLog::Count(6), 0);
    }

    void showGridFromTheBoxAndTheMenuAgree()
    {
        MenuGame g;
        auto* box = g.dlg->GetDlgItemAs<QCheckBox>(IDC_SHOW_GRID);
        for (int i = 0; i < 4; ++i) { // box on, menu off, box on, menu off
            if (i % 2 == 0) {
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            } else {
                g.Item(ID_SHOW_GRID)->trigger();
            }
            QCOMPARE(g.Board().m_bShowGrid, i % 2 == 0);
            QCOMPARE(box->isChecked(), i % 2 == 0);
        }
        QCOMPARE(SoundLog::Count(6), 0);
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

    void contextMenuHoldsItsItemsAndNoCheckMark()
    {
        MenuGame g;
        // Its items as "id text", separators as "0 ".
        QStringList seen;
        bool anyChecked = false;
        WithContextMenu(*g.dlg, this, [&](QMenu* menu) {
            for (const QAction* a : menu->actions()) {
                seen << QStringLiteral("%1 %2").arg(a->isSeparator() ? 0 : a->data().toInt()).arg(a->text());
                anyChecked = anyChecked || a->isChecked();
            }
            menu->close();
        });
        const auto e = [](int id, const char* text) { return QStringLiteral("%1 %2").arg(id).arg(text); };
        QCOMPARE(
            seen,
            (QStringList{e(ID_NEW_GAME, "&New Game"), e(0, ""), e(ID_SHOW_PATTERN, "Show &Pattern"), e(0, ""),
                         e(ID_SCRAMBLE, "&Scramble"), e(ID_UNSCRAMBLE, "&Unscramble"), e(ID_SOUND, "S&ound"),
                         e(0, ""), e(ID_APP_ABOUT, "&About ..."), e(0, ""), e(ID_EXIT, "&Beenden")}));
        QVERIFY(g_bSound != 0);
        QVERIFY(!anyChecked);

        // Its commands reach the window: "S&ound" switches the sound off.
        WithContextMenu(*g.dlg, this, [](QMenu* menu) {
            for (QAction* a : menu->actions()) {
                if (a->data().toInt() == ID_SOUND)
                    menu->setActiveAction(a);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
    }
};

QTEST_MAIN(MenusTest)
#include "MenusTest.moc"

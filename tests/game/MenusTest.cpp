// The game window's menus and commands, the sound and music switches with
// what they really play, the pattern preview, Show Grid and the cursor.
#include "GameTestEnv.h"

#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "game/PatternDlg.h"
#include "res/Menus.h"
#include "tools/media/MidiWriter.h"
#include "tools/media/WavWriter.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <SDL_mixer.h>

#include <cmath>
#include <fstream>

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
            if (Checked(id)) {
                songs.push_back(id - ID_MIDI);
            }
        }
        return songs;
    }
};

// Writes one song file of the game: a second of loud notes.
void WriteSong(const QString& name)
{
    QDir().mkpath(QStringLiteral("midi"));
    CMidiWriter w(96);
    const int t = w.AddTrack("piano");
    w.Tempo(t, 0, 240);
    w.Program(t, 0, 0, 0);
    for (int i = 0; i < 32; ++i) {
        w.Note(t, static_cast<std::uint32_t>(i * 48), 48, 0, 60 + (i % 8), 120);
    }
    QVERIFY(w.Write(QStringLiteral("midi/%1.mid").arg(name).toStdString()));
}

// The disk audio driver writes everything the mixer plays into a file;
// FirstLoud tells when, in seconds after Start, the output first got loud.
class DiskCapture {
public:
    DiskCapture()
    {
        CAudioDevice::Shutdown();
        CSoundEffects::ClearCache();
        m_oldDriver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", m_dir.filePath(QStringLiteral("capture.raw")).toLocal8Bit());
        CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;
        QVERIFY(CAudioDevice::Acquire());
        Mix_QuerySpec(&m_rate, &m_format, &m_channels);
        m_clock.start();
    }
    ~DiskCapture()
    {
        CAudioDevice::Shutdown();
        qputenv("SDL_AUDIODRIVER", m_oldDriver);
    }
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    double Seconds() const { return m_clock.elapsed() / 1000.0; }

    // Closes the device; when, in seconds after the start, the first sample
    // louder than the threshold was played, or -1.
    double FirstLoud(double threshold)
    {
        CAudioDevice::Shutdown();
        std::ifstream in(m_dir.filePath(QStringLiteral("capture.raw")).toStdString(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bool f32 = m_format == AUDIO_F32SYS;
        const std::size_t width = f32 ? 4 : 2,
                          frame = width * static_cast<std::size_t>(std::max(m_channels, 1));
        for (std::size_t i = 0; i + frame <= bytes.size(); i += frame) {
            const char* p = bytes.data() + i;
            const double v = f32 ? *reinterpret_cast<const float*>(p)
                                 : *reinterpret_cast<const std::int16_t*>(p) / 32768.0;
            if (std::abs(v) > threshold) {
                return static_cast<double>(i / frame) / m_rate;
            }
        }
        return -1;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldDriver;
    int m_rate = 0, m_channels = 0;
    Uint16 m_format = 0;
    QElapsedTimer m_clock;
};

// Moves the mouse to a client point, as the player would, and returns the
// cursor shown there: the one of the topmost control that sets one.
QCursor HoverAt(CPuzzleDlg& dlg, QPoint client)
{
    const QPoint p = client + dlg.ClientOrigin();
    QTest::mouseMove(&dlg, p);
    QApplication::processEvents();
    const QWidget* w = dlg.childAt(p) ? dlg.childAt(p) : &dlg;
    while (w && !w->testAttribute(Qt::WA_SetCursor)) {
        w = w->parentWidget();
    }
    return w ? w->cursor() : QCursor(Qt::ArrowCursor);
}

bool IsHand(const CPuzzleDlg& dlg, const QCursor& c)
{
    return c.shape() == Qt::BitmapCursor && c.hotSpot() == dlg.m_hHandCursor.hotSpot();
}

// A menu's items as "id text", separators as "0 ".
QStringList Entries(const QMenu* menu, bool* anyChecked = nullptr)
{
    QStringList entries;
    for (const QAction* a : menu->actions()) {
        entries << QStringLiteral("%1 %2").arg(a->isSeparator() ? 0 : a->data().toInt()).arg(a->text());
        if (anyChecked && a->isChecked()) {
            *anyChecked = true;
        }
    }
    return entries;
}

QString E(int id, const char* text)
{
    return QStringLiteral("%1 %2").arg(id).arg(QString::fromUtf8(text));
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
    void soundSwitchIsHeardOnlyWhenOn()
    {
        MenuGame g;
        QDir().mkpath(QStringLiteral("sounds"));
        std::vector<std::int16_t> tone(44100 / 5);
        for (std::size_t i = 0; i < tone.size(); ++i) {
            tone[i] =
                static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 880 * static_cast<double>(i) / 44100));
        }
        QVERIFY(CWavWriter::Write("sounds/blip.wav", tone));
        // Sound on by the profile, Midi off, no song marked.
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(!g.Checked(ID_MIDI));
        QVERIFY(g.CheckedSongs().empty());
        DiskCapture capture;
        g.Item(ID_SOUND)->trigger(); // off: silent
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
        QTest::qWait(300);
        const double on = capture.Seconds();
        g.Item(ID_SOUND)->trigger(); // on: the blip
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QTest::qWait(400);
        const double first = capture.FirstLoud(0.01);
        QVERIFY2(first >= 0, "the blip was not heard");
        QVERIFY2(first >= on - 0.1,
                 qPrintable(QStringLiteral("sound at %1 s, switched on at %2 s").arg(first).arg(on)));
        // The switch is not saved.
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        QCOMPARE(profile.GetInt("Tessra", "Sound", -1), 1);
    }

    void songPickedWithMidiOffIsMarkedAndSilentUntilMidiOn()
    {
        MenuGame g;
        // Only "Sunny Days" exists: any other song would stay silent.
        WriteSong(QStringLiteral("SunnyDays"));
        DiskCapture capture;
        g.Item(32784)->trigger();
        QCOMPARE(g.dlg->m_nSong, 3);
        QCOMPARE(g.CheckedSongs(), std::vector<int>{3});
        QVERIFY(!g.Board().m_midi.m_bPlaying);
        QTest::qWait(300);
        const double on = capture.Seconds();
        g.Item(ID_MIDI)->trigger();
        QCOMPARE(g_bMidi, 1);
        QVERIFY(g.Checked(ID_MIDI));
        QVERIFY(g.Board().m_midi.m_bPlaying);
        QTest::qWait(700);
        QVERIFY(g.Board().m_midi.GetPositionMs() > 0);
        const double first = capture.FirstLoud(0.002);
        QVERIFY2(first >= 0, "the song was not heard");
        QVERIFY2(first >= on - 0.1,
                 qPrintable(QStringLiteral("music at %1 s, Midi on at %2 s").arg(first).arg(on)));
        g.Item(ID_MIDI)->trigger();
        QVERIFY(!g.Board().m_midi.m_bOpen);
        QVERIFY(!g.Checked(ID_MIDI));
    }

    void newGameWithMidiOnPlaysAndMarksARandomSong()
    {
        MenuGame g({}, false);
        for (const char* name : {"openplains", "zandor", "SunnyDays", "EveningGlow", "risingcrown"}) {
            WriteSong(QString::fromLatin1(name));
        }
        RunFolder::Store({{"Midi", 1}});
        const std::uint32_t state = CRandom::GetState();
        const int expected = CRandom::Next() % 5 + 1;
        CRandom::SetState(state);
        g.Open();
        QCOMPARE(g.CheckedSongs(), std::vector<int>{expected});
        QVERIFY(g.Checked(ID_MIDI));
        QVERIFY(g.Board().m_midi.m_bPlaying);
        // Midi off and on again: no song picked yet, so New Game's song plays on.
        g.dlg->OnMidi();
        g.dlg->OnMidi();
        QVERIFY(g.Board().m_midi.m_bPlaying);
        QCOMPARE(g.dlg->m_nNewGameSong, expected);
        // A picked song wins from then on; the mark moves with the pick.
        const int picked = expected % 5 + 1;
        g.Item(ID_MIDI + picked)->trigger();
        QCOMPARE(g.CheckedSongs(), std::vector<int>{picked});
        CAudioDevice::Shutdown();
    }

    void scrambleBringsBackTheSavedSoundSwitch()
    {
        MenuGame g({{"Sound", 1}});
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 0);
        g.Item(ID_SCRAMBLE)->trigger();
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(g.WalkRunning());
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

        // Once the preview is closed, Show Pattern makes a new one; the old goes.
        preview->EndDialog(1);
        g_bPatternShown = false;
        g.dlg->OnShowPattern();
        QCOMPARE(g.dlg->findChildren<CPatternDlg*>().size(), 1);
        QVERIFY(g.dlg->m_pPatternDlg->isVisible());
        QCOMPARE(SoundLog::Count(6), 0);
    }

    void showGridFromTheBoxAndTheMenuAgree()
    {
        MenuGame g;
        auto* box = g.dlg->GetDlgItemAs<QCheckBox>(IDC_SHOW_GRID);
        const bool states[] = {true, false, true, false};
        for (int i = 0; i < 4; ++i) {
            if (i % 2 == 0) {
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            } else {
                g.Item(ID_SHOW_GRID)->trigger();
            }
            QCOMPARE(g.Board().m_bShowGrid, states[i]);
            QCOMPARE(box->isChecked(), states[i]);
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
        d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        const QPoint beside = MovableCell(d.m_board);
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, beside.x(), beside.y()))));
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, d.m_board.m_nBlankCol, d.m_board.m_nBlankRow)).shape(),
                 Qt::ForbiddenCursor);
        // The hand has its finger tip as the hot spot.
        QCOMPARE(d.m_hHandCursor.hotSpot(), QPoint(8, 1));
    }

    void contextMenuHoldsItsItemsAndNoCheckMark()
    {
        MenuGame g;
        QStringList seen;
        bool anyChecked = false;
        WithContextMenu(*g.dlg, this, [&](QMenu* menu) {
            seen = Entries(menu, &anyChecked);
            menu->close();
        });
        QCOMPARE(
            seen,
            (QStringList{E(ID_NEW_GAME, "&New Game"), E(0, ""), E(ID_SHOW_PATTERN, "Show &Pattern"), E(0, ""),
                         E(ID_SCRAMBLE, "&Scramble"), E(ID_UNSCRAMBLE, "&Unscramble"), E(ID_SOUND, "S&ound"),
                         E(0, ""), E(ID_APP_ABOUT, "&About ..."), E(0, ""), E(ID_EXIT, "&Beenden")}));
        QVERIFY(g_bSound != 0);
        QVERIFY(!anyChecked);

        // Its commands reach the window: "S&ound" switches the sound off.
        WithContextMenu(*g.dlg, this, [](QMenu* menu) {
            for (QAction* a : menu->actions()) {
                if (a->data().toInt() == ID_SOUND) {
                    menu->setActiveAction(a);
                }
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
    }

    void enterPressesScrambleUnlessAnotherButtonHasTheFocus()
    {
        MenuGame g;
        QTest::keyClick(g.dlg.get(), Qt::Key_Return);
        QVERIFY(g.WalkRunning());
        g.dlg->OnUnscramble();
        g.dlg->GetDlgItem(IDC_UNSCRAMBLE)->setFocus();
        g.dlg->OnScramble();
        QTest::keyClick(g.dlg->GetDlgItem(IDC_UNSCRAMBLE), Qt::Key_Return);
        QVERIFY(!g.WalkRunning());
    }

    void exitBlipsAndEndsTheWindow()
    {
        MenuGame g;
        SoundLog::Clear();
        g.Item(ID_EXIT)->trigger();
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QVERIFY(!g.dlg->isVisible());
    }
};

QTEST_MAIN(MenusTest)
#include "MenusTest.moc"

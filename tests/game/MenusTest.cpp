// The game window's menus and commands, the sound and music switches with
// what they really play, the pattern preview beside the window, Show Grid,
// the cursor over the board, the counters' faces and the keyboard.
#include "GameTestEnv.h"

#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "game/PatternDlg.h"
#include "res/Menus.h"
#include "tools/media/MidiWriter.h"
#include "tools/media/WavWriter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <SDL_mixer.h>

#include <cmath>
#include <fstream>
#include <memory>

using namespace gametest;

namespace {

struct Game {
    RunFolder folder;
    SoundLog sounds;
    ModalAnswerer answerer;
    std::unique_ptr<CPuzzleDlg> dlg;

    explicit Game(std::map<std::string, int> settings = {}, bool open = true)
    {
        FreshProgramState();
        folder.WritePictures();
        settings.emplace("Midi", 0);
        RunFolder::Store(settings);
        if (open) {
            Open();
        }
    }
    void Open()
    {
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->show();
    }
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

// The disk audio driver writes everything the mixer plays into a file.
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
    }
    ~DiskCapture()
    {
        CAudioDevice::Shutdown();
        qputenv("SDL_AUDIODRIVER", m_oldDriver);
    }
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    // Opens the device now and notes when.
    void Start()
    {
        QVERIFY(CAudioDevice::Acquire());
        Mix_QuerySpec(&m_rate, &m_format, &m_channels);
        m_clock.start();
    }
    double Seconds() const { return m_clock.elapsed() / 1000.0; }

    // Closes the device and returns the loudness of each 20 ms window.
    std::vector<double> Finish()
    {
        CAudioDevice::Shutdown();
        std::ifstream in(m_dir.filePath(QStringLiteral("capture.raw")).toStdString(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<float> mono;
        const int ch = std::max(m_channels, 1);
        if (m_format == AUDIO_S16SYS) {
            const auto* s = reinterpret_cast<const std::int16_t*>(bytes.data());
            for (std::size_t i = 0; i + 1 < bytes.size() / 2; i += static_cast<std::size_t>(ch)) {
                mono.push_back(s[i] / 32768.0f);
            }
        } else if (m_format == AUDIO_F32SYS) {
            const auto* s = reinterpret_cast<const float*>(bytes.data());
            for (std::size_t i = 0; i < bytes.size() / 4; i += static_cast<std::size_t>(ch)) {
                mono.push_back(s[i]);
            }
        }
        std::vector<double> windows;
        const std::size_t n = static_cast<std::size_t>(std::max(m_rate, 1) / 50);
        for (std::size_t a = 0; a + n <= mono.size(); a += n) {
            double sum = 0;
            for (std::size_t i = a; i < a + n; ++i) {
                sum += mono[i] * mono[i];
            }
            windows.push_back(std::sqrt(sum / static_cast<double>(n)));
        }
        return windows;
    }

    // The first window louder than the threshold, in seconds, or -1.
    static double FirstLoud(const std::vector<double>& windows, double threshold = 0.01)
    {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i] > threshold) {
                return static_cast<double>(i) * 0.02;
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

void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QTest::qWait(5);
    }
}

// The cursor a widget point shows: the one of the topmost control there
// that sets one, else the window's.
QCursor CursorAt(const CPuzzleDlg& dlg, QPoint client)
{
    const QPoint p = client + dlg.ClientOrigin();
    const QWidget* w = dlg.childAt(p);
    if (!w) {
        w = &dlg;
    }
    while (w && !w->testAttribute(Qt::WA_SetCursor)) {
        w = w->parentWidget();
    }
    return w ? w->cursor() : QCursor(Qt::ArrowCursor);
}

// Moves the mouse to a client point, as the player would.
QCursor HoverAt(CPuzzleDlg& dlg, QPoint client)
{
    QTest::mouseMove(&dlg, client + dlg.ClientOrigin());
    QApplication::processEvents();
    return CursorAt(dlg, client);
}

bool IsHand(const CPuzzleDlg& dlg, const QCursor& c)
{
    return c.shape() == dlg.m_hHandCursor.shape() && c.shape() != Qt::ForbiddenCursor &&
           c.shape() != Qt::ArrowCursor && c.hotSpot() == dlg.m_hHandCursor.hotSpot();
}

QRect ClientRectOf(const CPuzzleDlg& dlg, int id)
{
    return dlg.GetDlgItem(id)->geometry().translated(-dlg.ClientOrigin());
}

struct Entry {
    int id;
    QString text;
    bool checkable;
    bool checked;
};

std::vector<Entry> Entries(const QMenu* menu)
{
    std::vector<Entry> entries;
    for (const QAction* a : menu->actions()) {
        entries.push_back(
            {a->isSeparator() ? 0 : a->data().toInt(), a->text(), a->isCheckable(), a->isChecked()});
    }
    return entries;
}

} // namespace

class MenusTest : public QObject {
    Q_OBJECT

private slots:
    void menuBarHoldsEveryItem()
    {
        Game g;
        QMenuBar* bar = g.dlg->GetMenuBar();
        QVERIFY(bar);
        QStringList titles;
        std::vector<std::vector<Entry>> popups;
        for (QAction* a : bar->actions()) {
            titles << a->text();
            popups.push_back(Entries(a->menu()));
        }
        QCOMPARE(titles, (QStringList{"&File", "&Options", "Midi", "&?"}));
        const std::vector<std::pair<int, QString>> expected[4] = {
            {{ID_NEW_GAME, "&New Game"}, {0, ""}, {ID_EXIT, "&Beenden"}},
            {{ID_SCRAMBLE, "&Scramble"},
             {ID_UNSCRAMBLE, "&Unscramble"},
             {0, ""},
             {ID_SOUND, "S&ound"},
             {ID_MIDI, "&Midi"},
             {0, ""},
             {ID_SHOW_PATTERN, "Show &Pattern"},
             {ID_SHOW_GRID, "Show &Grid"}},
            {{32782, "Open Plains"},
             {32783, "Zandor"},
             {32784, "Sunny Days"},
             {32785, "Evening Glow"},
             {32786, "Rising Crown"}},
            {{ID_APP_ABOUT, "&About ..."}},
        };
        for (int p = 0; p < 4; ++p) {
            QCOMPARE(popups[static_cast<std::size_t>(p)].size(), expected[p].size());
            for (std::size_t i = 0; i < expected[p].size(); ++i) {
                QCOMPARE(popups[static_cast<std::size_t>(p)][i].id, expected[p][i].first);
                QCOMPARE(popups[static_cast<std::size_t>(p)][i].text, expected[p][i].second);
            }
        }
        // Sound on by the profile, Midi off; Show Grid never carries a mark.
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(!g.Checked(ID_MIDI));
        QVERIFY(!g.Item(ID_SHOW_GRID)->isCheckable());
        QVERIFY(g.CheckedSongs().empty());
        // The board still starts 10 pixels below the menu bar.
        QCOMPARE(g.dlg->ClientOrigin().y(), bar->height());
    }

    void soundSwitchRecordsItsBlipOnlyWhenOn()
    {
        Game g;
        SoundLog::Clear();
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
        QVERIFY(SoundLog::Effects().empty());
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        // Not saved.
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        QCOMPARE(profile.GetInt("Tessra", "Sound", -1), 1);
    }

    void soundSwitchIsHeardOnlyWhenOn()
    {
        Game g;
        QDir().mkpath(QStringLiteral("sounds"));
        std::vector<std::int16_t> tone(44100 / 5);
        for (std::size_t i = 0; i < tone.size(); ++i) {
            tone[i] =
                static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 880 * static_cast<double>(i) / 44100));
        }
        QVERIFY(CWavWriter::Write("sounds/blip.wav", tone));
        DiskCapture capture;
        capture.Start();
        g.dlg->OnCommand(ID_SOUND); // off: silent
        Wait(300);
        const double on = capture.Seconds();
        g.dlg->OnCommand(ID_SOUND); // on: the blip
        Wait(400);
        const std::vector<double> windows = capture.Finish();
        const double first = DiskCapture::FirstLoud(windows);
        QVERIFY2(first >= 0, "the blip was not heard");
        QVERIFY2(first >= on - 0.1,
                 qPrintable(QStringLiteral("sound at %1 s, switched on at %2 s").arg(first).arg(on)));
    }

    void songPickedWithMidiOffIsMarkedAndSilentUntilMidiOn()
    {
        Game g;
        // Only "Sunny Days" exists: any other song would stay silent.
        WriteSong(QStringLiteral("SunnyDays"));
        DiskCapture capture;
        capture.Start();
        SoundLog::Clear();
        g.Item(32784)->trigger();
        QCOMPARE(g.dlg->m_nSong, 3);
        QCOMPARE(g.CheckedSongs(), std::vector<int>{3});
        QVERIFY(!g.dlg->m_board.m_midi.m_bPlaying);
        Wait(300);
        const double on = capture.Seconds();
        g.Item(ID_MIDI)->trigger();
        QCOMPARE(g_bMidi, 1);
        QVERIFY(g.Checked(ID_MIDI));
        QVERIFY(g.dlg->m_board.m_midi.m_bPlaying);
        QVERIFY(g.dlg->m_board.m_midi.m_bOpen);
        Wait(700);
        QVERIFY(g.dlg->m_board.m_midi.GetPositionMs() > 0);
        const std::vector<double> windows = capture.Finish();
        const double first = DiskCapture::FirstLoud(windows, 0.002);
        QVERIFY2(first >= 0, "the song was not heard");
        QVERIFY2(first >= on - 0.1,
                 qPrintable(QStringLiteral("music at %1 s, Midi on at %2 s").arg(first).arg(on)));
        // Midi off stops it.
        g.Item(ID_MIDI)->trigger();
        QVERIFY(!g.dlg->m_board.m_midi.m_bOpen);
        QVERIFY(!g.Checked(ID_MIDI));
    }

    void newGameWithMidiOnPlaysAndMarksARandomSong()
    {
        Game g({}, false);
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
        QVERIFY(g.dlg->m_board.m_midi.m_bPlaying);
        QCOMPARE(g.dlg->m_nSong, 0);
        // Midi off and on again: no song picked yet, so New Game's song plays on.
        g.dlg->OnMidi();
        QVERIFY(!g.dlg->m_board.m_midi.m_bOpen);
        g.dlg->OnMidi();
        QVERIFY(g.dlg->m_board.m_midi.m_bPlaying);
        QCOMPARE(g.dlg->m_nNewGameSong, expected);
        // A picked song wins from then on; the mark moves with the pick.
        const int picked = expected % 5 + 1;
        g.Item(ID_MIDI + picked)->trigger();
        QCOMPARE(g.CheckedSongs(), std::vector<int>{picked});
        QCOMPARE(g.dlg->m_nSong, picked);
        CAudioDevice::Shutdown();
    }

    void scrambleBringsBackTheSavedSoundSwitch()
    {
        Game g({{"Sound", 1}});
        g.Item(ID_SOUND)->trigger();
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
        g.Item(ID_SCRAMBLE)->trigger();
        QCOMPARE(g_bSound, 1);
        QVERIFY(g.Checked(ID_SOUND));
        QVERIFY(g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE));
    }

    void showPatternOpensOnePreviewThatFollowsTheWindow()
    {
        Game g;
        g.dlg->move(500, 200);
        QTRY_COMPARE(g.dlg->m_ptWindow, g.dlg->mapToGlobal(g.dlg->ClientOrigin()));
        QTest::mouseClick(g.dlg->GetDlgItem(IDC_SHOW_PATTERN), Qt::LeftButton);
        g.Item(ID_SHOW_PATTERN)->trigger();
        const auto previews = g.dlg->findChildren<CPatternDlg*>();
        QCOMPARE(previews.size(), 1);
        CPatternDlg* preview = previews.front();
        QCOMPARE(g.dlg->m_pPatternDlg, preview);
        QVERIFY(g_bPatternShown);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->size(), QSize(300, 300));
        QCOMPARE(preview->pos(), g.dlg->m_ptWindow + QPoint(-300, 10));

        g.dlg->move(650, 260);
        QTRY_COMPARE(preview->pos(), g.dlg->mapToGlobal(g.dlg->ClientOrigin()) + QPoint(-300, 10));
        QCOMPARE(preview->size(), QSize(300, 300));

        // Once the preview is closed, Show Pattern makes a new one; the old goes.
        preview->EndDialog(1);
        g_bPatternShown = false;
        g.dlg->OnShowPattern();
        QCOMPARE(g.dlg->findChildren<CPatternDlg*>().size(), 1);
        QVERIFY(g.dlg->m_pPatternDlg->isVisible());
        // No sound for any of it.
        QCOMPARE(SoundLog::Count(6), 0);
    }

    void showGridFromTheBoxAndTheMenuAgree()
    {
        Game g;
        auto* box = g.dlg->GetDlgItemAs<QCheckBox>(IDC_SHOW_GRID);
        QVERIFY(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(g.dlg->m_board.m_bShowGrid);
        QVERIFY(box->isChecked());
        g.Item(ID_SHOW_GRID)->trigger();
        QVERIFY(!g.dlg->m_board.m_bShowGrid);
        QVERIFY(!box->isChecked());
        g.Item(ID_SHOW_GRID)->trigger();
        QVERIFY(g.dlg->m_board.m_bShowGrid);
        QVERIFY(box->isChecked());
        const QImage shot = g.dlg->grab().toImage();
        const QPoint line = QPoint(150, 110) + g.dlg->ClientOrigin();
        QCOMPARE(QColor(shot.pixel(line)), QColor(Qt::black));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(!g.dlg->m_board.m_bShowGrid);
        QVERIFY(!box->isChecked());
        QVERIFY(SoundLog::Count(6) == 0);
    }

    void cursorMarksTheTilesThatWouldMove()
    {
        Game g;
        CPuzzleDlg& d = *g.dlg;
        const QCursor movable = HoverAt(d, CellCentre(d.m_board, 1, 2));
        QVERIFY(IsHand(d, movable));
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, 2, 2)).shape(), Qt::ForbiddenCursor);
        QCOMPARE(HoverAt(d, CellCentre(d.m_board, 0, 0)).shape(), Qt::ForbiddenCursor);
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, 2, 1))));
        QVERIFY(IsHand(d, HoverAt(d, ClientRectOf(d, IDC_SCRAMBLE).center())));
        QVERIFY(IsHand(d, HoverAt(d, ClientRectOf(d, IDC_UNSCRAMBLE).center())));
        QCOMPARE(HoverAt(d, ClientRectOf(d, IDC_SHOW_GRID).center()).shape(), Qt::ArrowCursor);
        QCOMPARE(HoverAt(d, ClientRectOf(d, IDC_SHOW_PATTERN).center()).shape(), Qt::ArrowCursor);
        QCOMPARE(HoverAt(d, QPoint(320, 320)).shape(), Qt::ArrowCursor);
        // Back on the board after the arrow, and during a walk too.
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(d.m_board, 1, 2))));
        d.OnScramble();
        d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        const CPuzzleBoard& b = d.m_board;
        const QPoint beside = b.m_nBlankCol > 0 ? QPoint(b.m_nBlankCol - 1, b.m_nBlankRow)
                                                : QPoint(b.m_nBlankCol + 1, b.m_nBlankRow);
        QVERIFY(IsHand(d, HoverAt(d, CellCentre(b, beside.x(), beside.y()))));
        QCOMPARE(HoverAt(d, CellCentre(b, b.m_nBlankCol, b.m_nBlankRow)).shape(), Qt::ForbiddenCursor);
        // The hand is cursor 233 with its finger tip as the hot spot.
        QCOMPARE(d.m_hHandCursor.shape(), Qt::BitmapCursor);
        QCOMPARE(d.m_hHandCursor.hotSpot(), QPoint(8, 1));
    }

    void contextMenuHoldsItsItemsAndNoCheckMark()
    {
        Game g;
        std::vector<Entry> seen;
        QTimer::singleShot(50, this, [&seen] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            seen = Entries(menu);
            menu->close();
        });
        QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(100, 100),
                               g.dlg->mapToGlobal(QPoint(100, 100)));
        QApplication::sendEvent(g.dlg.get(), &open);
        const std::vector<std::pair<int, QString>> expected = {
            {ID_NEW_GAME, "&New Game"},
            {0, ""},
            {ID_SHOW_PATTERN, "Show &Pattern"},
            {0, ""},
            {ID_SCRAMBLE, "&Scramble"},
            {ID_UNSCRAMBLE, "&Unscramble"},
            {ID_SOUND, "S&ound"},
            {0, ""},
            {ID_APP_ABOUT, "&About ..."},
            {0, ""},
            {ID_EXIT, "&Beenden"},
        };
        QCOMPARE(seen.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(seen[i].id, expected[i].first);
            QCOMPARE(seen[i].text, expected[i].second);
            QVERIFY(!seen[i].checked);
        }
        QVERIFY(g_bSound != 0);

        // Its commands reach the window: "S&ound" switches the sound off.
        QTimer::singleShot(50, this, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* a : menu->actions()) {
                if (a->data().toInt() == ID_SOUND) {
                    menu->setActiveAction(a);
                }
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QApplication::sendEvent(g.dlg.get(), &open);
        QCOMPARE(g_bSound, 0);
        QVERIFY(!g.Checked(ID_SOUND));
    }

    void countersHaveGoldenFaces()
    {
        Game g;
        const QImage shot = g.dlg->grab().toImage();
        for (int id : {IDC_MOVES, IDC_TIME}) {
            const QRect box = g.dlg->GetDlgItem(id)->geometry();
            QCOMPARE(QColor(shot.pixel(box.left() + 6, box.center().y())), QColor(244, 202, 46));
            QCOMPARE(QColor(shot.pixel(box.right() - 6, box.center().y())), QColor(244, 202, 46));
        }
    }

    void enterPressesScrambleUnlessAnotherButtonHasTheFocus()
    {
        Game g;
        QTest::keyClick(g.dlg.get(), Qt::Key_Return);
        QVERIFY(g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE));
        g.dlg->OnUnscramble();
        g.dlg->GetDlgItem(IDC_SHOW_GRID)->setFocus();
        QTest::keyClick(g.dlg->GetDlgItem(IDC_SHOW_GRID), Qt::Key_Return);
        QVERIFY(g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE));
        g.dlg->OnUnscramble();
        g.dlg->GetDlgItem(IDC_UNSCRAMBLE)->setFocus();
        SoundLog::Clear();
        QTest::keyClick(g.dlg->GetDlgItem(IDC_UNSCRAMBLE), Qt::Key_Return);
        QVERIFY(!g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE));
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
    }

    void aboutBlipsAndRunsOverARunningClock()
    {
        Game g;
        const QPoint cell(1, 2);
        ClickClient(*g.dlg, CellCentre(g.dlg->m_board, cell.x(), cell.y()));
        QVERIFY(g.dlg->Timers().IsTimerRunning(CPuzzleDlg::TIMER_CLOCK));
        SoundLog::Clear();
        g.answerer.otherDelayMs = 1300;
        g.Item(ID_APP_ABOUT)->trigger();
        QCOMPARE(g.answerer.otherTitles, QStringList{QStringLiteral("About...")});
        QCOMPARE(SoundLog::Effects().front(), 6);
        // The clock went on while the about box was open.
        QVERIFY(g.dlg->m_nSeconds >= 1);
        QVERIFY(g.dlg->isVisible());
    }

    void exitBlipsAndEndsTheWindow()
    {
        Game g;
        SoundLog::Clear();
        g.Item(ID_EXIT)->trigger();
        QCOMPARE(SoundLog::Effects(), std::vector<int>{6});
        QVERIFY(!g.dlg->isVisible());
    }
};

QTEST_MAIN(MenusTest)
#include "MenusTest.moc"

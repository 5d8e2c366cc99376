// The game window's layout, what it paints and repaints, and how it copes
// with broken pictures, missing data folders and no sound device.
#include "GameTestEnv.h"

#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QSet>

#include <memory>

using namespace gametest;

namespace {

// Collects the regions the window is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* w) : m_w(w) { w->installEventFilter(this); }
    QRegion region;
    int count = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == m_w && e->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(e)->region();
            ++count;
        }
        return false;
    }

private:
    QWidget* m_w;
};

struct Window {
    RunFolder folder;
    SoundLog sounds;
    ModalAnswerer answerer;
    std::unique_ptr<CPuzzleDlg> dlg;

    explicit Window(std::map<std::string, int> settings, bool pictures = true)
    {
        FreshProgramState();
        if (pictures) {
            folder.WritePictures();
        }
        settings.emplace("Midi", 0);
        RunFolder::Store(settings);
    }
    void Open()
    {
        dlg = std::make_unique<CPuzzleDlg>();
        dlg->show();
    }
    // The window as it shows on screen, in client coordinates.
    QImage Shot() const
    {
        const QImage all = dlg->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return all.copy(QRect(dlg->ClientOrigin(), dlg->GetClientRect().size()));
    }
    // The tiled background alone, in client coordinates.
    QImage Background() const
    {
        QImage img(dlg->GetClientRect().size(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        dlg->OnEraseBkgnd(&p);
        return img;
    }
};

bool OnFrame(int x, int y)
{
    return x == 10 || x == 309 || y == 10 || y == 309;
}

// Compares every board pixel of the shot with what the board state asks
// for: the picture's pieces, the background in the blank and the strips,
// the black frame on the board's edge, and grid lines when they are on.
// Returns the first mismatch as text, or an empty string.
QString CheckBoard(const QImage& shot, const QImage& background, const CPuzzleBoard& b, const QImage& picture)
{
    const int total = b.m_nCols * b.m_nRows;
    for (int y = 10; y < 310; ++y) {
        for (int x = 10; x < 310; ++x) {
            const int c = (x - 10) / b.m_nTileW;
            const int r = (y - 10) / b.m_nTileH;
            QRgb expected;
            QString what;
            const bool gridLine =
                b.m_bShowGrid && (((y - 10) % b.m_nTileH == 0 && (y - 10) / b.m_nTileH < b.m_nRows) ||
                                  ((x - 10) % b.m_nTileW == 0 && (x - 10) / b.m_nTileW < b.m_nCols));
            if (OnFrame(x, y) || gridLine) {
                expected = qRgb(0, 0, 0);
                what = QStringLiteral("line");
            } else if (c >= b.m_nCols || r >= b.m_nRows || CellValue(b, c, r) == b.m_nBlank) {
                expected = background.pixel(x, y);
                what = QStringLiteral("background");
            } else {
                const int v = CellValue(b, c, r);
                const int home = v == total ? total - 1 : v;
                const int sx = (home % b.m_nCols) * b.m_nTileW + (x - 10 - c * b.m_nTileW);
                const int sy = (home / b.m_nCols) * b.m_nTileH + (y - 10 - r * b.m_nTileH);
                expected = picture.pixel(sx, sy);
                what = QStringLiteral("tile %1").arg(v);
            }
            if (shot.pixel(x, y) != expected) {
                return QStringLiteral("pixel (%1, %2) in cell (%3, %4) should be %5 %6, is %7")
                    .arg(x)
                    .arg(y)
                    .arg(c)
                    .arg(r)
                    .arg(what)
                    .arg(QColor(expected).name(), QColor(shot.pixel(x, y)).name());
            }
        }
    }
    return {};
}

QRect CellRect(const CPuzzleBoard& b, int c, int r)
{
    return QRect(10 + c * b.m_nTileW, 10 + r * b.m_nTileH, b.m_nTileW, b.m_nTileH);
}

} // namespace

class GameWindowTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheTemplate()
    {
        Window w({});
        w.Open();
        CPuzzleDlg& d = *w.dlg;
        QCOMPARE(d.GetClientRect().size(), QSize(482, 334));
        QCOMPARE(d.GetDlgItem(IDC_SCRAMBLE)->geometry().translated(-d.ClientOrigin()),
                 QRect(338, 58, 118, 52));
        QCOMPARE(d.GetDlgItemText(IDC_SCRAMBLE), QStringLiteral("Scramble"));
        QCOMPARE(d.GetDlgItemText(IDC_UNSCRAMBLE), QStringLiteral("Unscramble"));
        QCOMPARE(d.GetDlgItemText(IDC_SHOW_PATTERN), QStringLiteral("<- show pattern"));
        QCOMPARE(d.GetDlgItemText(IDC_SHOW_GRID), QStringLiteral("Show Grid"));
        QCOMPARE(d.GetDlgItem(IDC_MOVES)->geometry().translated(-d.ClientOrigin()), QRect(338, 216, 100, 26));
        QCOMPARE(d.GetDlgItem(IDC_TIME)->geometry().translated(-d.ClientOrigin()), QRect(338, 268, 100, 26));
        QVERIFY(d.GetDlgItemAs<QLineEdit>(IDC_MOVES)->isReadOnly());
        // The board frame covers exactly the pixels 10..309.
        bool frameFound = false;
        for (const auto& control : d.Controls()) {
            if (control.item->kind == DialogItemKind::BlackFrame && control.item->x == 5) {
                QCOMPARE(control.widget->geometry().translated(-d.ClientOrigin()), QRect(10, 10, 300, 300));
                frameFound = true;
            }
        }
        QVERIFY(frameFound);
        QCOMPARE(d.windowTitle(), QStringLiteral("Zandor Puzzle by the Zandor Puzzle team"));
        QVERIFY(!d.windowIcon().isNull());
    }

    void freshThreeByThreeBoardShowsEightPiecesAndTheBackground()
    {
        Window w({{"FieldX", 3}, {"FieldY", 3}});
        w.Open();
        const CPuzzleBoard& b = w.dlg->m_board;
        const QImage shot = w.Shot();
        const QImage bg = w.Background();
        QCOMPARE(CheckBoard(shot, bg, b, b.m_hPicture), QString());
        // The blank cell shows the background picture, not a plain fill.
        QVERIFY(w.dlg->GetBackground().GetBits());
        QSet<QRgb> colours;
        for (int y = 212; y < 308; y += 3) {
            for (int x = 212; x < 308; x += 3) {
                colours.insert(shot.pixel(x, y));
            }
        }
        QVERIFY(colours.size() > 3);
        QCOMPARE(shot.pixel(260, 260), bg.pixel(260, 260));
        QCOMPARE(shot.pixel(60, 60), Pattern(300, 300).pixel(50, 50));
    }

    void scrambledSevenByFiveBoardWithGrid()
    {
        Window w({{"FieldX", 7}, {"FieldY", 5}, {"Difficult", 30}});
        w.Open();
        CPuzzleDlg& d = *w.dlg;
        const CPuzzleBoard& b = d.m_board;
        QCOMPARE(b.m_nTileW, 42);
        QCOMPARE(b.m_nTileH, 60);
        d.OnScramble();
        while (d.Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE)) {
            d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        }
        QVERIFY(!b.IsSolved());
        QCOMPARE(CheckBoard(w.Shot(), w.Background(), b, b.m_hPicture), QString());
        // The strip from 304 to 310 holds no tile.
        QCOMPARE(w.Shot().pixel(306, 100), w.Background().pixel(306, 100));

        d.m_board.m_bShowGrid = true;
        const QImage grid = w.Shot();
        QCOMPARE(CheckBoard(grid, w.Background(), b, b.m_hPicture), QString());
        // Horizontal lines run on through the strip; none along x = 310.
        QCOMPARE(grid.pixel(306, 70), qRgb(0, 0, 0));
        QCOMPARE(grid.pixel(310, 70), w.Background().pixel(310, 70));
    }

    void finalPieceCompletesThePicture()
    {
        Window w({{"FieldX", 4}, {"FieldY", 3}});
        w.Open();
        w.dlg->m_board.PlaceLastTile();
        const QImage shot = w.Shot();
        const QImage pic = w.dlg->m_board.m_hPicture;
        for (int y = 11; y < 309; ++y) {
            for (int x = 11; x < 309; ++x) {
                QCOMPARE(shot.pixel(x, y), pic.pixel(x - 10, y - 10));
            }
        }
    }

    void moveRepaintsExactlyTheTwoCells()
    {
        Window w({{"FieldX", 3}, {"FieldY", 3}});
        w.Open();
        CPuzzleDlg& d = *w.dlg;
        QTest::qWait(50);
        PaintRecorder rec(&d);
        ClickClient(d, CellCentre(d.m_board, 1, 2));
        QTRY_VERIFY(rec.count > 0);
        QTest::qWait(20);
        const QRect board = QRect(10, 10, 300, 300).translated(d.ClientOrigin());
        const QRegion onBoard = rec.region.intersected(board);
        const QRect cells = CellRect(d.m_board, 1, 2).united(CellRect(d.m_board, 2, 2));
        QCOMPARE(onBoard, QRegion(cells.translated(d.ClientOrigin())));

        // A step of a walk repaints its two cells as well.
        d.OnUnscramble();
        QTest::qWait(20);
        rec.region = QRegion();
        rec.count = 0;
        d.OnScramble();
        QTRY_VERIFY(rec.count > 0);
        QTest::qWait(20);
        QCOMPARE(rec.region.intersected(board), QRegion(board));
        rec.region = QRegion();
        rec.count = 0;
        d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        QTRY_VERIFY(rec.count > 0);
        QTest::qWait(20);
        const QRegion step = rec.region.intersected(board);
        QCOMPARE(step.rectCount(), 1);
        const QRect r = step.boundingRect();
        QVERIFY((r.width() == 100 && r.height() == 200) || (r.width() == 200 && r.height() == 100));
        // The walk's end repaints nothing.
        while (d.m_nScrambleStep < d.m_setup.m_nDifficult) {
            d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        }
        QTest::qWait(20);
        rec.region = QRegion();
        rec.count = 0;
        d.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        QTest::qWait(30);
        QCOMPARE(rec.region.intersected(board), QRegion());
    }

    void unreadablePictureLeavesAPlayableBoard()
    {
        Window w({{"FieldX", 3}, {"FieldY", 3}});
        QFile junk(QStringLiteral("bitmaps/pic1.bmp"));
        QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // A bitmap header that claims 2^30 x 2^30 pixels, then nothing.
        QByteArray bytes("BM");
        bytes.append(
            QByteArray::fromHex("360000000000000036000000280000000000004000000040010018000000000000000000"));
        junk.write(bytes);
        junk.close();
        w.Open();
        CPuzzleDlg& d = *w.dlg;
        QVERIFY(d.m_board.m_hPicture.isNull());
        const QImage shot = w.Shot();
        // Tiles get a plain face, the blank the background.
        QVERIFY(shot.pixel(60, 60) != w.Background().pixel(60, 60));
        QCOMPARE(shot.pixel(260, 260), w.Background().pixel(260, 260));
        ClickClient(d, CellCentre(d.m_board, 1, 2));
        QCOMPARE(d.m_nMoves, 1);

        // Garbage of another kind, chosen as picture 2.
        QFile noise(QStringLiteral("bitmaps/pic2.bmp"));
        QVERIFY(noise.open(QIODevice::WriteOnly | QIODevice::Truncate));
        noise.write(QByteArray(5000, '\xA5'));
        noise.close();
        RunFolder::Store({{"Bild", 2}});
        d.OnUnscramble();
        QVERIFY(d.m_board.m_hPicture.isNull());
        (void)w.Shot();
        d.OnScramble();
        QTRY_VERIFY_WITH_TIMEOUT(!d.Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE), 10000);
        QVERIFY(!d.m_board.IsSolved());
    }

    void missingDataFoldersAndNoSoundDevice()
    {
        // No bitmaps, sounds or midi folder; sound and music on; the sound
        // device cannot be opened.
        Window w({{"Sound", 1}}, false);
        CAudioDevice::Shutdown();
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;
        RunFolder::Store({{"Midi", 1}});
        w.Open();
        CPuzzleDlg& d = *w.dlg;
        QVERIFY(d.isVisible());
        QVERIFY(d.m_board.m_hPicture.isNull());
        QVERIFY(!d.m_board.m_midi.m_bPlaying);
        QVERIFY(!CAudioDevice::IsOpen());
        (void)w.Shot();
        ClickClient(d, CellCentre(d.m_board, 1, 2));
        QCOMPARE(d.m_nMoves, 1);
        d.OnScramble();
        QTRY_VERIFY_WITH_TIMEOUT(!d.Timers().IsTimerRunning(CPuzzleDlg::TIMER_SCRAMBLE), 10000);
        d.OnNewGame();
        QVERIFY(d.m_board.IsSolved());
        w.dlg.reset();
        CAudioDevice::Shutdown();
        qputenv("SDL_AUDIODRIVER", driver);
    }
};

QTEST_MAIN(GameWindowTest)
#include "GameWindowTest.moc"

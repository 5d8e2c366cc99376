// What the game window paints and repaints, and how it copes with broken
// pictures, missing data folders and no sound device.
#include "GameTestEnv.h"

#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "game/PatternDlg.h"
#include "support/PictureFiles.h"
#include "support/SpecialFiles.h"

#include <QFile>
#include <QPainter>
#include <QSet>

using namespace gametest;

namespace {

// The window as it shows on screen, in client coordinates.
QImage Shot(CPuzzleDlg& d)
{
    const QImage all = d.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(QRect(d.ClientOrigin(), d.GetClientRect().size()));
}

// The tiled background alone, in client coordinates.
QImage Background(CPuzzleDlg& d)
{
    QImage img(d.GetClientRect().size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    d.OnEraseBkgnd(&p);
    return img;
}

// Compares every board pixel of the shot with what the board state asks for: the picture's pieces, the
// background in the blank and the strips, the black frame on the board's edge, and grid lines when they are
// on. Returns the first mismatch as text, or an empty string.
QString CheckBoard(const QImage& shot, const QImage& background, const CPuzzleBoard& b, const QImage& picture)
{
    const int total = b.m_nCols * b.m_nRows;
    for (int y = 10; y < 310; ++y)
        for (int x = 10; x < 310; ++x) {
            const int c = (x - 10) / b.m_nTileW, r = (y - 10) / b.m_nTileH;
            const bool line =
                x == 10 || x == 309 || y == 10 || y == 309 || // the frame, and grid lines
                (b.m_bShowGrid && (((y - 10) % b.m_nTileH == 0 && (y - 10) / b.m_nTileH < b.m_nRows) ||
                                   ((x - 10) % b.m_nTileW == 0 && (x - 10) / b.m_nTileW < b.m_nCols)));
            QRgb expected = qRgb(0, 0, 0);
            QString what = QStringLiteral("line");
            if (!line && (c >= b.m_nCols || r >= b.m_nRows || CellValue(b, c, r) == b.m_nBlank)) {
                std::tie(expected, what) = std::pair(background.pixel(x, y), QStringLiteral("background"));
            } else if (!line) {
                const int v = CellValue(b, c, r), home = v == total ? total - 1 : v;
                const int sx = (home % b.m_nCols) * b.m_nTileW + (x - 10 - c * b.m_nTileW);
                const int sy = (home / b.m_nCols) * b.m_nTileH + (y - 10 - r * b.m_nTileH);
                std::tie(expected, what) = std::pair(picture.pixel(sx, sy), QStringLiteral("tile %1").arg(v));
            }
            if (shot.pixel(x, y) != expected)
                return QString::asprintf("pixel (%d, %d) in cell (%d, %d) should be %s %06x, is %06x", x, y,
                                         c, r, qPrintable(what), expected & 0xFFFFFFu,
                                         shot.pixel(x, y) & 0xFFFFFFu);
        }
    return {};
}

const auto CellRect = [](const CPuzzleBoard& b, int c, int r) {
    return QRect(10 + c * b.m_nTileW, 10 + r * b.m_nTileH, b.m_nTileW, b.m_nTileH);
};

} // namespace

class GameWindowTest : public QObject {
    Q_OBJECT

private slots:
    void boardShowsThePiecesTheBackgroundAndTheGrid()
    {
        for (const auto& [cols, rows, scrambled] : {std::tuple{3, 3, false}, {7, 5, true}}) {
            Game g({{"FieldX", cols}, {"FieldY", rows}, {"Difficult", 30}});
            const CPuzzleBoard& b = g.Board();
            if (scrambled) {
                g.Walk();
                QVERIFY(!b.IsSolved());
            }
            const QImage bg = Background(*g.dlg), shot = Shot(*g.dlg);
            if (!scrambled) // the picture file itself, unscaled
                QCOMPARE(shot.pixel(60, 60), Pattern(300, 300).pixel(50, 50));
            QCOMPARE(CheckBoard(shot, bg, b, b.m_hPicture), QString());
            // The blank cell shows the background picture, not a plain fill.
            const QRect blank = CellRect(b, b.m_nBlankCol, b.m_nBlankRow).adjusted(2, 2, -2, -2);
            QSet<QRgb> colours;
            for (int y = blank.top(); y < blank.bottom(); y += 3)
                for (int x = blank.left(); x < blank.right(); x += 3)
                    colours.insert(shot.pixel(x, y));
            QVERIFY(colours.size() > 3);

            g.Board().m_bShowGrid = true;
            const QImage grid = Shot(*g.dlg);
            QCOMPARE(CheckBoard(grid, bg, b, b.m_hPicture), QString());
            if (cols == 7) {
                // 7 x 42 leaves a strip from 304 to 310: horizontal lines run on
                // through it, but there is none along x = 310.
                QCOMPARE(std::tuple(shot.pixel(306, 100), grid.pixel(306, 70), grid.pixel(310, 70)),
                         std::tuple(bg.pixel(306, 100), qRgb(0, 0, 0), bg.pixel(310, 70)));
            } else { // the final piece completes the picture
                g.Board().m_bShowGrid = false;
                g.Board().PlaceLastTile();
                QCOMPARE(CheckBoard(Shot(*g.dlg), bg, b, b.m_hPicture), QString());
            }
        }
    }

    void moveRepaintsExactlyTheTwoCells()
    {
        Game g({{"FieldX", 3}, {"FieldY", 3}});
        CPuzzleDlg& d = *g.dlg;
        QTest::qWait(50);
        PaintRecorder rec(&d);
        g.Click({1, 2});
        QTRY_VERIFY(rec.count > 0);
        QTest::qWait(20);
        const QRect board = QRect(10, 10, 300, 300).translated(d.ClientOrigin());
        const QRect cells = CellRect(g.Board(), 1, 2).united(CellRect(g.Board(), 2, 2));
        QCOMPARE(rec.region.intersected(board), QRegion(cells.translated(d.ClientOrigin())));

        // A step of a walk repaints its two cells as well.
        d.OnUnscramble();
        d.OnScramble();
        QTest::qWait(20);
        rec.region = {};
        rec.count = 0;
        g.Tick(kWalk);
        QTRY_VERIFY(rec.count > 0);
        QTest::qWait(20);
        const QRegion step = rec.region.intersected(board);
        const QSize size = step.boundingRect().size();
        QVERIFY(step.rectCount() == 1 && (size == QSize(100, 200) || size == QSize(200, 100)));
    }

    // Picture 1 of each kind, as the setup dialog's button, the board and the
    // preview show it; a picture is shown in its quarters' colours, or not at all.
    void picturesAreBmpFilesOfAnySizeAndNothingElse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("shown");
        QTest::newRow("7000 x 5000, 24 bits") << "huge" << true;
        QTest::newRow("32 bits, alpha mask, alpha 0") << "alpha" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("png") << "png" << false;
        QTest::newRow("svg") << "svg" << false;
    }

    void picturesAreBmpFilesOfAnySizeAndNothingElse()
    {
        QFETCH(QString, kind);
        QFETCH(bool, shown);
        Game g({{"FieldX", 3}, {"FieldY", 3}}, false);
        const std::string path = "bitmaps/pic1.bmp";
        if (kind == "png" || kind == "svg") // a decoder for it is at hand
            QVERIFY(!QImage::fromData(support::ForeignPicture(kind.toStdString())).isNull());
        QVERIFY(support::WritePictureFile(path, kind.toStdString()));
        const support::FifoWatchdog fifo(kind == "fifo" ? std::vector{path} : std::vector<std::string>{});
        QImage button;
        g.answerer.onSetup = [&](CSetupDlg* setup) {
            const QIcon icon = setup->GetDlgItemAs<QAbstractButton>(IDC_PIC1)->icon();
            button = icon.isNull() ? QImage() : icon.pixmap(100, 100).toImage();
        };
        g.Open();
        QVERIFY(g.dlg->isVisible() && !fifo.Freed()); // nothing waited on the FIFO
        g.dlg->OnShowPattern();
        const auto previews = g.dlg->findChildren<CPatternDlg*>();
        QCOMPARE(previews.size(), 1);
        const QImage preview = previews.front()->GetPicture();
        if (!shown) {
            QVERIFY(button.isNull() && g.Board().m_hPicture.isNull() && preview.isNull());
            return;
        }
        QCOMPARE(std::pair(button.pixel(25, 25), button.pixel(75, 75)),
                 std::pair(support::kQuarters[0], support::kQuarters[3]));
        // The board's cells (0, 0), (2, 0), (0, 2) and (1, 1) show a quarter each.
        const QImage shot = Shot(*g.dlg);
        const QPoint at[4] = {{60, 60}, {260, 60}, {60, 260}, {200, 200}};
        for (std::size_t q = 0; q < 4; ++q)
            QCOMPARE(std::pair(shot.pixel(at[q]), preview.pixel(at[q] - QPoint(10, 10))),
                     std::pair(support::kQuarters[q], support::kQuarters[q]));
    }

    void missingFoldersNoSoundDeviceAndAHostilePictureLeaveAPlayableGame()
    {
        // No bitmaps, sounds or midi folder; sound and music on; the sound device cannot be opened.
        Game g({{"Sound", 1}, {"FieldX", 3}, {"FieldY", 3}}, false, false);
        CAudioDevice::Shutdown();
        const support::ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;
        RunFolder::Store({{"Midi", 1}});
        g.Open();
        QVERIFY(g.dlg->isVisible() && !g.Board().m_midi.m_bPlaying && !CAudioDevice::IsOpen());
        QVERIFY(g.Board().m_hPicture.isNull());
        // Then a bitmap header that claims 2^30 x 2^30 pixels, and nothing more.
        QVERIFY(support::WriteFile(
            "bitmaps/pic1.bmp",
            (QByteArray("BM") + QByteArray::fromHex("36000000000000003600000028000000000000"
                                                    "4000000040010018000000000000000000"))
                .toStdString()));
        g.dlg->OnNewGame();
        QVERIFY(g.Board().m_hPicture.isNull());
        // Tiles get a plain face, the blank the background.
        const QImage shot = Shot(*g.dlg), bg = Background(*g.dlg);
        QVERIFY(shot.pixel(60, 60) != bg.pixel(60, 60) && shot.pixel(260, 260) == bg.pixel(260, 260));
        g.Click({1, 2});
        QCOMPARE(g.dlg->m_nMoves, 1);
        g.Walk();
        QVERIFY(!g.Board().IsSolved());
        g.dlg.reset();
        CAudioDevice::Shutdown();
    }
};

QTEST_MAIN(GameWindowTest)
#include "GameWindowTest.moc"

// The board, its final piece, the pattern preview, the window icon and the hand cursor at the screen's
// resolution. The same program runs at device pixel ratio 1 and at QT_SCALE_FACTOR=2; its picture is 600 x
// 600 one-pixel columns, black and white by turns, which a screen of ratio 2 shows column for column and one
// of ratio 1 as the grey of each pair.
#include "GameTestEnv.h"

#include "game/PatternDlg.h"
#include "imaging/PictureFile.h"
#include "res/CursorHotSpot.h"

using namespace gametest;

namespace {

// Compares the device pixels of `shot` in `area` (logical pixels of the widget shot at `ratio`) with
// `picture` from `from` on; returns the first mismatch as text, or an empty string.
QString Compare(const QImage& shot, qreal ratio, QRect area, const QImage& picture, QPoint from)
{
    const QRect device(area.topLeft() * ratio, area.size() * ratio);
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x) {
            const QPoint at = QPoint(x, y) - device.topLeft() + from;
            if (shot.pixel(x, y) != picture.pixel(at))
                return QString::asprintf("device pixel (%d, %d) is %06x, picture (%d, %d) %06x", x, y,
                                         shot.pixel(x, y) & 0xFFFFFFu, at.x(), at.y(),
                                         picture.pixel(at) & 0xFFFFFFu);
        }
    return {};
}

// Whether two neighbouring device pixels in the middle of `area` differ.
bool ShowsColumns(const QImage& shot, qreal ratio, QRect area)
{
    const QPoint middle = area.center() * ratio;
    return shot.pixel(middle) != shot.pixel(middle + QPoint(1, 0));
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void boardFinalPiecePreviewIconAndHandShowEveryDevicePixel()
    {
        Game g({{"FieldX", 3}, {"FieldY", 3}}, false, false);
        QVERIFY(support::SaveBmp(support::Stripes(600, 600), QStringLiteral("bitmaps/pic1.bmp")));
        g.Open();
        QVERIFY(QTest::qWaitForWindowExposed(g.dlg.get()));
        const qreal ratio = g.dlg->devicePixelRatioF();
        const QImage picture = CPictureFile::Load("bitmaps/pic1.bmp", QSize(300, 300) * ratio);
        // The game itself keeps the 300 x 300 picture.
        QCOMPARE(g.Board().m_hPicture.size(), QSize(300, 300));

        // Solved with its final piece the board shows the whole picture; the
        // board's frame lies along its edge.
        g.Board().PlaceLastTile();
        const QImage shot = g.dlg->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect board = QRect(11, 11, 298, 298).translated(g.dlg->ClientOrigin());
        QCOMPARE(Compare(shot, ratio, board, picture, QPoint(1, 1) * ratio), QString());
        const QRect finalPiece = QRect(211, 211, 98, 98).translated(g.dlg->ClientOrigin());
        QCOMPARE(ShowsColumns(shot, ratio, finalPiece), ratio > 1);

        g.dlg->OnShowPattern();
        auto* preview = g.dlg->findChild<CPatternDlg*>();
        QVERIFY(preview);
        const QImage previewShot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect inside = preview->rect().adjusted(2, 2, -2, -2);
        QCOMPARE(
            Compare(previewShot, ratio, inside, picture, inside.topLeft() * ratio - QPoint(1, 1) * ratio),
            QString());
        QCOMPARE(ShowsColumns(previewShot, ratio, inside), ratio > 1);

        // The window icon has an image of every size in device pixels; the hand keeps its size and has its
        // finger tip at the hot spot (counted in the image's own pixels, as X11 takes it).
        for (int size : {16, 32, 48, 64, 128})
            QCOMPARE(g.dlg->windowIcon().pixmap(QSize(size, size), ratio).size(), QSize(size, size) * ratio);
        const QPixmap hand = g.dlg->m_hHandCursor.pixmap();
        QVERIFY(hand.size() == QSize(32, 32) * ratio && hand.devicePixelRatio() == ratio);
        QCOMPARE(g.dlg->m_hHandCursor.hotSpot(), QPoint(kHandCursorHotSpotX, kHandCursorHotSpotY) * ratio);
    }
};

QTEST_MAIN(HiDpiTest)
#include "HiDpiTest.moc"

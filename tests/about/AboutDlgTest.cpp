#include "about/AboutDlg.h"
#include "about/CreditsCompose.h"
#include "imaging/DIBitmap.h"
#include "imaging/LinkResult.h"
#include "platform/DialogUnits.h"
#include "res/ResourceIds.h"
#include "support/PictureFiles.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"
#include "support/SpecialFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

using CreditsCompose::kLightGrey;

namespace {

// One solid colour per default picture, so the loaded one can be told apart.
const QRgb kPictureColours[4] = {qRgb(200, 30, 30), qRgb(30, 160, 40), qRgb(240, 200, 20),
                                 qRgb(120, 40, 160)};

// Which default picture the credits show behind the text: 1 to 4, 0 for none.
int ShownPicture(const CCreditsCtrl& ctrl)
{
    if (ctrl.BkImage().isNull())
        return 0;
    const QRgb* found =
        std::find(std::begin(kPictureColours), std::end(kPictureColours), ctrl.BkImage().pixel(0, 0));
    return found == std::end(kPictureColours) ? -1 : int(found - kPictureColours) + 1;
}

} // namespace

class AboutDlgTest : public QObject {
    Q_OBJECT

    support::RunFolder m_folder; // the current folder, with the pictures in "bitmaps"
    std::vector<QUrl> m_opened;
    std::vector<QString> m_messages;

    // The four default pictures; the ones not listed are removed.
    void LayOutPictures(std::initializer_list<int> present)
    {
        for (int i = 1; i <= 4; ++i)
            QFile::remove(QStringLiteral("bitmaps/pic%1.bmp").arg(i));
        for (int i : present)
            QVERIFY(support::SaveBmp(support::Solid(40, 30, kPictureColours[i - 1]),
                                     QStringLiteral("bitmaps/pic%1.bmp").arg(i)));
    }

    // Runs the dialog modally; `during` runs inside the modal loop and must end it.
    int RunModal(CAboutDlg& dlg, const std::function<void()>& during)
    {
        QTimer::singleShot(0, &dlg, during);
        QTimer::singleShot(10000, &dlg, [&dlg] { // a failed check returns early: the dialog must still end
            if (dlg.isVisible())
                dlg.EndDialog(-1);
        });
        return dlg.DoModal();
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(g_nAboutPicture, 0); // the picture index belongs to the whole run
        CHyperLink::s_pfnOpenUrl = [this](const QUrl& url, QObject*, CHyperLink::Done fnDone) {
            m_opened.push_back(url);
            fnDone(LinkResult::Opened);
        };
        CHyperLink::s_pfnStartDetached = [](const QString&, const QStringList&) { return false; };
        CHyperLink::s_pfnMessageBox = [this](const QString& text, QMessageBox::Icon) {
            m_messages.push_back(text);
        };
        CHyperLink::s_pfnBeep = [] {};
    }

    void layoutAndLinkOnButtonDown()
    {
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // Ten milliseconds a tick: the credits come in by their own timer, and
        // the bitmap lines find their pictures among the program's resources.
        QTRY_COMPARE_WITH_TIMEOUT(dlg.m_credits.Sequencer().GetCurrent(), std::string("The Zandor Puzzle\t"),
                                  3000);
        QTRY_VERIFY_WITH_TIMEOUT(dlg.m_credits.Sequencer().IsBitmapLine(), 5000);
        // The link sits where control 1031 was, as large as its picture; the
        // credits cover control 1030, whose placeholder is hidden.
        const DialogTemplate& t = *dlg.GetTemplate();
        QCOMPARE(dlg.GetDlgItem(IDC_MAILLINK), static_cast<QWidget*>(&dlg.m_link));
        QCOMPARE(dlg.m_link.geometry(),
                 QRect(CDialogUnits::ToPixels(t, t.items[2]).topLeft(), QSize(56, 27)));
        const QRect credits = CDialogUnits::ToPixels(t, t.items[1]);
        QCOMPARE(dlg.m_credits.geometry(), credits);
        QVERIFY(dlg.m_credits.isVisible() && dlg.GetDlgItem(IDC_CREDITS)->isHidden());
        // The bitmaps' light grey is the dialog's face colour.
        QCOMPARE(dlg.grab().toImage().pixel(credits.right() + 4, credits.bottom() - 2), kLightGrey);

        const QString target = QStringLiteral("mailto:zandor-puzzle@example.org?subject=Zandor-Puzzle");
        QCOMPARE(dlg.m_link.toolTip(), target);
        m_opened.clear();
        for (std::size_t showing = 1; showing <= 2; ++showing) {
            const QPoint centre = dlg.m_link.rect().center();
            QTest::mousePress(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
            QVERIFY(m_opened.size() == showing && m_opened.back().toString() == target);
            QTest::mouseRelease(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
            dlg.EndDialog(IDOK);
            dlg.show(); // shown again, the same link is still in place and still opens on the press
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        }
        QVERIFY(m_messages.empty());
        dlg.EndDialog(IDOK);
    }

    void missingPicturesScrollOnBlueAndAreRetried()
    {
        LayOutPictures({});
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CCreditsCtrl& credits = dlg.m_credits;
        QCOMPARE(QPoint(credits.TimerInterval(), dlg.Timers().GetInterval(CAboutDlg::kPictureTimer)),
                 QPoint(10, 5000));
        QCOMPARE(ShownPicture(credits), 0);
        const int start = g_nAboutPicture;
        for (int i = 1; i <= 5; ++i) {
            dlg.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(QPoint(g_nAboutPicture, ShownPicture(credits)), QPoint((start + i) % 4, 0));
        }
        // The credits go on over plain blue: the screen is the back buffer, blue
        // around the text, with the "PLEASE" bitmap's grey showing blue too.
        for (int i = 0; i < 140; ++i)
            credits.OnTimer(CCreditsCtrl::kScrollTimer);
        QVERIFY(credits.Sequencer().IsBitmapLine());
        const QImage screen = credits.ScreenImage();
        QCOMPARE(std::pair(screen, screen.pixel(0, 0)), std::pair(credits.BackBuffer(), qRgb(0, 0, 255)));
        QCOMPARE(support::CountPixels(screen, [](QRgb c) { return c == kLightGrey; }), 0);
        // No message about the missing files.
        QVERIFY(m_messages.empty());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<QMessageBox*>(w) && w->isVisible()));

        // A picture that turns up is taken at the next change.
        const int next = (g_nAboutPicture + 1) % 4;
        LayOutPictures({next + 1});
        dlg.OnTimer(CAboutDlg::kPictureTimer);
        QCOMPARE(ShownPicture(credits), next + 1);
        credits.OnTimer(CCreditsCtrl::kScrollTimer);
        QCOMPARE(credits.ScreenImage().pixel(0, 0), kPictureColours[next]);
        dlg.EndDialog(IDOK);
    }

    // A FIFO, a PNG file, a 7000 x 5000 picture and a 32-bit one whose alpha bytes are 0, as pictures 1 to 4.
    void picturesAreBmpFilesOfAnySizeAndNothingElse()
    {
        LayOutPictures({});
        const char* kinds[] = {"fifo", "png", "huge", "alpha"};
        for (int n = 0; n < 4; ++n)
            QVERIFY(support::WritePictureFile("bitmaps/pic" + std::to_string(n + 1) + ".bmp", kinds[n]));
        const support::FifoWatchdog fifo({"bitmaps/pic1.bmp"});
        const auto& q = support::kQuarters;

        CAboutDlg dlg;
        dlg.show();
        const QImage& picture = dlg.m_credits.BkImage();
        for (int change = 0; change <= 4; ++change) {
            const int shown = change == 0 ? 0 : g_nAboutPicture;
            if (shown <= 1) {
                QVERIFY(picture.isNull());
            } else { // the huge one as far as the control could ever show it
                QCOMPARE(picture.size(), shown == 2 ? CCreditsCtrl::kBkImageLimit : QSize(40, 30));
                QCOMPARE(picture.pixel(0, 0), q[0]);
                QCOMPARE(picture.pixel(picture.width() - 1, picture.height() - 1), q[shown == 2 ? 0 : 3]);
            }
            dlg.OnTimer(CAboutDlg::kPictureTimer);
        }
        QVERIFY(!fifo.Freed()); // nothing waited on the FIFO
        dlg.EndDialog(IDOK);
    }

    void everyShowingStartsWithPictureOneAndGoesOnUntilOkEscapeOrCloseEndIt()
    {
        // Picture 1 at every showing, then on from the last showing's index,
        // also in another about box object of the same run.
        LayOutPictures({1, 2, 3, 4});
        CAboutDlg dlg, other;
        int last = g_nAboutPicture;
        for (CAboutDlg* box : {&dlg, &dlg, &other}) {
            QCOMPARE(RunModal(*box,
                              [&] {
                                  QCOMPARE(ShownPicture(box->m_credits), 1);
                                  for (int i = 0; i < 2; ++i) {
                                      box->OnTimer(CAboutDlg::kPictureTimer);
                                      last = (last + 1) % 4;
                                      QCOMPARE(g_nAboutPicture, last);
                                      QCOMPARE(ShownPicture(box->m_credits), last + 1);
                                  }
                                  box->EndDialog(IDOK);
                              }),
                     IDOK);
            QCOMPARE(g_nAboutPicture, last); // closing does not reset it
        }

        // OK, Escape and the close box end it and its timers.
        const std::pair<std::function<void()>, int> endings[] = {
            {[&] { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }, IDOK},
            {[&] { QTest::keyClick(&dlg, Qt::Key_Escape); }, IDCANCEL},
            {[&] { dlg.close(); }, IDCANCEL},
            {[&] { QTest::keyClick(&dlg, Qt::Key_Return); }, IDOK}}; // the default button
        for (const auto& [end, result] : endings) {
            QCOMPARE(RunModal(dlg,
                              [&] {
                                  QVERIFY(dlg.Timers().IsTimerRunning(CAboutDlg::kPictureTimer));
                                  QCOMPARE(dlg.m_credits.TimerId(), 150u);
                                  end();
                              }),
                     result);
            QVERIFY(!dlg.isVisible() && !dlg.Timers().IsTimerRunning(CAboutDlg::kPictureTimer));
            QCOMPARE(dlg.m_credits.TimerId(), 0u);
        }
        // Stopped timers do not tick: the credits do not move while it is closed.
        const QImage frame = dlg.m_credits.BackBuffer();
        QTest::qWait(80);
        QCOMPARE(dlg.m_credits.BackBuffer(), frame);
    }
};

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"

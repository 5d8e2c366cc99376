#include "about/AboutDlg.h"
#include "about/CreditsCompose.h"
#include "imaging/DIBitmap.h"
#include "imaging/DialogUnits.h"
#include "res/ResourceIds.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

using CreditsCompose::kLightGrey;

namespace {

const QRgb kBlue = qRgb(0, 0, 255);

// One solid colour per default picture, so the loaded one can be told apart.
const QRgb kPictureColours[4] = {qRgb(200, 30, 30), qRgb(30, 160, 40), qRgb(240, 200, 20),
                                 qRgb(120, 40, 160)};

void Ticks(CCreditsCtrl& ctrl, int n)
{
    for (int i = 0; i < n; ++i)
        ctrl.OnTimer(CCreditsCtrl::kScrollTimer);
}

// Which default picture the credits show behind the text: 1 to 4, 0 for none.
int ShownPicture(const CCreditsCtrl& ctrl)
{
    if (ctrl.BkImage().isNull())
        return 0;
    for (int i = 0; i < 4; ++i)
        if (ctrl.BkImage().pixel(0, 0) == kPictureColours[i])
            return i + 1;
    return -1;
}

QImage ResourceImage(int nID)
{
    CDIBitmap dib;
    if (!dib.LoadResourceBitmap(nID))
        return QImage();
    return dib.ToImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class AboutDlgTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::vector<QUrl> m_opened;
    std::vector<QString> m_messages;

    // The four default pictures in the current folder's "bitmaps"; the ones
    // not listed are removed.
    void LayOutPictures(std::initializer_list<int> present)
    {
        QDir cwd(QDir::currentPath());
        cwd.mkpath(QStringLiteral("bitmaps"));
        for (int i = 1; i <= 4; ++i)
            QFile::remove(cwd.filePath(QStringLiteral("bitmaps/pic%1.bmp").arg(i)));
        for (int i : present) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(kPictureColours[i - 1]);
            QVERIFY(picture.save(cwd.filePath(QStringLiteral("bitmaps/pic%1.bmp").arg(i)), "BMP"));
        }
    }

    // Runs the dialog modally; `during` runs inside the modal loop and must end it.
    int RunModal(CAboutDlg& dlg, const std::function<void()>& during)
    {
        QTimer::singleShot(0, &dlg, during);
        // A failed check returns early: the dialog must still end.
        QTimer::singleShot(10000, &dlg, [&dlg] {
            if (dlg.isVisible())
                dlg.EndDialog(-1);
        });
        return dlg.DoModal();
    }

private slots:
    void initTestCase()
    {
        // The picture index belongs to the whole run: nothing has moved it yet.
        QCOMPARE(g_nAboutPicture, 0);
        QVERIFY(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        CHyperLink::s_pfnOpenUrl = [this](const QUrl& url) {
            m_opened.push_back(url);
            return true;
        };
        CHyperLink::s_pfnStartDetached = [](const QString&, const QStringList&) { return false; };
        CHyperLink::s_pfnMessageBox = [this](const QString& text, QMessageBox::Icon) {
            m_messages.push_back(text);
        };
        CHyperLink::s_pfnBeep = [] {};
    }

    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    void creditsScriptHasItsFortyThreeLines()
    {
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const std::vector<std::string>& lines = dlg.m_credits.Sequencer().GetLines();
        QCOMPARE(lines.size(), std::size_t(43));

        using K = CreditsLineKind;
        const std::vector<std::pair<int, std::string>> fixed = {{0, "The Zandor Puzzle\t"},
                                                                {2, "Version 3.0"},
                                                                {6, "PLEASE^"},
                                                                {8, "Release date\r"},
                                                                {10, "28. June. 2000"},
                                                                {13, "Project Lead\r"},
                                                                {18, "Technical Lead\r"},
                                                                {23, "Engineering Lead\r"},
                                                                {28, "Product Lead\r"},
                                                                {30, "You know..."},
                                                                {33, "Engineering\r"},
                                                                {35, "You still know..."},
                                                                {38, "* * * * * * * * *\t"},
                                                                {40, "Bitmap1^"}};
        for (const auto& [index, text] : fixed)
            QCOMPARE(lines[static_cast<std::size_t>(index)], text);

        std::vector<K> kinds(43, K::Blank);
        kinds[0] = kinds[38] = K::Heading1;
        for (int i : {8, 13, 18, 23, 28, 33})
            kinds[static_cast<std::size_t>(i)] = K::Heading3;
        for (int i : {2, 3, 4, 10, 15, 20, 25, 30, 35})
            kinds[static_cast<std::size_t>(i)] = K::Body;
        kinds[6] = kinds[40] = K::Bitmap;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const K kind = dlg.m_credits.Sequencer().Classify(lines[i]).kind;
            QVERIFY2(kind == kinds[i], qPrintable(QStringLiteral("line %1").arg(i)));
            if (kind == K::Blank)
                QVERIFY2(lines[i].empty(), qPrintable(QStringLiteral("line %1").arg(i)));
        }

        // The notice of rights leads into the author, who leads every team.
        QVERIFY(lines[3].ends_with(" by"));
        QVERIFY(lines[3].find("1999-2000") != std::string::npos);
        QVERIFY(!lines[15].empty());
        QCOMPARE(lines[20], lines[15]);
        QCOMPARE(lines[25], lines[15]);
        QVERIFY(lines[4].starts_with(lines[15]) && lines[4].size() > lines[15].size());
        dlg.EndDialog(IDOK);
    }

    void layoutOfTheControls()
    {
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("About..."));
        const DialogTemplate& t = *dlg.GetTemplate();
        QCOMPARE(dlg.size(), CDialogUnits::ClientSize(t));

        // The link sits where control 1031 was, as large as its picture 237.
        QCOMPARE(dlg.GetDlgItem(IDC_MAILLINK), static_cast<QWidget*>(&dlg.m_link));
        QCOMPARE(dlg.findChildren<QWidget*>(QStringLiteral("IDC_1031")).size(), 1);
        const QImage face = ResourceImage(IDB_LINK);
        QCOMPARE(face.size(), QSize(56, 27));
        QCOMPARE(dlg.m_link.geometry(),
                 QRect(CDialogUnits::ToPixels(t, t.items[2]).topLeft(), QSize(56, 27)));
        QCOMPARE(dlg.m_link.pixmap().toImage().convertToFormat(QImage::Format_RGB32), face);
        QVERIFY(dlg.m_link.isVisible());

        // The arrow and the invitation below it.
        QLabel* arrow = nullptr;
        QLabel* text = nullptr;
        for (const auto& control : dlg.Controls()) {
            if (control.item == &t.items[3])
                arrow = qobject_cast<QLabel*>(control.widget);
            if (control.item == &t.items[4])
                text = qobject_cast<QLabel*>(control.widget);
        }
        QVERIFY(arrow && text);
        QCOMPARE(arrow->geometry(), QRect(CDialogUnits::ToPixels(t, t.items[3]).topLeft(), QSize(48, 61)));
        QCOMPARE(arrow->pixmap().toImage().convertToFormat(QImage::Format_RGB32), ResourceImage(IDB_ARROW));
        QCOMPARE(text->text(), QStringLiteral("Write me an\n E-Mail, \n please."));
        QVERIFY(text->alignment() & Qt::AlignHCenter);
        QCOMPARE(text->geometry(), CDialogUnits::ToPixels(t, t.items[4]));
        // The arrow stands below the link and points up at it.
        QVERIFY(arrow->geometry().top() >= dlg.m_link.geometry().bottom());

        // The credits cover control 1030; the placeholder is hidden.
        const QRect credits = CDialogUnits::ToPixels(t, t.items[1]);
        QCOMPARE(dlg.m_credits.geometry(), credits);
        QVERIFY(dlg.m_credits.isVisible());
        QVERIFY(dlg.GetDlgItem(IDC_CREDITS)->isHidden());
        auto* ok = dlg.GetDlgItemAs<QPushButton>(IDOK);
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        // The bitmaps' light grey is the dialog's face colour.
        QCOMPARE(dlg.grab().toImage().pixel(credits.right() + 4, credits.bottom() - 2), kLightGrey);
        dlg.EndDialog(IDOK);
    }

    void linkOpensTheMailOnButtonDown()
    {
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QString target = QStringLiteral("mailto:zandor-puzzle@example.org?subject=Zandor-Puzzle");
        QCOMPARE(CAboutDlg::MailTarget(), target);
        QCOMPARE(dlg.m_link.GetUrl(), target);
        QCOMPARE(dlg.m_link.toolTip(), target);
        QVERIFY(dlg.m_link.GetLinkStyle() & CHyperLink::HLS_FOLLOWONDOWN);

        m_opened.clear();
        const QPoint centre = dlg.m_link.rect().center();
        QTest::mousePress(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(m_opened.size(), std::size_t(1));
        QCOMPARE(m_opened[0].scheme(), QStringLiteral("mailto"));
        QCOMPARE(m_opened[0].toString(), target);
        QTest::mouseRelease(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(m_opened.size(), std::size_t(1)); // the release opens nothing more
        QVERIFY(dlg.m_link.IsVisited());
        QVERIFY(m_messages.empty());
        dlg.EndDialog(IDOK);

        // Shown again, the same link is still in place and still opens on the press.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.GetDlgItem(IDC_MAILLINK), static_cast<QWidget*>(&dlg.m_link));
        QTest::mousePress(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(m_opened.size(), std::size_t(2));
        QTest::mouseRelease(&dlg.m_link, Qt::LeftButton, Qt::NoModifier, centre);
        dlg.EndDialog(IDOK);
    }

    void missingPicturesScrollOnBlueAndAreRetried()
    {
        LayOutPictures({});
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CCreditsCtrl& credits = dlg.m_credits;
        QCOMPARE(credits.TimerId(), 150u);
        QCOMPARE(credits.TimerInterval(), 10);
        QVERIFY(dlg.Timers().IsTimerRunning(CAboutDlg::kPictureTimer));
        QCOMPARE(dlg.Timers().GetInterval(CAboutDlg::kPictureTimer), 5000);
        QCOMPARE(ShownPicture(credits), 0);

        const int start = g_nAboutPicture;
        for (int i = 1; i <= 5; ++i) {
            dlg.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(g_nAboutPicture, (start + i) % 4);
            QCOMPARE(ShownPicture(credits), 0);
        }
        // The credits go on over plain blue: the screen is the back buffer, blue
        // around the text, with the "PLEASE" bitmap's grey showing blue too.
        Ticks(credits, 140);
        QVERIFY(credits.Sequencer().IsBitmapLine());
        const QImage screen = credits.ScreenImage();
        QCOMPARE(screen, credits.BackBuffer());
        QCOMPARE(screen.pixel(0, 0), kBlue);
        QCOMPARE(screen.pixel(screen.width() - 1, screen.height() - 1), kBlue);
        int grey = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                grey += screen.pixel(x, y) == kLightGrey ? 1 : 0;
        QCOMPARE(grey, 0);
        // No message about the missing files.
        QVERIFY(m_messages.empty());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<QMessageBox*>(w) && w->isVisible()));

        // A picture that turns up is taken at the next change.
        const int next = (g_nAboutPicture + 1) % 4;
        LayOutPictures({next + 1});
        dlg.OnTimer(CAboutDlg::kPictureTimer);
        QCOMPARE(ShownPicture(credits), next + 1);
        Ticks(credits, 1);
        QCOMPARE(credits.ScreenImage().pixel(0, 0), kPictureColours[next]);
        dlg.EndDialog(IDOK);
    }

    void everyShowingStartsWithPictureOneAndGoesOn()
    {
        LayOutPictures({1, 2, 3, 4});
        CAboutDlg dlg;
        int last = -1;
        const int result = RunModal(dlg, [&] {
            QCOMPARE(ShownPicture(dlg.m_credits), 1);
            const int before = g_nAboutPicture;
            dlg.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(ShownPicture(dlg.m_credits), (before + 1) % 4 + 1);
            dlg.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(g_nAboutPicture, (before + 2) % 4);
            QCOMPARE(ShownPicture(dlg.m_credits), g_nAboutPicture + 1);
            last = g_nAboutPicture;
            dlg.EndDialog(IDOK);
        });
        QCOMPARE(result, IDOK);
        QVERIFY(last >= 0);
        QCOMPARE(g_nAboutPicture, last); // closing does not reset it

        RunModal(dlg, [&] {
            // Picture 1 again, then the one after the first showing's last.
            QCOMPARE(ShownPicture(dlg.m_credits), 1);
            dlg.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(g_nAboutPicture, (last + 1) % 4);
            QCOMPARE(ShownPicture(dlg.m_credits), (last + 1) % 4 + 1);
            dlg.EndDialog(IDOK);
        });

        // Another about box object of the same run goes on from there as well.
        CAboutDlg other;
        RunModal(other, [&] {
            QCOMPARE(ShownPicture(other.m_credits), 1);
            other.OnTimer(CAboutDlg::kPictureTimer);
            QCOMPARE(g_nAboutPicture, (last + 2) % 4);
            other.EndDialog(IDOK);
        });
    }

    void okEscapeAndCloseBoxEndItAndItsTimers()
    {
        LayOutPictures({1});
        CAboutDlg dlg;
        auto checkRunning = [&] {
            QVERIFY(dlg.Timers().IsTimerRunning(CAboutDlg::kPictureTimer));
            QCOMPARE(dlg.m_credits.TimerId(), 150u);
        };
        QCOMPARE(RunModal(dlg,
                          [&] {
                              checkRunning();
                              QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                          }),
                 IDOK);
        auto checkStopped = [&] {
            QVERIFY(!dlg.isVisible());
            QVERIFY(!dlg.Timers().IsTimerRunning(CAboutDlg::kPictureTimer));
            QCOMPARE(dlg.m_credits.TimerId(), 0u);
        };
        checkStopped();

        QCOMPARE(RunModal(dlg,
                          [&] {
                              checkRunning();
                              QTest::keyClick(&dlg, Qt::Key_Escape);
                          }),
                 IDCANCEL);
        checkStopped();

        QCOMPARE(RunModal(dlg,
                          [&] {
                              checkRunning();
                              dlg.close();
                          }),
                 IDCANCEL);
        checkStopped();

        QCOMPARE(RunModal(dlg,
                          [&] {
                              checkRunning();
                              QTest::keyClick(&dlg, Qt::Key_Return); // the default button
                          }),
                 IDOK);
        checkStopped();

        // Stopped timers do not tick: the credits do not move while it is closed.
        const QImage frame = dlg.m_credits.BackBuffer();
        QTest::qWait(80);
        QCOMPARE(dlg.m_credits.BackBuffer(), frame);
    }

    void creditsScrollByTheirOwnTimerAndShowTheResourceBitmaps()
    {
        LayOutPictures({1, 2, 3, 4});
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // Ten milliseconds a tick: the first line is in within well under a second.
        QTRY_COMPARE_WITH_TIMEOUT(dlg.m_credits.Sequencer().GetCurrent(), std::string("The Zandor Puzzle\t"),
                                  3000);
        // The bitmap lines find their pictures among the program's resources.
        QTRY_VERIFY_WITH_TIMEOUT(dlg.m_credits.Sequencer().IsBitmapLine(), 5000);
        QCOMPARE(dlg.m_credits.Sequencer().GetLineBmpWidth(), 109);
        QCOMPARE(dlg.m_credits.Sequencer().GetLineBmpHeight(), 50);
        dlg.EndDialog(IDOK);
    }
};

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"

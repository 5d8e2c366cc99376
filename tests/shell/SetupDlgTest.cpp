// "Player Setup" driven as a player drives it: clicks, typing, Enter and Escape, the file dialog answered
// through its hook, message boxes through theirs, sounds recorded at the board's sound sink.

#include "shell/SetupDlg.h"
#include "platform/BitmapButton.h"
#include "platform/DialogBuilder.h"
#include "platform/MessageBox.h"
#include "platform/SpinButtonCtrl.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "support/PictureFiles.h"
#include "support/Pictures.h"
#include "support/RunFolder.h"
#include "support/SoundLog.h"
#include "support/SpecialFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using support::SoundLog;
using Paths = std::vector<std::string>;

namespace {

const QRgb kPicColour[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(200, 200, 30)};

bool WriteBmp(const QString& path, QRgb colour, int w = 64, int h = 48)
{
    return support::SaveBmp(support::Solid(w, h, colour), path);
}

// The colour in the middle of a picture button's image; 0 without an image.
QRgb ButtonImageColour(const QAbstractButton* button)
{
    if (button->icon().isNull())
        return 0;
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixel(image.width() / 2, image.height() / 2) | 0xFF000000u;
}

const auto Edit = [](CSetupDlg& dlg, int id) { return dlg.GetDlgItemAs<QLineEdit>(id); };
const auto Button = [](CSetupDlg& dlg, int id) { return dlg.GetDlgItemAs<QAbstractButton>(id); };
const auto Click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); };
void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// What the dialog shows: "pic, sound, midi, difficulty, speed, x, y".
QString Shown(CSetupDlg& dlg)
{
    return QStringLiteral("pic %1, sound %2, midi %3, %4, %5, %6, %7")
        .arg(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4) - IDC_PIC1 + 1)
        .arg(dlg.IsDlgButtonChecked(IDC_SOUND))
        .arg(dlg.IsDlgButtonChecked(IDC_MIDI))
        .arg(Edit(dlg, IDC_DIFFICULT)->text(), Edit(dlg, IDC_SPEED)->text(), Edit(dlg, IDC_FIELDX)->text(),
             Edit(dlg, IDC_FIELDY)->text());
}

} // namespace

class SetupDlgTest : public QObject {
    Q_OBJECT

    QString ProfilePath() const { return QString::fromStdString(m_folder->ProfilePath()); }
    QString ReadProfile() const { return QString::fromStdString(support::ReadFile(m_folder->ProfilePath())); }
    // A file beside the run folder.
    QString Outside(const QString& name) const
    {
        return name.isEmpty() ? name : QString::fromStdString(m_folder->Root() / name.toStdString());
    }

    std::optional<support::RunFolder> m_folder;
    std::optional<SoundLog> m_sounds;
    QStringList m_messages; // "type: text"

private slots:
    void init()
    {
        m_folder.emplace();
        m_sounds.emplace();
        for (int i = 0; i < 4; ++i)
            QVERIFY(WriteBmp(QStringLiteral("bitmaps/pic%1.bmp").arg(i + 1), kPicColour[i]));
        m_messages.clear();
        CMessageBox::SetTestHook([this](const QString& text, unsigned type) {
            m_messages << QStringLiteral("%1: %2").arg(type).arg(text);
            return IDOK;
        });
        // A file dialog nobody expects fails the test instead of blocking it.
        CSetupDlg::SetFileDialogHook([](QFileDialog&) {
            qWarning("unexpected file dialog");
            return QString();
        });
    }

    void cleanup()
    {
        CSetupDlg::SetFileDialogHook({});
        CMessageBox::SetTestHook({});
        m_sounds.reset();
        m_folder.reset();
    }

    void startSavesTheProfileAndEnds()
    {
        CSetupDlg dlg;
        QTimer::singleShot(0, &dlg, [&] {
            Click(Button(dlg, IDC_PIC3));
            QCOMPARE(g_nPicture, 1); // taken only at Start
            for (const auto& [id, text] :
                 {std::pair{IDC_DIFFICULT, "500"}, {IDC_SPEED, "40"}, {IDC_FIELDX, "10"}, {IDC_FIELDY, "2"}})
                Type(Edit(dlg, id), QString::fromLatin1(text));
            Click(dlg.m_btnStart);
        });
        QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); }); // safety net
        QVERIFY(dlg.DoModal() == IDOK && m_messages.empty());
        // A first run without a profile reads music on; Start stores what is shown.
        QCOMPARE(ReadProfile(),
                 QStringLiteral("[Tessra]\nBild=3\nSound=1\nMidi=1\nSpeed=40\nDifficult=500\nFieldX=10\n"
                                "FieldY=2\nstrBild=bitmaps\\pic3.bmp\nPic1=bitmaps\\pic1.bmp\n"
                                "Pic2=bitmaps\\pic2.bmp\nPic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n"));
        QCOMPARE(g_nPicture, 3);
        // The blip of the picture click, then the ok sound of Start.
        QCOMPARE(SoundLog::Paths(), (Paths{"sounds\\blip.wav", "sounds\\ok.wav"}));

        // The next opening of the same object shows the values of that Start; Enter starts at once.
        SoundLog::Clear();
        QTimer::singleShot(0, &dlg, [&] {
            QCOMPARE(Shown(dlg), QStringLiteral("pic 3, sound 1, midi 1, 500, 40, 10, 2"));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dlg, Qt::Key_Return);
        });
        QCOMPARE(dlg.DoModal(), IDOK);
        QCOMPARE(SoundLog::Paths(), Paths{"sounds\\ok.wav"});
    }

    // A hand-edited profile may hold any number for the two flags: the boxes show what the flags do (sound
    // only at exactly 1, music when not 0), never half checked, and Start stores what they show.
    void soundAndMusicBoxesShowWhatTheFlagsDo_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("boxes"); // sound, midi: 0 unchecked, 1 checked
        QTest::newRow("2 and 2") << QByteArray("Sound=2\nMidi=2\n") << "2/0 2/1";
        QTest::newRow("7 and -3") << QByteArray("Sound=7\nMidi=-3\n") << "7/0 -3/1";
        QTest::newRow("-1 and 0") << QByteArray("Sound=-1\nMidi=0\n") << "-1/0 0/0";
        QTest::newRow("1 and 1") << QByteArray("Sound=1\nMidi=1\n") << "1/1 1/1";
    }

    void soundAndMusicBoxesShowWhatTheFlagsDo()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, boxes);
        QVERIFY(support::WriteFile(m_folder->ProfilePath(), ("[Tessra]\n" + stored).toStdString()));
        const auto box = [](CSetupDlg& dlg, int id) {
            auto* check = dlg.GetDlgItemAs<QCheckBox>(id);
            return check->isTristate() ? 2 : check->checkState() == Qt::Checked ? 1 : 0;
        };
        CSetupDlg dlg;
        dlg.show();
        QCOMPARE(QString::asprintf("%d/%d %d/%d", g_bSound, box(dlg, IDC_SOUND), g_bMidi, box(dlg, IDC_MIDI)),
                 boxes);
        Click(dlg.m_btnStart);
        QVERIFY(!dlg.isVisible());
        // The flags take the states of the boxes; the profile holds 0 or 1.
        const int sound = box(dlg, IDC_SOUND), midi = box(dlg, IDC_MIDI);
        QCOMPARE(QString::asprintf("%d %d", g_bSound, g_bMidi), QString::asprintf("%d %d", sound, midi));
        QVERIFY(ReadProfile().contains(QStringLiteral("Sound=%1\nMidi=%2\n").arg(sound).arg(midi)));
    }

    void invalidFieldsKeepTheDialogOpen_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // "type: text"
        const QString notInt = QStringLiteral("%1: Geben Sie bitte eine ganze Zahl ein.").arg(MB_OK);
        const auto range = [](int lo, int hi) {
            return QString::asprintf("%d: Geben Sie bitte eine ganze Zahl zwischen %d und %d ein.",
                                     int(MB_ICONEXCLAMATION), lo, hi);
        };
        QTest::newRow("x 1") << IDC_FIELDX << "1" << range(2, 10);
        QTest::newRow("y 11") << IDC_FIELDY << "11" << range(2, 10);
        QTest::newRow("difficulty 1001") << IDC_DIFFICULT << "1001" << range(1, 1000);
        QTest::newRow("difficulty 0") << IDC_DIFFICULT << "0" << range(1, 1000);
        QTest::newRow("speed 9") << IDC_SPEED << "9" << range(10, 10000);
        QTest::newRow("speed empty") << IDC_SPEED << "" << notInt;
        QTest::newRow("x empty") << IDC_FIELDX << "" << notInt;
    }

    void invalidFieldsKeepTheDialogOpen()
    {
        QFETCH(int, id);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        CSetupDlg dlg;
        dlg.show();
        Click(Button(dlg, IDC_PIC2));
        SoundLog::Clear();
        Type(Edit(dlg, id), typed);
        Click(dlg.m_btnStart);

        const QStringList shown{message};
        QCOMPARE(m_messages, shown);
        QVERIFY(dlg.isVisible() && !QFile::exists(ProfilePath()) && SoundLog::Paths().empty());
        QCOMPARE(g_nPicture, 1); // the checked picture is not taken either
        // The offending box has the focus and its text selected.
        QVERIFY(dlg.focusWidget() == Edit(dlg, id) && Edit(dlg, id)->selectedText() == typed);

        // Corrected, Start goes through.
        Type(Edit(dlg, id), QStringLiteral("10"));
        Click(dlg.m_btnStart);
        QVERIFY(m_messages == shown && !dlg.isVisible() && ReadProfile().contains("Bild=2\n"));
    }

    void difficultyArrowsStopAtHundredWhileTypedValuesGoHigher()
    {
        CSetupDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // A click on the upper half of a pair of arrows counts up, on the lower half down.
        const auto arrows = [&dlg](int id, bool up, int clicks) {
            auto* spin = dlg.GetDlgItemAs<CSpinButtonCtrl>(id);
            while (clicks-- > 0)
                QTest::mouseClick(spin, Qt::LeftButton, {},
                                  QPoint(spin->width() / 2, up ? 2 : spin->height() - 2));
        };
        arrows(IDC_SPIN_FIELDX, false, 2); // from 3 to 2, and no further
        QCOMPARE(Edit(dlg, IDC_FIELDX)->text(), QStringLiteral("2"));
        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("99"));
        arrows(IDC_SPIN_DIFFICULT, true, 2);
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));
        QTest::keyClick(Edit(dlg, IDC_DIFFICULT), Qt::Key_Up);
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));

        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("1000"));
        Click(dlg.m_btnStart);
        QVERIFY(m_messages.empty() && ReadProfile().contains(QStringLiteral("Difficult=1000\n")));
    }

    void escapeAndCloseRestoreTheStandardSettings()
    {
        const QByteArray stored =
            "[Tessra]\nBild=3\nSound=1\nMidi=1\nSpeed=999\nDifficult=77\nFieldX=6\nFieldY=7\n"
            "Pic2=/somewhere/else.bmp\n";
        QVERIFY(support::WriteFile(m_folder->ProfilePath(), stored.toStdString()));

        CSetupDlg dlg;
        dlg.show();
        // It opens with the stored settings.
        QCOMPARE(Shown(dlg), QStringLiteral("pic 3, sound 1, midi 1, 77, 999, 6, 7"));
        QVERIFY(Button(dlg, IDC_PIC2)->icon().isNull());
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("8"));

        // Escape, the close request (refused) and the button.
        const std::function<void()> rounds[] = {[&] { QTest::keyClick(&dlg, Qt::Key_Escape); },
                                                [&] { QVERIFY(!dlg.close()); },
                                                [&] { Click(dlg.m_btnStandard); }};
        for (const auto& restore : rounds) {
            SoundLog::Clear();
            restore();
            QVERIFY(dlg.isVisible() && SoundLog::Paths() == Paths{"sounds\\blip.wav"});
            QCOMPARE(QString::asprintf("%d %d %d", g_nPicture, g_bSound, g_bMidi), QStringLiteral("1 1 0"));
            QCOMPARE(Shown(dlg), QStringLiteral("pic 1, sound 1, midi 0, 20, 150, 3, 3"));
            // Picture 2 has its standard file, and its image, again.
            QCOMPARE(g_strPicPath[1], std::string("bitmaps\\pic2.bmp"));
            QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC2)), kPicColour[1]);
            QCOMPARE(ReadProfile().toUtf8(), stored); // nothing saved before Start
            // Change things again for the next round.
            Click(Button(dlg, IDC_PIC4));
            Click(dlg.GetDlgItemAs<QCheckBox>(IDC_MIDI));
            Type(Edit(dlg, IDC_SPEED), QStringLiteral("12"));
        }

        Click(dlg.m_btnStandard);
        Click(dlg.m_btnStart);
        QVERIFY(!dlg.isVisible());
        // Start stores music off, although a missing key would read as on.
        // Keys already in the file keep their places.
        QCOMPARE(ReadProfile(),
                 QStringLiteral("[Tessra]\nBild=1\nSound=1\nMidi=0\nSpeed=150\nDifficult=20\nFieldX=3\n"
                                "FieldY=3\nPic2=bitmaps\\pic2.bmp\nstrBild=bitmaps\\pic1.bmp\n"
                                "Pic1=bitmaps\\pic1.bmp\nPic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n"));
    }

    void customizeReplacesTheCheckedPicture()
    {
        const QString chosen = Outside(QStringLiteral("mine.bmp"));
        QVERIFY(WriteBmp(chosen, qRgb(250, 120, 0), 640, 100));
        CSetupDlg dlg;
        dlg.show();
        Click(Button(dlg, IDC_PIC3));
        Click(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND));
        Click(dlg.GetDlgItemAs<QCheckBox>(IDC_MIDI));
        QVERIFY(g_bSound == 0 && g_bMidi == 0); // the boxes change their flags at once
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("7"));
        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("456"));

        int asked = 0;
        bool bitmapOpenDialog = false;
        CSetupDlg::SetFileDialogHook([&](QFileDialog& fd) {
            ++asked;
            bitmapOpenDialog = fd.nameFilters() == QStringList{QStringLiteral("Bitmaps (*.bmp)")} &&
                               fd.acceptMode() == QFileDialog::AcceptOpen &&
                               fd.fileMode() == QFileDialog::ExistingFile;
            return chosen;
        });
        Click(Button(dlg, IDC_CUSTOMIZE));
        QVERIFY(asked == 1 && bitmapOpenDialog && m_messages.empty());
        // Picture 3, checked now, gets the file and stays checked; picture 1,
        // selected at opening, keeps its own.
        QCOMPARE(QString::fromStdString(g_strPicPath[2]), chosen);
        for (int i : {0, 1, 3})
            QCOMPARE(g_strPicPath[i], std::string(CSetupSettings::kDefPicPath[i]));
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC3)), qRgb(250, 120, 0));
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), kPicColour[0]);
        // Typed numbers are back to the values the dialog opened with; the check
        // boxes keep what the player set.
        QCOMPARE(Shown(dlg), QStringLiteral("pic 3, sound 0, midi 0, 20, 150, 3, 3"));
        QVERIFY(!QFile::exists(ProfilePath())); // saved only at Start
        SoundLog::Clear();
        Click(dlg.m_btnStart);
        QVERIFY(SoundLog::Paths().empty()); // no ok sound with the sound switched off
        for (const QString& line :
             QStringList{"\nSound=0\n", "\nPic3=" + chosen + "\n", "\nstrBild=" + chosen + "\n"})
            QVERIFY2(ReadProfile().contains(line), qPrintable(line));
    }

    void customizeRefusesOtherFilesAndCancel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // what the file holds; empty: nothing written
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* tag, const char* name, const char* kind,
                            const QStringList& messages) {
            QTest::newRow(tag) << QString(name) << QString(kind) << messages;
        };
        const QStringList refused{QStringLiteral("%1: Please choose a bitmap").arg(MB_OK)};
        for (const char* name : {"SHOUT.BMP", "photo.Bmp", "photo.png", "bmp", "dir.bmp/picture"})
            row(name, name, "", refused);
        row("cancelled", "", "", {});
        // Named .bmp, but no picture the game can show; the message names the file.
        const auto unusable = [](const char* reason) {
            return QStringList{QStringLiteral("%1: \"FILE\" cannot be used as a picture: %2.")
                                   .arg(MB_OK | MB_ICONEXCLAMATION)
                                   .arg(QString::fromLatin1(reason))};
        };
        row("png named bmp", "x.bmp", "png", unusable("not a BMP file"));
        row("svg named bmp", "x.bmp", "svg", unusable("not a BMP file"));
        row("cut short", "x.bmp", "cut short", unusable("the file is damaged or cut short"));
        row("FIFO", "x.bmp", "fifo", unusable("not a regular file"));
    }

    void customizeRefusesOtherFilesAndCancel()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        const std::string path = Outside(name).toStdString();
        if (!kind.isEmpty())
            QVERIFY(support::WritePictureFile(path, kind.toStdString()));
        const support::FifoWatchdog fifo(kind == "fifo" ? std::vector{path} : std::vector<std::string>{});
        CSetupDlg dlg;
        dlg.show();
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("7"));
        CSetupDlg::SetFileDialogHook([&](QFileDialog&) { return Outside(name); });
        Click(Button(dlg, IDC_CUSTOMIZE));
        QVERIFY(!fifo.Freed()); // nothing waited on the FIFO
        QFETCH(QStringList, messages);
        messages.replaceInStrings(QStringLiteral("FILE"), Outside(name));
        QCOMPARE(std::tuple(m_messages, g_strPicPath[0], Edit(dlg, IDC_FIELDX)->text()),
                 std::tuple(messages, std::string("bitmaps\\pic1.bmp"), QStringLiteral("7")));
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), kPicColour[0]);
    }

    // Without its file a picture button still says which picture it is, and can be chosen. (Huge and foreign
    // files: through the game window.)
    void tabReachesEveryControlWithItsMarkAndArrowsOrSpaceChooseAPicture()
    {
        QFile::remove(QStringLiteral("bitmaps/pic3.bmp"));
        CSetupDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(Button(dlg, IDC_PIC3)->icon().isNull() && Button(dlg, IDC_PIC3)->text() == "pic 3");
        const auto focused = [] { return CDialogBuilder::GetDlgCtrlID(QApplication::focusWidget()); };
        const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        };
        // Round the dialog in template order; each control looks different while it has the focus.
        const QList<int> order = {IDC_PIC1,      IDC_PIC2,      IDC_PIC4,   IDC_PIC3,   IDC_SOUND,
                                  IDC_DIFFICULT, IDC_SPEED,     IDC_FIELDX, IDC_FIELDY, IDC_STANDARD,
                                  IDC_MIDI,      IDC_CUSTOMIZE, IDC_START};
        press(Qt::Key_Tab);
        const qsizetype start = order.indexOf(focused());
        QVERIFY(start >= 0);
        for (qsizetype i = 0; i <= order.size(); ++i) {
            QWidget* control = QApplication::focusWidget();
            QCOMPARE(focused(), order[(start + i) % order.size()]);
            const QImage marked = control->grab().toImage();
            press(Qt::Key_Tab);
            QVERIFY2(control->grab().toImage() != marked,
                     qPrintable(QString::number(order[(start + i) % order.size()])));
        }

        // From the chosen picture 1 the arrows choose as they go: right to 3, down to 4, left to 2. Space
        // chooses the focused one; an arrow from a picture not chosen chooses where it goes.
        Button(dlg, IDC_PIC1)->setFocus(Qt::TabFocusReason);
        SoundLog::Clear();
        QList<int> chosen;
        const auto choose = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            press(key, modifiers);
            chosen << dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4);
        };
        for (int key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left})
            choose(key);
        press(Qt::Key_Tab); // on to picture 4, not chosen
        choose(Qt::Key_Space);
        press(Qt::Key_Backtab, Qt::ShiftModifier); // back to picture 2, not chosen
        choose(Qt::Key_Up);
        QCOMPARE(chosen, (QList<int>{IDC_PIC3, IDC_PIC4, IDC_PIC2, IDC_PIC4, IDC_PIC1}));
        QCOMPARE(std::pair(focused(), SoundLog::Paths()), std::pair(IDC_PIC1, Paths(5, "sounds\\blip.wav")));
    }
};

QTEST_MAIN(SetupDlgTest)
#include "SetupDlgTest.moc"

// "Player Setup" driven as a player drives it: clicks, typing, Enter and
// Escape, the file dialog answered through its hook, message boxes through
// theirs, sounds recorded at the board's sound sink.

#include "shell/SetupDlg.h"
#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "engine/PuzzleBoard.h"
#include "platform/BitmapButton.h"
#include "platform/MessageBox.h"
#include "platform/SpinButtonCtrl.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "tools/media/WavWriter.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <SDL_mixer.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_sounds;

const QRgb kPicColour[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(200, 200, 30)};

bool WriteBmp(const QString& path, QRgb colour, int w = 64, int h = 48)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "BMP");
}

// The colour in the middle of a picture button's image; 0 without an image.
QRgb ButtonImageColour(const QAbstractButton* button)
{
    if (button->icon().isNull()) {
        return 0;
    }
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

// What Start saves into a fresh profile.
QString StartProfile(int bild, int sound, int midi, int speed, int difficult, int x, int y)
{
    return QString::asprintf(
        "[Tessra]\nBild=%d\nSound=%d\nMidi=%d\nSpeed=%d\nDifficult=%d\nFieldX=%d\nFieldY=%d\n"
        "strBild=bitmaps\\pic%d.bmp\nPic1=bitmaps\\pic1.bmp\nPic2=bitmaps\\pic2.bmp\n"
        "Pic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n",
        bild, sound, midi, speed, difficult, x, y, bild);
}

} // namespace

class SetupDlgTest : public QObject {
    Q_OBJECT

    QString ProfilePath() const { return m_dir.filePath(QStringLiteral("config/zandor-puzzle.INI")); }
    QString ReadProfile() const
    {
        QFile f(ProfilePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir m_dir;
    QString m_oldCwd;
    QStringList m_messages; // "type: text"

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("run/bitmaps"))));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.filePath(QStringLiteral("run"))));
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        for (int i = 0; i < 4; ++i) {
            QVERIFY(WriteBmp(QStringLiteral("bitmaps/pic%1.bmp").arg(i + 1), kPicColour[i]));
        }
        g_sounds.clear();
        CPuzzleBoard::s_pfnSoundSink = [](const std::string& path) {
            g_sounds.push_back(path);
            return true;
        };
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
        QDir::setCurrent(m_oldCwd);
        QDir(m_dir.path()).removeRecursively();
    }

    void startSavesTheProfileAndEnds()
    {
        CSetupDlg dlg;
        QTimer::singleShot(0, &dlg, [&] {
            Click(Button(dlg, IDC_PIC3));
            QCOMPARE(g_nPicture, 1); // taken only at Start
            Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("500"));
            Type(Edit(dlg, IDC_SPEED), QStringLiteral("40"));
            Type(Edit(dlg, IDC_FIELDX), QStringLiteral("10"));
            Type(Edit(dlg, IDC_FIELDY), QStringLiteral("2"));
            Click(dlg.m_btnStart);
        });
        QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); }); // safety net
        QCOMPARE(dlg.DoModal(), IDOK);
        QVERIFY(m_messages.empty());
        // A first run without a profile reads music on; Start stores what is shown.
        QCOMPARE(ReadProfile(), StartProfile(3, 1, 1, 40, 500, 10, 2));
        QCOMPARE(g_nPicture, 3);
        // The blip of the picture click, then the ok sound of Start.
        QCOMPARE(g_sounds, (std::vector<std::string>{"sounds\\blip.wav", "sounds\\ok.wav"}));

        // The next opening of the same object shows the values of that Start;
        // Enter starts at once.
        g_sounds.clear();
        QTimer::singleShot(0, &dlg, [&] {
            QCOMPARE(Shown(dlg), QStringLiteral("pic 3, sound 1, midi 1, 500, 40, 10, 2"));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dlg, Qt::Key_Return);
        });
        QCOMPARE(dlg.DoModal(), IDOK);
        QCOMPARE(g_sounds, std::vector<std::string>{"sounds\\ok.wav"});
    }

    void startSoundIsHeardOnlyWithSoundOn_data()
    {
        QTest::addColumn<bool>("soundOn");
        QTest::newRow("sound on") << true;
        QTest::newRow("sound switched off") << false;
    }

    void startSoundIsHeardOnlyWithSoundOn()
    {
        QFETCH(bool, soundOn);
        // A loud tone as the ok sound, played through the real mixer into SDL's disk driver.
        QVERIFY(QDir().mkpath(QStringLiteral("sounds")));
        std::vector<std::int16_t> tone(44100 * 3 / 10);
        for (std::size_t i = 0; i < tone.size(); ++i) {
            tone[i] = static_cast<std::int16_t>(16000 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
        }
        QVERIFY(CWavWriter::Write("sounds/ok.wav", tone));
        const QString capture = m_dir.filePath(QStringLiteral("capture.raw"));
        CAudioDevice::Shutdown();
        CSoundEffects::ClearCache();
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", capture.toUtf8());
        CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;
        QVERIFY(CAudioDevice::Acquire());
        int rate = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        QCOMPARE(format, Uint16(AUDIO_S16SYS)); // the mixer is opened for 16-bit samples
        {
            CSetupDlg dlg;
            dlg.show();
            // The sound box changes the flag at once: off, on, off.
            for (int flag = 0; !soundOn && flag < 3; ++flag) {
                Click(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND));
                QCOMPARE(g_bSound, flag % 2);
            }
            Click(dlg.m_btnStart);
            QVERIFY(!dlg.isVisible());
        }
        QCOMPARE(ReadProfile(), StartProfile(1, soundOn, 1, 150, 20, 3, 3));
        QTest::qWait(600);
        CAudioDevice::Shutdown();
        qputenv("SDL_AUDIODRIVER", "dummy");

        QFile f(capture);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.size() > 1000);
        const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData());
        double peak = 0.0;
        for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
            peak = std::max(peak, std::abs(samples[i] / 32768.0));
        }
        QVERIFY2(soundOn ? peak > 0.3 : peak == 0.0, qPrintable(QString::number(peak)));
    }

    // A hand-edited profile may hold any number for the two flags: the boxes
    // show what the flags do (sound only at exactly 1, music when not 0), never
    // half checked, and Start stores what they show.
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
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("config"))));
        QFile f(ProfilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Tessra]\n" + stored);
        f.close();
        const auto box = [](CSetupDlg& dlg, int id) {
            auto* check = dlg.GetDlgItemAs<QCheckBox>(id);
            return check->isTristate() ? 2 : check->checkState() == Qt::Checked ? 1 : 0;
        };
        CSetupDlg dlg;
        dlg.show();
        const QString shown = QStringLiteral("%1/%2 %3/%4")
                                  .arg(g_bSound)
                                  .arg(box(dlg, IDC_SOUND))
                                  .arg(g_bMidi)
                                  .arg(box(dlg, IDC_MIDI));
        QCOMPARE(shown, boxes);
        Click(dlg.m_btnStart);
        QVERIFY(!dlg.isVisible());
        // The flags take the states of the boxes; the profile holds 0 or 1.
        const int sound = box(dlg, IDC_SOUND), midi = box(dlg, IDC_MIDI);
        QCOMPARE(g_bSound, sound);
        QCOMPARE(g_bMidi, midi);
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
        g_sounds.clear();
        Type(Edit(dlg, id), typed);
        Click(dlg.m_btnStart);

        const QStringList shown{message};
        QCOMPARE(m_messages, shown);
        QVERIFY(dlg.isVisible());
        QVERIFY(!QFile::exists(ProfilePath()));
        QVERIFY(g_sounds.empty());
        QCOMPARE(g_nPicture, 1); // the checked picture is not taken either
        // The offending box has the focus and its text selected.
        QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(Edit(dlg, id)));
        QCOMPARE(Edit(dlg, id)->selectedText(), typed);

        // Corrected, Start goes through.
        Type(Edit(dlg, id), QStringLiteral("10"));
        Click(dlg.m_btnStart);
        QCOMPARE(m_messages, shown);
        QVERIFY(!dlg.isVisible());
        QVERIFY(ReadProfile().contains(QStringLiteral("Bild=2\n")));
    }

    void difficultyArrowsStopAtHundredWhileTypedValuesGoHigher()
    {
        CSetupDlg dlg;
        dlg.show();
        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("99"));
        dlg.m_spinDifficult->Step(+1);
        dlg.m_spinDifficult->Step(+1);
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));
        QTest::keyClick(Edit(dlg, IDC_DIFFICULT), Qt::Key_Up);
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));

        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("1000"));
        Click(dlg.m_btnStart);
        QVERIFY(m_messages.empty());
        QVERIFY(ReadProfile().contains(QStringLiteral("Difficult=1000\n")));
    }

    void escapeAndCloseRestoreTheStandardSettings()
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("config")));
        QFile f(ProfilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray stored =
            "[Tessra]\nBild=3\nSound=1\nMidi=1\nSpeed=999\nDifficult=77\nFieldX=6\nFieldY=7\n"
            "Pic2=/somewhere/else.bmp\n";
        f.write(stored);
        f.close();

        CSetupDlg dlg;
        dlg.show();
        // It opens with the stored settings.
        QCOMPARE(Shown(dlg), QStringLiteral("pic 3, sound 1, midi 1, 77, 999, 6, 7"));
        QVERIFY(Button(dlg, IDC_PIC2)->icon().isNull());
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("8"));

        for (int round = 0; round < 3; ++round) {
            g_sounds.clear();
            if (round == 0) {
                QTest::keyClick(&dlg, Qt::Key_Escape);
            } else if (round == 1) {
                QVERIFY(!dlg.close()); // the close request is refused
            } else {
                Click(dlg.m_btnStandard);
            }
            QVERIFY(dlg.isVisible());
            QCOMPARE(g_sounds, std::vector<std::string>{"sounds\\blip.wav"});
            QCOMPARE(g_nPicture, 1);
            QCOMPARE(g_bSound, 1);
            QCOMPARE(g_bMidi, 0);
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

    void customizeReplacesThePictureSelectedAtOpening()
    {
        const QString chosen = m_dir.filePath(QStringLiteral("mine.bmp"));
        QVERIFY(WriteBmp(chosen, qRgb(250, 120, 0), 640, 100));
        CSetupDlg dlg;
        dlg.show();
        Click(Button(dlg, IDC_PIC3));
        Click(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND));
        Click(dlg.GetDlgItemAs<QCheckBox>(IDC_MIDI));
        QCOMPARE(g_bMidi, 0); // the music box changes its flag at once
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
        QCOMPARE(asked, 1);
        QVERIFY(bitmapOpenDialog);
        QVERIFY(m_messages.empty());
        // Picture 1, selected at opening, gets the file and is checked again.
        QCOMPARE(QString::fromStdString(g_strPicPath[0]), chosen);
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(g_strPicPath[i], std::string(CSetupSettings::kDefPicPath[i]));
        }
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), qRgb(250, 120, 0));
        // Typed numbers are back to the values the dialog opened with; the check
        // boxes keep what the player set.
        QCOMPARE(Shown(dlg), QStringLiteral("pic 1, sound 0, midi 0, 20, 150, 3, 3"));
        QVERIFY(!QFile::exists(ProfilePath())); // saved only at Start
        Click(dlg.m_btnStart);
        QVERIFY(ReadProfile().contains(QStringLiteral("\nPic1=%1\n").arg(chosen)));
        QVERIFY(ReadProfile().contains(QStringLiteral("\nstrBild=%1\n").arg(chosen)));
    }

    void customizeRefusesOtherFilesAndCancel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        const QStringList refused{QStringLiteral("%1: Please choose a bitmap").arg(MB_OK)};
        QTest::newRow("capitals") << "SHOUT.BMP" << refused;
        QTest::newRow("mixed") << "photo.Bmp" << refused;
        QTest::newRow("png") << "photo.png" << refused;
        QTest::newRow("no extension") << "bmp" << refused;
        QTest::newRow("dot in folder only") << "dir.bmp/picture" << refused;
        QTest::newRow("cancelled") << QString() << QStringList();
    }

    void customizeRefusesOtherFilesAndCancel()
    {
        QFETCH(QString, name);
        CSetupDlg dlg;
        dlg.show();
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("7"));
        CSetupDlg::SetFileDialogHook(
            [&](QFileDialog&) { return name.isEmpty() ? name : m_dir.filePath(name); });
        QVERIFY(!dlg.CustomizePicture());
        QTEST(m_messages, "messages");
        QCOMPARE(g_strPicPath[0], std::string("bitmaps\\pic1.bmp"));
        QCOMPARE(Edit(dlg, IDC_FIELDX)->text(), QStringLiteral("7"));
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), kPicColour[0]);
    }

    void pictureButtonsShowScaledFilesOrNothing()
    {
        QVERIFY(WriteBmp(QStringLiteral("bitmaps/pic2.bmp"), kPicColour[1], 1000, 7));
        QFile::remove(QStringLiteral("bitmaps/pic3.bmp"));
        QFile broken(QStringLiteral("bitmaps/pic4.bmp"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("BM not really a bitmap");
        broken.close();

        CSetupDlg dlg;
        dlg.show();
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC2)), kPicColour[1]);
        QCOMPARE(Button(dlg, IDC_PIC2)->icon().availableSizes().value(0), QSize(100, 100));
        QVERIFY(Button(dlg, IDC_PIC3)->icon().isNull());
        QVERIFY(Button(dlg, IDC_PIC4)->icon().isNull());
        // Without a picture the button still says which picture it is, and can be chosen.
        QCOMPARE(Button(dlg, IDC_PIC3)->text(), QStringLiteral("pic 3"));
        Click(Button(dlg, IDC_PIC3));
        QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
    }
};

QTEST_MAIN(SetupDlgTest)
#include "SetupDlgTest.moc"

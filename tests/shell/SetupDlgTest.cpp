// "Player Setup" driven as a player drives it: clicks, typing, Enter and
// Escape, the file dialog answered through its hook, message boxes through
// theirs, sounds recorded at the board's sound sink.

#include "shell/SetupDlg.h"
#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "engine/PuzzleBoard.h"
#include "imaging/BitmapButton.h"
#include "imaging/DataExchange.h"
#include "imaging/MessageBox.h"
#include "imaging/SpinButtonCtrl.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "tools/media/WavWriter.h"

#include <SDL_mixer.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_sounds;

bool RecordSound(const std::string& path)
{
    g_sounds.push_back(path);
    return true;
}

struct Message {
    QString text;
    unsigned type;
};

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

} // namespace

class SetupDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startSavesTheProfileAndEnds();
    void enterStartsAtOnce();
    void startSoundIsHeardOnlyWithSoundOn_data();
    void startSoundIsHeardOnlyWithSoundOn();
    void invalidFieldsKeepTheDialogOpen_data();
    void invalidFieldsKeepTheDialogOpen();
    void difficultyArrowsStopAtHundredWhileTypedValuesGoHigher();
    void escapeAndCloseRestoreTheStandardSettings();
    void restoreIsSilentWithSoundOff();
    void soundBoxChangesTheFlagAtOnce();
    void customizeReplacesThePictureSelectedAtOpening();
    void customizeRefusesOtherExtensions_data();
    void customizeRefusesOtherExtensions();
    void customizeCancelledChangesNothing();
    void pictureButtonsShowScaledFilesOrNothing();
    void looksAsDesigned();

private:
    QString ProfilePath() const { return m_dir.filePath(QStringLiteral("config/zandor-puzzle.INI")); }
    QString ReadProfile() const
    {
        QFile f(ProfilePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static QLineEdit* Edit(CSetupDlg& dlg, int id) { return dlg.GetDlgItemAs<QLineEdit>(id); }
    static QAbstractButton* Button(CSetupDlg& dlg, int id) { return dlg.GetDlgItemAs<QAbstractButton>(id); }
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    QString StandardProfile(int bild, int sound, int midi, int speed, int difficult, int x, int y,
                            const QString& strBild) const;

    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::vector<Message> m_messages;
    CSetupDlg::FileDialogHook m_noDialog;
};

void SetupDlgTest::init()
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
    CPuzzleBoard::s_pfnSoundSink = &RecordSound;
    m_messages.clear();
    CMessageBox::SetTestHook([this](const QString& text, unsigned type) {
        m_messages.push_back({text, type});
        return IDOK;
    });
    // A file dialog nobody expects fails the test instead of blocking it.
    CSetupDlg::SetFileDialogHook([](QFileDialog&) {
        qWarning("unexpected file dialog");
        return QString();
    });
}

void SetupDlgTest::cleanup()
{
    CSetupDlg::SetFileDialogHook({});
    CMessageBox::SetTestHook({});
    QDir::setCurrent(m_oldCwd);
    QDir(m_dir.path()).removeRecursively();
}

QString SetupDlgTest::StandardProfile(int bild, int sound, int midi, int speed, int difficult, int x, int y,
                                      const QString& strBild) const
{
    return QStringLiteral("[Tessra]\nBild=%1\nSound=%2\nMidi=%3\nSpeed=%4\nDifficult=%5\nFieldX=%6\n"
                          "FieldY=%7\nstrBild=%8\nPic1=bitmaps\\pic1.bmp\nPic2=bitmaps\\pic2.bmp\n"
                          "Pic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n")
        .arg(bild)
        .arg(sound)
        .arg(midi)
        .arg(speed)
        .arg(difficult)
        .arg(x)
        .arg(y)
        .arg(strBild);
}

void SetupDlgTest::startSavesTheProfileAndEnds()
{
    CSetupDlg dlg;
    int result = -1;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::mouseClick(Button(dlg, IDC_PIC3), Qt::LeftButton);
        QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
        QCOMPARE(g_nPicture, 1); // taken only at Start
        Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("500"));
        Type(Edit(dlg, IDC_SPEED), QStringLiteral("40"));
        Type(Edit(dlg, IDC_FIELDX), QStringLiteral("10"));
        Type(Edit(dlg, IDC_FIELDY), QStringLiteral("2"));
        QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    });
    QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); }); // safety net
    result = dlg.DoModal();

    QCOMPARE(result, IDOK);
    QVERIFY(m_messages.empty());
    // A first run without a profile reads music on; Start stores what is shown.
    QCOMPARE(ReadProfile(), StandardProfile(3, 1, 1, 40, 500, 10, 2, QStringLiteral("bitmaps\\pic3.bmp")));
    QCOMPARE(g_nPicture, 3);
    QCOMPARE(dlg.m_strBild, std::string("bitmaps\\pic3.bmp"));
    QCOMPARE(dlg.m_nDifficult, 500);
    QCOMPARE(dlg.m_nSpeed, 40);
    QCOMPARE(dlg.m_nFieldX, 10);
    QCOMPARE(dlg.m_nFieldY, 2);
    // The blip of the picture click, then the ok sound of Start.
    QCOMPARE(g_sounds, (std::vector<std::string>{"sounds\\blip.wav", "sounds\\ok.wav"}));

    // The next opening of the same object shows the values of that Start.
    QTimer::singleShot(0, &dlg, [&] {
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("500"));
        QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
        QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    });
    QCOMPARE(dlg.DoModal(), IDOK);
}

void SetupDlgTest::enterStartsAtOnce()
{
    CSetupDlg dlg;
    QTimer::singleShot(0, &dlg, [&] {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &dlg;
        QTest::keyClick(target, Qt::Key_Return);
    });
    QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); });
    QCOMPARE(dlg.DoModal(), IDOK);
    QCOMPARE(ReadProfile(), StandardProfile(1, 1, 1, 150, 20, 3, 3, QStringLiteral("bitmaps\\pic1.bmp")));
    QCOMPARE(g_sounds, std::vector<std::string>{"sounds\\ok.wav"});
}

void SetupDlgTest::startSoundIsHeardOnlyWithSoundOn_data()
{
    QTest::addColumn<bool>("soundOn");
    QTest::newRow("sound on") << true;
    QTest::newRow("sound switched off") << false;
}

void SetupDlgTest::startSoundIsHeardOnlyWithSoundOn()
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

    {
        CSetupDlg dlg;
        dlg.show();
        if (!soundOn) {
            QTest::mouseClick(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND), Qt::LeftButton);
        }
        QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
    }
    QTest::qWait(600);
    CAudioDevice::Shutdown();
    qputenv("SDL_AUDIODRIVER", "dummy");

    QFile f(capture);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.size() > 1000);
    double peak = 0.0;
    if (format == AUDIO_S16SYS) {
        const auto* s = reinterpret_cast<const std::int16_t*>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
            peak = std::max(peak, std::abs(s[i] / 32768.0));
        }
    } else {
        QCOMPARE(format, Uint16(AUDIO_F32SYS));
        const auto* s = reinterpret_cast<const float*>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 4; ++i) {
            peak = std::max(peak, std::abs(static_cast<double>(s[i])));
        }
    }
    if (soundOn) {
        QVERIFY2(peak > 0.3, qPrintable(QString::number(peak)));
    } else {
        QCOMPARE(peak, 0.0);
    }
}

void SetupDlgTest::invalidFieldsKeepTheDialogOpen_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<unsigned>("type");
    const QString notInt = QStringLiteral("Geben Sie bitte eine ganze Zahl ein.");
    QTest::newRow("x size 1") << IDC_FIELDX << "1" << CDataExchange::RangeMessage(2, 10)
                              << unsigned(MB_ICONEXCLAMATION);
    QTest::newRow("y size 11") << IDC_FIELDY << "11" << CDataExchange::RangeMessage(2, 10)
                               << unsigned(MB_ICONEXCLAMATION);
    QTest::newRow("difficulty 1001") << IDC_DIFFICULT << "1001" << CDataExchange::RangeMessage(1, 1000)
                                     << unsigned(MB_ICONEXCLAMATION);
    QTest::newRow("difficulty 0") << IDC_DIFFICULT << "0" << CDataExchange::RangeMessage(1, 1000)
                                  << unsigned(MB_ICONEXCLAMATION);
    QTest::newRow("speed 9") << IDC_SPEED << "9" << CDataExchange::RangeMessage(10, 10000)
                             << unsigned(MB_ICONEXCLAMATION);
    QTest::newRow("speed empty") << IDC_SPEED << "" << notInt << unsigned(MB_OK);
    QTest::newRow("x size empty") << IDC_FIELDX << "" << notInt << unsigned(MB_OK);
}

void SetupDlgTest::invalidFieldsKeepTheDialogOpen()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(unsigned, type);
    QVERIFY(message.contains(QLatin1String("Geben Sie bitte eine ganze Zahl")));

    CSetupDlg dlg;
    dlg.show();
    QTest::mouseClick(Button(dlg, IDC_PIC2), Qt::LeftButton);
    g_sounds.clear();
    Type(Edit(dlg, id), typed);
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);

    QCOMPARE(m_messages.size(), size_t(1));
    QCOMPARE(m_messages[0].text, message);
    QCOMPARE(m_messages[0].type, type);
    QVERIFY(dlg.isVisible());
    QVERIFY(!QFile::exists(ProfilePath()));
    QVERIFY(g_sounds.empty());
    QCOMPARE(g_nPicture, 1); // the checked picture is not taken either
    // The offending box has the focus and its text selected.
    QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(Edit(dlg, id)));
    QCOMPARE(Edit(dlg, id)->selectedText(), typed);

    // Corrected, Start goes through.
    Type(Edit(dlg, id), QStringLiteral("10"));
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    QCOMPARE(m_messages.size(), size_t(1));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), IDOK);
    QVERIFY(ReadProfile().contains(QStringLiteral("Bild=2\n")));
}

void SetupDlgTest::difficultyArrowsStopAtHundredWhileTypedValuesGoHigher()
{
    CSetupDlg dlg;
    dlg.show();
    auto* spin = dlg.m_spinDifficult;
    QVERIFY(spin);
    QCOMPARE(spin, dlg.GetDlgItemAs<CSpinButtonCtrl>(IDC_SPIN_DIFFICULT));
    int lower = 0, upper = 0;
    spin->GetRange(lower, upper);
    QCOMPARE(lower, 1);
    QCOMPARE(upper, 100);
    for (const auto& [id, lo, hi] :
         {std::tuple{IDC_SPIN_SPEED, 10, 10000}, std::tuple{IDC_SPIN_FIELDX, 2, 10},
          std::tuple{IDC_SPIN_FIELDY, 2, 10}}) {
        dlg.GetDlgItemAs<CSpinButtonCtrl>(id)->GetRange(lower, upper);
        QCOMPARE(lower, lo);
        QCOMPARE(upper, hi);
    }

    Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("99"));
    spin->Step(+1);
    spin->Step(+1);
    QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));
    // The arrow key in the box does the same.
    QTest::keyClick(Edit(dlg, IDC_DIFFICULT), Qt::Key_Up);
    QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("100"));

    Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("1000"));
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    QVERIFY(m_messages.empty());
    QVERIFY(ReadProfile().contains(QStringLiteral("Difficult=1000\n")));
}

void SetupDlgTest::escapeAndCloseRestoreTheStandardSettings()
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
    QCOMPARE(dlg.IsDlgButtonChecked(IDC_MIDI), 1);
    QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
    QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("77"));
    QCOMPARE(Edit(dlg, IDC_SPEED)->text(), QStringLiteral("999"));
    QCOMPARE(Edit(dlg, IDC_FIELDY)->text(), QStringLiteral("7"));
    QVERIFY(Button(dlg, IDC_PIC2)->icon().isNull());
    Type(Edit(dlg, IDC_FIELDX), QStringLiteral("8"));

    for (int round = 0; round < 3; ++round) {
        g_sounds.clear();
        if (round == 0) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
        } else if (round == 1) {
            QVERIFY(!dlg.close()); // the close request is refused
        } else {
            QTest::mouseClick(dlg.m_btnStandard, Qt::LeftButton);
        }
        QVERIFY(dlg.isVisible());
        QCOMPARE(g_sounds, std::vector<std::string>{"sounds\\blip.wav"});
        QCOMPARE(g_nPicture, 1);
        QCOMPARE(g_bSound, 1);
        QCOMPARE(g_bMidi, 0);
        QCOMPARE(g_strPicPath[1], std::string("bitmaps\\pic2.bmp"));
        QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC1);
        QCOMPARE(dlg.IsDlgButtonChecked(IDC_MIDI), 0);
        QCOMPARE(dlg.IsDlgButtonChecked(IDC_SOUND), 1);
        QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("20"));
        QCOMPARE(Edit(dlg, IDC_SPEED)->text(), QStringLiteral("150"));
        QCOMPARE(Edit(dlg, IDC_FIELDX)->text(), QStringLiteral("3"));
        QCOMPARE(Edit(dlg, IDC_FIELDY)->text(), QStringLiteral("3"));
        // Picture 2 has its standard file, and its image, again.
        QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC2)), kPicColour[1]);
        // Nothing is saved before Start.
        QCOMPARE(ReadProfile().toUtf8(), stored);
        // Change things again for the next round.
        QTest::mouseClick(Button(dlg, IDC_PIC4), Qt::LeftButton);
        QTest::mouseClick(dlg.GetDlgItemAs<QCheckBox>(IDC_MIDI), Qt::LeftButton);
        Type(Edit(dlg, IDC_SPEED), QStringLiteral("12"));
    }

    QTest::mouseClick(dlg.m_btnStandard, Qt::LeftButton);
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    // After the standard settings Start stores music off, although a missing
    // key would read as on. Keys already in the file keep their places.
    QCOMPARE(ReadProfile(),
             QStringLiteral("[Tessra]\nBild=1\nSound=1\nMidi=0\nSpeed=150\nDifficult=20\nFieldX=3\n"
                            "FieldY=3\nPic2=bitmaps\\pic2.bmp\nstrBild=bitmaps\\pic1.bmp\n"
                            "Pic1=bitmaps\\pic1.bmp\nPic3=bitmaps\\pic3.bmp\nPic4=bitmaps\\pic4.bmp\n"));
}

void SetupDlgTest::restoreIsSilentWithSoundOff()
{
    CSetupDlg dlg;
    dlg.show();
    QTest::mouseClick(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND), Qt::LeftButton);
    QCOMPARE(g_bSound, 0);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(g_sounds.empty());
    // The standard settings switch sound on again.
    QCOMPARE(g_bSound, 1);
    QCOMPARE(dlg.IsDlgButtonChecked(IDC_SOUND), 1);
}

void SetupDlgTest::soundBoxChangesTheFlagAtOnce()
{
    CSetupDlg dlg;
    dlg.show();
    auto* box = dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(g_bSound, 0);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(g_bSound, 1);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(g_bSound, 0);
    // A picture click is silent now, and so is Start.
    QTest::mouseClick(Button(dlg, IDC_PIC2), Qt::LeftButton);
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QVERIFY(g_sounds.empty());
    QCOMPARE(ReadProfile(), StandardProfile(2, 0, 1, 150, 20, 3, 3, QStringLiteral("bitmaps\\pic2.bmp")));
}

void SetupDlgTest::customizeReplacesThePictureSelectedAtOpening()
{
    const QString chosen = m_dir.filePath(QStringLiteral("mine.bmp"));
    QVERIFY(WriteBmp(chosen, qRgb(250, 120, 0), 640, 100));

    CSetupDlg dlg;
    dlg.show();
    QCOMPARE(g_nPicture, 1);
    QTest::mouseClick(Button(dlg, IDC_PIC3), Qt::LeftButton);
    QTest::mouseClick(dlg.GetDlgItemAs<QCheckBox>(IDC_SOUND), Qt::LeftButton);
    QTest::mouseClick(dlg.GetDlgItemAs<QCheckBox>(IDC_MIDI), Qt::LeftButton);
    QCOMPARE(g_bMidi, 0); // the music box changes its flag at once
    Type(Edit(dlg, IDC_FIELDX), QStringLiteral("7"));
    Type(Edit(dlg, IDC_DIFFICULT), QStringLiteral("456"));

    int asked = 0;
    QStringList filters;
    bool nonNative = false, opening = false;
    CSetupDlg::SetFileDialogHook([&](QFileDialog& fd) {
        ++asked;
        filters = fd.nameFilters();
        nonNative = fd.testOption(QFileDialog::DontUseNativeDialog);
        opening = fd.acceptMode() == QFileDialog::AcceptOpen && fd.fileMode() == QFileDialog::ExistingFile;
        return chosen;
    });
    QTest::mouseClick(Button(dlg, IDC_CUSTOMIZE), Qt::LeftButton);

    QCOMPARE(asked, 1);
    // The player sees an open dialog for bitmaps, ours rather than the desktop's.
    QCOMPARE(filters, QStringList{QStringLiteral("Bitmaps (*.bmp)")});
    QVERIFY(nonNative);
    QVERIFY(opening);
    QVERIFY(m_messages.empty());
    QCOMPARE(QString::fromStdString(g_strPicPath[0]), chosen);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(g_strPicPath[i], std::string(CSetupSettings::kDefPicPath[i]));
    }
    // Picture 1 shows the new file and is checked again.
    QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), qRgb(250, 120, 0));
    QCOMPARE(Button(dlg, IDC_PIC1)->iconSize(), QSize(100, 100));
    QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC1);
    // Typed numbers are back to the values the dialog opened with; the check
    // boxes keep what the player set.
    QCOMPARE(Edit(dlg, IDC_FIELDX)->text(), QStringLiteral("3"));
    QCOMPARE(Edit(dlg, IDC_DIFFICULT)->text(), QStringLiteral("20"));
    QCOMPARE(dlg.IsDlgButtonChecked(IDC_SOUND), 0);
    QCOMPARE(dlg.IsDlgButtonChecked(IDC_MIDI), 0);
    QVERIFY(dlg.isVisible());
    // Saved only at Start.
    QVERIFY(!QFile::exists(ProfilePath()));
    QTest::mouseClick(dlg.m_btnStart, Qt::LeftButton);
    QVERIFY(ReadProfile().contains(QStringLiteral("\nPic1=%1\n").arg(chosen)));
    QVERIFY(ReadProfile().contains(QStringLiteral("\nstrBild=%1\n").arg(chosen)));
}

void SetupDlgTest::customizeRefusesOtherExtensions_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("capitals") << "SHOUT.BMP";
    QTest::newRow("mixed") << "photo.Bmp";
    QTest::newRow("png") << "photo.png";
    QTest::newRow("no extension") << "bmp";
    QTest::newRow("dot in folder only") << "dir.bmp/picture";
}

void SetupDlgTest::customizeRefusesOtherExtensions()
{
    QFETCH(QString, name);
    CSetupDlg dlg;
    dlg.show();
    Type(Edit(dlg, IDC_FIELDX), QStringLiteral("7"));
    CSetupDlg::SetFileDialogHook([&](QFileDialog&) { return m_dir.filePath(name); });
    QVERIFY(!dlg.CustomizePicture());
    QCOMPARE(m_messages.size(), size_t(1));
    QCOMPARE(m_messages[0].text, QStringLiteral("Please choose a bitmap"));
    QCOMPARE(m_messages[0].type, unsigned(MB_OK));
    QCOMPARE(g_strPicPath[0], std::string("bitmaps\\pic1.bmp"));
    QCOMPARE(Edit(dlg, IDC_FIELDX)->text(), QStringLiteral("7"));
    QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), kPicColour[0]);
}

void SetupDlgTest::customizeCancelledChangesNothing()
{
    CSetupDlg dlg;
    dlg.show();
    Type(Edit(dlg, IDC_SPEED), QStringLiteral("77"));
    int asked = 0;
    CSetupDlg::SetFileDialogHook([&](QFileDialog&) {
        ++asked;
        return QString();
    });
    QVERIFY(!dlg.CustomizePicture());
    QCOMPARE(asked, 1);
    QVERIFY(m_messages.empty());
    QCOMPARE(g_strPicPath[0], std::string("bitmaps\\pic1.bmp"));
    QCOMPARE(Edit(dlg, IDC_SPEED)->text(), QStringLiteral("77"));
}

void SetupDlgTest::pictureButtonsShowScaledFilesOrNothing()
{
    QVERIFY(WriteBmp(QStringLiteral("bitmaps/pic2.bmp"), kPicColour[1], 1000, 7));
    QFile::remove(QStringLiteral("bitmaps/pic3.bmp"));
    QFile broken(QStringLiteral("bitmaps/pic4.bmp"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM not really a bitmap");
    broken.close();

    CSetupDlg dlg;
    dlg.show();
    QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC1)), kPicColour[0]);
    QCOMPARE(ButtonImageColour(Button(dlg, IDC_PIC2)), kPicColour[1]);
    QCOMPARE(Button(dlg, IDC_PIC2)->icon().availableSizes().value(0), QSize(100, 100));
    QVERIFY(Button(dlg, IDC_PIC3)->icon().isNull());
    QVERIFY(Button(dlg, IDC_PIC4)->icon().isNull());
    // Without a picture the button still says which picture it is, and can be chosen.
    QCOMPARE(Button(dlg, IDC_PIC3)->text(), QStringLiteral("pic 3"));
    QTest::mouseClick(Button(dlg, IDC_PIC3), Qt::LeftButton);
    QCOMPARE(dlg.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
}

void SetupDlgTest::looksAsDesigned()
{
    CSetupDlg dlg;
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Player Setup"));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(dlg.m_btnDefault && dlg.m_btnDefault->isHidden());

    // The bitmap buttons take the size of their pictures and show them.
    QCOMPARE(dlg.m_btnStart->size(), QSize(130, 44));
    QCOMPARE(dlg.m_btnStandard->size(), QSize(130, 44));
    QVERIFY(!dlg.m_btnStart->CurrentBitmap().isNull());
    QVERIFY(dlg.m_btnStart->CurrentBitmap() != dlg.m_btnStandard->CurrentBitmap());
    dlg.m_btnStart->setDown(true);
    const QImage pressed = dlg.m_btnStart->CurrentBitmap();
    dlg.m_btnStart->setDown(false);
    QVERIFY(pressed != dlg.m_btnStart->CurrentBitmap());

    // Only the checked picture wears the selection frame, and it moves with the check.
    auto frameShown = [&](int id) {
        auto* frame = Button(dlg, id)->findChild<QWidget*>(QStringLiteral("checkedFrame"));
        return frame && frame->isVisible();
    };
    QVERIFY(frameShown(IDC_PIC1) && !frameShown(IDC_PIC2) && !frameShown(IDC_PIC3) && !frameShown(IDC_PIC4));
    QTest::mouseClick(Button(dlg, IDC_PIC4), Qt::LeftButton);
    QVERIFY(!frameShown(IDC_PIC1) && frameShown(IDC_PIC4));
    QTest::mouseClick(Button(dlg, IDC_PIC1), Qt::LeftButton);

    const QFontInfo caption(dlg.GetDlgItem(IDC_CHOOSE_CAPTION)->font());
    QCOMPARE(caption.pixelSize(), 19);
    QCOMPARE(caption.family(), QStringLiteral("Liberation Sans"));

    const struct {
        int id;
        const char* tip;
    } tips[] = {
        {IDC_SOUND, "Turn on/off the sound"},
        {IDC_MIDI, "Turn on/off the midi music"},
        {IDC_DIFFICULT, "Set the number, how often the puzzle will be mixed"},
        {IDC_SPIN_SPEED, "Set the speed of the scrambling process (smaller is fater!)"},
        {IDC_FIELDX, "Here you can set the puzzle pices in the x-axis"},
        {IDC_SPIN_FIELDY, "Here you can set the puzzle pices in the y-axis"},
        {IDC_PIC3, "Click here to choose picture three"},
        {IDC_CUSTOMIZE, "... change the standard bitmaps.  (the size of the bitmap doesn't matter)"},
        {IDC_STANDARD, "This will restore the standart settings"},
        {IDOK, "Start the game"},
    };
    for (const auto& t : tips) {
        QCOMPARE(dlg.GetDlgItem(t.id)->toolTip(), QString::fromUtf8(t.tip));
    }

    // The group-box captions stand on gold; the rest of the dialog is tiled.
    const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("ZANDOR_SHOT_DIR")) {
        shot.save(qEnvironmentVariable("ZANDOR_SHOT_DIR") + QStringLiteral("/setup.png"));
    }
    for (int id : {IDC_GROUP_SCRAMBLING, IDC_GROUP_FIELD}) {
        const QRect box = dlg.GetDlgItem(id)->geometry();
        int gold = 0;
        for (int y = box.top(); y < box.top() + 12; ++y) {
            for (int x = box.left(); x < box.left() + 60; ++x) {
                gold += shot.pixel(x, y) == CSetupDlg::kCaptionGold;
            }
        }
        QVERIFY2(gold > 60, qPrintable(QStringLiteral("group %1: %2 gold pixels").arg(id).arg(gold)));
    }
}

QTEST_MAIN(SetupDlgTest)
#include "SetupDlgTest.moc"

// The game over a profile it cannot read whole or cannot write: it comes up at once, the settings chosen in
// Player Setup rule this game and the rest of the run, the player is told once that they could not be saved,
// and the profile stays as it was.
#include "GameTestEnv.h"

#include "audio/AudioDevice.h"
#include "audio/SoundEffects.h"
#include "platform/MessageBox.h"
#include "tests/support/SpecialFiles.h"

#include <QElapsedTimer>

using namespace gametest;
using namespace support;

namespace {

// The kind of the file at `path` and, for a regular file, its size and head.
std::string Snapshot(const std::string& path)
{
    std::string shot = std::to_string(FileKind(path));
    QFile f(QString::fromStdString(path));
    if (FileKind(path) == S_IFREG && f.open(QIODevice::ReadOnly))
        shot += " " + std::to_string(f.size()) + " " + f.read(64).toStdString();
    return shot;
}
} // namespace

class UnsavedSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        CMessageBox::SetTestHook({});
        CAudioDevice::Shutdown();
    }

    void chosenSettingsRuleTheRunAndThePlayerIsToldOnce_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("config folder is a file") << "not a directory";
        QTest::newRow("profile and sounds are fifos") << "not a regular file";
        QTest::newRow("profile links to /dev/zero") << "not a regular file";
        QTest::newRow("profile links to a device node") << "not a regular file";
        QTest::newRow("profile too large") << "could not be read whole";
    }

    void chosenSettingsRuleTheRunAndThePlayerIsToldOnce()
    {
        QFETCH(QString, why);
        const QByteArray row = QTest::currentDataTag();
        Game g({{"FieldX", 5}, {"FieldY", 5}}, false);
        const std::string folder = QDir::currentPath().toStdString() + "/..";
        std::string path = CProfile::DefaultPath();
        std::vector<std::string> fifos;
        QVERIFY(QFile::remove(QString::fromStdString(path)));
        if (row == "config folder is a file") {
            path = folder + "/notafolder/zandor-puzzle.INI";
            QVERIFY(MakeLargeFile(folder + "/notafolder", "x", 1));
            setenv("XDG_CONFIG_HOME", (folder + "/notafolder").c_str(), 1);
        } else if (row == "profile and sounds are fifos") {
            QVERIFY(QDir().mkpath(QStringLiteral("sounds")));
            fifos = {path};
            for (const char* sound : {"start", "win", "click", "miss", "ok", "blip"})
                fifos.push_back("sounds/" + std::string(sound) + ".wav");
            for (const std::string& fifo : fifos)
                QVERIFY(MakeFifo(fifo));
            // Played for real, into the dummy driver.
            CPuzzleBoard::s_pfnSoundSink = &CSoundEffects::Play;
        } else if (row == "profile too large") {
            QVERIFY(MakeLargeFile(path, "[Tessra]\nFieldX=5\nFieldY=5\n", CProfile::kMaxBytes + 1));
        } else {
            const std::string device = row.endsWith("/dev/zero") ? "/dev/zero" : folder + "/null";
            if (device != "/dev/zero" && !MakeNullDevice(device))
                QSKIP("this test may not make device nodes");
            QCOMPARE(symlink(device.c_str(), path.c_str()), 0);
        }
        const std::string before = Snapshot(path);

        QStringList messages;
        CMessageBox::SetTestHook([&](const QString& text, unsigned) {
            messages << text;
            return IDOK;
        });
        g.answerer.onSetup = [](CSetupDlg* setup) {
            QTest::mouseClick(setup->GetDlgItem(IDC_PIC2), Qt::LeftButton);
            for (const auto& [id, text] : {std::pair{IDC_FIELDX, "7"}, {IDC_FIELDY, "4"}})
                setup->GetDlgItemAs<QLineEdit>(id)->setText(QString::fromLatin1(text));
        };
        const auto shown = [&g] {
            const QImage& picture = g.Board().m_hPicture;
            return QString::asprintf("%d x %d, pic %d, %x", g.Board().m_nCols, g.Board().m_nRows, g_nPicture,
                                     picture.isNull() ? 0u : picture.pixel(0, 0));
        };
        // Inverted pattern: picture 2; picture 1 is the pattern itself.
        const QString chosen = QStringLiteral("7 x 4, pic 2, %1").arg(qRgb(255, 215, 165), 0, 16);
        {
            FifoWatchdog watchdog(fifos, std::chrono::milliseconds(5000));
            QElapsedTimer started;
            started.start();
            g.Open();
            QVERIFY2(started.elapsed() < 4000, qPrintable(QString::number(started.elapsed())));
            QCOMPARE(std::pair(shown(), messages.size()), std::pair(chosen, qsizetype(1)));
            QVERIFY2(messages[0].contains(QString::fromStdString(path)) && messages[0].contains(why),
                     qPrintable(messages[0]));

            // Every later board has them too: Unscramble, Scramble, New Game.
            g.dlg->OnUnscramble();
            QCOMPARE(shown(), chosen);
            g.Walk();
            QCOMPARE(std::pair(g.Board().IsSolved(), shown()), std::pair(false, chosen));
            g.dlg->OnNewGame();
            QCOMPARE(std::pair(g.answerer.setupTitles.size(), shown()), std::pair(qsizetype(2), chosen));
            QVERIFY2(started.elapsed() < 4000, qPrintable(QString::number(started.elapsed())));
        }
        QCOMPARE(std::pair(messages.size(), Snapshot(path)), std::pair(qsizetype(1), before));
    }
};

QTEST_MAIN(UnsavedSettingsTest)
#include "UnsavedSettingsTest.moc"

// Takes the screenshot the desktop metainfo shows: the game window with a
// scrambled 4 x 4 board of the first picture, painted offscreen from the run
// folder's own files. The same build gives the same picture every time.
//
// Usage: zandor-screenshot RUN_DIR OUT.png
#include "game/PuzzleDlg.h"
#include "shell/Profile.h"
#include "shell/SetupDlg.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zandor-screenshot RUN_DIR OUT.png\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const QString out = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2]));

    // A profile of its own: the player's settings are never touched.
    QTemporaryDir config;
    if (!config.isValid()) {
        std::fprintf(stderr, "zandor-screenshot: no temporary folder\n");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    {
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        profile.SetInt("Tessra", "Bild", 1);
        profile.SetInt("Tessra", "Sound", 0);
        profile.SetInt("Tessra", "Midi", 0);
        profile.SetInt("Tessra", "FieldX", 4);
        profile.SetInt("Tessra", "FieldY", 4);
        profile.SetInt("Tessra", "Difficult", 40);
        profile.SetInt("Tessra", "Speed", 10);
        if (!profile.Save())
            return 1;
    }
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "zandor-screenshot: no run folder %s\n", argv[1]);
        return 1;
    }

    QApplication app(argc, argv);
    CPuzzleDlg dlg;
    bool saved = false;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* setup = qobject_cast<CSetupDlg*>(modal)) {
            setup->OnOK(); // Start with the profile's settings
            return;
        }
        if (modal != &dlg)
            return;
        driver.stop();
        dlg.OnScramble();
        for (int i = 0; i <= dlg.m_setup.m_nDifficult; ++i)
            dlg.OnTimer(CPuzzleDlg::TIMER_SCRAMBLE);
        dlg.OnShowGrid();
        saved = dlg.grab().save(out, "PNG");
        dlg.done(0);
    });
    driver.start();
    dlg.DoModal();
    if (!saved) {
        std::fprintf(stderr, "zandor-screenshot: could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

#include "shell/PuzzleApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zandor-puzzle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("zandor-puzzle"));
    // The game window's own loop is the program's main loop; the end of the
    // game window, not the last closed window, ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    theApp.InitInstance();
    return 0;
}

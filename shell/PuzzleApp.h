#pragma once

class QWidget;

// The application object: runs the game window for the whole run.
// It holds no Qt objects of its own, so the one instance can be built during
// static initialisation, before the QApplication exists.
class CPuzzleApp {
public:
    CPuzzleApp();
    virtual ~CPuzzleApp();
    CPuzzleApp(const CPuzzleApp&) = delete;
    CPuzzleApp& operator=(const CPuzzleApp&) = delete;

    // Builds the game window, runs it until the player closes it, destroys it
    // and closes the audio device. Returns false: the program then ends.
    virtual bool InitInstance();

    // The main window while it runs; null otherwise.
    QWidget* m_pMainWnd = nullptr;
};

extern CPuzzleApp theApp;

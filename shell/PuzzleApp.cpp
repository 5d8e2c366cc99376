#include "shell/PuzzleApp.h"

#include "audio/AudioDevice.h"
#include "game/PuzzleDlg.h"

CPuzzleApp theApp;

CPuzzleApp::CPuzzleApp() = default;

CPuzzleApp::~CPuzzleApp() = default;

bool CPuzzleApp::InitInstance()
{
    {
        // Constructing the window loads the settings from the profile.
        CPuzzleDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        // The window, its board (and any open song), its preview and
        // dialogs go here.
    }
    CAudioDevice::Shutdown();
    return false;
}

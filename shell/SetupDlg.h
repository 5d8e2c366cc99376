#pragma once

#include "imaging/BitmapDialog.h"
#include "shell/SetupSettings.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>

class CBitmapButton;
class CSpinButtonCtrl;
class QFileDialog;
class QPushButton;

// "Player Setup": picture, field size, scramble settings, sound and music.
// Constructing one loads the settings (and shows no window until it runs).
//
// The dialog ends only through Start (control 3, the hidden default button 1,
// Enter), which validates the number boxes, takes the checked picture, saves
// every setting and ends with IDOK. The standard-settings button, Escape and
// any close request restore the standard settings and keep it open.
class CSetupDlg : public CBitmapDialog, public CSetupSettings {
    Q_OBJECT
public:
    explicit CSetupDlg(QWidget* pParentWnd = nullptr);
    ~CSetupDlg() override;

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID) override;
    // Start: validate, take the picture and the two check boxes (the flags
    // become 0 or 1), ok sound, save, end with IDOK. A save that fails is told
    // to the player in a message box naming the file and the reason, once for
    // the same failure; the settings stay in force for the run all the same.
    void OnOK() override;
    // The Cancel command (Escape, close request) restores the standard settings.
    void OnCancel() override;
    std::optional<QBrush> OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor) override;

    // Puts the standard settings into memory and every control; saves nothing.
    void RestoreStandardSettings();
    // Replaces the file of the checked picture by a BMP file the player
    // chooses; a file that does not load as a picture is refused with a
    // message naming it. True when replaced.
    bool CustomizePicture();
    // Handlers of the picture buttons (1008..1011) and the two check boxes.
    void OnPictureClicked(int nID);
    void OnSoundToggle();
    void OnMidiToggle();

    // The file dialog of CustomizePicture, already set up (filter, mode). The
    // hook answers it instead of the player: it returns the chosen file's full
    // path, or an empty string for Cancel. Without a hook the dialog is run.
    using FileDialogHook = std::function<QString(QFileDialog& dialog)>;
    static void SetFileDialogHook(FileDialogHook hook);

    // Size of the images on the picture buttons.
    static constexpr int kPictureSize = 100;
    static constexpr const char* kFileFilter = "Bitmaps (*.bmp)";

    // Controls of the template, bound at construction.
    CBitmapButton* m_btnStart = nullptr;    // 3
    CBitmapButton* m_btnStandard = nullptr; // 2
    QPushButton* m_btnDefault = nullptr;    // 1, hidden, gets no images
    CSpinButtonCtrl* m_spinDifficult = nullptr;
    int m_bMidi = 0;  // state of the music check box (1023)
    int m_bSound = 0; // state of the sound check box (1020)
    QFont m_fontCaption;

private:
    void SetPictureImages();
    void SetToolTips();
    static QString RunFileDialog(QFileDialog& dialog);
};

#pragma once

#include "imaging/BitmapDialog.h"
#include "shell/SetupSettings.h"

// "Player Setup": picture, field size, scramble settings, sound and music.
// Constructing one loads the settings (and builds no window until it runs).
class CSetupDlg : public CBitmapDialog, public CSetupSettings {
    Q_OBJECT
public:
    explicit CSetupDlg(QWidget* pParentWnd = nullptr);
    ~CSetupDlg() override;

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
};

#pragma once

#include "imaging/Dialog.h"

// The about box: credits scrolling over changing pictures and an e-mail link.
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParentWnd = nullptr);
    ~CAboutDlg() override;

    bool OnInitDialog() override;
};

#pragma once

#include "imaging/Dialog.h"

// The pattern preview: the whole selected picture, 300 x 300, in a window
// without a caption beside the game window. A click closes it.
class CPatternDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPatternDlg(QWidget* pParentWnd = nullptr);
    ~CPatternDlg() override;

    bool SetPicture();
    bool OnInitDialog() override;
};

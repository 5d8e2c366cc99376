#pragma once

#include "imaging/BitmapDialog.h"

// "Congratulation": the moves and time of a solved puzzle, and whether to
// start with a new picture (YES ends with IDOK, NO with IDCANCEL).
class CCongratsDlg : public CBitmapDialog {
    Q_OBJECT
public:
    explicit CCongratsDlg(QWidget* pParentWnd = nullptr);
    ~CCongratsDlg() override;

    void SetResult(int nMoves, int nSeconds, int nMinutes);
    bool OnInitDialog() override;

    int m_nMoves = 0;
    int m_nSeconds = 0;
    int m_nMinutes = 0;
};

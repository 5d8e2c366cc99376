#pragma once

#include "imaging/BitmapDialog.h"

#include <QFont>

// "Congratulation": the moves and time of a solved puzzle, and whether to
// start with a new picture (YES or Enter ends with IDOK; NO, Escape and the
// close box with IDCANCEL).
class CCongratsDlg : public CBitmapDialog {
    Q_OBJECT
public:
    explicit CCongratsDlg(QWidget* pParentWnd = nullptr);
    ~CCongratsDlg() override;

    // The move counter and the two parts of the clock, before DoModal.
    void SetResult(int nMoves, int nSeconds, int nMinutes);
    bool OnInitDialog() override;

    // The lines the dialog shows for the result.
    static QString MovesText(int nMoves);
    static QString TimeText(int nMinutes, int nSeconds);

    int m_nMoves = 0;
    int m_nSeconds = 0; // 0..59
    int m_nMinutes = 0;
    QFont m_font;      // 11-point Comic Sans MS of the texts
    QFont m_fontTitle; // 18-point Comic Sans MS of "Congratulation!"
};

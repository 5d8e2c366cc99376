#pragma once

#include "imaging/BitmapDialog.h"

#include <QFont>

// "Congratulation": the moves and time of a solved puzzle, and whether to
// start with a new picture (YES or Enter ends with IDOK; NO, Escape and the
// close box with IDCANCEL).
//
// Below the question the dialog grows by a strip of short lines when it has
// something more to tell: a new best result for the board size, the fewest
// moves that would have solved this start, and the hints used. Each line is
// shown only when it has a value; without any the dialog keeps its size.
class CCongratsDlg : public CBitmapDialog {
    Q_OBJECT
public:
    explicit CCongratsDlg(QWidget* pParentWnd = nullptr);
    ~CCongratsDlg() override;

    // The move counter and the two parts of the clock, before DoModal.
    void SetResult(int nMoves, int nSeconds, int nMinutes);
    // Which best results of a board of nCols x nRows this game set.
    void SetNewBest(int nCols, int nRows, bool bFewestMoves, bool bShortestTime);
    // The fewest moves that solve the start of this game; -1 when unknown.
    void SetShortest(int nMoves);
    // Hints the player asked for in this game; 0 shows no line.
    void SetHintsUsed(int nHints);

    bool OnInitDialog() override;
    void OnPaint(QPainter* pDC) override;

    // The lines the dialog shows for the result.
    static QString MovesText(int nMoves);
    static QString TimeText(int nMinutes, int nSeconds);
    // The strip's lines; empty when the line is not shown.
    QString BestMovesText() const;
    QString BestTimeText() const;
    QString ShortestText() const;
    QString HintsText() const;

    // The strip's area in client pixels; empty while it shows no line.
    QRect StripRect() const { return m_rcStrip; }

    int m_nMoves = 0;
    int m_nSeconds = 0; // 0..59
    int m_nMinutes = 0;
    QFont m_font;      // 11-point Comic Sans MS of the texts
    QFont m_fontTitle; // 18-point Comic Sans MS of "Congratulation!"
    QFont m_fontStrip; // the strip's lines

    int m_nCols = 0, m_nRows = 0;
    bool m_bBestMoves = false;
    bool m_bBestTime = false;
    int m_nShortest = -1;
    int m_nHintsUsed = 0;

private:
    // Shows the strip's lines that have text, one under the other, and
    // grows the dialog to hold them.
    void LayOutStrip();

    QRect m_rcStrip;
};

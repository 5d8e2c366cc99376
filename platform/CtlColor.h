#pragma once

#include <QColor>

// Kinds of control that ask their dialog for colours.
enum : int {
    CTLCOLOR_MSGBOX = 0,
    CTLCOLOR_EDIT = 1,
    CTLCOLOR_BTN = 3,
    CTLCOLOR_DLG = 4,
    CTLCOLOR_STATIC = 6,
};
// Text background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// The drawing colours a dialog's colour handler may change for one control:
// the text background mode and colour and the text colour. Invalid colours
// keep the control's own.
struct CtlColorContext {
    int nBkMode = OPAQUE;
    QColor bkColor;
    QColor textColor;

    void SetBkMode(int mode) { nBkMode = mode; }
    void SetBkColor(const QColor& c) { bkColor = c; }
    void SetTextColor(const QColor& c) { textColor = c; }
};

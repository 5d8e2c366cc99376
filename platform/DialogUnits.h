#pragma once

#include "res/DialogTemplates.h"

#include <QRect>
#include <QSize>

// Converts dialog units to pixels with the fixed base units of the template's
// font: 8-point templates x · 6 / 4 and y · 13 / 8, the 10-point game window
// x · 2 and y · 2. Each value is rounded to the nearest pixel, halves away from
// zero, as the platform's MulDiv does.
class CDialogUnits {
public:
    // Horizontal and vertical base units of a template (pixels per 4 and per 8 units).
    static int BaseX(const DialogTemplate& t) { return t.pointSize >= 10 ? 8 : 6; }
    static int BaseY(const DialogTemplate& t) { return t.pointSize >= 10 ? 16 : 13; }

    static int MulDiv(int number, int numerator, int denominator);
    static int ToPixelsX(const DialogTemplate& t, int x) { return MulDiv(x, BaseX(t), 4); }
    static int ToPixelsY(const DialogTemplate& t, int y) { return MulDiv(y, BaseY(t), 8); }

    // The pixel rectangle of a control.
    static QRect ToPixels(const DialogTemplate& t, const DialogItem& item);
    // The client size of the dialog.
    static QSize ClientSize(const DialogTemplate& t);
};

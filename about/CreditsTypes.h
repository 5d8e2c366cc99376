#pragma once

#include "common/Rect.h"

#include <string>

// Plain descriptions that the credits sequencer hands to whoever draws: which
// font and colour a line uses, and what one scroll tick has to paint.

// A font of the credits: "Arial" at a character-cell height in pixels with a
// weight (100 thin .. 700 bold), or the drawing surface's default font.
struct CreditsFont {
    int nHeight = 0;
    int nWeight = 0;
    bool bDefault = true;

    bool operator==(const CreditsFont&) const = default;
};

enum class CreditsLineKind { Blank, Heading1, Heading2, Heading3, Body, Bitmap };

// How one script line is drawn, chosen by its last character.
struct CreditsLineStyle {
    CreditsLineKind kind = CreditsLineKind::Blank;
    CreditsFont font;     // default font for blank and bitmap lines
    int nColor = -1;      // index into the control's colours; -1 is the surface's default text colour (black)
    std::size_t nCut = 0; // end characters left out when drawing
};

// What one tick of the scroller paints into the back buffer, in this order:
// scroll the column, fill the update strip, then draw the text or the bitmap rows.
struct CreditsSlice {
    bool bFetched = false;       // a new line was taken from the script on this tick
    bool bFirstPassTick = false; // ... and the script had not been shown through before it
    bool bScroll = false;        // scroll the pixels inside rcScroll by nScrollStep rows
    CRect rcScroll;              // the column as it was before this tick's widening
    int nScrollStep = -1;
    CRect rcUpdate; // strip uncovered by the scroll, to be filled with the fill colour

    enum class Draw { Nothing, Text, Bitmap };
    Draw draw = Draw::Nothing;
    CreditsLineStyle style;      // font and colour of the text
    std::string strText;         // characters to draw (text), or the resource name (bitmap)
    CRect rcText;                // centred text, drawn from the rectangle's top and clipped to it
    CRect rcBitmap;              // destination of the bitmap's top rows
    bool bBitmapStarted = false; // the line bitmap was loaded on this tick
    bool bBitmapEnded = false;   // the line bitmap is finished: release it after drawing

    CRect rcColumn; // the column after any widening; composition uses it
};

// One line of the still page shown when no scroll timer runs.
struct CreditsStaticItem {
    bool bBitmap = false;
    std::string strText; // characters to draw, or the bitmap resource name
    CreditsLineStyle style;
    CRect rc; // text: drawing rectangle (centred, top-aligned); bitmap: where it goes
};

#pragma once

#include "about/CreditsTypes.h"

#include <string>

// What the credits sequencer needs to know about fonts and bitmaps. The control
// answers with real fonts and resources; tests answer with fixed sizes.
class ICreditsMeasure {
public:
    virtual ~ICreditsMeasure() = default;

    // Width in pixels of text drawn on one line in the font.
    virtual int TextWidth(const CreditsFont& font, const std::string& text) = 0;
    // Height in pixels of text drawn on one line in the font.
    virtual int TextHeight(const CreditsFont& font, const std::string& text) = 0;
    // Loads the bitmap resource of that name (the implementation keeps the picture
    // of the last successful load) and reports its size; false when there is none.
    virtual bool LoadBitmap(const std::string& name, int& width, int& height) = 0;
};

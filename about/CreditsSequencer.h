#pragma once

#include "about/CreditsMeasure.h"
#include "about/CreditsTypes.h"
#include "common/Rect.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The credits scroller's script and its line sequencing, without any drawing:
// which line comes in on which tick, how many of its rows show, how wide the
// centred text column is. The control turns each tick's slice into pixels.
class CCreditsSequencer {
public:
    CCreditsSequencer() = default;

    // Cuts the script at every separator; the piece after the last separator is
    // a line too (possibly empty). Restarts reading at the first line.
    void SetCredits(std::string_view text, char separator);
    // Reading starts again at the first line; false (and nothing changes) when
    // there are no lines.
    bool Restart();
    // The control's window is gone: the lines are dropped.
    void Clear();

    // One timer tick: line sequencing, then the slice to draw for a client area
    // of the given size.
    CreditsSlice Tick(int clientWidth, int clientHeight, ICreditsMeasure& measure);
    // Lays out the still page from the first line down, as far as the client
    // area reaches. Sets the line height and the bitmap line's size and place.
    std::vector<CreditsStaticItem> StaticPage(int clientWidth, int clientHeight, ICreditsMeasure& measure);

    // The look of a line, chosen by its last character.
    CreditsLineStyle Classify(const std::string& line) const;
    // The centred text column for a client area of that size.
    CRect Column(int clientWidth, int clientHeight) const;

    const std::vector<std::string>& GetLines() const { return m_lines; }
    const std::string& GetCurrent() const { return m_strCurrent; }
    int GetLineTick() const { return m_nLineTick; }
    std::size_t GetPos() const { return m_pos; }
    int GetScrolled() const { return m_nScrolled; }
    int GetScrollStep() const { return m_nScrollStep; }
    int GetLineHeight() const { return m_nLineHeight; }
    bool IsBitmapLine() const { return m_bBitmapLine; }
    int GetLineBmpWidth() const { return m_nLineBmpWidth; }
    int GetLineBmpHeight() const { return m_nLineBmpHeight; }
    int GetLineBmpX() const { return m_nLineBmpX; }
    int GetLineBmpY() const { return m_nLineBmpY; }
    bool IsFirstPass() const { return m_bFirstPass; }
    int GetColumnWidth() const { return m_nColumnWidth; }

    // Font heights of heading levels 1 to 3 and of body text, in pixels.
    int m_nHeights[4] = {21, 19, 17, 15};
    // End marks of heading levels 1 to 3 and of bitmap lines.
    char m_chEscapes[4] = {'\t', '\n', '\r', '^'};

private:
    void Widen(int width, int clientWidth);

    std::vector<std::string> m_lines;
    std::string m_strCurrent; // the line coming in
    int m_nLineTick = 1;      // tick count within the current line, from 1
    std::size_t m_pos = 0;    // next line to take
    int m_nScrolled = 0;      // rows of the current line shown so far
    int m_nScrollStep = -1;   // rows per tick; negative scrolls up
    int m_nLineHeight = 15;   // height of the current text line
    int m_nLineBmpWidth = 0;
    int m_nLineBmpHeight = 0;
    int m_nLineBmpX = 0;        // left edge of the bitmap line in the back buffer
    int m_nLineBmpY = 0;        // bottom edge (top edge on the still page)
    bool m_bBitmapLine = false; // a bitmap line is scrolling in
    bool m_bFirstPass = true;   // the script has not been shown through yet
    int m_nColumnWidth = 0;     // width of the text column
};

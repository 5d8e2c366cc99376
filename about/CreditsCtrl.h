#pragma once

#include "about/CreditsBitmaps.h"
#include "about/CreditsMeasure.h"
#include "about/CreditsPalette.h"
#include "about/CreditsSequencer.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

// Scrolls a script of headings, body lines and bitmaps upwards through its
// area, one pixel per tick of its timer 150, over a solid colour or a tiled
// background picture. Takes the place of a static control of a dialog.
//
// The control's window ends when it is hidden by its dialog closing (or by
// OnDestroy): the timer stops and the lines are dropped; the object keeps the
// column width, the first-pass flag and the line that was coming in, so the
// next showing (SetCredits, StartScrolling) resumes where the last one left.
class CCreditsCtrl : public QWidget, private ICreditsMeasure {
    Q_OBJECT

public:
    static constexpr unsigned kScrollTimer = 150;
    // Edge around the letters while a background picture is loaded; the second
    // one when the first is the see-through colour.
    static constexpr QRgb kOutline = 0xFF000000u;
    static constexpr QRgb kOutlineAlt = 0xFF202020u;
    // The most of a background picture kept: its top-left corner, far larger
    // than the control, so that tiling shows the same as the whole picture would.
    static constexpr QSize kBkImageLimit{2048, 2048};

    explicit CCreditsCtrl(QWidget* pParent = nullptr);
    ~CCreditsCtrl() override;

    // Takes the place and size of pParent's control nID (a dialog control with
    // that id, or a child named "1030" / "IDC_1030"); that placeholder is hidden.
    // False when there is none.
    bool SubclassDlgItem(int nID, QWidget* pParent);

    void SetCredits(std::string_view text, char separator);
    // A non-zero interval replaces the table entry; the index picks the entry
    // the next StartScrolling uses. Indices outside 0..2 are ignored.
    void SetSpeed(int nIndex, int nInterval);
    // 0 background, 1..3 heading levels, 4 body text; colours packed with red
    // in the lowest byte. Indices outside 0..4 are ignored.
    void SetColor(int nIndex, std::uint32_t color);
    void SetTransparent(bool bTransparent);
    // Loads the background picture, a BMP file (a backslash in the path counts
    // as '/'); false leaves the control without picture and palette.
    bool SetBkImage(const QString& path);
    // False when there are no lines; otherwise (re)starts timer 150 from the first line.
    bool StartScrolling();

    // One tick of timer 150 (other ids are ignored).
    void OnTimer(unsigned nIDEvent);
    // The control's window is gone: timer stopped, lines dropped.
    void OnDestroy();

    // Where bitmap lines find their pictures; CCreditsBitmaps::FromResources by default.
    void SetBitmapResolver(CCreditsBitmaps::Resolver resolver);

    // What the control shows: the composed picture of the last tick, or the back buffer.
    QImage ScreenImage() const;
    const QImage& BackBuffer() const { return m_bmpBack; }
    const CCreditsSequencer& Sequencer() const { return m_seq; }
    const CreditsPalette& Palette() const { return m_palette; }
    const QImage& BkImage() const { return m_bmpBkImage; }
    int BkImageWidth() const { return m_nBkImageWidth; }
    int BkImageHeight() const { return m_nBkImageHeight; }
    unsigned TimerId() const { return m_nTimerId; }
    // Interval of the running timer in ms, 0 when none runs.
    int TimerInterval() const { return m_nTimerId != 0 ? m_nRunningInterval : 0; }
    // The font a credits font maps to on this system.
    QFont FontFor(const CreditsFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int TextWidth(const CreditsFont& font, const std::string& text) override;
    int TextHeight(const CreditsFont& font, const std::string& text) override;
    bool LoadBitmap(const std::string& name, int& width, int& height) override;

    QRgb FillColor() const;
    QRgb KeyColor() const;
    QRgb TextColor(const CreditsLineStyle& style) const;
    QRgb OutlineColor() const;
    void DrawNextSlice(const CreditsSlice& slice);
    QRect ComposeToScreen(const CRect& column);
    void DrawStaticPage();
    void DrawTextLine(QImage& target, const CreditsLineStyle& style, const std::string& text,
                      const CRect& rc);
    const QImage& Tiled();

    std::uint32_t m_colors[5];
    int m_nSpeeds[3] = {70, 40, 10};
    int m_nSpeedIndex = 1;
    CCreditsSequencer m_seq;  // the lines and their sequencing
    QImage m_bmpLine;         // bitmap of the bitmap line in progress
    QImage m_bmpBack;         // back buffer, client-sized
    CreditsPalette m_palette; // palette of the background picture
    QImage m_bmpBkImage;      // background picture (RGB32), null when none
    int m_nBkImageWidth = 0;
    int m_nBkImageHeight = 0;
    bool m_bTransparent = false; // light grey is the see-through colour
    unsigned m_nTimerId = 0;     // 150 while scrolling

    CCreditsBitmaps::Resolver m_resolver;
    QImage m_bmpLoaded; // last bitmap the sequencer asked for
    int m_nQtTimer = 0;
    int m_nRunningInterval = 0;
    QImage m_tiled;                // the picture tiled over the client area
    QImage m_screen;               // back buffer laid over m_tiled
    CRect m_rcScreenColumn;        // column m_screen's outside part was made for
    bool m_bScreenOutside = false; // m_screen's outside part is current
    bool m_bComposed = false;      // the last tick composed over a picture
    std::map<std::tuple<int, int, bool>, QFont> m_fonts;
};

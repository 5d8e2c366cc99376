#include "about/CreditsSequencer.h"

#include <algorithm>
#include <cstdlib>

void CCreditsSequencer::SetCredits(std::string_view text, char separator)
{
    m_lines.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            m_lines.emplace_back(text.substr(start));
            break;
        }
        m_lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    m_pos = 0;
    m_nLineTick = 1;
    m_nScrolled = 0;
}

bool CCreditsSequencer::Restart()
{
    if (m_lines.empty())
        return false;
    m_pos = 0;
    m_nLineTick = 1;
    m_nScrolled = 0;
    return true;
}

void CCreditsSequencer::Clear()
{
    m_lines.clear();
    m_pos = 0;
}

CreditsLineStyle CCreditsSequencer::Classify(const std::string& line) const
{
    CreditsLineStyle style;
    if (line.empty())
        return style; // blank: no font change, nothing drawn
    const char last = line.back();
    auto text = [&](CreditsLineKind kind, int level, int weight, int color, std::size_t cut) {
        style.kind = kind;
        style.font = CreditsFont{m_nHeights[level], weight, false};
        style.nColor = color;
        style.nCut = cut;
    };
    if (last == m_chEscapes[1])
        text(CreditsLineKind::Heading2, 1, 700, 2, 1);
    else if (last == m_chEscapes[2])
        text(CreditsLineKind::Heading3, 2, 700, 3, 1);
    else if (last == m_chEscapes[0])
        text(CreditsLineKind::Heading1, 0, 700, 1, 1);
    else if (last == m_chEscapes[3])
        style.kind = CreditsLineKind::Bitmap;
    else
        text(CreditsLineKind::Body, 3, 100, 4, 0);
    return style;
}

CRect CCreditsSequencer::Column(int clientWidth, int clientHeight) const
{
    const int width = std::clamp(m_nColumnWidth, 0, std::max(clientWidth, 0));
    const int left = (clientWidth - width) / 2;
    return CRect(left, 0, left + width, clientHeight);
}

void CCreditsSequencer::Widen(int width, int clientWidth)
{
    if (width > m_nColumnWidth)
        m_nColumnWidth = std::min(width, std::max(clientWidth, 0));
}

// A bitmap line whose resource cannot be loaded is drawn like text: every
// character, the end mark included, in the default font and colour.
static CreditsLineStyle FallbackStyle()
{
    CreditsLineStyle style;
    style.kind = CreditsLineKind::Bitmap;
    return style;
}

CreditsSlice CCreditsSequencer::Tick(int clientWidth, int clientHeight, ICreditsMeasure& measure)
{
    CreditsSlice slice;

    // Line sequencing; a bitmap line holds it until its last row is in.
    if (!m_bBitmapLine) {
        const int tick = m_nLineTick++;
        if (m_nLineHeight <= 0 || tick % m_nLineHeight == 0) {
            m_nLineTick = 1;
            if (m_pos < m_lines.size())
                m_strCurrent = m_lines[m_pos++];
            else
                m_strCurrent.clear();
            slice.bFetched = true;
            slice.bFirstPassTick = m_bFirstPass;
            if (m_pos >= m_lines.size()) {
                m_bFirstPass = false;
                m_pos = 0;
            }
            m_nScrolled = 0;
        }
    }

    CRect column = Column(clientWidth, clientHeight);
    const int step = std::abs(m_nScrollStep);
    slice.nScrollStep = m_nScrollStep;
    slice.rcScroll = column;
    if (column.Width() > 0) {
        slice.bScroll = true;
        slice.rcUpdate = m_nScrollStep < 0
                             ? CRect(column.left, clientHeight - step, column.right, clientHeight)
                             : CRect(column.left, 0, column.right, step);
    } else {
        slice.rcUpdate = CRect(0, clientHeight - step, clientWidth, clientHeight);
    }
    m_nScrolled += step;

    CreditsLineStyle style;
    if (!m_strCurrent.empty()) {
        style = Classify(m_strCurrent);
        if (style.kind == CreditsLineKind::Bitmap) {
            if (!m_bBitmapLine) {
                const std::string name = m_strCurrent.substr(0, m_strCurrent.size() - 1);
                int width = 0;
                int height = 0;
                if (measure.LoadBitmap(name, width, height) && width > 0 && height > 0) {
                    m_nLineBmpWidth = width;
                    m_nLineBmpHeight = height;
                    m_nLineBmpX = column.right - column.Width() / 2 - width / 2;
                    m_nLineBmpY = column.bottom;
                    m_bBitmapLine = true;
                    slice.bBitmapStarted = true;
                    slice.strText = name;
                } else {
                    style = FallbackStyle();
                }
            }
        } else {
            m_nLineHeight = style.font.nHeight;
        }
    }
    slice.style = style;

    if (!m_bBitmapLine) {
        std::string text =
            m_strCurrent.substr(0, m_strCurrent.size() - std::min(style.nCut, m_strCurrent.size()));
        if (slice.bFirstPassTick && !text.empty()) {
            Widen(measure.TextWidth(style.font, text), clientWidth);
            column = Column(clientWidth, clientHeight);
        }
        slice.rcText = CRect(column.left, column.bottom - m_nScrolled, column.right, column.bottom);
        if (!text.empty() && !slice.rcText.IsRectEmpty())
            slice.draw = CreditsSlice::Draw::Text;
        slice.strText = std::move(text);
    } else {
        if (slice.bFirstPassTick) {
            Widen(m_nLineBmpWidth, clientWidth);
            column = Column(clientWidth, clientHeight);
        }
        slice.draw = CreditsSlice::Draw::Bitmap;
        slice.strText = m_strCurrent.substr(0, m_strCurrent.size() - 1);
        slice.rcBitmap =
            CRect(m_nLineBmpX, m_nLineBmpY - m_nScrolled, m_nLineBmpX + m_nLineBmpWidth, m_nLineBmpY);
        if (m_nScrolled >= m_nLineBmpHeight) {
            m_bBitmapLine = false;
            m_nScrolled = 0;
            m_strCurrent.clear();
            m_nLineTick = 1;
            slice.bBitmapEnded = true;
        }
    }
    slice.rcColumn = column;
    return slice;
}

std::vector<CreditsStaticItem> CCreditsSequencer::StaticPage(int clientWidth, int clientHeight,
                                                             ICreditsMeasure& measure)
{
    std::vector<CreditsStaticItem> items;
    int y = 0;
    for (std::size_t i = 0; i < m_lines.size() && y <= clientHeight; ++i) {
        const std::string& line = m_lines[i];
        CreditsLineStyle style = Classify(line);
        if (style.kind == CreditsLineKind::Bitmap) {
            const std::string name = line.substr(0, line.size() - 1);
            int width = 0;
            int height = 0;
            if (measure.LoadBitmap(name, width, height) && width > 0 && height > 0) {
                const int left = clientWidth - clientWidth / 2 - width / 2;
                m_nLineBmpWidth = width;
                m_nLineBmpHeight = height;
                m_nLineBmpX = left;
                m_nLineBmpY = y;
                items.push_back({true, name, style, CRect(left, y, left + width, y + height)});
                y += height;
                continue;
            }
            style = FallbackStyle();
        } else if (style.kind != CreditsLineKind::Blank) {
            m_nLineHeight = style.font.nHeight;
        }
        const std::string text = line.substr(0, line.size() - std::min(style.nCut, line.size()));
        if (text.empty()) {
            y += measure.TextHeight(style.font, "W");
            continue;
        }
        items.push_back({false, text, style, CRect(0, y, clientWidth, clientHeight)});
        y += measure.TextHeight(style.font, text);
    }
    return items;
}

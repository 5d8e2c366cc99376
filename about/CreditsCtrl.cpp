#include "about/CreditsCtrl.h"

#include "about/CreditsCompose.h"
#include "imaging/PictureFile.h"
#include "platform/DialogBuilder.h"

#include <QFile>
#include <QFontMetrics>
#include <QHideEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

using namespace CreditsCompose;

namespace {

// Cell height of the drawing surface's default font, used for blank lines on
// the still page and for bitmap lines whose picture is missing.
constexpr int kDefaultFontHeight = 16;

QRect ToQRect(const CRect& rc)
{
    return QRect(rc.left, rc.top, rc.Width(), rc.Height());
}

} // namespace

CCreditsCtrl::CCreditsCtrl(QWidget* pParent)
    : QWidget(pParent), m_colors{PackRgb(0, 0, 0), PackRgb(255, 0, 0), PackRgb(255, 255, 0),
                                 PackRgb(0, 255, 255), PackRgb(255, 255, 255)},
      m_resolver(&CCreditsBitmaps::FromResources)
{
    // Every pixel of the control is painted by the control itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CCreditsCtrl::~CCreditsCtrl()
{
    if (m_nQtTimer != 0)
        killTimer(m_nQtTimer);
}

bool CCreditsCtrl::SubclassDlgItem(int nID, QWidget* pParent)
{
    if (pParent == nullptr)
        return false;
    const QString name = QString::number(nID);
    // The placeholder carries the control id: as a dialog control built from a
    // template (its id property), or by its object name ("1030" or "IDC_1030").
    const QString templateName = QStringLiteral("IDC_") + name;
    QWidget* placeholder = nullptr;
    for (QWidget* child : pParent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == this)
            continue;
        const QVariant id = child->property(CDialogBuilder::kIdProperty);
        if ((id.isValid() && id.toInt() == nID) || child->objectName() == name ||
            child->objectName() == templateName)
            placeholder = child;
    }
    if (placeholder == nullptr)
        return parentWidget() == pParent && objectName() == name + QStringLiteral("-credits");
    if (parentWidget() != pParent)
        setParent(pParent);
    setGeometry(placeholder->geometry());
    placeholder->hide();
    setObjectName(name + QStringLiteral("-credits"));
    show();
    return true;
}

void CCreditsCtrl::SetCredits(std::string_view text, char separator)
{
    m_seq.SetCredits(text, separator);
}

void CCreditsCtrl::SetSpeed(int nIndex, int nInterval)
{
    if (nIndex < 0 || nIndex > 2)
        return;
    if (nInterval != 0)
        m_nSpeeds[nIndex] = nInterval;
    m_nSpeedIndex = nIndex;
}

void CCreditsCtrl::SetColor(int nIndex, std::uint32_t color)
{
    if (nIndex < 0 || nIndex > 4)
        return;
    m_colors[nIndex] = color;
}

void CCreditsCtrl::SetTransparent(bool bTransparent)
{
    m_bTransparent = bTransparent;
}

bool CCreditsCtrl::SetBkImage(const QString& path)
{
    m_bmpBkImage = QImage();
    m_palette = CreditsPalette();
    m_nBkImageWidth = 0;
    m_nBkImageHeight = 0;
    m_tiled = QImage();
    m_bScreenOutside = false;

    QString file = path;
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A picture larger than the control shows only its top-left corner, so
    // no more than that is kept.
    std::vector<QRgb> colorTable;
    const QImage loaded =
        CPictureFile::LoadNatural(QFile::encodeName(file).toStdString(), kBkImageLimit, &colorTable);
    if (loaded.isNull())
        return false;
    m_palette = MakeCreditsPalette(colorTable);
    m_bmpBkImage = loaded;
    m_nBkImageWidth = m_bmpBkImage.width();
    m_nBkImageHeight = m_bmpBkImage.height();
    return true;
}

bool CCreditsCtrl::StartScrolling()
{
    if (m_seq.GetLines().empty())
        return false;
    m_bmpBack = QImage();
    m_bComposed = false;
    if (m_nQtTimer != 0)
        killTimer(m_nQtTimer);
    m_nRunningInterval = std::max(m_nSpeeds[m_nSpeedIndex], 1);
    m_nQtTimer = startTimer(m_nRunningInterval, Qt::PreciseTimer);
    m_nTimerId = m_nQtTimer != 0 ? kScrollTimer : 0;
    m_seq.Restart();
    return true;
}

void CCreditsCtrl::OnDestroy()
{
    if (m_nQtTimer != 0)
        killTimer(m_nQtTimer);
    m_nQtTimer = 0;
    m_nTimerId = 0;
    m_seq.Clear();
}

void CCreditsCtrl::SetBitmapResolver(CCreditsBitmaps::Resolver resolver)
{
    m_resolver = resolver ? std::move(resolver) : CCreditsBitmaps::Resolver(&CCreditsBitmaps::FromResources);
}

QImage CCreditsCtrl::ScreenImage() const
{
    if (m_nTimerId != 0 && m_bComposed)
        return m_screen;
    return m_bmpBack;
}

QFont CCreditsCtrl::FontFor(const CreditsFont& font)
{
    const int height = font.bDefault ? kDefaultFontHeight : std::max(font.nHeight, 1);
    const int weight = font.bDefault ? 700 : std::clamp(font.nWeight, 1, 1000);
    const auto key = std::make_tuple(height, weight, font.bDefault);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end())
        return it->second;

    QFont f;
    if (font.bDefault)
        f.setFamilies(
            {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    else
        f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    // Plain pixels in the text colour: the see-through test compares exact
    // colours, and a line is drawn over itself on every tick.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    // The height is that of the character cell (ascent plus descent).
    for (int px = height; px >= 1; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).height() <= height)
            break;
    }
    m_fonts.emplace(key, f);
    return f;
}

int CCreditsCtrl::TextWidth(const CreditsFont& font, const std::string& text)
{
    return QFontMetrics(FontFor(font)).horizontalAdvance(QString::fromStdString(text));
}

int CCreditsCtrl::TextHeight(const CreditsFont& font, const std::string& /*text*/)
{
    return QFontMetrics(FontFor(font)).height();
}

bool CCreditsCtrl::LoadBitmap(const std::string& name, int& width, int& height)
{
    QImage image = m_resolver ? m_resolver(name) : QImage();
    if (image.isNull()) {
        m_bmpLoaded = QImage();
        return false;
    }
    m_bmpLoaded = image.convertToFormat(QImage::Format_RGB32);
    width = m_bmpLoaded.width();
    height = m_bmpLoaded.height();
    return true;
}

QRgb CCreditsCtrl::FillColor() const
{
    return m_bTransparent && !m_bmpBkImage.isNull() ? kLightGrey : ToQRgb(m_colors[0]);
}

QRgb CCreditsCtrl::KeyColor() const
{
    return m_bTransparent ? kLightGrey : ToQRgb(m_colors[0]);
}

QRgb CCreditsCtrl::TextColor(const CreditsLineStyle& style) const
{
    if (style.nColor < 0 || style.nColor > 4)
        return qRgb(0, 0, 0);
    return ToQRgb(m_colors[style.nColor]);
}

void CCreditsCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_nQtTimer && m_nQtTimer != 0)
        OnTimer(kScrollTimer);
    else
        QWidget::timerEvent(event);
}

void CCreditsCtrl::hideEvent(QHideEvent* event)
{
    // Hidden by its dialog closing (not by the window system minimising it):
    // this showing of the control is over.
    if (!event->spontaneous())
        OnDestroy();
    QWidget::hideEvent(event);
}

void CCreditsCtrl::OnTimer(unsigned nIDEvent)
{
    if (nIDEvent != kScrollTimer)
        return;
    const CreditsSlice slice = m_seq.Tick(width(), height(), *this);
    if (slice.bBitmapStarted)
        m_bmpLine = std::move(m_bmpLoaded);
    if (width() <= 0 || height() <= 0) {
        if (slice.bBitmapEnded)
            m_bmpLine = QImage();
        return;
    }
    DrawNextSlice(slice);
    const bool bWasComposed = m_bComposed;
    const QRect dirty = ComposeToScreen(slice.rcColumn);
    const QRect changed = dirty | ToQRect(slice.rcColumn) | ToQRect(slice.rcUpdate);
    // Only the column changes from tick to tick, unless the picture came or went.
    update(changed.isEmpty() || bWasComposed != m_bComposed ? rect() : changed);
}

void CCreditsCtrl::DrawNextSlice(const CreditsSlice& slice)
{
    const QRgb fill = FillColor();
    if (m_bmpBack.isNull() || m_bmpBack.size() != size()) {
        m_bmpBack = MakeBuffer(width(), height(), fill);
        m_bScreenOutside = false;
    }
    if (slice.bScroll)
        ScrollColumn(m_bmpBack, slice.rcScroll, slice.nScrollStep);
    FillRect(m_bmpBack, slice.rcUpdate, fill);

    if (slice.draw == CreditsSlice::Draw::Text) {
        DrawTextLine(m_bmpBack, slice.style, slice.strText, slice.rcText);
    } else if (slice.draw == CreditsSlice::Draw::Bitmap) {
        // Rows outside the column would never scroll away, so the bitmap is
        // kept inside it.
        DrawLineBitmap(m_bmpBack, m_bmpLine, slice.rcBitmap, slice.rcColumn,
                       m_bTransparent && m_bmpBkImage.isNull(), kLightGrey);
    }
    if (slice.bBitmapEnded)
        m_bmpLine = QImage();
}

void CCreditsCtrl::DrawTextLine(QImage& target, const CreditsLineStyle& style, const std::string& text,
                                const CRect& rc)
{
    if (rc.IsRectEmpty() || text.empty())
        return;
    const QFont font = FontFor(style.font);
    const QFontMetrics metrics(font);
    const QString str = QString::fromStdString(text);
    // Centred on one line, from the rectangle's top, clipped to it.
    const int x = rc.left + (rc.Width() - metrics.horizontalAdvance(str)) / 2;
    const QPoint origin(x, rc.top + metrics.ascent());
    QPainter painter(&target);
    painter.setClipRect(ToQRect(rc));
    painter.setFont(font);
    if (!m_bmpBkImage.isNull()) {
        // Over a picture the letters get a dark one-pixel edge, so that they
        // read on light and busy parts of it as well as on dark ones.
        painter.setPen(QColor::fromRgb(OutlineColor()));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0)
                    painter.drawText(origin + QPoint(dx, dy), str);
    }
    painter.setPen(QColor::fromRgb(TextColor(style)));
    painter.drawText(origin, str);
}

QRgb CCreditsCtrl::OutlineColor() const
{
    // Never the see-through colour, or the edge would vanish.
    return KeyColor() == kOutline ? kOutlineAlt : kOutline;
}

const QImage& CCreditsCtrl::Tiled()
{
    if (m_tiled.isNull() || m_tiled.size() != size()) {
        m_tiled = TileBackground(m_bmpBkImage, width(), height());
        m_bScreenOutside = false;
    }
    return m_tiled;
}

QRect CCreditsCtrl::ComposeToScreen(const CRect& column)
{
    if (m_bmpBkImage.isNull()) {
        m_bComposed = false;
        return QRect();
    }
    const QImage& tiled = Tiled();
    QRect dirty;
    if (m_screen.size() != size()) {
        m_screen = MakeBuffer(width(), height(), 0);
        m_bScreenOutside = false;
    }
    if (!m_bComposed || !m_bScreenOutside || !(column == m_rcScreenColumn)) {
        ComposeOutside(m_screen, tiled, column);
        m_rcScreenColumn = column;
        m_bScreenOutside = true;
        dirty = rect();
    }
    ComposeColumn(m_screen, m_bmpBack, tiled, column, KeyColor());
    m_bComposed = true;
    return dirty;
}

void CCreditsCtrl::DrawStaticPage()
{
    const CRect client(0, 0, width(), height());
    m_bmpBack = MakeBuffer(width(), height(), FillColor());
    const std::vector<CreditsStaticItem> items = m_seq.StaticPage(width(), height(), *this);
    m_bmpLoaded = QImage();
    for (const CreditsStaticItem& item : items) {
        if (item.bBitmap) {
            const QImage bitmap = m_resolver ? m_resolver(item.strText) : QImage();
            DrawLineBitmap(m_bmpBack, bitmap, item.rc, client, m_bTransparent && m_bmpBkImage.isNull(),
                           kLightGrey);
        } else {
            DrawTextLine(m_bmpBack, item.style, item.strText, item.rc);
        }
    }
    if (!m_bmpBkImage.isNull()) {
        const QImage& tiled = Tiled();
        QImage page = MakeBuffer(width(), height(), 0);
        ComposeColumn(page, m_bmpBack, tiled, client, KeyColor());
        m_bmpBack = page;
    }
}

void CCreditsCtrl::paintEvent(QPaintEvent* event)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    const QRect area = event->rect();
    if (m_nTimerId != 0) {
        // Scrolling: the picture comes from the timer; a paint shows its last frame.
        const QImage& frame = m_bComposed ? m_screen : m_bmpBack;
        if (frame.size() == size())
            painter.drawImage(area.topLeft(), frame, area);
        else
            painter.fillRect(area, QColor::fromRgb(FillColor()));
        return;
    }
    if (m_bmpBack.isNull() || m_bmpBack.size() != size())
        DrawStaticPage();
    painter.drawImage(area.topLeft(), m_bmpBack, area);
}

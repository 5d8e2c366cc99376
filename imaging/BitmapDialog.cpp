#include "imaging/BitmapDialog.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>

namespace {

// The mean colour of a picture: the tone that controls over it stand on.
QColor MeanColour(const QImage& image)
{
    if (image.isNull()) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    qint64 sum[3] = {0, 0, 0};
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            sum[0] += qRed(row[x]);
            sum[1] += qGreen(row[x]);
            sum[2] += qBlue(row[x]);
        }
    }
    const qint64 n = qint64{rgb.width()} * rgb.height();
    return QColor(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n));
}

} // namespace

CBitmapDialog::CBitmapDialog(int nIDTemplate, QWidget* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CBitmapDialog::~CBitmapDialog() = default;

bool CBitmapDialog::SetBitmap(int nIDResource, int nMode)
{
    m_nBitmapMode = nMode;
    const bool loaded = m_dibBackground.LoadResourceBitmap(nIDResource & 0xFFFF);
    m_crTone = MeanColour(m_dibBackground.ToImage());
    UpdateControlColors();
    return loaded;
}

bool CBitmapDialog::OnEraseBkgnd(QPainter* pDC)
{
    if (!m_dibBackground.GetBits()) {
        return CDialog::OnEraseBkgnd(pDC);
    }
    const QRect client = GetClientRect();
    const int w = client.width();
    const int h = client.height();
    const int pw = m_dibBackground.GetWidth();
    const int ph = m_dibBackground.GetHeight();

    switch (m_nBitmapMode) {
    case BITMAP_STRETCH:
        m_dibBackground.StretchDraw(pDC, 0, 0, w, h);
        return true;
    case BITMAP_CENTER:
        DefaultEraseBkgnd(pDC);
        // Halves truncated toward zero: a larger picture gets negative offsets.
        m_dibBackground.Draw(pDC, (w - pw) / 2, (h - ph) / 2);
        return true;
    default:
        if (h <= 0 || pw <= 0 || ph <= 0) {
            return true;
        }
        for (int y = 0; y < h; y += ph) {
            for (int x = 0; x < w; x += pw) {
                m_dibBackground.Draw(pDC, x, y);
            }
        }
        return true;
    }
}

std::optional<QBrush> CBitmapDialog::OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor)
{
    if (!m_dibBackground.GetBits()) {
        return CDialog::OnCtlColor(dc, pWnd, nCtlColor);
    }
    if (nCtlColor == CTLCOLOR_STATIC && qobject_cast<QSlider*>(pWnd)) {
        return CDialog::OnCtlColor(dc, pWnd, nCtlColor);
    }
    if (nCtlColor != CTLCOLOR_BTN && nCtlColor != CTLCOLOR_STATIC) {
        return CDialog::OnCtlColor(dc, pWnd, nCtlColor);
    }
    dc.SetBkMode(TRANSPARENT);
    // Hollow; its colour tells the control what it stands on, so that its
    // frame and outline show against the picture.
    return QBrush(m_crTone, Qt::NoBrush);
}

bool CBitmapDialog::OnQueryNewPalette()
{
    const CDIBPalette* palette = m_dibBackground.GetPalette();
    if (!palette || !testAttribute(Qt::WA_WState_Created)) {
        return false;
    }
    if (palette->RealizePalette() == 0) {
        return false;
    }
    Invalidate();
    return true;
}

bool CBitmapDialog::OnPaletteChanged(QWidget* pFocusWnd)
{
    const CDIBPalette* palette = m_dibBackground.GetPalette();
    if (!palette || !testAttribute(Qt::WA_WState_Created) || pFocusWnd == this ||
        (pFocusWnd && isAncestorOf(pFocusWnd))) {
        return false;
    }
    if (palette->RealizePalette() == 0) {
        return false;
    }
    Invalidate();
    return true;
}

void CBitmapDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        OnQueryNewPalette();
    }
    CDialog::changeEvent(event);
}

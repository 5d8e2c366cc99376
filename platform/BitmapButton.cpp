#include "platform/BitmapButton.h"

#include "imaging/DIBitmap.h"
#include "platform/FocusMark.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// The resource as this screen shows it best: its double-size version on a
// screen of device pixel ratio 2, where the program has one.
QImage LoadResource(const QString& name, qreal devicePixelRatio)
{
    if (name.isEmpty()) {
        return {};
    }
    CDIBitmap dib;
    return dib.LoadResourceBitmap(name) ? dib.ToImage(devicePixelRatio) : QImage();
}

QString IdName(int id)
{
    return id > 0 ? QString::number(id) : QString();
}

} // namespace

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

CBitmapButton::~CBitmapButton() = default;

bool CBitmapButton::LoadBitmaps(int nIDBitmapResource, int nIDBitmapResourceSel, int nIDBitmapResourceFocus,
                                int nIDBitmapResourceDisabled)
{
    return LoadBitmaps(IdName(nIDBitmapResource), IdName(nIDBitmapResourceSel),
                       IdName(nIDBitmapResourceFocus), IdName(nIDBitmapResourceDisabled));
}

bool CBitmapButton::LoadBitmaps(const QString& lpszBitmapResource, const QString& lpszBitmapResourceSel,
                                const QString& lpszBitmapResourceFocus,
                                const QString& lpszBitmapResourceDisabled)
{
    const qreal ratio = devicePixelRatioF();
    SetBitmaps(LoadResource(lpszBitmapResource, ratio), LoadResource(lpszBitmapResourceSel, ratio),
               LoadResource(lpszBitmapResourceFocus, ratio), LoadResource(lpszBitmapResourceDisabled, ratio));
    return !m_bitmap.isNull();
}

void CBitmapButton::SetBitmaps(const QImage& normal, const QImage& selected, const QImage& focus,
                               const QImage& disabled)
{
    m_bitmap = normal;
    m_bitmapSel = selected;
    m_bitmapFocus = focus;
    m_bitmapDisabled = disabled;
    updateGeometry();
    update();
}

void CBitmapButton::SizeToContent()
{
    if (!m_bitmap.isNull()) {
        resize(m_bitmap.deviceIndependentSize().toSize());
    }
}

QSize CBitmapButton::sizeHint() const
{
    return m_bitmap.isNull() ? QSize(80, 24) : m_bitmap.deviceIndependentSize().toSize();
}

QImage CBitmapButton::CurrentBitmap() const
{
    if (isDown() && !m_bitmapSel.isNull()) {
        return m_bitmapSel;
    }
    if (hasFocus() && !m_bitmapFocus.isNull()) {
        return m_bitmapFocus;
    }
    if (!isEnabled() && !m_bitmapDisabled.isNull()) {
        return m_bitmapDisabled;
    }
    return m_bitmap;
}

void CBitmapButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage image = CurrentBitmap();
    if (image.isNull()) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.text = text();
        option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButton, &option, &p, this);
        return;
    }
    p.drawImage(QPoint(0, 0), image);
    DrawFocusMark(p, *this, rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset));
}

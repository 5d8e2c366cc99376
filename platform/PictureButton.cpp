#include "platform/PictureButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// Dark outside, light inside: the checked frame shows on light and dark
// pictures alike.
const QColor kCheckedOuter(60, 25, 0);
const QColor kCheckedInner(255, 250, 225);
const QColor kOutline(0, 0, 0, 110);

} // namespace

CPictureButton::CPictureButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
}

CPictureButton::~CPictureButton() = default;

QRect CPictureButton::PictureRect() const
{
    if (icon().isNull()) {
        return {};
    }
    QRect r(QPoint(0, 0), iconSize());
    r.moveCenter(rect().center());
    return r.intersected(rect());
}

void CPictureButton::paintEvent(QPaintEvent* event)
{
    const QRect area = PictureRect();
    if (area.isEmpty()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    QRect picture(QPoint(0, 0), iconSize());
    picture.moveCenter(rect().center());
    if (isDown()) {
        picture.translate(1, 1);
    }
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatioF(), mode);
    p.setClipRect(area);
    p.drawPixmap(picture, pixmap);
    p.setClipping(false);

    p.setBrush(Qt::NoBrush);
    if (isChecked()) {
        p.setPen(QPen(kCheckedOuter, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(area).adjusted(1, 1, -1, -1));
        p.setPen(QPen(kCheckedInner, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(area).adjusted(3, 3, -3, -3));
    } else {
        p.setPen(kOutline);
        p.drawRect(area.adjusted(0, 0, -1, -1));
    }
    // The focus shows once the keyboard has moved it, as on other buttons.
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    if (hasFocus() && (focus.state & QStyle::State_KeyboardFocusChange)) {
        focus.rect = area.adjusted(6, 6, -6, -6);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

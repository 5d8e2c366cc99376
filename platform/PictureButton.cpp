#include "platform/PictureButton.h"

#include "platform/FocusMark.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>

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
    DrawFocusMark(p, *this, area.adjusted(6, 6, -6, -6));
}

void CPictureButton::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    // The base leaves only the focused button of a group in the tab order;
    // here every picture can be reached with Tab.
    if (QButtonGroup* buttons = group()) {
        for (QAbstractButton* button : buttons->buttons()) {
            if (qobject_cast<CPictureButton*>(button)) {
                button->setFocusPolicy(Qt::FocusPolicy(button->focusPolicy() | Qt::TabFocus));
            }
        }
    }
}

void CPictureButton::keyPressEvent(QKeyEvent* event)
{
    QPushButton::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        break;
    default:
        return;
    }
    // The base moves the focus within the group, and chooses the button it
    // moves to only when the one it left was chosen.
    auto* now = qobject_cast<CPictureButton*>(QApplication::focusWidget());
    if (now && now != this && group() && now->group() == group() && !now->isChecked()) {
        now->click();
    }
}

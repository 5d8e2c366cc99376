#include "platform/GroupBox.h"

#include <QPainter>

CGroupBox::CGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
}

CGroupBox::~CGroupBox() = default;

void CGroupBox::SetCaptionBackground(const QColor& colour)
{
    if (colour != m_crCaptionBack) {
        m_crCaptionBack = colour;
        update();
    }
}

QRect CGroupBox::CaptionRect() const
{
    if (title().isEmpty()) {
        return {};
    }
    const QFontMetrics fm(font());
    const int indent = fm.averageCharWidth();
    return QRect(indent, 0, fm.horizontalAdvance(title()), fm.height());
}

QRect CGroupBox::FrameRect() const
{
    const int top = title().isEmpty() ? 0 : QFontMetrics(font()).height() / 2;
    return QRect(0, top, width(), height() - top);
}

QColor CGroupBox::ShadowColor() const
{
    const QColor window = palette().color(QPalette::Window);
    // Well darker than the window, so the line shows on light and on
    // mid-tone backgrounds alike.
    return window.alpha() == 0 ? palette().color(QPalette::Dark) : window.darker(175);
}

QColor CGroupBox::LightColor() const
{
    return QColor(255, 255, 255, 200);
}

void CGroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect caption = CaptionRect();
    const QRect frame = FrameRect();
    // The lines stop short of the caption, with a little air on either side.
    if (!caption.isEmpty()) {
        p.setClipRegion(QRegion(rect()).subtracted(caption.adjusted(-2, 0, 2, 0)));
    }
    const QRect shadow = frame.adjusted(0, 0, -2, -2);
    const QRect light = frame.adjusted(1, 1, -1, -1);
    p.setBrush(Qt::NoBrush);
    p.setPen(LightColor());
    p.drawRect(light);
    p.setPen(ShadowColor());
    p.drawRect(shadow);
    if (caption.isEmpty()) {
        return;
    }
    p.setClipping(false);
    if (m_crCaptionBack.isValid()) {
        p.fillRect(caption, m_crCaptionBack);
    }
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}

#pragma once

#include <QPainter>
#include <QPen>
#include <QRect>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

// The keyboard focus mark of the buttons that paint themselves: a dotted
// black rectangle on a white one, which shows on any picture. Drawn only
// while the widget has the focus and the keyboard has moved it, as the
// style's own mark on other controls.
inline void DrawFocusMark(QPainter& p, const QWidget& w, const QRect& r)
{
    QStyleOption option;
    option.initFrom(&w);
    if (!w.hasFocus() || !(option.state & QStyle::State_KeyboardFocusChange)) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    const QRect edge = r.adjusted(0, 0, -1, -1);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(edge);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(edge);
    p.restore();
}

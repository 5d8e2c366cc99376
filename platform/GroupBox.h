#pragma once

#include <QColor>
#include <QGroupBox>

// A group box drawn as the framework draws one: an etched frame (a shadow
// line with a light line beside it) whose top runs through the middle of the
// caption, and the caption near its top-left corner. The frame never runs
// behind the caption. The frame takes its shade from the window colour of the
// box's palette, so that it shows on whatever the dialog paints behind it.
// Without a caption it is the etched frame of a static control.
class CGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CGroupBox(const QString& title, QWidget* parent = nullptr);
    ~CGroupBox() override;

    // The caption's own background; an invalid colour lets the dialog show
    // through around the letters.
    void SetCaptionBackground(const QColor& colour);
    QColor CaptionBackground() const { return m_crCaptionBack; }

    // Where the caption and the frame lie, in the box's coordinates.
    QRect CaptionRect() const;
    QRect FrameRect() const;
    // The colours of the frame's two lines.
    QColor ShadowColor() const;
    QColor LightColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_crCaptionBack;
};

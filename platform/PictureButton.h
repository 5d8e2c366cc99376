#pragma once

#include <QPushButton>

// A push-like radio or check button that shows a picture (its icon): the
// picture at its icon size, centred and clipped to the button, in a thin
// outline; nothing of an ordinary button face shows around it, so no frame
// line runs across or beside the picture. While held down the picture sinks
// in by a pixel; while checked a dark-and-light frame lies along its edge;
// with the keyboard focus a dotted rectangle lies inside it. Without a picture
// it is an ordinary push button showing its text.
//
// Of an exclusive group every button stays a tab stop, and an arrow key
// chooses the button of the group it moves the focus to; Space chooses the
// focused one.
class CPictureButton : public QPushButton {
    Q_OBJECT
public:
    explicit CPictureButton(const QString& text, QWidget* parent = nullptr);
    ~CPictureButton() override;

    // The part of the button the picture covers (empty without a picture).
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

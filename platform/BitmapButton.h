#pragma once

#include <QAbstractButton>
#include <QImage>

// A button that shows pictures instead of a face of its own: the normal one,
// the pressed one while it is held down, the focused one while it has the
// focus, the disabled one while disabled; each falls back to the normal one.
// With the keyboard focus a dotted rectangle lies inside the picture. Without
// any picture it shows its text.
class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapButton(QWidget* parent = nullptr);
    ~CBitmapButton() override;

    // Loads bitmap resources (0: none), in their double-size versions where
    // the button's screen has device pixel ratio 2 and the program has them.
    // False when the normal one is missing.
    bool LoadBitmaps(int nIDBitmapResource, int nIDBitmapResourceSel = 0, int nIDBitmapResourceFocus = 0,
                     int nIDBitmapResourceDisabled = 0);
    bool LoadBitmaps(const QString& lpszBitmapResource, const QString& lpszBitmapResourceSel = {},
                     const QString& lpszBitmapResourceFocus = {},
                     const QString& lpszBitmapResourceDisabled = {});
    void SetBitmaps(const QImage& normal, const QImage& selected = {}, const QImage& focus = {},
                    const QImage& disabled = {});
    // Resizes the button to its normal picture.
    void SizeToContent();

    // The picture the button shows in its present state (null without pictures).
    QImage CurrentBitmap() const;

    QSize sizeHint() const override;

    // How far inside the button's edge the focus mark lies.
    static constexpr int kFocusInset = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_bitmap;
    QImage m_bitmapSel;
    QImage m_bitmapFocus;
    QImage m_bitmapDisabled;
};

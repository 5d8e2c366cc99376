#pragma once

#include "imaging/DIBitmap.h"
#include "platform/Dialog.h"

// A dialog whose client area shows a picture from a bitmap resource instead
// of the plain dialog colour: tiled, stretched or centred. Texts, check boxes,
// radio buttons and push buttons draw straight onto the picture; trackbars and
// edit boxes keep their ordinary backgrounds. Until a picture is loaded the
// dialog looks like any other.
class CBitmapDialog : public CDialog {
    Q_OBJECT
public:
    enum { BITMAP_TILE = 0, BITMAP_STRETCH = 1, BITMAP_CENTER = 2 };

    explicit CBitmapDialog(int nIDTemplate, QWidget* pParentWnd = nullptr);
    ~CBitmapDialog() override;

    // Stores the mode, then loads the bitmap resource (the low 16 bits of the
    // number) as the background. Returns whether it loaded; does not repaint.
    bool SetBitmap(int nIDResource, int nMode = BITMAP_TILE);
    int GetBitmapMode() const { return m_nBitmapMode; }
    const CDIBitmap& GetBackground() const { return m_dibBackground; }

    bool OnEraseBkgnd(QPainter* pDC) override;
    std::optional<QBrush> OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor) override;
    // Realizes the picture's palette when the dialog becomes active; returns
    // whether any entry was mapped (and the dialog repainted).
    bool OnQueryNewPalette();
    // Another window realized its palette; realizes ours in the background
    // unless that window is this dialog or one of its controls. Returns whether
    // the dialog was repainted.
    bool OnPaletteChanged(QWidget* pFocusWnd);

protected:
    void changeEvent(QEvent* event) override;

    CDIBitmap m_dibBackground;
    int m_nBitmapMode = BITMAP_TILE;
    QColor m_crTone; // the picture's mean colour
};

#pragma once

#include "platform/Dialog.h"

class QLabel;

// The pattern preview: the whole selected picture, 300 x 300, in a window
// without a caption beside the game window. A click closes it.
//
// Give the game window as parent: the preview then stays in front of it and
// belongs to it - the game window destroys it with itself. Create() shows it
// (g_bPatternShown becomes true); move() and resize() place it. A left click,
// Escape, Enter or a close request hides it and sets g_bPatternShown false;
// the object stays for the next Show Pattern, so there is never more than one.
//
// The window has a thin black border of one pixel. Inside it the picture
// stands at its full 300 x 300 size from the top-left corner, so its last
// column and row on the right and at the bottom lie under the border.
class CPatternDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kPictureSize = 300;
    static constexpr int kBorder = 1;

    explicit CPatternDlg(QWidget* pParentWnd = nullptr);
    ~CPatternDlg() override;

    // Loads the selected picture (g_strPicPath[g_nPicture - 1]) scaled to
    // 300 x 300 into the window, at the resolution of its screen; a file that
    // does not load leaves it empty. Always true.
    bool SetPicture();
    bool OnInitDialog() override;
    void OnLButtonDown(Qt::KeyboardModifiers nFlags, QPoint point) override;

    // The picture shown (in device pixels, carrying the screen's ratio); null
    // when empty.
    QImage GetPicture() const;

public slots:
    void done(int r) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_pPicture = nullptr; // control 1034
    bool m_bShown = false;        // this preview set g_bPatternShown
};

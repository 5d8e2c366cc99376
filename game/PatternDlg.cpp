#include "game/PatternDlg.h"

#include "imaging/PictureFile.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "shell/PathMap.h"

#include <QLabel>
#include <QResizeEvent>

CPatternDlg::CPatternDlg(QWidget* pParentWnd) : CDialog(IDD_PATTERN, pParentWnd)
{
    m_pPicture = GetDlgItemAs<QLabel>(IDC_PATTERN_PICTURE);
    // The game window sizes the preview to the picture.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(kPictureSize, kPictureSize);
}

CPatternDlg::~CPatternDlg()
{
    // Destroyed while shown (with the game window): no preview is left.
    if (m_bShown) {
        g_bPatternShown = false;
    }
}

bool CPatternDlg::SetPicture()
{
    if (!m_pPicture) {
        return true;
    }
    QImage image;
    if (g_nPicture >= 1 && g_nPicture <= 4) {
        image =
            CPictureFile::Load(ToNativePath(g_strPicPath[g_nPicture - 1]), QSize(kPictureSize, kPictureSize));
    }
    if (image.isNull()) {
        m_pPicture->clear();
        return true;
    }
    m_pPicture->setPixmap(QPixmap::fromImage(image));
    return true;
}

QImage CPatternDlg::GetPicture() const
{
    return m_pPicture ? m_pPicture->pixmap().toImage() : QImage();
}

bool CPatternDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bShown = true;
    g_bPatternShown = true;
    return true;
}

void CPatternDlg::OnLButtonDown(Qt::KeyboardModifiers, QPoint)
{
    EndDialog(1);
}

void CPatternDlg::done(int r)
{
    // Every way out (click, Escape, Enter, close request) hides the preview
    // for good: the next Show Pattern makes a new one.
    if (m_bShown) {
        m_bShown = false;
        g_bPatternShown = false;
    }
    CDialog::done(r);
    deleteLater();
}

void CPatternDlg::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    if (m_pPicture) {
        m_pPicture->setGeometry(rect());
    }
}

#include "game/PatternDlg.h"

#include "imaging/PictureFile.h"
#include "res/Colors.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "shell/PathMap.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

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
    // At the screen's resolution: 300 x 300 logical pixels, 600 x 600 at
    // device pixel ratio 2.
    const qreal ratio = std::max<qreal>(devicePixelRatioF(), 1);
    const int side = qRound(kPictureSize * ratio);
    QImage image;
    if (g_nPicture >= 1 && g_nPicture <= 4) {
        image = CPictureFile::Load(ToNativePath(g_strPicPath[g_nPicture - 1]), QSize(side, side));
    }
    if (image.isNull()) {
        m_pPicture->clear();
        return true;
    }
    image.setDevicePixelRatio(ratio);
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
    // Every way out (click, Escape, Enter, close request) only hides the
    // preview; the game window shows it again at the next Show Pattern.
    if (m_bShown) {
        m_bShown = false;
        g_bPatternShown = false;
    }
    CDialog::done(r);
}

void CPatternDlg::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    // The picture control fills the inside of the border.
    if (m_pPicture) {
        m_pPicture->setGeometry(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
    }
}

void CPatternDlg::paintEvent(QPaintEvent* event)
{
    CDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor::fromRgb(kWindowFrame));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

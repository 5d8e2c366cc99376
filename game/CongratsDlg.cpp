#include "game/CongratsDlg.h"

#include "res/ResourceIds.h"

CCongratsDlg::CCongratsDlg(QWidget* pParentWnd) : CBitmapDialog(IDD_CONGRATS, pParentWnd)
{
}

CCongratsDlg::~CCongratsDlg() = default;

void CCongratsDlg::SetResult(int nMoves, int nSeconds, int nMinutes)
{
    m_nMoves = nMoves;
    m_nSeconds = nSeconds;
    m_nMinutes = nMinutes;
}

bool CCongratsDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetBitmap(250, BITMAP_TILE);
    return true;
}

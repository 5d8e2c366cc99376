#include "shell/SetupDlg.h"

#include "imaging/DataExchange.h"
#include "res/ResourceIds.h"

CSetupDlg::CSetupDlg(QWidget* pParentWnd) : CBitmapDialog(IDD_SETUP, pParentWnd)
{
}

CSetupDlg::~CSetupDlg() = default;

bool CSetupDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetBitmap(250, BITMAP_TILE);
    return false;
}

void CSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CBitmapDialog::DoDataExchange(pDX);
}

void CSetupDlg::OnOK()
{
    SaveSettings();
    EndDialog(1);
}

void CSetupDlg::OnCancel()
{
}

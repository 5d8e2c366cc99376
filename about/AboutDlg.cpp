#include "about/AboutDlg.h"

#include "res/ResourceIds.h"

CAboutDlg::CAboutDlg(QWidget* pParentWnd) : CDialog(IDD_ABOUTBOX, pParentWnd)
{
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::OnInitDialog()
{
    return CDialog::OnInitDialog();
}

#include "game/PatternDlg.h"

#include "res/ResourceIds.h"
#include "shell/Globals.h"

CPatternDlg::CPatternDlg(QWidget* pParentWnd) : CDialog(IDD_PATTERN, pParentWnd)
{
}

CPatternDlg::~CPatternDlg()
{
    g_bPatternShown = false;
}

bool CPatternDlg::SetPicture()
{
    return true;
}

bool CPatternDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    g_bPatternShown = true;
    return true;
}

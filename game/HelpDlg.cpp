#include "game/HelpDlg.h"

#include "res/HowToPlay.h"
#include "res/ResourceIds.h"

#include <QTextBrowser>

CHelpDlg::CHelpDlg(QWidget* pParentWnd) : CDialog(IDD_HOWTOPLAY, pParentWnd)
{
    auto* page = new QTextBrowser;
    page->setOpenLinks(false);
    page->setHtml(QString::fromUtf8(kHowToPlayText));
    m_pPage = qobject_cast<QTextBrowser*>(ReplaceDlgItem(IDC_HOWTOPLAY_TEXT, page));
    if (!m_pPage) {
        delete page;
    }
}

CHelpDlg::~CHelpDlg() = default;

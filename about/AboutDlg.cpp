#include "about/AboutDlg.h"

#include "about/CreditsCompose.h"
#include "res/ResourceIds.h"

#include <QLabel>

int g_nAboutPicture = 0;

// clang-format off
const char* const g_pszCredits =
    "The Zandor Puzzle\t|"
    "|"
    "Version 3.0|"
    "Copyright (c) 1999-2000 by|"
    "The Zandor Puzzle Team (\"Zandor\")|"
    "|"
    "PLEASE^|"
    "|"
    "Release date\r|"
    "|"
    "28. June. 2000|"
    "|"
    "|"
    "Project Lead\r|"
    "|"
    "The Zandor Puzzle Team|"
    "|"
    "|"
    "Technical Lead\r|"
    "|"
    "The Zandor Puzzle Team|"
    "|"
    "|"
    "Engineering Lead\r|"
    "|"
    "The Zandor Puzzle Team|"
    "|"
    "|"
    "Product Lead\r|"
    "|"
    "You know...|"
    "|"
    "|"
    "Engineering\r|"
    "|"
    "You still know...|"
    "|"
    "|"
    "* * * * * * * * *\t|"
    "|"
    "Bitmap1^|"
    "|";
// clang-format on

CAboutDlg::CAboutDlg(QWidget* pParentWnd) : CDialog(IDD_ABOUTBOX, pParentWnd)
{
    // The classic dialog face: the link's envelope and the arrow stand on this grey.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::MailTarget()
{
    return QStringLiteral("mailto:") + QString::fromLatin1(kContactAddress) +
           QStringLiteral("?subject=Zandor-Puzzle");
}

void CAboutDlg::DoDataExchange(CDataExchange*)
{
    // The link takes over control 1031 once; later showings find it in place.
    QWidget* pOld = GetDlgItem(IDC_MAILLINK);
    if (pOld == nullptr || pOld == &m_link)
        return;
    if (auto* label = qobject_cast<QLabel*>(pOld)) {
        m_link.setPixmap(label->pixmap());
        m_link.setAlignment(label->alignment());
    }
    if (ReplaceDlgItem(IDC_MAILLINK, &m_link) != nullptr)
        m_link.PreSubclassWindow();
}

bool CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_credits.SubclassDlgItem(IDC_CREDITS, this);
    m_credits.SetCredits(g_pszCredits, '|');
    m_credits.SetSpeed(2, 0);
    m_credits.SetColor(0, CreditsCompose::PackRgb(0, 0, 255));
    m_credits.SetTransparent(true);
    m_credits.SetBkImage(QString::fromLatin1(m_pszPictures[0]));
    m_credits.StartScrolling();

    SetTimer(kPictureTimer, kPictureInterval);

    m_link.SetUrl(MailTarget());
    m_link.ChangeLinkStyle(0, CHyperLink::HLS_FOLLOWONDOWN, true);
    return true;
}

void CAboutDlg::OnTimer(int nIDEvent)
{
    if (nIDEvent == kPictureTimer) {
        g_nAboutPicture = (g_nAboutPicture + 1) % 4;
        m_credits.SetBkImage(QString::fromLatin1(m_pszPictures[g_nAboutPicture]));
    }
    CDialog::OnTimer(nIDEvent);
}

#include "game/CongratsDlg.h"

#include "platform/PointFont.h"
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

QString CCongratsDlg::MovesText(int nMoves)
{
    return QString::asprintf("%d moves", nMoves);
}

QString CCongratsDlg::TimeText(int nMinutes, int nSeconds)
{
    return QString::asprintf("%d:%02d minutes", nMinutes, nSeconds);
}

bool CCongratsDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetBitmap(IDB_BACKGROUND, BITMAP_TILE);

    // Comic Neue, which stands in for Comic Sans MS, draws thinner strokes:
    // in bold the texts read as well over the patterned background.
    const QString face = QStringLiteral("Comic Sans MS");
    m_fontTitle = CPointFont::CreatePointFont(180, face);
    m_fontTitle.setBold(true);
    if (QWidget* title = GetDlgItem(IDC_CONGRATS_TITLE)) {
        title->setFont(m_fontTitle);
        title->update();
    }
    m_font = CPointFont::CreatePointFont(110, face);
    m_font.setBold(true);
    for (int id : {IDC_CONGRATS_SOLVED, IDC_CONGRATS_QUESTION, IDC_CONGRATS_NEEDED, IDC_CONGRATS_TIME,
                   IDC_CONGRATS_MOVES}) {
        if (QWidget* text = GetDlgItem(id)) {
            text->setFont(m_font);
            text->update();
        }
    }

    SetDlgItemText(IDC_CONGRATS_MOVES, MovesText(m_nMoves));
    SetDlgItemText(IDC_CONGRATS_TIME, TimeText(m_nMinutes, m_nSeconds));
    return true;
}

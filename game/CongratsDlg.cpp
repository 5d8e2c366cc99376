#include "game/CongratsDlg.h"

#include "platform/DialogUnits.h"
#include "platform/PointFont.h"
#include "res/Colors.h"
#include "res/ResourceIds.h"

#include <QLabel>
#include <QPainter>

namespace {

// Room above and below the strip's lines, in pixels.
constexpr int kStripPadding = 5;

} // namespace

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

void CCongratsDlg::SetNewBest(int nCols, int nRows, bool bFewestMoves, bool bShortestTime)
{
    m_nCols = nCols;
    m_nRows = nRows;
    m_bBestMoves = bFewestMoves;
    m_bBestTime = bShortestTime;
}

void CCongratsDlg::SetShortest(int nMoves)
{
    m_nShortest = nMoves;
}

void CCongratsDlg::SetHintsUsed(int nHints)
{
    m_nHintsUsed = nHints;
}

QString CCongratsDlg::MovesText(int nMoves)
{
    return QString::asprintf("%d moves", nMoves);
}

QString CCongratsDlg::TimeText(int nMinutes, int nSeconds)
{
    return QString::asprintf("%d:%02d minutes", nMinutes, nSeconds);
}

QString CCongratsDlg::BestMovesText() const
{
    return m_bBestMoves ? QStringLiteral("New best: fewest moves for %1 \u00D7 %2!").arg(m_nCols).arg(m_nRows)
                        : QString();
}

QString CCongratsDlg::BestTimeText() const
{
    return m_bBestTime ? QStringLiteral("New best: shortest time for %1 \u00D7 %2!").arg(m_nCols).arg(m_nRows)
                       : QString();
}

QString CCongratsDlg::ShortestText() const
{
    if (m_nShortest < 0) {
        return {};
    }
    return m_nShortest == 1 ? QStringLiteral("This start could be solved in 1 move.")
                            : QStringLiteral("This start could be solved in %1 moves.").arg(m_nShortest);
}

QString CCongratsDlg::HintsText() const
{
    if (m_nHintsUsed <= 0) {
        return {};
    }
    return m_nHintsUsed == 1 ? QStringLiteral("You used 1 hint.")
                             : QStringLiteral("You used %1 hints.").arg(m_nHintsUsed);
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
    LayOutStrip();
    return true;
}

void CCongratsDlg::LayOutStrip()
{
    const DialogTemplate* t = GetTemplate();
    if (!t) {
        return;
    }
    const QSize base = CDialogUnits::ClientSize(*t);
    m_fontStrip = CPointFont::CreatePointFont(90, QString::fromUtf8(t->fontFace));
    QFont bold = m_fontStrip;
    bold.setBold(true);

    const struct {
        int id;
        QString text;
        const QFont& font;
    } lines[] = {
        {IDC_CONGRATS_BEST_MOVES, BestMovesText(), bold},
        {IDC_CONGRATS_BEST_TIME, BestTimeText(), bold},
        {IDC_CONGRATS_SHORTEST, ShortestText(), m_fontStrip},
        {IDC_CONGRATS_HINTS, HintsText(), m_fontStrip},
    };
    int y = base.height() + kStripPadding;
    for (const auto& line : lines) {
        auto* label = GetDlgItemAs<QLabel>(line.id);
        if (!label) {
            continue;
        }
        label->setVisible(!line.text.isEmpty());
        label->setText(line.text);
        if (line.text.isEmpty()) {
            continue;
        }
        label->setFont(line.font);
        const int height = QFontMetrics(line.font).height() + 2;
        label->setGeometry(label->x(), y, label->width(), height);
        y += height;
    }
    if (y == base.height() + kStripPadding) {
        m_rcStrip = QRect();
        setFixedSize(base);
        return;
    }
    m_rcStrip = QRect(0, base.height(), base.width(), y + kStripPadding - base.height());
    setFixedSize(base.width(), y + kStripPadding);
}

void CCongratsDlg::OnPaint(QPainter* pDC)
{
    if (m_rcStrip.isEmpty()) {
        return;
    }
    // A light band under the strip's lines, so they read over the pattern.
    pDC->fillRect(m_rcStrip, QColor::fromRgba(kCongratsStrip));
    pDC->fillRect(QRect(m_rcStrip.topLeft(), QSize(m_rcStrip.width(), 1)),
                  QColor::fromRgb(kCongratsStripEdge));
}

#include "game/BestResultsDlg.h"

#include "platform/MessageBox.h"
#include "res/ResourceIds.h"
#include "shell/BestResults.h"

#include <QHeaderView>
#include <QTreeWidget>

CBestResultsDlg::CBestResultsDlg(CBestResults& results, QWidget* pParentWnd)
    : CDialog(IDD_BEST_RESULTS, pParentWnd), m_results(results)
{
    auto* list = new QTreeWidget;
    list->setColumnCount(3);
    list->setHeaderLabels(
        {QStringLiteral("Size"), QStringLiteral("Fewest moves"), QStringLiteral("Shortest time")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->header()->setSectionsMovable(false);
    list->header()->setSectionResizeMode(QHeaderView::Stretch);
    list->header()->setDefaultAlignment(Qt::AlignCenter);
    m_pList = qobject_cast<QTreeWidget*>(ReplaceDlgItem(IDC_BEST_LIST, list));
    if (!m_pList) {
        delete list;
    }
}

CBestResultsDlg::~CBestResultsDlg() = default;

QString CBestResultsDlg::TimeText(int nSeconds)
{
    return QString::asprintf("%d:%02d", nSeconds / 60, nSeconds % 60);
}

bool CBestResultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_results.Refresh();
    Fill();
    return true;
}

bool CBestResultsDlg::OnCommand(int nID)
{
    if (nID == IDC_BEST_CLEAR) {
        OnClear();
        return true;
    }
    return CDialog::OnCommand(nID);
}

void CBestResultsDlg::OnClear()
{
    if (CMessageBox::Show(QStringLiteral("Clear the best results of every size?"), MB_YESNO | MB_ICONQUESTION,
                          this) != IDYES) {
        return;
    }
    m_results.Clear();
    Fill();
}

void CBestResultsDlg::Fill()
{
    if (m_pList) {
        m_pList->clear();
        for (const CBestResults::Entry& e : m_results.Entries()) {
            auto* row = new QTreeWidgetItem(m_pList);
            row->setText(0, QStringLiteral("%1 \u00D7 %2").arg(e.nCols).arg(e.nRows));
            row->setText(1, QString::number(e.nFewestMoves));
            row->setText(2, TimeText(e.nShortestSeconds));
            for (int column = 0; column < 3; ++column) {
                row->setTextAlignment(column, Qt::AlignCenter);
            }
        }
    }
    QString note;
    if (m_results.Entries().empty()) {
        note = QStringLiteral("No puzzle solved yet.");
    }
    if (m_results.IsMemoryOnly()) {
        note += (note.isEmpty() ? QString() : QStringLiteral(" ")) +
                QStringLiteral("The results cannot be saved (%1): they last until the game ends.")
                    .arg(QString::fromStdString(m_results.GetError()));
    }
    SetDlgItemText(IDC_BEST_NOTE, note);
    if (QWidget* clear = GetDlgItem(IDC_BEST_CLEAR)) {
        clear->setEnabled(!m_results.Entries().empty());
    }
}

#pragma once

#include "platform/Dialog.h"

class CBestResults;
class QTreeWidget;

// "Best Results": every board size played, with its fewest moves and its
// shortest time, read afresh from the store when the dialog opens. "Clear..."
// asks first and then forgets them all; Close, Enter, Escape and the close box
// end it.
class CBestResultsDlg : public CDialog {
    Q_OBJECT
public:
    explicit CBestResultsDlg(CBestResults& results, QWidget* pParentWnd = nullptr);
    ~CBestResultsDlg() override;

    bool OnInitDialog() override;
    bool OnCommand(int nID) override;
    void OnClear();

    // The table (control 1055): size, fewest moves, shortest time.
    QTreeWidget* List() const { return m_pList; }

    // A time in seconds as the table shows it: "m:ss".
    static QString TimeText(int nSeconds);

private:
    // Fills the table and the note from the store.
    void Fill();

    CBestResults& m_results;
    QTreeWidget* m_pList = nullptr;
};

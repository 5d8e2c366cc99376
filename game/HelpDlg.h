#pragma once

#include "platform/Dialog.h"

class QTextBrowser;

// "How to play": the rules, the mouse and the keyboard, and the menus, as a
// page of rich text with an OK button. Run it modally; OK, Enter, Escape and
// the close box end it.
class CHelpDlg : public CDialog {
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* pParentWnd = nullptr);
    ~CHelpDlg() override;

    // The page (control 1040).
    QTextBrowser* Page() const { return m_pPage; }

private:
    QTextBrowser* m_pPage = nullptr;
};

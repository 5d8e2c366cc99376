#pragma once

#include <QString>

class CDialog;
class QWidget;

// One exchange of values between a dialog's fields and its controls, in the
// direction m_bSaveAndValidate gives (true: controls to fields, validated).
// A failing check shows its message, returns the focus to the offending
// control (an edit box gets its text selected) and ends the exchange: the
// exchange functions throw, and CDialog::UpdateData catches and returns false.
class CDataExchange {
public:
    // Thrown by Fail; caught by UpdateData.
    struct Failure {};

    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate);

    // The control with the id; remembered as the last one for Fail.
    QWidget* PrepareCtrl(int nIDC);
    QWidget* PrepareEditCtrl(int nIDC);
    [[noreturn]] void Fail();

    // Reads integer text as the framework does: at most the first 31
    // characters, spaces around a sign and digits allowed, nothing else.
    // Values beyond the int range are clamped to it, so that a range check
    // reports them. Returns false for text that is not an integer.
    static bool ParseInt(const QString& text, int& value);

    static QString NotAnIntegerMessage();
    static QString RangeMessage(long minVal, long maxVal);

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

private:
    QWidget* m_pLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Exchange functions, used inside DoDataExchange in the order of the fields.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, QString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Checks a value just exchanged; only when saving.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message box types and answers, as the dialogs name them.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDYES = 6, IDNO = 7 };

// Every message box of the program goes through Show, so tests can answer
// them: with a hook set, the hook gets the text and type and its result is
// the answer, and no box is shown.
class CMessageBox {
public:
    using Hook = std::function<int(const QString& text, unsigned nType)>;

    // Shows the text with the buttons and icon of nType over the active window;
    // returns IDOK, IDCANCEL, IDYES or IDNO.
    static int Show(const QString& text, unsigned nType = MB_OK, QWidget* parent = nullptr);

    static void SetTestHook(Hook hook);
    static bool HasTestHook();
};

// The framework's name for the same.
inline int AfxMessageBox(const QString& text, unsigned nType = MB_OK)
{
    return CMessageBox::Show(text, nType);
}

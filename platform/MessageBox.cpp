#include "platform/MessageBox.h"

#include "res/ResourceIds.h"

#include <QApplication>
#include <QMessageBox>

namespace {

CMessageBox::Hook& TestHook()
{
    static CMessageBox::Hook hook;
    return hook;
}

} // namespace

void CMessageBox::SetTestHook(Hook hook)
{
    TestHook() = std::move(hook);
}

bool CMessageBox::HasTestHook()
{
    return static_cast<bool>(TestHook());
}

int CMessageBox::Show(const QString& text, unsigned nType, QWidget* parent)
{
    if (TestHook()) {
        return TestHook()(text, nType);
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (nType & 0xF0) {
    case MB_ICONSTOP:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (nType & 0x0F) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    default:
        break;
    }
    QString title = QGuiApplication::applicationDisplayName();
    if (title.isEmpty()) {
        title = QStringLiteral("Zandor Puzzle");
    }
    QMessageBox box(icon, title, text, buttons, parent ? parent : QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

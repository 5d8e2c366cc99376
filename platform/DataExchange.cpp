#include "platform/DataExchange.h"

#include "platform/Dialog.h"
#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <climits>

CDataExchange::CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

QWidget* CDataExchange::PrepareCtrl(int nIDC)
{
    QWidget* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    m_pLastControl = control;
    m_bEditLastControl = false;
    return control;
}

QWidget* CDataExchange::PrepareEditCtrl(int nIDC)
{
    QWidget* control = PrepareCtrl(nIDC);
    m_bEditLastControl = qobject_cast<QLineEdit*>(control) != nullptr;
    return control;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate) {
        throw Failure{};
    }
    if (m_pLastControl) {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        if (m_bEditLastControl) {
            if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl)) {
                edit->selectAll();
            }
        }
    }
    throw Failure{};
}

bool CDataExchange::ParseInt(const QString& text, int& value)
{
    const QString s = text.left(31);
    int i = 0;
    const int n = static_cast<int>(s.size());
    while (i < n && s[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    long long magnitude = 0;
    int digits = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        magnitude = std::min<long long>(magnitude * 10 + (s[i].unicode() - u'0'), 1LL << 40);
        ++digits;
        ++i;
    }
    while (i < n && s[i].isSpace()) {
        ++i;
    }
    if (digits == 0 || i != n) {
        return false;
    }
    const long long v = negative ? -magnitude : magnitude;
    value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

QString CDataExchange::NotAnIntegerMessage()
{
    return QStringLiteral("Geben Sie bitte eine ganze Zahl ein.");
}

QString CDataExchange::RangeMessage(long minVal, long maxVal)
{
    return QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.").arg(minVal).arg(maxVal);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    QWidget* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        if (!CDataExchange::ParseInt(CDialog::ControlText(control), parsed)) {
            AfxMessageBox(CDataExchange::NotAnIntegerMessage(), MB_OK);
            pDX->Fail();
        }
        value = parsed;
    } else {
        CDialog::SetControlText(control, QString::number(value));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value)
{
    QWidget* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = CDialog::ControlText(control);
    } else {
        CDialog::SetControlText(control, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    auto* button = qobject_cast<QAbstractButton*>(pDX->PrepareCtrl(nIDC));
    auto* check = qobject_cast<QCheckBox*>(button);
    if (pDX->m_bSaveAndValidate) {
        if (check) {
            value = check->checkState() == Qt::Checked            ? 1
                    : check->checkState() == Qt::PartiallyChecked ? 2
                                                                  : 0;
        } else {
            value = button && button->isChecked() ? 1 : 0;
        }
        return;
    }
    // Values other than unchecked, checked and indeterminate count as unchecked.
    if (value < 0 || value > 2) {
        value = 0;
    }
    if (check) {
        if (value == 2) {
            check->setTristate(true);
        }
        check->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    } else if (button) {
        button->setChecked(value != 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate) {
        return;
    }
    if (value < minVal || value > maxVal) {
        AfxMessageBox(CDataExchange::RangeMessage(minVal, maxVal), MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

#include "platform/Dialog.h"

#include "platform/DataExchange.h"
#include "platform/DialogUnits.h"
#include "platform/GroupBox.h"
#include "platform/PointFont.h"
#include "platform/SpinButtonCtrl.h"
#include "res/ResourceIds.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr const char* kOriginalPalette = "dlgOriginalPalette";

Qt::WindowFlags FlagsOf(const DialogTemplate& t)
{
    if (t.style & kThinBorder) {
        return Qt::Tool | Qt::FramelessWindowHint;
    }
    Qt::WindowFlags f = (t.style & kAppWindow) ? Qt::Window : Qt::Dialog;
    f |= Qt::CustomizeWindowHint;
    if (t.style & kCaption) {
        f |= Qt::WindowTitleHint;
    }
    if (t.style & kSysMenu) {
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (t.style & kMinimizeBox) {
        f |= Qt::WindowMinimizeButtonHint;
    }
    return f;
}

// Sets a check state, also on a button of an exclusive group.
void SetChecked(QAbstractButton* button, bool checked)
{
    QButtonGroup* group = button->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive) {
        group->setExclusive(false);
    }
    button->setChecked(checked);
    if (exclusive) {
        group->setExclusive(true);
    }
}

} // namespace

CDialog::CDialog(int nIDTemplate, QWidget* pParentWnd)
    : QDialog(pParentWnd), m_pTemplate(FindDialogTemplate(nIDTemplate)),
      m_timers([this](int id) { OnTimer(id); })
{
    setMouseTracking(true);
    if (!m_pTemplate) {
        return;
    }
    const DialogTemplate& t = *m_pTemplate;
    setWindowFlags(FlagsOf(t));
    setWindowTitle(QString::fromUtf8(t.title));
    setFont(CPointFont::CreatePointFont(t.pointSize * 10, QString::fromUtf8(t.fontFace)));
    m_controls = CDialogBuilder::Build(this, t);
    setFixedSize(CDialogUnits::ClientSize(t));
    for (const auto& control : m_controls) {
        auto* button = qobject_cast<QAbstractButton*>(control.widget);
        const int id = control.item->id;
        if (button && id > 0) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        }
    }
}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    return exec();
}

bool CDialog::Create()
{
    show();
    return true;
}

void CDialog::EndDialog(int nResult)
{
    done(nResult);
}

void CDialog::done(int r)
{
    m_timers.KillAllTimers();
    m_bInitDone = false;
    QDialog::done(r);
}

void CDialog::accept()
{
    OnOK();
}

void CDialog::reject()
{
    OnCancel();
}

QWidget* CDialog::GetDlgItem(int nID) const
{
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant id = child->property(CDialogBuilder::kIdProperty);
        if (id.isValid() && id.toInt() == nID) {
            return child;
        }
    }
    return nullptr;
}

QWidget* CDialog::ReplaceDlgItem(int nID, QWidget* replacement)
{
    QWidget* old = GetDlgItem(nID);
    if (!old || !replacement) {
        return nullptr;
    }
    replacement->setParent(this);
    replacement->setGeometry(old->geometry());
    replacement->setProperty(CDialogBuilder::kIdProperty, nID);
    replacement->setObjectName(old->objectName());
    replacement->setFont(old->font());
    replacement->stackUnder(old);
    if (old->focusPolicy() & Qt::TabFocus) {
        QWidget::setTabOrder(old, replacement);
    }
    replacement->setVisible(!old->isHidden());
    for (auto& control : m_controls) {
        if (control.widget == old) {
            control.widget = replacement;
        }
    }
    delete old;
    return replacement;
}

QString CDialog::ControlText(const QWidget* pWnd)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(pWnd)) {
        return edit->text();
    }
    if (auto* label = qobject_cast<const QLabel*>(pWnd)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(pWnd)) {
        return button->text();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(pWnd)) {
        return group->title();
    }
    return pWnd ? pWnd->windowTitle() : QString();
}

void CDialog::SetControlText(QWidget* pWnd, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(pWnd)) {
        edit->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(pWnd)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(pWnd)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(pWnd)) {
        group->setTitle(text);
    } else if (pWnd) {
        pWnd->setWindowTitle(text);
    }
}

void CDialog::SetDlgItemText(int nID, const QString& text)
{
    SetControlText(GetDlgItem(nID), text);
}

QString CDialog::GetDlgItemText(int nID) const
{
    return ControlText(GetDlgItem(nID));
}

void CDialog::CheckDlgButton(int nIDButton, int nCheck)
{
    QWidget* w = GetDlgItem(nIDButton);
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        if (nCheck == 2) {
            box->setTristate(true);
        }
        box->setCheckState(nCheck == 1 ? Qt::Checked : nCheck == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        SetChecked(button, nCheck != 0);
    }
}

int CDialog::IsDlgButtonChecked(int nIDButton) const
{
    QWidget* w = GetDlgItem(nIDButton);
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        return box->checkState() == Qt::Checked ? 1 : box->checkState() == Qt::PartiallyChecked ? 2 : 0;
    }
    auto* button = qobject_cast<QAbstractButton*>(w);
    return button && button->isChecked() ? 1 : 0;
}

void CDialog::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        if (auto* button = GetDlgItemAs<QAbstractButton>(id)) {
            SetChecked(button, id == nIDCheckButton);
        }
    }
}

int CDialog::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        if (auto* button = GetDlgItemAs<QAbstractButton>(id); button && button->isChecked()) {
            return id;
        }
    }
    return 0;
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return false;
    }
    return true;
}

void CDialog::SetMenuBar(QMenuBar* pMenu)
{
    const int old = m_nMenuHeight;
    m_nMenuHeight = pMenu ? pMenu->sizeHint().height() : 0;
    if (pMenu) {
        pMenu->setParent(this);
        pMenu->setGeometry(0, 0, width(), m_nMenuHeight);
        pMenu->show();
    }
    const int delta = m_nMenuHeight - old;
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child != pMenu && child->property(CDialogBuilder::kIdProperty).isValid()) {
            child->move(child->pos() + QPoint(0, delta));
        }
    }
    setFixedSize(width(), height() + delta);
}

QRect CDialog::GetClientRect() const
{
    return QRect(0, 0, width(), height() - m_nMenuHeight);
}

void CDialog::Invalidate()
{
    update();
}

void CDialog::InvalidateRect(const QRect& rcClient)
{
    update(rcClient.translated(ClientOrigin()));
}

int CDialog::CtlColorType(const QWidget* pWnd)
{
    if (!pWnd || qobject_cast<const CSpinButtonCtrl*>(pWnd)) {
        return -1;
    }
    if (qobject_cast<const QSlider*>(pWnd)) {
        return CTLCOLOR_STATIC;
    }
    if (qobject_cast<const QAbstractButton*>(pWnd)) {
        return CTLCOLOR_BTN;
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(pWnd)) {
        // Read-only and disabled edit boxes ask as statics do.
        return edit->isReadOnly() || !edit->isEnabled() ? CTLCOLOR_STATIC : CTLCOLOR_EDIT;
    }
    if (qobject_cast<const QFrame*>(pWnd) || qobject_cast<const QGroupBox*>(pWnd)) {
        return CTLCOLOR_STATIC;
    }
    return -1;
}

void CDialog::UpdateControlColors()
{
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (!child->property(CDialogBuilder::kIdProperty).isValid()) {
            continue;
        }
        const int type = CtlColorType(child);
        if (type < 0) {
            continue;
        }
        CtlColorContext dc;
        const std::optional<QBrush> brush = OnCtlColor(dc, child, type);
        ApplyCtlColor(child, dc, brush);
    }
}

void CDialog::ApplyCtlColor(QWidget* pWnd, const CtlColorContext& dc, const std::optional<QBrush>& brush)
{
    if (!pWnd->property(kOriginalPalette).isValid()) {
        pWnd->setProperty(kOriginalPalette, QVariant::fromValue(pWnd->palette()));
    }
    QPalette pal = pWnd->property(kOriginalPalette).value<QPalette>();
    auto* edit = qobject_cast<QLineEdit*>(pWnd);
    bool fill = false;
    if (!brush) {
        // A trackbar keeps its ordinary, opaque background.
        fill = qobject_cast<QSlider*>(pWnd) != nullptr;
    } else if (brush->style() == Qt::NoBrush) {
        // Nothing is filled; the window colour only gives the style the tone
        // it draws frames and outlines against.
        pal.setColor(QPalette::Window, brush->color());
        if (edit) {
            pal.setBrush(QPalette::Base, Qt::transparent);
        }
    } else {
        pal.setBrush(QPalette::Window, *brush);
        if (edit) {
            pal.setBrush(QPalette::Base, *brush);
        }
        fill = edit == nullptr;
    }
    if (dc.textColor.isValid()) {
        pal.setColor(QPalette::WindowText, dc.textColor);
        pal.setColor(QPalette::Text, dc.textColor);
        pal.setColor(QPalette::ButtonText, dc.textColor);
    }
    const bool opaqueText = dc.nBkMode == OPAQUE && dc.bkColor.isValid();
    if (auto* group = qobject_cast<CGroupBox*>(pWnd)) {
        group->SetCaptionBackground(opaqueText ? dc.bkColor : QColor());
    } else if (opaqueText && qobject_cast<QLabel*>(pWnd)) {
        pal.setColor(QPalette::Window, dc.bkColor);
        fill = true;
    }
    pWnd->setPalette(pal);
    pWnd->setAutoFillBackground(fill);
    pWnd->update();
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

void CDialog::OnOK()
{
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(int nID)
{
    if (nID == IDOK) {
        OnOK();
        return true;
    }
    if (nID == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnTimer(int)
{
}

bool CDialog::DefaultEraseBkgnd(QPainter* pDC)
{
    pDC->fillRect(GetClientRect(), palette().window());
    return true;
}

bool CDialog::OnEraseBkgnd(QPainter* pDC)
{
    return DefaultEraseBkgnd(pDC);
}

void CDialog::OnPaint(QPainter*)
{
}

std::optional<QBrush> CDialog::OnCtlColor(CtlColorContext&, QWidget*, int)
{
    return std::nullopt;
}

void CDialog::OnLButtonDown(Qt::KeyboardModifiers, QPoint)
{
}
void CDialog::OnLButtonUp(Qt::KeyboardModifiers, QPoint)
{
}
void CDialog::OnMouseMove(Qt::KeyboardModifiers, QPoint)
{
}

void CDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_bInitDone) {
        return;
    }
    m_bInitDone = true;
    const bool defaultFocus = OnInitDialog();
    UpdateControlColors();
    if (defaultFocus) {
        for (const auto& control : m_controls) {
            QWidget* w = control.widget;
            if ((control.item->style & kTabStop) && !w->isHidden() && w->isEnabled() && w->parent() == this) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
}

void CDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.translate(ClientOrigin());
    p.setClipRect(GetClientRect(), Qt::IntersectClip);
    OnEraseBkgnd(&p);
    OnPaint(&p);
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OnCommand(IDCANCEL);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused && !focused->isCheckable() && focused->isVisible() && focused->isEnabled() &&
            focused->parent() == this) {
            focused->click();
            return;
        }
        for (const auto& control : m_controls) {
            auto* button = qobject_cast<QPushButton*>(control.widget);
            if (button && control.item->kind == DialogItemKind::DefPushButton && button->isVisible() &&
                button->isEnabled()) {
                button->click();
                return;
            }
        }
        OnCommand(IDOK);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    OnCommand(IDCANCEL);
}

void CDialog::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint() - ClientOrigin();
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->modifiers(), point);
    }
    QDialog::mousePressEvent(event);
}

void CDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        OnLButtonUp(event->modifiers(), event->position().toPoint() - ClientOrigin());
    }
    QDialog::mouseReleaseEvent(event);
}

void CDialog::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(event->modifiers(), event->position().toPoint() - ClientOrigin());
    QDialog::mouseMoveEvent(event);
}

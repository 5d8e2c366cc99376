#pragma once

#include "platform/CtlColor.h"
#include "platform/DialogBuilder.h"
#include "platform/WindowTimers.h"
#include "res/DialogTemplates.h"

#include <QBrush>
#include <QDialog>

#include <optional>
#include <vector>

class CDataExchange;
class QMenuBar;
class QPainter;

// A dialog built from a numbered layout table, in the manner of the
// framework's dialogs:
// - DoModal runs it modally; OnInitDialog runs once per showing before it
//   first appears (returning true gives the focus to the first tab stop);
// - button clicks and Enter/Escape arrive as OnCommand(id); ids 1 and 2 call
//   OnOK and OnCancel; the close box also sends 2; Enter sends the id of the
//   focused push button, else of the default push button, else 1;
// - DoDataExchange/UpdateData move values between fields and controls;
// - numbered timers tick into OnTimer; they stop when the dialog ends;
// - painting: OnEraseBkgnd, then OnPaint, in client coordinates (below the
//   menu bar, when one is set); mouse handlers get client coordinates too;
// - OnCtlColor decides each control's background and text colours
//   (applied by UpdateControlColors, which runs after OnInitDialog).
class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(int nIDTemplate, QWidget* pParentWnd = nullptr);
    ~CDialog() override;

    const DialogTemplate* GetTemplate() const { return m_pTemplate; }

    virtual int DoModal();
    // Shows the dialog modeless.
    bool Create();
    void EndDialog(int nResult);

    // The control with the id (the first one in template order), or null.
    QWidget* GetDlgItem(int nID) const;
    // Puts replacement in the place of control nID (geometry, id, name,
    // visibility, stacking and tab order) and deletes the old control.
    // Returns the replacement, or null when there is no such control.
    QWidget* ReplaceDlgItem(int nID, QWidget* replacement);
    template <class T> T* GetDlgItemAs(int nID) const { return qobject_cast<T*>(GetDlgItem(nID)); }
    void SetDlgItemText(int nID, const QString& text);
    QString GetDlgItemText(int nID) const;
    void CheckDlgButton(int nIDButton, int nCheck);
    int IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    // The controls as the template built them, in template order.
    const std::vector<CDialogBuilder::Control>& Controls() const { return m_controls; }
    // The text of a control (edit, label, button) and setting it.
    static QString ControlText(const QWidget* pWnd);
    static void SetControlText(QWidget* pWnd, const QString& text);

    bool UpdateData(bool bSaveAndValidate = true);

    int SetTimer(int nIDEvent, int nElapse) { return m_timers.SetTimer(nIDEvent, nElapse); }
    bool KillTimer(int nIDEvent) { return m_timers.KillTimer(nIDEvent); }
    const CWindowTimers& Timers() const { return m_timers; }

    // Places a menu bar above the client area; the controls move down with it.
    void SetMenuBar(QMenuBar* pMenu);
    // Top-left of the client area in widget coordinates, and its rectangle
    // in client coordinates.
    QPoint ClientOrigin() const { return {0, m_nMenuHeight}; }
    QRect GetClientRect() const;
    void Invalidate();
    void InvalidateRect(const QRect& rcClient);

    // Recomputes every control's colours through OnCtlColor.
    void UpdateControlColors();
    // The colour kind a control asks with; -1 for widgets that do not ask.
    static int CtlColorType(const QWidget* pWnd);

    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // Returns whether the command was handled.
    virtual bool OnCommand(int nID);
    virtual void OnTimer(int nIDEvent);
    // Erases the client area; returns whether it was erased. The default
    // fills it with the window colour.
    virtual bool OnEraseBkgnd(QPainter* pDC);
    virtual void OnPaint(QPainter* pDC);
    // nullopt: the control keeps its ordinary colours; Qt::NoBrush: its
    // background is hollow and the dialog shows through (the brush's colour
    // is the tone of what shows through, which frames and outlines are drawn
    // against); a solid brush fills it.
    virtual std::optional<QBrush> OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor);
    virtual void OnLButtonDown(Qt::KeyboardModifiers nFlags, QPoint point);
    virtual void OnLButtonUp(Qt::KeyboardModifiers nFlags, QPoint point);
    virtual void OnMouseMove(Qt::KeyboardModifiers nFlags, QPoint point);

public slots:
    void done(int r) override;
    void accept() override;
    void reject() override;

protected:
    // The framework's erase, for handlers that fall back to it.
    bool DefaultEraseBkgnd(QPainter* pDC);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ApplyCtlColor(QWidget* pWnd, const CtlColorContext& dc, const std::optional<QBrush>& brush);

    const DialogTemplate* m_pTemplate;
    std::vector<CDialogBuilder::Control> m_controls;
    CWindowTimers m_timers;
    int m_nMenuHeight = 0;
    bool m_bInitDone = false;
};

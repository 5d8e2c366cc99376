#pragma once

#include <QFont>
#include <QLabel>
#include <QMessageBox>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QCursor;

// A label that acts as a link: its text is drawn in link colours (underlined unless the
// style says otherwise), the pointing-hand cursor shows over it, its tooltip is the link
// target, and a click or the space key opens the target with the desktop's opener,
// falling back to the default web browser. When the target cannot be opened the control
// beeps and explains why in a message box. The desktop is never waited for: the window
// stays live while the opener and the browser lookup run.
//
// Use: place it like any label (text or picture, font, geometry), then call
// PreSubclassWindow() once - the moment the dialog takes the control over - and
// configure it with SetUrl() and ChangeLinkStyle().
class CHyperLink : public QLabel {
    Q_OBJECT

public:
    // Style flags
    static constexpr quint32 HLS_UNDERLINE = 0x01;     // the link font is underlined
    static constexpr quint32 HLS_HOVERCOLOR = 0x02;    // hover colour while the mouse is over it
    static constexpr quint32 HLS_AUTOSIZE = 0x04;      // the control is fitted to its text
    static constexpr quint32 HLS_FOLLOWONDOWN = 0x08;  // opens on button-down, not button-up
    static constexpr quint32 HLS_FOCUSONCLICK = 0x10;  // a click gives it the keyboard focus
    static constexpr quint32 HLS_NOLINKCURSOR = 0x20;  // it loads no link cursor itself
    static constexpr quint32 HLS_NOACTIVECOLOR = 0x40; // the active colour is not used
    static constexpr quint32 kDefaultStyle = 0x15;     // underline, autosize, focus on click

    static constexpr QRgb s_crLink = qRgb(0, 0, 255);      // not visited yet
    static constexpr QRgb s_crActive = qRgb(0, 128, 128);  // focused or clicked
    static constexpr QRgb s_crVisited = qRgb(128, 0, 128); // opened at least once
    static constexpr QRgb s_crHover = qRgb(255, 0, 0);     // mouse over it (HLS_HOVERCOLOR)

    static inline const QString kErrorPrefix = QStringLiteral("Can't open link:\n\n");

    explicit CHyperLink(QWidget* pParent = nullptr);
    ~CHyperLink() override;

    // Takes the control over: an empty target becomes the label's text, an empty text the
    // target (a picture label keeps its picture); the font gets the style's underline and
    // the control is fitted to its text; the link cursor is loaded unless
    // HLS_NOLINKCURSOR; the tooltip shows the target.
    void PreSubclassWindow();

    // Stores the target; once taken over, also refits, updates the tooltip and shows the
    // control.
    void SetUrl(const QString& strTarget);
    QString GetUrl() const { return m_strUrl; }

    // Removes the dwRemove bits and adds the dwAdd bits; false (and nothing changed) when
    // the two share a bit. With bApply on a taken-over control the font, size and colour
    // follow at once.
    bool ChangeLinkStyle(quint32 dwRemove, quint32 dwAdd, bool bApply);
    quint32 GetLinkStyle() const { return m_dwLinkStyle; }

    // Makes a copy of font (underline as in font) the control's font and refits it.
    void SetLinkFont(const QFont& font);

    // With HLS_AUTOSIZE: resizes the control to its text in the link font (to its picture
    // when it shows one), keeping the text where the alignment puts it.
    void FitToText();

    // Opens the target without waiting for the desktop; once the outcome is known it
    // marks the link visited, or beeps and reports why it failed. A click while an open
    // is under way adds nothing.
    void FollowLink();
    bool IsOpening() const { return m_bOpening; }

    // The text colour for the present state.
    QRgb CtlColor() const;

    bool IsActive() const { return m_bActive; }
    bool IsHover() const { return m_bHover; }
    bool IsVisited() const { return m_bLinkVisited; }

    // The shared link cursor, null until a control has loaded it.
    static const QCursor* LinkCursor() { return s_hLinkCursor; }
    static void LoadLinkCursor();

    using Done = std::function<void(int nResult)>;

    // Opens strTarget with the desktop's opener, else runs the default web browser's
    // command with the target as its argument. Never waits: fnDone gets a LinkResult
    // code (above 32 on success) once the outcome is known, at once or later from the
    // event loop, and never after pContext is destroyed.
    static void OpenTarget(const QString& strTarget, QObject* pContext, Done fnDone);

    // The message for a result code, "Can't open link:\n\n" included.
    static QString LinkErrorText(int nError);
    // Shows LinkErrorText(nError) in a warning message box with an OK button.
    static void ReportLinkError(int nError);

    // An opener still running after this long has handed the target to a program that
    // now runs in its place (xdg-open may wait for the mail program): the target counts
    // as opened, and the opener's end is no longer looked at.
    static inline int s_nOpenerPatienceMs = 3000;

    // Seams to the desktop; tests replace them. s_pfnOpenUrl runs the desktop's opener
    // (xdg-open) on the URL and reports its LinkResult code through fnDone - by default
    // from the event loop, once the opener has ended or the patience has run out.
    static std::function<void(const QUrl& url, QObject* pContext, Done fnDone)> s_pfnOpenUrl;
    static std::function<bool(const QString& strProgram, const QStringList& args)> s_pfnStartDetached;
    static std::function<void(const QString& strText, QMessageBox::Icon icon)> s_pfnMessageBox;
    static std::function<void()> s_pfnBeep;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void enterEvent(QEnterEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    void OnSetCursor();
    void OnMouseMove(const QPoint& point);
    void OnLButtonDown();
    void OnLButtonUp();
    // The outcome of FollowLink.
    void OnFollowed(int nResult);
    void Repaint();
    bool ShowsPicture() const;

    bool m_bActive = false;
    bool m_bHover = false;
    bool m_bLinkVisited = false;
    quint32 m_dwLinkStyle = kDefaultStyle;
    QString m_strUrl;
    QFont m_fontLink;
    bool m_bAttached = false;
    bool m_bOpening = false; // FollowLink waits for the desktop

    static QCursor* s_hLinkCursor;
};

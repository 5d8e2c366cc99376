#include "imaging/HyperLink.h"

#include "imaging/BrowserCommand.h"
#include "imaging/LinkResult.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QProcess>
#include <QTimer>

#include <memory>

QCursor* CHyperLink::s_hLinkCursor = nullptr;

namespace {

// Runs the desktop's opener on the URL without waiting for it. Its exit status, a
// failure to start it, or its running on past the patience gives the result, which is
// handed on from the event loop.
void RunOpener(const QUrl& url, QObject* pContext, CHyperLink::Done fnDone)
{
    auto* process = new QProcess(pContext);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    auto bReported = std::make_shared<bool>(false);
    const auto report = [pContext, bReported, fnDone](int nResult) {
        if (*bReported)
            return;
        *bReported = true;
        QMetaObject::invokeMethod(
            pContext, [fnDone, nResult] { fnDone(nResult); }, Qt::QueuedConnection);
    };
    QTimer::singleShot(CHyperLink::s_nOpenerPatienceMs, process, [report] { report(LinkResult::Opened); });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            report(LinkResult::NoAssoc);
            process->deleteLater();
        }
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int nExitCode, QProcess::ExitStatus status) {
                         report(status == QProcess::NormalExit ? LinkResult::FromOpenerExit(nExitCode)
                                                               : LinkResult::AssocIncomplete);
                         process->deleteLater();
                     });
    process->start(QStringLiteral("xdg-open"), {QString::fromUtf8(url.toEncoded())});
}

// The fallback: the default web browser's command with the target as its argument.
// nShell is the opener's failure, reported when no browser command is known.
void OpenWithBrowser(const QString& strTarget, int nShell, QObject* pContext, CHyperLink::Done fnDone)
{
    const auto withBrowser = [strTarget, nShell, fnDone](const QString& strDesktopId) {
        QString strCommand;
        if (!CBrowserCommand::QueryDefault(strDesktopId, strCommand)) {
            fnDone(nShell);
            return;
        }
        CBrowserCommand::Line line;
        int nError = 0;
        if (!CBrowserCommand::Assemble(strCommand, strTarget, line, nError)) {
            fnDone(nError);
            return;
        }
        const auto& start = CHyperLink::s_pfnStartDetached;
        fnDone(start && start(line.strProgram, line.args) ? LinkResult::Opened : LinkResult::FileNotFound);
    };
    if (CBrowserCommand::s_pfnDefaultBrowser)
        CBrowserCommand::s_pfnDefaultBrowser(pContext, withBrowser);
    else
        withBrowser({});
}

} // namespace

std::function<void(const QUrl&, QObject*, CHyperLink::Done)> CHyperLink::s_pfnOpenUrl = RunOpener;

std::function<bool(const QString&, const QStringList&)> CHyperLink::s_pfnStartDetached =
    [](const QString& strProgram, const QStringList& args) {
        return QProcess::startDetached(strProgram, args);
    };

std::function<void(const QString&, QMessageBox::Icon)> CHyperLink::s_pfnMessageBox =
    [](const QString& strText, QMessageBox::Icon icon) {
        QMessageBox box(icon, QGuiApplication::applicationDisplayName(), strText, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    };

std::function<void()> CHyperLink::s_pfnBeep = [] { QApplication::beep(); };

CHyperLink::CHyperLink(QWidget* pParent) : QLabel(pParent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

CHyperLink::~CHyperLink()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

bool CHyperLink::ShowsPicture() const
{
    return !pixmap().isNull();
}

void CHyperLink::PreSubclassWindow()
{
    if (m_strUrl.isEmpty())
        m_strUrl = text();
    // A picture label keeps its picture: its face is the picture, not the target.
    if (text().isEmpty() && !ShowsPicture())
        setText(m_strUrl);

    m_fontLink = font();
    m_fontLink.setUnderline((m_dwLinkStyle & HLS_UNDERLINE) != 0);
    setFont(m_fontLink);
    m_bAttached = true;
    FitToText();

    if (!(m_dwLinkStyle & HLS_NOLINKCURSOR))
        LoadLinkCursor();
    OnSetCursor();

    setToolTip(m_strUrl);
    Repaint();
}

void CHyperLink::SetUrl(const QString& strTarget)
{
    m_strUrl = strTarget;
    if (!m_bAttached)
        return;
    FitToText();
    setToolTip(m_strUrl);
    show();
}

bool CHyperLink::ChangeLinkStyle(quint32 dwRemove, quint32 dwAdd, bool bApply)
{
    if (dwRemove & dwAdd)
        return false;
    m_dwLinkStyle = (m_dwLinkStyle & ~dwRemove) | dwAdd;
    if (!bApply || !m_bAttached)
        return true;

    if ((dwAdd | dwRemove) & HLS_UNDERLINE) {
        QFont fontNew = font();
        fontNew.setUnderline((m_dwLinkStyle & HLS_UNDERLINE) != 0);
        SetLinkFont(fontNew);
    }
    if (dwAdd & HLS_AUTOSIZE)
        FitToText();
    Repaint();
    return true;
}

void CHyperLink::SetLinkFont(const QFont& font)
{
    m_fontLink = font;
    setFont(m_fontLink);
    FitToText();
    if (m_bAttached)
        show();
}

void CHyperLink::FitToText()
{
    if (!(m_dwLinkStyle & HLS_AUTOSIZE))
        return;

    const QRect rcWindow = geometry();
    const int nMargin = margin();
    const QRect rcClient = contentsRect().adjusted(nMargin, nMargin, -nMargin, -nMargin);
    const int nBorderWidth = rcWindow.width() - rcClient.width();
    const int nBorderHeight = rcWindow.height() - rcClient.height();

    QSize sizeText;
    if (ShowsPicture())
        sizeText = pixmap().deviceIndependentSize().toSize();
    else
        sizeText = QFontMetrics(m_fontLink).size(0, text());

    int left = rcWindow.x();
    int top = rcWindow.y();
    int right = left + rcWindow.width();
    int bottom = top + rcWindow.height();

    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter) {
        const int nShrink = (bottom - top - sizeText.height()) / 2;
        top += nShrink;
        bottom -= nShrink;
    } else if (align & Qt::AlignBottom) {
        top = bottom - sizeText.height();
    } else {
        bottom = top + sizeText.height();
    }
    if (align & Qt::AlignHCenter) {
        const int nShrink = (right - left - sizeText.width()) / 2;
        left += nShrink;
        right -= nShrink;
    } else if (align & Qt::AlignRight) {
        left = right - sizeText.width();
    } else {
        right = left + sizeText.width();
    }

    setGeometry(left, top, right - left + nBorderWidth, bottom - top + nBorderHeight);
    update();
}

void CHyperLink::FollowLink()
{
    if (m_bOpening)
        return;
    m_bOpening = true;
    OpenTarget(m_strUrl, this, [this](int nResult) {
        m_bOpening = false;
        OnFollowed(nResult);
    });
}

void CHyperLink::OnFollowed(int nResult)
{
    if (LinkResult::Succeeded(nResult)) {
        m_bLinkVisited = true;
        Repaint();
        return;
    }
    // The message box must get the mouse: give up a hover capture first.
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
        m_bHover = false;
        Repaint();
    }
    if (s_pfnBeep)
        s_pfnBeep();
    ReportLinkError(nResult);
}

QRgb CHyperLink::CtlColor() const
{
    if (m_bHover && (m_dwLinkStyle & HLS_HOVERCOLOR))
        return s_crHover;
    if (m_bActive && !(m_dwLinkStyle & HLS_NOACTIVECOLOR))
        return s_crActive;
    if (m_bLinkVisited)
        return s_crVisited;
    return s_crLink;
}

void CHyperLink::LoadLinkCursor()
{
    if (!s_hLinkCursor)
        s_hLinkCursor = new QCursor(Qt::PointingHandCursor); // shared, lives as long as the program
}

void CHyperLink::OpenTarget(const QString& strTarget, QObject* pContext, Done fnDone)
{
    if (strTarget.isEmpty()) {
        fnDone(LinkResult::FileNotFound);
        return;
    }
    const QUrl url = QUrl::fromUserInput(strTarget);
    if (!url.isValid() || !s_pfnOpenUrl) {
        OpenWithBrowser(strTarget, url.isValid() ? LinkResult::NoAssoc : LinkResult::FileNotFound, pContext,
                        fnDone);
        return;
    }
    s_pfnOpenUrl(url, pContext, [strTarget, pContext, fnDone](int nShell) {
        if (LinkResult::Succeeded(nShell))
            fnDone(nShell);
        else
            OpenWithBrowser(strTarget, nShell, pContext, fnDone);
    });
}

QString CHyperLink::LinkErrorText(int nError)
{
    QString strText;
    switch (nError) {
    case LinkResult::OutOfResources:
        strText = QStringLiteral("The operating system is out\nof memory or resources.");
        break;
    case LinkResult::FileNotFound:
        strText = QStringLiteral("The specified file was not found.");
        break;
    case LinkResult::PathNotFound:
        strText = QStringLiteral("The specified path was not found.");
        break;
    case LinkResult::AccessDenied:
        strText = QStringLiteral("The operating system denied\naccess to the specified file.");
        break;
    case LinkResult::OutOfMemory:
        strText = QStringLiteral("There was not enough memory to complete the operation.");
        break;
    case LinkResult::BadFormat:
        strText = QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        break;
    case LinkResult::SharingViolation:
        strText = QStringLiteral("A sharing violation occurred. ");
        break;
    case LinkResult::AssocIncomplete:
        strText = QStringLiteral("The filename association is\nincomplete or invalid.");
        break;
    case LinkResult::DdeTimeout:
        strText =
            QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
        break;
    case LinkResult::DdeFail:
        strText = QStringLiteral("The DDE transaction failed.");
        break;
    case LinkResult::DdeBusy:
        strText =
            QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                           "were being processed.");
        break;
    case LinkResult::NoAssoc:
        strText = QStringLiteral("There is no application associated\nwith the given filename extension.");
        break;
    case LinkResult::DllNotFound:
        strText = QStringLiteral("The specified dynamic-link library was not found.");
        break;
    default:
        strText = QString::asprintf("Unknown Error (%d) occurred.", nError);
        break;
    }
    return kErrorPrefix + strText;
}

void CHyperLink::ReportLinkError(int nError)
{
    if (s_pfnMessageBox)
        s_pfnMessageBox(LinkErrorText(nError), QMessageBox::Warning);
}

void CHyperLink::Repaint()
{
    const QColor color(CtlColor());
    if (palette().color(foregroundRole()) != color) {
        QPalette pal = palette();
        pal.setColor(foregroundRole(), color);
        setPalette(pal);
    }
    update();
}

void CHyperLink::OnSetCursor()
{
    if (s_hLinkCursor && (!testAttribute(Qt::WA_SetCursor) || cursor().shape() != s_hLinkCursor->shape()))
        setCursor(*s_hLinkCursor);
}

void CHyperLink::OnMouseMove(const QPoint& point)
{
    if (!m_bHover) {
        m_bHover = true;
        Repaint();
        grabMouse();
    } else if (!rect().contains(point)) {
        m_bHover = false;
        releaseMouse();
        Repaint();
    }
}

void CHyperLink::OnLButtonDown()
{
    if (m_dwLinkStyle & HLS_FOCUSONCLICK)
        setFocus(Qt::MouseFocusReason);
    if (m_dwLinkStyle & HLS_FOLLOWONDOWN)
        FollowLink();
    m_bActive = true;
    Repaint();
}

void CHyperLink::OnLButtonUp()
{
    if (m_bActive && !(m_dwLinkStyle & HLS_FOLLOWONDOWN))
        FollowLink();
}

void CHyperLink::paintEvent(QPaintEvent* pEvent)
{
    // The state may have changed without a repaint (a style change); the text colour
    // always follows it.
    if (palette().color(foregroundRole()) != QColor(CtlColor()))
        Repaint();
    QLabel::paintEvent(pEvent);
}

void CHyperLink::enterEvent(QEnterEvent* pEvent)
{
    OnSetCursor();
    pEvent->accept();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* pEvent)
{
    OnSetCursor();
    OnMouseMove(pEvent->position().toPoint());
    pEvent->accept();
}

void CHyperLink::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(pEvent);
        return;
    }
    OnLButtonDown();
    pEvent->accept();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(pEvent);
        return;
    }
    OnLButtonUp();
    pEvent->accept();
}

void CHyperLink::focusInEvent(QFocusEvent* pEvent)
{
    m_bActive = true;
    Repaint();
    pEvent->accept();
}

void CHyperLink::focusOutEvent(QFocusEvent* pEvent)
{
    m_bHover = false;
    m_bActive = false;
    Repaint();
    pEvent->accept();
}

void CHyperLink::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() != Qt::Key_Space) {
        QLabel::keyPressEvent(pEvent);
        return;
    }
    // A held space bar opens the target once, not once per key repeat.
    if (!pEvent->isAutoRepeat())
        FollowLink();
    pEvent->accept();
}

void CHyperLink::hideEvent(QHideEvent* pEvent)
{
    // A hidden link must not keep the mouse: every other window would be dead to clicks.
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
        m_bHover = false;
    }
    QLabel::hideEvent(pEvent);
}

#include "imaging/HyperLink.h"
#include "imaging/BrowserCommand.h"
#include "imaging/LinkResult.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

namespace {

using Launch = QPair<QString, QStringList>;

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

bool imageHasColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dataDir;
    bool m_bOpenUrlWorks = true;
    bool m_bStartWorks = true;
    QList<QUrl> m_opened;
    QList<Launch> m_started;
    QStringList m_messages;
    QList<QMessageBox::Icon> m_icons;
    int m_nBeeps = 0;
    QString m_strBrowserId;

    // The default browser becomes a desktop entry with this Exec line.
    void setBrowserExec(const QString& strExec)
    {
        QDir(m_dataDir.path()).mkpath("applications");
        QFile file(m_dataDir.filePath("applications/test-browser.desktop"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Action New]\nExec=wrong %u\n[Desktop Entry]\nName=Test\nExec=" +
                   strExec.toUtf8() + "\nType=Application\n");
        m_strBrowserId = "test-browser.desktop";
    }

    QRgb shownColour(const CHyperLink& link)
    {
        // What the control reports is what it paints with.
        [&] { QCOMPARE(link.palette().color(link.foregroundRole()).rgb(), QColor(link.CtlColor()).rgb()); }();
        return link.CtlColor();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataDir.isValid());
        qputenv("XDG_DATA_HOME", m_dataDir.path().toUtf8());
        qputenv("XDG_DATA_DIRS", m_dataDir.path().toUtf8());
    }

    void init()
    {
        m_bOpenUrlWorks = m_bStartWorks = true;
        m_opened.clear();
        m_started.clear();
        m_messages.clear();
        m_icons.clear();
        m_nBeeps = 0;
        m_strBrowserId.clear();
        QFile::remove(m_dataDir.filePath("applications/test-browser.desktop"));
        qunsetenv("BROWSER");
        CHyperLink::s_pfnOpenUrl = [this](const QUrl& url) {
            m_opened.append(url);
            return m_bOpenUrlWorks;
        };
        CHyperLink::s_pfnStartDetached = [this](const QString& program, const QStringList& args) {
            m_started.append({program, args});
            return m_bStartWorks;
        };
        CHyperLink::s_pfnMessageBox = [this](const QString& text, QMessageBox::Icon icon) {
            m_messages.append(text);
            m_icons.append(icon);
        };
        CHyperLink::s_pfnBeep = [this] { ++m_nBeeps; };
        CBrowserCommand::s_pfnDefaultBrowser = [this] { return m_strBrowserId; };
    }

    // Runs first: no control has loaded the shared cursor yet.
    void linkCursorIsSharedOnceLoaded()
    {
        QVERIFY(!CHyperLink::LinkCursor());
        CHyperLink plain;
        plain.setText("plain");
        QVERIFY(plain.ChangeLinkStyle(0, CHyperLink::HLS_NOLINKCURSOR, false));
        plain.PreSubclassWindow();
        QVERIFY(!CHyperLink::LinkCursor());
        QVERIFY(!plain.testAttribute(Qt::WA_SetCursor));

        CHyperLink link;
        link.setText("link");
        link.PreSubclassWindow();
        QVERIFY(CHyperLink::LinkCursor());
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);

        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&plain, &enter);
        QCOMPARE(plain.cursor().shape(), Qt::PointingHandCursor);
    }

    void targetTextAndTooltip()
    {
        CHyperLink link;
        link.setText("https://example.org/");
        link.PreSubclassWindow();
        QCOMPARE(link.GetUrl(), QString("https://example.org/"));
        QCOMPARE(link.toolTip(), QString("https://example.org/"));

        link.SetUrl("mailto:me@example.org?subject=Zandor-Puzzle");
        QCOMPARE(link.text(), QString("https://example.org/"));
        QCOMPARE(link.toolTip(), QString("mailto:me@example.org?subject=Zandor-Puzzle"));
        link.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), link.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&link, &help);
        QTRY_COMPARE(QToolTip::text(), QString("mailto:me@example.org?subject=Zandor-Puzzle"));

        link.hide();
        link.SetUrl("https://example.org/b");
        QVERIFY(link.isVisible());

        CHyperLink empty;
        empty.SetUrl("mailto:a@b.c");
        empty.PreSubclassWindow();
        QCOMPARE(empty.text(), QString("mailto:a@b.c"));

        QPixmap face(56, 27);
        face.fill(Qt::lightGray);
        CHyperLink picture;
        picture.setPixmap(face);
        picture.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture.SetUrl("mailto:a@b.c");
        picture.PreSubclassWindow();
        QVERIFY(picture.text().isEmpty());
        QCOMPARE(picture.pixmap().size(), QSize(56, 27));
        QCOMPARE(picture.size(), QSize(56, 27));
        QCOMPARE(picture.toolTip(), QString("mailto:a@b.c"));
    }

    void coloursFollowFocusHoverAndVisit()
    {
        QWidget win;
        win.resize(300, 100);
        auto* link = new CHyperLink(&win);
        link->setText("Write me");
        link->setGeometry(10, 10, 200, 30);
        link->SetUrl("mailto:me@example.org");
        link->PreSubclassWindow();
        auto* other = new QPushButton("other", &win);
        other->move(10, 60);
        win.show();
        win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win));
        other->setFocus();

        QCOMPARE(shownColour(*link), CHyperLink::s_crLink);
        QVERIFY(imageHasColour(link->grab().toImage(), CHyperLink::s_crLink));
        sendMouse(link, QEvent::MouseMove, QPoint(5, 5));
        QVERIFY(link->IsHover());
        QCOMPARE(shownColour(*link), CHyperLink::s_crLink); // no hover colour by default

        sendMouse(link, QEvent::MouseButtonPress, QPoint(5, 5));
        QVERIFY(link->hasFocus());
        QCOMPARE(shownColour(*link), CHyperLink::s_crActive);
        sendMouse(link, QEvent::MouseButtonRelease, QPoint(5, 5));
        QVERIFY(link->IsVisited());
        QCOMPARE(shownColour(*link), CHyperLink::s_crActive);

        other->setFocus();
        QVERIFY(!link->IsActive() && !link->IsHover());
        QCOMPARE(shownColour(*link), CHyperLink::s_crVisited);
        QVERIFY(imageHasColour(link->grab().toImage(), CHyperLink::s_crVisited));

        QVERIFY(link->ChangeLinkStyle(0, CHyperLink::HLS_HOVERCOLOR | CHyperLink::HLS_NOACTIVECOLOR, true));
        sendMouse(link, QEvent::MouseMove, QPoint(6, 6));
        QCOMPARE(shownColour(*link), CHyperLink::s_crHover);
        link->setFocus();
        sendMouse(link, QEvent::MouseMove, QPoint(-5, 6));
        QCOMPARE(shownColour(*link), CHyperLink::s_crVisited); // active, but not in the active colour
    }

    void followOnButtonDownOrUp_data()
    {
        QTest::addColumn<bool>("followOnDown");
        QTest::newRow("on button-up") << false;
        QTest::newRow("on button-down") << true;
    }

    void followOnButtonDownOrUp()
    {
        QFETCH(bool, followOnDown);
        CHyperLink link;
        link.setText("link");
        link.SetUrl("https://example.org/");
        link.PreSubclassWindow();
        QVERIFY(link.ChangeLinkStyle(0, followOnDown ? CHyperLink::HLS_FOLLOWONDOWN : 0, true));

        sendMouse(&link, QEvent::MouseButtonRelease, QPoint(2, 2)); // no button-down on it yet
        QCOMPARE(m_opened.size(), 0);
        sendMouse(&link, QEvent::MouseButtonPress, QPoint(2, 2), Qt::RightButton);
        sendMouse(&link, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::RightButton);
        QCOMPARE(m_opened.size(), 0);
        sendMouse(&link, QEvent::MouseButtonPress, QPoint(2, 2));
        QCOMPARE(m_opened.size(), followOnDown ? 1 : 0);
        sendMouse(&link, QEvent::MouseButtonRelease, QPoint(2, 2));
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.front(), QUrl("https://example.org/"));
        QVERIFY(m_started.isEmpty());
    }

    void spaceKeyFollows()
    {
        CHyperLink link;
        link.setText("link");
        link.PreSubclassWindow();
        QKeyEvent other(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&link, &other);
        QVERIFY(!other.isAccepted()); // left for the dialog
        QCOMPARE(m_opened.size(), 0);
        QTest::keyClick(&link, Qt::Key_Space);
        QCOMPARE(m_opened.size(), 1);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
        QApplication::sendEvent(&link, &repeat);
        QCOMPARE(m_opened.size(), 1);
    }

    void hoverHoldsTheMouse()
    {
        CHyperLink link;
        link.setText("link");
        link.PreSubclassWindow();
        link.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link));
        sendMouse(&link, QEvent::MouseMove, QPoint(2, 2));
        QVERIFY(link.IsHover());
        QCOMPARE(QWidget::mouseGrabber(), &link);
        sendMouse(&link, QEvent::MouseMove, QPoint(link.width() + 3, 2));
        QVERIFY(!link.IsHover());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);

        sendMouse(&link, QEvent::MouseMove, QPoint(2, 2));
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(&link, &focusOut);
        QVERIFY(!link.IsHover());
        QCOMPARE(QWidget::mouseGrabber(), &link);
        link.hide();
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void changeLinkStyle()
    {
        CHyperLink link;
        link.setText("a link of some length");
        link.PreSubclassWindow();
        QCOMPARE(link.GetLinkStyle(), 0x15u);
        QVERIFY(link.font().underline());
        QVERIFY(!link.ChangeLinkStyle(CHyperLink::HLS_UNDERLINE, CHyperLink::HLS_UNDERLINE | 0x2, true));
        QCOMPARE(link.GetLinkStyle(), 0x15u);

        QVERIFY(link.ChangeLinkStyle(CHyperLink::HLS_UNDERLINE, 0, false));
        QCOMPARE(link.GetLinkStyle(), 0x14u);
        QVERIFY(link.font().underline());
        QVERIFY(link.ChangeLinkStyle(CHyperLink::HLS_UNDERLINE, 0, true));
        QVERIFY(!link.font().underline());

        const QSize fitted = link.size();
        QVERIFY(link.ChangeLinkStyle(CHyperLink::HLS_AUTOSIZE, 0, true));
        link.resize(400, 80);
        link.FitToText();
        QCOMPARE(link.size(), QSize(400, 80));
        QVERIFY(link.ChangeLinkStyle(0, CHyperLink::HLS_AUTOSIZE, true));
        QCOMPARE(link.size(), fitted);
    }

    void fitToTextFollowsAlignment_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("border");
        QTest::newRow("left top") << int(Qt::AlignLeft | Qt::AlignTop) << 0;
        QTest::newRow("left top, framed") << int(Qt::AlignLeft | Qt::AlignTop) << 3;
        QTest::newRow("centred") << int(Qt::AlignCenter) << 0;
        QTest::newRow("right bottom, framed") << int(Qt::AlignRight | Qt::AlignBottom) << 2;
    }

    void fitToTextFollowsAlignment()
    {
        QFETCH(int, align);
        QFETCH(int, border);
        QWidget parent;
        auto* link = new CHyperLink(&parent);
        link->setText("Zandor");
        link->setAlignment(Qt::Alignment(align));
        if (border) {
            link->setFrameStyle(QFrame::Box | QFrame::Plain);
            link->setLineWidth(border);
        }
        const QRect before(20, 30, 201, 61);
        link->setGeometry(before);
        link->PreSubclassWindow();

        const QSize text = QFontMetrics(link->font()).size(0, "Zandor");
        QVERIFY(text.width() > 0 && text.height() > 0);
        // Start and length of one side: anchored at the start, at the end, or centred.
        auto span = [](int start, int length, int textLength, bool centre, bool end) {
            if (centre)
                return QPair<int, int>(start + (length - textLength) / 2,
                                       length - (length - textLength) / 2 * 2);
            return QPair<int, int>(end ? start + length - textLength : start, textLength);
        };
        const auto h =
            span(before.x(), before.width(), text.width(), align & Qt::AlignHCenter, align & Qt::AlignRight);
        const auto v = span(before.y(), before.height(), text.height(), align & Qt::AlignVCenter,
                            align & Qt::AlignBottom);
        QCOMPARE(link->geometry(), QRect(h.first, v.first, h.second + 2 * border, v.second + 2 * border));
        QVERIFY(qAbs(link->contentsRect().width() - text.width()) <= 1);
    }

    void fallbackCommand_data()
    {
        QTest::addColumn<QString>("desktopExec");
        QTest::addColumn<QString>("browserEnv");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        const QString t = "mailto:me@example.org?subject=Zandor Puzzle; rm -rf ~";
        QTest::newRow("quoted placeholder") << "\"/opt/My Browser/browser\" --new-tab \"%u\" --x"
                                            << ""
                                            << "/opt/My Browser/browser" << QStringList{"--new-tab", t}
                                            << "\"/opt/My Browser/browser\" --new-tab  " + t;
        QTest::newRow("bare placeholder") << "browser %i %U --private"
                                          << ""
                                          << "browser" << QStringList{t} << "browser   " + t;
        QTest::newRow("no placeholder")
            << "/usr/bin/browser\\s-P"
            << ""
            << "/usr/bin/browser" << QStringList{"-P", t} << "/usr/bin/browser -P " + t;
        QTest::newRow("$BROWSER with %s") << ""
                                          << "w3m %s:lynx"
                                          << "w3m" << QStringList{t} << "w3m  " + t;
        QTest::newRow("$BROWSER without") << ""
                                          << "lynx:w3m"
                                          << "lynx" << QStringList{t} << "lynx " + t;
        QTest::newRow("desktop entry first") << "browser"
                                             << "lynx"
                                             << "browser" << QStringList{t} << "browser " + t;
    }

    void fallbackCommand()
    {
        QFETCH(QString, desktopExec);
        QFETCH(QString, browserEnv);
        QFETCH(QStringList, args);
        if (!desktopExec.isEmpty())
            setBrowserExec(desktopExec);
        if (!browserEnv.isEmpty())
            qputenv("BROWSER", browserEnv.toUtf8());
        m_bOpenUrlWorks = false;

        CHyperLink link;
        link.setText("link");
        link.SetUrl(args.back());
        link.PreSubclassWindow();
        link.FollowLink();
        QCOMPARE(m_opened.size(), 1); // the desktop's opener is asked first
        QCOMPARE(m_started.size(), 1);
        QTEST(m_started.front().first, "program");
        QCOMPARE(m_started.front().second, args);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(link.IsVisited());

        QString strCommand;
        QVERIFY(CBrowserCommand::QueryDefault(strCommand));
        CBrowserCommand::Line line;
        int nError = -1;
        QVERIFY(CBrowserCommand::Assemble(strCommand, args.back(), line, nError));
        QTEST(line.strLine, "line");
    }

    void refusesOverlongCommandLine()
    {
        setBrowserExec("browser %u");
        m_bOpenUrlWorks = false;
        CHyperLink link;
        link.setText("link");
        const QString head = "https://example.org/";
        link.SetUrl(head + QString(519 - 9 - head.size(), 'a')); // "browser  " + target: 519 characters
        link.PreSubclassWindow();
        link.FollowLink();
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_started.front().second.front().size() + 9, 519);

        link.SetUrl(link.GetUrl() + "a"); // 520: no room for the terminator
        link.FollowLink();
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_nBeeps, 1);
        QCOMPARE(m_messages,
                 QStringList{"Can't open link:\n\nThere was not enough memory to complete the operation."});

        setBrowserExec("browser " + QString(252, 'x')); // a command over 259 characters is not read
        link.SetUrl(head);
        link.FollowLink();
        QCOMPARE(m_started.size(), 1);
        QCOMPARE(m_messages.back(), CHyperLink::LinkErrorText(LinkResult::NoAssoc));
    }

    void failuresMapOntoCodes()
    {
        CHyperLink link;
        link.setText("link");
        link.PreSubclassWindow();
        link.SetUrl("");
        link.FollowLink(); // an empty target runs nothing
        QVERIFY(m_opened.isEmpty() && m_started.isEmpty());
        QCOMPARE(m_messages.back(), CHyperLink::LinkErrorText(LinkResult::FileNotFound));

        link.SetUrl("mailto:me@example.org");
        m_bOpenUrlWorks = false;
        link.FollowLink(); // no browser known: the opener's failure is reported
        QCOMPARE(m_messages.back(), "Can't open link:\n\nThere is no application associated\nwith the given "
                                    "filename extension.");
        setBrowserExec("no-such-browser %u");
        m_bStartWorks = false;
        link.FollowLink();
        QCOMPARE(m_messages.back(), "Can't open link:\n\nThe specified file was not found.");
        QCOMPARE(m_nBeeps, 3);
        QCOMPARE(m_icons, QList<QMessageBox::Icon>(3, QMessageBox::Warning));
        QVERIFY(!link.IsVisited());
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("2") << 2 << "The specified file was not found.";
        QTest::newRow("3") << 3 << "The specified path was not found.";
        QTest::newRow("5") << 5 << "The operating system denied\naccess to the specified file.";
        QTest::newRow("8") << 8 << "There was not enough memory to complete the operation.";
        QTest::newRow("11") << 11 << "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        QTest::newRow("26") << 26 << "A sharing violation occurred. ";
        QTest::newRow("27") << 27 << "The filename association is\nincomplete or invalid.";
        QTest::newRow("28") << 28
                            << "The DDE transaction could not\nbe completed because the request timed out.";
        QTest::newRow("29") << 29 << "The DDE transaction failed.";
        QTest::newRow("30")
            << 30
            << "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
               "being processed.";
        QTest::newRow("31") << 31 << "There is no application associated\nwith the given filename extension.";
        QTest::newRow("32") << 32 << "The specified dynamic-link library was not found.";
        QTest::newRow("1") << 1 << "Unknown Error (1) occurred.";
        QTest::newRow("40") << 40 << "Unknown Error (40) occurred.";
        QTest::newRow("-7") << -7 << "Unknown Error (-7) occurred.";
    }

    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        CHyperLink::ReportLinkError(code);
        QCOMPARE(m_messages, QStringList{"Can't open link:\n\n" + text});
        QCOMPARE(m_icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
    }
};

QTEST_MAIN(HyperLinkTest)
#include "HyperLinkTest.moc"

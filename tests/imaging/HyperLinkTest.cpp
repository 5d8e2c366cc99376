#include "imaging/HyperLink.h"
#include "imaging/BrowserCommand.h"
#include "imaging/LinkResult.h"
#include "support/RunFolder.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void makeLink(CHyperLink& link, const QString& url)
{
    link.setText("link");
    link.SetUrl(url);
    link.PreSubclassWindow();
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dataDir;
    bool m_bOpenUrlWorks = true, m_bStartWorks = true;
    // What the control asked of the desktop.
    QList<QUrl> m_opened;
    QList<QPair<QString, QStringList>> m_started;
    QStringList m_messages;
    QList<QMessageBox::Icon> m_icons;
    int m_nBeeps = 0;
    QString m_strBrowserId;

    // The default browser becomes a desktop entry with this Exec line.
    void setBrowserExec(const QString& strExec)
    {
        QVERIFY(support::WriteFile(m_dataDir.filePath("applications/test-browser.desktop").toStdString(),
                                   "[Desktop Action New]\nExec=wrong %u\n[Desktop Entry]\nName=Test\nExec=" +
                                       strExec.toStdString() + "\nType=Application\n"));
        m_strBrowserId = "test-browser.desktop";
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
        m_opened = {}, m_started = {}, m_messages = {}, m_icons = {}, m_nBeeps = 0, m_strBrowserId = {};
        QFile::remove(m_dataDir.filePath("applications/test-browser.desktop"));
        qunsetenv("BROWSER");
        CHyperLink::s_pfnOpenUrl = [this](const QUrl& url, QObject*, CHyperLink::Done fnDone) {
            m_opened.append(url);
            fnDone(m_bOpenUrlWorks ? LinkResult::Opened : LinkResult::NoAssoc);
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
        CBrowserCommand::s_pfnDefaultBrowser = [this](QObject*, CBrowserCommand::DesktopIdDone fnDone) {
            fnDone(m_strBrowserId);
        };
    }

    // Hovering holds the mouse (for the hand cursor) until it leaves the link or the link hides. (The colours
    // of a link of text: the game's only link is a picture.)
    void hoverHoldsTheMouseUntilItLeavesOrTheLinkHides()
    {
        QWidget win;
        auto* link = new CHyperLink(&win);
        link->setGeometry(10, 10, 200, 30);
        makeLink(*link, "mailto:me@example.org");
        win.show();
        sendMouse(link, QEvent::MouseMove, QPoint(5, 5));
        QVERIFY(link->IsHover() && QWidget::mouseGrabber() == link);
        sendMouse(link, QEvent::MouseMove, QPoint(-5, 6));
        QVERIFY(!link->IsHover() && !QWidget::mouseGrabber());
        sendMouse(link, QEvent::MouseMove, QPoint(6, 6));
        QCOMPARE(QWidget::mouseGrabber(), link);
        link->hide();
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    // As the about box has it: the press follows, once; the keyboard too, once per press.
    void followOnButtonDownOneOpenAtATime()
    {
        CHyperLink link;
        makeLink(link, "https://example.org/");
        QVERIFY(link.ChangeLinkStyle(0, CHyperLink::HLS_FOLLOWONDOWN, true));
        sendMouse(&link, QEvent::MouseButtonPress, QPoint(2, 2), Qt::RightButton);
        sendMouse(&link, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::RightButton);
        QCOMPARE(m_opened.size(), 0);
        sendMouse(&link, QEvent::MouseButtonPress, QPoint(2, 2));
        QCOMPARE(m_opened, QList<QUrl>{QUrl("https://example.org/")});
        sendMouse(&link, QEvent::MouseButtonRelease, QPoint(2, 2));
        QCOMPARE(m_opened.size(), 1);
        QTest::keyClick(&link, Qt::Key_Space);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
        QApplication::sendEvent(&link, &repeat);
        QVERIFY(m_opened.size() == 2 && link.IsVisited() && m_started.isEmpty());

        // One open at a time.
        CHyperLink mail;
        makeLink(mail, "mailto:me@example.org");
        m_opened.clear();
        CHyperLink::Done pending; // the desktop answers later
        CHyperLink::s_pfnOpenUrl = [&](const QUrl& url, QObject*, CHyperLink::Done fnDone) {
            m_opened.append(url);
            pending = fnDone;
        };
        mail.FollowLink();
        mail.FollowLink(); // clicked again while the desktop works: nothing more
        QVERIFY(m_opened.size() == 1 && mail.IsOpening() && !mail.IsVisited());
        pending(LinkResult::Opened);
        QVERIFY(!mail.IsOpening() && mail.IsVisited());
        mail.FollowLink();
        QCOMPARE(m_opened.size(), 2);
    }

    void fallbackCommand_data()
    {
        QTest::addColumn<QString>("desktopExec");
        QTest::addColumn<QString>("browserEnv");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        const auto row = [](const char* name, const char* exec, const char* env, const char* program,
                            const QStringList& args) {
            QTest::newRow(name) << QString(exec) << QString(env) << QString(program) << args;
        };
        const QString t = "mailto:me@example.org?subject=Zandor Puzzle; rm -rf ~";
        row("quoted placeholder", "\"/opt/My Browser/browser\" --new-tab \"%u\" --x", "",
            "/opt/My Browser/browser", {"--new-tab", t});
        row("bare placeholder", "browser %i %U --private", "", "browser", {t});
        row("no placeholder", "/usr/bin/browser\\s-P", "", "/usr/bin/browser", {"-P", t});
        row("$BROWSER with %s", "", "w3m %s:lynx", "w3m", {t});
        row("$BROWSER without", "", "lynx:w3m", "lynx", {t});
        row("desktop entry first", "browser", "lynx", "browser", {t});
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
        makeLink(link, args.back());
        link.FollowLink();
        QVERIFY(m_opened.size() == 1 && m_started.size() == 1); // the desktop's opener is asked first
        QTEST(m_started.front().first, "program");
        QCOMPARE(m_started.front().second, args);
        QVERIFY(m_messages.isEmpty() && link.IsVisited());
    }

    // What the about box's link can meet: a desktop entry whose command is too long to be read (no browser
    // known), and a browser that cannot be started. (Its target is short: the refusal of a command line too
    // long for the buffer is never reached.)
    void failuresMapOntoCodesAndTheirTexts()
    {
        m_bOpenUrlWorks = false;
        CHyperLink link;
        makeLink(link, "mailto:me@example.org");
        setBrowserExec("browser " + QString(252, 'x')); // over 259 characters
        link.FollowLink();
        QVERIFY(m_started.isEmpty());
        setBrowserExec("no-such-browser %u");
        m_bStartWorks = false;
        link.FollowLink();
        QVERIFY(m_started.size() == 1 && !link.IsVisited() && m_nBeeps == 2);
        QCOMPARE(m_messages, (QStringList{CHyperLink::LinkErrorText(LinkResult::NoAssoc),
                                          CHyperLink::LinkErrorText(LinkResult::FileNotFound)}));
        QCOMPARE(m_icons, QList<QMessageBox::Icon>(2, QMessageBox::Warning));
        // The texts of the codes the desktop gives.
        const std::pair<int, const char*> texts[] = {
            {2, "The specified file was not found."},
            {27, "The filename association is\nincomplete or invalid."},
            {31, "There is no application associated\nwith the given filename extension."}};
        for (const auto& [code, text] : texts)
            QCOMPARE(CHyperLink::LinkErrorText(code), "Can't open link:\n\n" + QString(text));
    }
};

QTEST_MAIN(HyperLinkTest)
#include "HyperLinkTest.moc"

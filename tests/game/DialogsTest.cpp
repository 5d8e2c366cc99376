// The game window's two dialogs: "Congratulation" with its result lines and
// answers, and the pattern preview with its picture, its click and its flag.

#include "game/CongratsDlg.h"
#include "game/PatternDlg.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"

#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void SaveShot(QWidget& w, const QString& name)
{
    if (qEnvironmentVariableIsSet("ZANDOR_SHOT_DIR")) {
        w.grab().save(qEnvironmentVariable("ZANDOR_SHOT_DIR") + QLatin1Char('/') + name);
    }
}

// A picture of four coloured quarters.
QImage Quarters(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            image.setPixel(x, y,
                           bottom ? (right ? qRgb(250, 250, 0) : qRgb(0, 0, 250))
                                  : (right ? qRgb(0, 250, 0) : qRgb(250, 0, 0)));
        }
    }
    return image;
}

void DeleteLater()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void congratsShowsMovesAndTime_data();
    void congratsShowsMovesAndTime();
    void congratsLooksAsDesigned();
    void congratsAnswers_data();
    void congratsAnswers();

    void previewOpensAndClosesOnClick();
    void previewEveryWayOutClearsTheFlag_data();
    void previewEveryWayOutClearsTheFlag();
    void previewDiesWithTheGameWindow();
    void previewShowsTheSelectedPicture();
    void previewOfAMissingPictureIsEmpty();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void DialogsTest::init()
{
    QVERIFY(m_dir.isValid());
    m_oldCwd = QDir::currentPath();
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("bitmaps"))));
    QVERIFY(QDir::setCurrent(m_dir.path()));
    g_bPatternShown = false;
    g_nPicture = 1;
    for (int i = 0; i < 4; ++i) {
        g_strPicPath[i] = QStringLiteral("bitmaps\\pic%1.bmp").arg(i + 1).toStdString();
    }
}

void DialogsTest::cleanup()
{
    QDir::setCurrent(m_oldCwd);
    DeleteLater();
}

void DialogsTest::congratsShowsMovesAndTime_data()
{
    QTest::addColumn<int>("moves");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("movesText");
    QTest::addColumn<QString>("timeText");
    QTest::newRow("37 moves in 2:05") << 37 << 5 << 2 << "37 moves"
                                      << "2:05 minutes";
    QTest::newRow("under a minute") << 12 << 42 << 0 << "12 moves"
                                    << "0:42 minutes";
    QTest::newRow("one of each stays plural") << 1 << 0 << 1 << "1 moves"
                                              << "1:00 minutes";
    QTest::newRow("long game") << 12345 << 59 << 125 << "12345 moves"
                               << "125:59 minutes";
}

void DialogsTest::congratsShowsMovesAndTime()
{
    QFETCH(int, moves);
    QFETCH(int, seconds);
    QFETCH(int, minutes);
    QFETCH(QString, movesText);
    QFETCH(QString, timeText);

    CCongratsDlg dlg;
    dlg.SetResult(moves, seconds, minutes);
    QCOMPARE(dlg.m_nMoves, moves);
    QCOMPARE(dlg.m_nSeconds, seconds);
    QCOMPARE(dlg.m_nMinutes, minutes);
    // The placeholders are replaced when the dialog opens.
    QCOMPARE(dlg.GetDlgItemText(IDC_CONGRATS_MOVES), QStringLiteral("X Moves"));
    dlg.show();
    QCOMPARE(dlg.GetDlgItemText(IDC_CONGRATS_MOVES), movesText);
    QCOMPARE(dlg.GetDlgItemText(IDC_CONGRATS_TIME), timeText);
}

void DialogsTest::congratsLooksAsDesigned()
{
    CCongratsDlg dlg;
    dlg.SetResult(37, 5, 2);
    dlg.show();
    SaveShot(dlg, QStringLiteral("congrats.png"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Congratulation"));
    QVERIFY(dlg.windowFlags() & Qt::WindowCloseButtonHint);

    // Read top to bottom, the texts tell the story.
    QStringList lines;
    QList<QLabel*> labels;
    for (int id : {IDC_CONGRATS_TITLE, IDC_CONGRATS_SOLVED, IDC_CONGRATS_MOVES, IDC_CONGRATS_NEEDED,
                   IDC_CONGRATS_TIME, IDC_CONGRATS_QUESTION}) {
        labels << dlg.GetDlgItemAs<QLabel>(id);
        lines << labels.back()->text();
        if (labels.size() > 1) {
            QVERIFY(labels[labels.size() - 2]->y() < labels.back()->y());
        }
    }
    QCOMPARE(lines, (QStringList{"Congratulation!", "You have solved the puzzle  in:", "37 moves",
                                 "therefor you needed", "2:05 minutes",
                                 "Do you want to start with a new\n picture?"}));

    // Comic Sans MS through its substitute: 18 points for the title, 11 for the rest.
    const QFontInfo title(labels[0]->font());
    QCOMPARE(title.family(), QStringLiteral("Comic Neue"));
    QCOMPARE(title.pixelSize(), 24);
    for (int i = 1; i < labels.size(); ++i) {
        const QFontInfo text(labels[i]->font());
        QCOMPARE(text.family(), QStringLiteral("Comic Neue"));
        QCOMPARE(text.pixelSize(), 15);
    }
    // Every line fits its box at that size.
    for (QLabel* label : labels) {
        const QRect needed = label->fontMetrics().boundingRect(
            label->rect(), Qt::AlignHCenter | Qt::TextWordWrap, label->text());
        QVERIFY2(needed.height() <= label->height() + 2, qPrintable(label->text()));
    }

    // The picture of bitmap 251 in its static, right of the texts.
    QLabel* picture = nullptr;
    for (const auto& control : dlg.Controls()) {
        if (control.item->kind == DialogItemKind::StaticBitmap) {
            picture = qobject_cast<QLabel*>(control.widget);
        }
    }
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(150, 183));
    QVERIFY(picture->x() > labels[0]->geometry().right());
}

void DialogsTest::congratsAnswers_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("YES") << "yes" << IDOK;
    QTest::newRow("Enter") << "enter" << IDOK;
    QTest::newRow("NO") << "no" << IDCANCEL;
    QTest::newRow("Escape") << "escape" << IDCANCEL;
    QTest::newRow("close box") << "close" << IDCANCEL;
}

void DialogsTest::congratsAnswers()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    CCongratsDlg dlg;
    dlg.SetResult(3, 1, 0);
    QTimer::singleShot(0, &dlg, [&] {
        if (how == QLatin1String("yes")) {
            QTest::mouseClick(dlg.GetDlgItemAs<QPushButton>(IDOK), Qt::LeftButton);
        } else if (how == QLatin1String("no")) {
            QTest::mouseClick(dlg.GetDlgItemAs<QPushButton>(IDCANCEL), Qt::LeftButton);
        } else if (how == QLatin1String("enter")) {
            // YES has the focus at opening.
            QCOMPARE(dlg.focusWidget(), dlg.GetDlgItem(IDOK));
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Return);
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
        } else {
            dlg.close();
        }
    });
    QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); });
    QCOMPARE(dlg.DoModal(), result);
}

void DialogsTest::previewOpensAndClosesOnClick()
{
    QWidget game;
    game.resize(500, 400);
    game.show();

    QPointer<CPatternDlg> first = new CPatternDlg(&game);
    QVERIFY(!g_bPatternShown);
    QVERIFY(first->Create());
    QVERIFY(g_bPatternShown);
    QVERIFY(first->isVisible());
    QVERIFY(first->isWindow());
    QVERIFY(first->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(first->parentWidget(), &game);
    first->resize(300, 300);
    QCOMPARE(first->size(), QSize(300, 300));

    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(150, 150));
    QVERIFY(!g_bPatternShown);
    QVERIFY(first.isNull() || !first->isVisible());
    DeleteLater();
    QVERIFY(first.isNull()); // the hidden preview does not linger

    // A fresh one opens afterwards where it is put.
    QPointer<CPatternDlg> second = new CPatternDlg(&game);
    second->Create();
    second->move(40, 70);
    second->resize(300, 300);
    QVERIFY(g_bPatternShown);
    QCOMPARE(second->pos(), QPoint(40, 70));
    QCOMPARE(second->size(), QSize(300, 300));
    QCOMPARE(second->findChild<QLabel*>()->geometry(), QRect(0, 0, 300, 300));
    second->move(10, 20); // it follows the game window
    QCOMPARE(second->pos(), QPoint(10, 20));

    // A click on the picture itself (the static inside) closes it too.
    QTest::mouseClick(second->findChild<QLabel*>(), Qt::LeftButton, {}, QPoint(5, 290));
    QVERIFY(!g_bPatternShown);
    DeleteLater();
    QVERIFY(second.isNull());
}

void DialogsTest::previewEveryWayOutClearsTheFlag_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("close request") << 0;
}

void DialogsTest::previewEveryWayOutClearsTheFlag()
{
    QFETCH(int, key);
    QWidget game;
    QPointer<CPatternDlg> preview = new CPatternDlg(&game);
    preview->Create();
    QVERIFY(g_bPatternShown);
    if (key) {
        QTest::keyClick(preview, static_cast<Qt::Key>(key));
    } else {
        preview->close();
    }
    QVERIFY(!g_bPatternShown);
    DeleteLater();
    QVERIFY(preview.isNull());
}

void DialogsTest::previewDiesWithTheGameWindow()
{
    auto* game = new QWidget;
    QPointer<CPatternDlg> preview = new CPatternDlg(game);
    preview->Create();
    QVERIFY(g_bPatternShown);
    delete game;
    QVERIFY(preview.isNull());
    QVERIFY(!g_bPatternShown);

    // A preview closed long ago does not clear the flag of the one shown now.
    QWidget game2;
    QPointer<CPatternDlg> old = new CPatternDlg(&game2);
    old->Create();
    QTest::mouseClick(old, Qt::LeftButton);
    auto* current = new CPatternDlg(&game2);
    current->Create();
    QVERIFY(g_bPatternShown);
    DeleteLater(); // the old one goes now
    QVERIFY(old.isNull());
    QVERIFY(g_bPatternShown);
}

void DialogsTest::previewShowsTheSelectedPicture()
{
    QVERIFY(Quarters(64, 40).save(QStringLiteral("bitmaps/pic3.bmp"), "BMP"));
    QImage other(30, 30, QImage::Format_RGB32);
    other.fill(qRgb(10, 10, 10));
    QVERIFY(other.save(QStringLiteral("bitmaps/pic1.bmp"), "BMP"));

    QWidget game;
    auto* preview = new CPatternDlg(&game);
    preview->Create();
    preview->resize(300, 300);
    g_nPicture = 3;
    QVERIFY(preview->SetPicture());
    QImage shown = preview->GetPicture().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(300, 300));
    QCOMPARE(shown.pixel(10, 10), qRgb(250, 0, 0));
    QCOMPARE(shown.pixel(290, 10), qRgb(0, 250, 0));
    QCOMPARE(shown.pixel(10, 290), qRgb(0, 0, 250));
    QCOMPARE(shown.pixel(290, 290), qRgb(250, 250, 0));
    // What the window paints is that picture, edge to edge.
    const QImage grabbed = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SaveShot(*preview, QStringLiteral("pattern.png"));
    QCOMPARE(grabbed.size(), QSize(300, 300));
    QCOMPARE(grabbed.pixel(1, 1), qRgb(250, 0, 0));
    QCOMPARE(grabbed.pixel(298, 298), qRgb(250, 250, 0));

    // A new game with another picture: SetPicture follows the selection.
    g_nPicture = 1;
    preview->SetPicture();
    shown = preview->GetPicture().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(300, 300));
    QCOMPARE(shown.pixel(150, 150), qRgb(10, 10, 10));
}

void DialogsTest::previewOfAMissingPictureIsEmpty()
{
    QImage some(30, 30, QImage::Format_RGB32);
    some.fill(qRgb(200, 0, 200));
    QVERIFY(some.save(QStringLiteral("bitmaps/pic2.bmp"), "BMP"));

    QWidget game;
    auto* preview = new CPatternDlg(&game);
    preview->Create();
    g_nPicture = 2;
    preview->SetPicture();
    QVERIFY(!preview->GetPicture().isNull());
    // The picture's file is gone (or its path empty): the old picture goes too.
    g_strPicPath[1] = "bitmaps\\gone.bmp";
    QVERIFY(preview->SetPicture());
    QVERIFY(preview->GetPicture().isNull());
    g_strPicPath[1] = "";
    QVERIFY(preview->SetPicture());
    QVERIFY(preview->GetPicture().isNull());
    QVERIFY(g_bPatternShown);
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"

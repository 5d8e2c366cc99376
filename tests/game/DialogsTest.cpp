// The congratulation dialog: its result lines, the strip of records and
// hints, and its answers. (The pattern preview: through the game window.)

#include "game/CongratsDlg.h"
#include "platform/DialogUnits.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void congratsShowsMovesAndTime()
    {
        const struct {
            int moves, seconds, minutes;
            const char *movesText, *timeText;
        } results[] = {{37, 5, 2, "37 moves", "2:05 minutes"},
                       {12, 42, 0, "12 moves", "0:42 minutes"},
                       {1, 0, 1, "1 moves", "1:00 minutes"}}; // one of each stays plural
        for (const auto& r : results) {
            CCongratsDlg dlg;
            dlg.SetResult(r.moves, r.seconds, r.minutes);
            dlg.show();
            QCOMPARE(dlg.windowTitle() + "|" + dlg.GetDlgItemText(IDC_CONGRATS_MOVES) + "|" +
                         dlg.GetDlgItemText(IDC_CONGRATS_TIME),
                     QStringLiteral("Congratulation|%1|%2").arg(r.movesText, r.timeText));
            // Every line fits its box.
            for (int id : {IDC_CONGRATS_TITLE, IDC_CONGRATS_SOLVED, IDC_CONGRATS_MOVES, IDC_CONGRATS_NEEDED,
                           IDC_CONGRATS_TIME, IDC_CONGRATS_QUESTION}) {
                auto* label = dlg.GetDlgItemAs<QLabel>(id);
                const QRect needed = label->fontMetrics().boundingRect(
                    label->rect(), Qt::AlignHCenter | Qt::TextWordWrap, label->text());
                QVERIFY2(needed.height() <= label->height() + 2, qPrintable(label->text()));
            }
        }
    }

    // Enter on YES, which has the focus at opening; Escape and the close box
    // say NO. (The buttons are clicked through the game window.)
    void congratsAnswers()
    {
        CCongratsDlg dlg;
        dlg.SetResult(3, 1, 0);
        const std::pair<std::function<void()>, int> answers[] = {
            {[&] {
                 QCOMPARE(dlg.focusWidget(), dlg.GetDlgItem(IDOK));
                 QTest::keyClick(dlg.focusWidget(), Qt::Key_Return);
             },
             IDOK},
            {[&] { QTest::keyClick(&dlg, Qt::Key_Escape); }, IDCANCEL},
            {[&] { dlg.close(); }, IDCANCEL}};
        for (const auto& [answer, result] : answers) {
            QTimer::singleShot(0, &dlg, answer);
            QTimer::singleShot(5000, &dlg, [&] { dlg.done(-2); }); // a failed check ends it too
            QCOMPARE(dlg.DoModal(), result);
        }
    }

    void congratsStripShowsOnlyLinesWithAValue()
    {
        const QSize base = CDialogUnits::ClientSize(*FindDialogTemplate(IDD_CONGRATS));
        const struct {
            bool fewest, fastest;
            int shortest, hints;
            QString lines;
        } cases[] = {
            {false, false, -1, 0, ""}, // nothing more to say: the dialog keeps its size
            {true, false, -1, 0, "New best: fewest moves for 5 \u00D7 3!"},
            {true, true, 22, 1,
             "New best: fewest moves for 5 \u00D7 3!|New best: shortest time for 5 \u00D7 3!|"
             "This start could be solved in 22 moves.|You used 1 hint."},
            {false, true, -1, 3, "New best: shortest time for 5 \u00D7 3!|You used 3 hints."},
            {false, false, 1, 0, "This start could be solved in 1 move."},
        };
        for (const auto& c : cases) {
            CCongratsDlg dlg;
            dlg.SetResult(20, 5, 1);
            dlg.SetNewBest(5, 3, c.fewest, c.fastest);
            dlg.SetShortest(c.shortest);
            dlg.SetHintsUsed(c.hints);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QStringList lines;
            int top = base.height();
            for (int id : {IDC_CONGRATS_BEST_MOVES, IDC_CONGRATS_BEST_TIME, IDC_CONGRATS_SHORTEST,
                           IDC_CONGRATS_HINTS}) {
                auto* label = dlg.GetDlgItemAs<QLabel>(id);
                if (!label->isVisible())
                    continue;
                lines << label->text();
                // One under the other below the design's lines, each whole.
                QVERIFY2(label->y() >= top && label->geometry().bottom() < dlg.height(),
                         qPrintable(label->text()));
                QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width() &&
                        label->fontMetrics().height() <= label->height());
                top = label->geometry().bottom() + 1;
            }
            QCOMPARE(lines.join('|'), c.lines);
            QVERIFY(dlg.width() == base.width() && (dlg.height() > base.height()) == !lines.isEmpty());
            if (!lines.isEmpty()) {
                // The lines stand on a light band, dark on light.
                const QImage shot = dlg.grab().toImage();
                const QPoint inBand(2, dlg.StripRect().center().y());
                QVERIFY(qGray(shot.pixel(inBand * dlg.devicePixelRatioF())) >= 220);
                const QColor text = dlg.GetDlgItem(IDC_CONGRATS_BEST_TIME)->palette().windowText().color();
                QVERIFY(qGray(text.rgb()) < 60);
            }
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"

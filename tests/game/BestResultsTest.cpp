// Best results as the player meets them: a won game recorded and announced in the congratulation, records
// kept per size, games that do not count, and the "Best Results..." dialog of the "?" menu.
#include "GameTestEnv.h"

#include "game/BestResultsDlg.h"
#include "platform/MessageBox.h"
#include "res/Menus.h"
#include "shell/BestResults.h"
#include "support/RunFolder.h"

#include <QLabel>
#include <QTreeWidget>

using namespace gametest;

namespace {

// Scrambles with `steps` steps and plays the walk back, so the game takes exactly that many moves; the clock
// shows `seconds` at the winning move. `beforeLastMove` runs just before it.
void WinScrambled(Game& g, int steps, int seconds, const std::function<void()>& beforeLastMove = {})
{
    g.dlg->m_setup.m_nDifficult = steps;
    const std::vector<CCell> way = g.Walk();
    QCOMPARE(int(way.size()), steps);
    for (auto cell = way.rbegin(); cell != way.rend(); ++cell) {
        if (cell + 1 == way.rend()) {
            g.Tick(kClock, seconds);
            if (beforeLastMove)
                beforeLastMove();
        }
        g.Click({cell->col, cell->row});
    }
}

// The strip's lines the congratulation shows, joined with " | ".
QString StripLines(CCongratsDlg* dlg)
{
    QStringList lines;
    for (int id :
         {IDC_CONGRATS_BEST_MOVES, IDC_CONGRATS_BEST_TIME, IDC_CONGRATS_SHORTEST, IDC_CONGRATS_HINTS})
        if (dlg->GetDlgItem(id)->isVisible())
            lines << dlg->GetDlgItemText(id);
    return lines.join(QStringLiteral(" | "));
}

std::vector<CBestResults::Entry> Stored()
{
    CBestResults stored;
    stored.Refresh();
    return stored.Entries();
}

} // namespace

class BestResultsTest : public QObject {
    Q_OBJECT

private slots:
    void wonGamesAreRecordedAndAnnounced()
    {
        Game g({{"FieldX", 4}, {"FieldY", 3}});
        // A damaged file from before: set aside, and the game goes on.
        QVERIFY(support::WriteFile(CBestResults::DefaultPath(), "4x3 1 1\n"));
        QStringList strips;
        g.answerer.onCongrats = [&](CCongratsDlg* dlg) { strips << StripLines(dlg); };

        const QString moves = QStringLiteral("New best: fewest moves for 4 \u00D7 3!");
        const QString time = QStringLiteral("New best: shortest time for 4 \u00D7 3!");
        for (const auto& [steps, seconds] : {std::pair{6, 50}, {8, 70}, {4, 90}, {10, 20}})
            WinScrambled(g, steps, seconds);
        // The first win of a size sets both records, a worse game none.
        QCOMPARE(strips, (QStringList{moves + " | " + time, "", moves, time}));
        strips.clear();
        QCOMPARE(g.answerer.congrats.last(), QStringLiteral("10, 0:20"));
        QCOMPARE(Stored(), (std::vector<CBestResults::Entry>{{4, 3, 4, 20}}));
        QVERIFY(QFileInfo::exists(QString::fromStdString(CBestResults::DefaultPath()) + ".damaged"));

        // No game: a tile moved out of the finished picture and back, and a
        // scrambled board whose last move the computer made.
        g.Click(MovableCell(g.Board()));
        g.ClickHome();
        WinScrambled(g, 2, 0, [&] { g.dlg->m_bSolvedByComputer = true; });
        QVERIFY(strips == QStringList({"", ""}) && g.answerer.congrats.size() == 6);
        QCOMPARE(Stored(), (std::vector<CBestResults::Entry>{{4, 3, 4, 20}}));
        QVERIFY(!g.dlg->m_bSolvedByComputer);
    }

    void bestResultsDialogListsSizesAndClearsThem()
    {
        Game g;
        for (const auto& [cols, rows, moves, seconds] :
             {std::tuple{5, 4, 80, 125}, {10, 2, 40, 3725}, {3, 3, 12, 7}})
            CBestResults().Record(cols, rows, moves, seconds);
        QStringList asked;
        int answer = IDNO;
        CMessageBox::SetTestHook([&](const QString& text, unsigned type) {
            asked << QString::number(type) + " " + text;
            return answer;
        });
        const auto rows = [](CBestResultsDlg* dlg) {
            QStringList out;
            for (int i = 0; i < dlg->List()->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* row = dlg->List()->topLevelItem(i);
                out << row->text(0) + ", " + row->text(1) + ", " + row->text(2);
            }
            return out;
        };
        bool shown = false;
        WithModal<CBestResultsDlg>(
            [&] { g.dlg->GetMenuItem(ID_BEST_RESULTS)->trigger(); },
            [&](CBestResultsDlg* dlg) {
                const QStringList listed{QStringLiteral("3 \u00D7 3, 12, 0:07"),
                                         QStringLiteral("5 \u00D7 4, 80, 2:05"),
                                         QStringLiteral("10 \u00D7 2, 40, 62:05")};
                QVERIFY(rows(dlg) == listed && dlg->GetDlgItemText(IDC_BEST_NOTE).isEmpty());
                auto* clear = dlg->GetDlgItemAs<QPushButton>(IDC_BEST_CLEAR);
                clear->click(); // NO: nothing happens
                QCOMPARE(rows(dlg), listed);
                answer = IDYES;
                clear->click();
                QVERIFY(rows(dlg).isEmpty() && !clear->isEnabled());
                QVERIFY(dlg->GetDlgItemText(IDC_BEST_NOTE).startsWith("No puzzle solved yet"));
                shown = true;
                QTest::keyClick(dlg, Qt::Key_Escape);
            });
        CMessageBox::SetTestHook(nullptr);
        QVERIFY(shown && !QApplication::activeModalWidget());
        const QString question =
            QString::number(MB_YESNO | MB_ICONQUESTION) + " Clear the best results of every size?";
        QVERIFY(asked == (QStringList{question, question}) && Stored().empty());
        QCOMPARE(g.dlg->GetMenuItem(ID_BEST_RESULTS)->text(), QStringLiteral("&Best Results..."));
    }
};

QTEST_MAIN(BestResultsTest)
#include "BestResultsTest.moc"

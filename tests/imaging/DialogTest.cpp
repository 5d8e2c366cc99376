#include "imaging/BitmapButton.h"
#include "imaging/BitmapDialog.h"
#include "imaging/DataExchange.h"
#include "imaging/DialogUnits.h"
#include "imaging/MessageBox.h"
#include "imaging/PointFont.h"
#include "imaging/ResourceFinder.h"
#include "imaging/SpinButtonCtrl.h"
#include "res/ResourceIds.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A picture whose every pixel differs from its neighbours.
QImage Pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb((x * 2) & 0xFF, (y * 2) & 0xFF, (x * 7 + y * 3) & 0xFF));
        }
    }
    return img;
}

QImage Indexed(int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    img.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, static_cast<uint>((x >= w / 2 ? 1 : 0) + (y >= h / 2 ? 2 : 0)));
        }
    }
    return img;
}

bool SaveResource(const QTemporaryDir& dir, const QString& name, const QImage& img, int bits = 0)
{
    CDIBitmap dib;
    return dib.CreateFromBitmap(img, bits) && dib.Save(dir.filePath(name + ".bmp").toStdString());
}

QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A dialog with the setup template's number boxes and check boxes.
class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(IDD_SETUP) {}
    int m_nDifficult = 20, m_nSpeed = 150, m_nFieldX = 3, m_nFieldY = 3, m_bMidi = 0, m_bSound = 1;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_DIFFICULT, m_nDifficult);
        DDV_MinMaxInt(pDX, m_nDifficult, 1, 1000);
        DDX_Text(pDX, IDC_SPEED, m_nSpeed);
        DDV_MinMaxInt(pDX, m_nSpeed, 10, 10000);
        DDX_Text(pDX, IDC_FIELDX, m_nFieldX);
        DDV_MinMaxInt(pDX, m_nFieldX, 2, 10);
        DDX_Text(pDX, IDC_FIELDY, m_nFieldY);
        DDV_MinMaxInt(pDX, m_nFieldY, 2, 10);
        DDX_Check(pDX, IDC_MIDI, m_bMidi);
        DDX_Check(pDX, IDC_SOUND, m_bSound);
    }
    QLineEdit* Edit(int id) const { return GetDlgItemAs<QLineEdit>(id); }
};

// Records what reaches the framework's handlers.
class RecordingDialog : public CBitmapDialog {
public:
    explicit RecordingDialog(int id = 0) : CBitmapDialog(id) {}
    std::vector<int> commands;
    std::vector<int> ticks;
    int inits = 0;
    bool OnCommand(int nID) override
    {
        commands.push_back(nID);
        return CBitmapDialog::OnCommand(nID);
    }
    void OnTimer(int nIDEvent) override { ticks.push_back(nIDEvent); }
    bool OnInitDialog() override
    {
        ++inits;
        return CBitmapDialog::OnInitDialog();
    }
};

struct Message {
    QString text;
    unsigned type;
};

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::vector<Message> m_messages;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(SaveResource(m_dir, "9001", Pattern(109, 88)));
        QVERIFY(SaveResource(m_dir, "9002", Indexed(2, 2), 8));
        QVERIFY(SaveResource(m_dir, "9003", Indexed(109, 88), 8));
        QVERIFY(SaveResource(m_dir, "237", Pattern(56, 27)));
        QVERIFY(SaveResource(m_dir, "9010", Pattern(130, 44)));
        QVERIFY(SaveResource(m_dir, "9011", Indexed(130, 44), 8));
        CResourceFinder::AddSearchPath(m_dir.path());
        CMessageBox::SetTestHook([this](const QString& text, unsigned type) {
            m_messages.push_back({text, type});
            return IDOK;
        });
    }
    void init() { m_messages.clear(); }
    void cleanupTestCase()
    {
        CMessageBox::SetTestHook({});
        CResourceFinder::ClearSearchPaths();
    }

    // --- backgrounds ----------------------------------------------------

    void tiledBackgroundRepeatsFromTopLeft()
    {
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9001, CBitmapDialog::BITMAP_TILE));
        dlg.resize(250, 200);
        const QImage shot = Grab(dlg);
        const QImage pic = Pattern(109, 88);
        for (int tx : {0, 109, 218}) {
            for (int ty : {0, 88, 176}) {
                QCOMPARE(shot.pixel(tx, ty), pic.pixel(0, 0));
                if (tx + 5 < 250 && ty + 5 < 200) {
                    QCOMPARE(shot.pixel(tx + 5, ty + 5), pic.pixel(5, 5));
                }
            }
        }
        QCOMPARE(shot.pixel(108, 87), pic.pixel(108, 87));
        QCOMPARE(shot.pixel(249, 199), pic.pixel(249 - 218, 199 - 176));
    }

    void zeroHeightDrawsNothingButReportsErased()
    {
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9001, 0));
        dlg.resize(250, 0);
        QCOMPARE(dlg.GetClientRect().height(), 0);
        QImage canvas(250, 10, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        QVERIFY(dlg.OnEraseBkgnd(&p));
        p.end();
        QCOMPARE(canvas.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(canvas.pixel(100, 5), qRgb(0, 0, 0));
    }

    void centredPictureLargerThanWindowIsCentredAtNegativeOffsets()
    {
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9001, CBitmapDialog::BITMAP_CENTER));
        const QImage pic = Pattern(109, 88);
        dlg.resize(60, 41);
        // (60 − 109) / 2 = −24 and (41 − 88) / 2 = −23, truncated toward zero.
        QImage shot = Grab(dlg);
        QCOMPARE(shot.pixel(0, 0), pic.pixel(24, 23));
        QCOMPARE(shot.pixel(59, 40), pic.pixel(83, 63));

        dlg.resize(250, 200);
        shot = Grab(dlg);
        const QRgb window = dlg.palette().window().color().rgb();
        QCOMPARE(shot.pixel(0, 0), window);
        QCOMPARE(shot.pixel(70, 56), pic.pixel(0, 0));
        QCOMPARE(shot.pixel(69, 56), window);
        QCOMPARE(shot.pixel(70 + 108, 56 + 87), pic.pixel(108, 87));
        QCOMPARE(shot.pixel(70 + 109, 56), window);
    }

    void stretchedPictureFillsTheClientArea()
    {
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9002, CBitmapDialog::BITMAP_STRETCH));
        dlg.resize(200, 100);
        const QImage shot = Grab(dlg);
        QCOMPARE(shot.pixel(5, 5), qRgb(255, 0, 0));
        QCOMPARE(shot.pixel(195, 5), qRgb(0, 255, 0));
        QCOMPARE(shot.pixel(5, 95), qRgb(0, 0, 255));
        QCOMPARE(shot.pixel(195, 95), qRgb(255, 255, 0));
        QCOMPARE(shot.pixel(99, 49), qRgb(255, 0, 0));
        QCOMPARE(shot.pixel(100, 50), qRgb(255, 255, 0));
    }

    void unknownModeTilesAndMissingPictureKeepsPlainBackground()
    {
        RecordingDialog dlg;
        QVERIFY(dlg.SetBitmap(9001 | 0x70000, 7)); // only the low 16 bits name the resource
        dlg.resize(250, 200);
        QCOMPARE(Grab(dlg).pixel(109, 88), Pattern(1, 1).pixel(0, 0));

        RecordingDialog plain;
        QVERIFY(!plain.SetBitmap(4242, CBitmapDialog::BITMAP_STRETCH));
        QCOMPARE(plain.GetBitmapMode(), int(CBitmapDialog::BITMAP_STRETCH));
        plain.resize(50, 50);
        QCOMPARE(Grab(plain).pixel(25, 25), plain.palette().window().color().rgb());
    }

    // --- control colours and palette -------------------------------------

    void controlsShowThePictureExceptEditsAndTrackbars()
    {
        RecordingDialog dlg(IDD_PUZZLE_DIALOG);
        auto* slider = new QSlider(Qt::Horizontal, &dlg);
        slider->setProperty(CDialogBuilder::kIdProperty, 5000);
        auto* editable = new QLineEdit(&dlg);
        editable->setProperty(CDialogBuilder::kIdProperty, 5001);
        QWidget* label = dlg.Controls()[5].widget; // "Needed moves:"
        QVERIFY(qobject_cast<QLabel*>(label));

        CtlColorContext dc;
        // Without a picture everything keeps the ordinary handling.
        QVERIFY(!dlg.OnCtlColor(dc, label, CTLCOLOR_STATIC).has_value());

        QVERIFY(dlg.SetBitmap(9001, 0));
        struct Case {
            QWidget* w;
            bool hollow;
        };
        const Case cases[] = {
            {label, true},
            {dlg.GetDlgItem(IDC_SCRAMBLE), true},
            {dlg.GetDlgItem(IDC_SHOW_GRID), true},
            {dlg.GetDlgItem(IDC_MOVES), true}, // read-only edits ask as statics
            {slider, false},
            {editable, false},
        };
        for (const Case& c : cases) {
            CtlColorContext ctx;
            const int type = CDialog::CtlColorType(c.w);
            const std::optional<QBrush> brush = dlg.OnCtlColor(ctx, c.w, type);
            QCOMPARE(brush.has_value(), c.hollow);
            if (c.hollow) {
                QCOMPARE(brush->style(), Qt::NoBrush);
                QCOMPARE(ctx.nBkMode, int(TRANSPARENT));
            }
        }
        QCOMPARE(CDialog::CtlColorType(editable), int(CTLCOLOR_EDIT));
        QCOMPARE(CDialog::CtlColorType(slider), int(CTLCOLOR_STATIC));

        dlg.UpdateControlColors();
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->palette().window().color().alpha(), 0);
        QVERIFY(slider->autoFillBackground());
        QVERIFY(editable->palette().base().color().alpha() == 255);
        QCOMPARE(dlg.GetDlgItemAs<QLineEdit>(IDC_MOVES)->palette().base().color().alpha(), 0);

        // A label over the picture shows the picture around its text.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QImage shot = Grab(dlg);
        const QPoint corner = label->geometry().bottomRight() - QPoint(1, 1);
        const QImage pic = Pattern(109, 88);
        QCOMPARE(shot.pixel(corner), pic.pixel(corner.x() % 109, corner.y() % 88));
    }

    void paletteMessages()
    {
        RecordingDialog indexed;
        QVERIFY(indexed.SetBitmap(9003, 0));
        QVERIFY(!indexed.OnQueryNewPalette()); // no window yet
        indexed.resize(100, 100);
        indexed.show();
        QVERIFY(QTest::qWaitForWindowExposed(&indexed));
        QVERIFY(indexed.OnQueryNewPalette());
        QVERIFY(!indexed.OnPaletteChanged(&indexed));
        auto* child = new QLabel(&indexed);
        QVERIFY(!indexed.OnPaletteChanged(child));
        QVERIFY(indexed.OnPaletteChanged(nullptr));
        QWidget other;
        QVERIFY(indexed.OnPaletteChanged(&other));
        QCOMPARE(indexed.GetBackground().GetPalette()->GetEntryCount(), 256);

        RecordingDialog trueColour;
        QVERIFY(trueColour.SetBitmap(9001, 0));
        trueColour.show();
        QVERIFY(QTest::qWaitForWindowExposed(&trueColour));
        QVERIFY(!trueColour.OnQueryNewPalette());
        QVERIFY(!trueColour.OnPaletteChanged(nullptr));
    }

    // --- layout tables ----------------------------------------------------

    void controlsSitAtTheirDialogUnitRectangles()
    {
        for (int id : {IDD_PUZZLE_DIALOG, IDD_SETUP, IDD_ABOUTBOX, IDD_PATTERN, IDD_CONGRATS}) {
            CDialog dlg(id);
            const DialogTemplate* t = dlg.GetTemplate();
            QVERIFY(t);
            QCOMPARE(dlg.size(), CDialogUnits::ClientSize(*t));
            QCOMPARE(int(dlg.Controls().size()), int(t->items.size()));
            for (std::size_t i = 0; i < t->items.size(); ++i) {
                const DialogItem& item = t->items[i];
                QWidget* w = dlg.Controls()[i].widget;
                QCOMPARE(CDialogBuilder::GetDlgCtrlID(w), item.id);
                if (item.kind == DialogItemKind::StaticBitmap && item.bitmap != 0 &&
                    !CResourceFinder::Find(item.bitmap, {"bmp"}).isEmpty()) {
                    continue; // a bitmap static takes its bitmap's size
                }
                QCOMPARE(w->geometry(), CDialogUnits::ToPixels(*t, item));
                if (item.id != -1) {
                    QCOMPARE(dlg.GetDlgItem(item.id) != nullptr, true);
                }
            }
        }
        // Spot checks in pixels.
        CDialog game(IDD_PUZZLE_DIALOG);
        QCOMPARE(game.size(), QSize(482, 334));
        QCOMPARE(game.GetDlgItem(IDC_SCRAMBLE)->geometry(), QRect(338, 58, 118, 52));
        QCOMPARE(game.windowTitle(), QStringLiteral("Zandor Puzzle by "));
        CDialog setup(IDD_SETUP);
        QCOMPARE(setup.size(), QSize(422, 374));
        QCOMPARE(setup.GetDlgItem(IDC_START)->geometry(), QRect(281, 317, 131, 46));
        QCOMPARE(setup.GetDlgItem(IDC_DIFFICULT)->geometry(), QRect(15, 270, 66, 28));
        QVERIFY(setup.GetDlgItem(IDOK)->isHidden());
        QVERIFY(!(setup.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(setup.GetDlgItemText(IDC_CHOOSE_CAPTION), QStringLiteral("Choose a picture\nor"));
        QVERIFY(qobject_cast<CBitmapButton*>(setup.GetDlgItem(IDC_START)));
        QVERIFY(qobject_cast<CSpinButtonCtrl*>(setup.GetDlgItem(IDC_SPIN_DIFFICULT)));
        QCOMPARE(static_cast<QWidget*>(setup.GetDlgItemAs<CSpinButtonCtrl>(IDC_SPIN_SPEED)->GetBuddy()),
                 setup.GetDlgItem(IDC_SPEED));
        CDialog about(IDD_ABOUTBOX);
        QCOMPARE(about.GetDlgItem(IDC_MAILLINK)->size(), QSize(56, 27)); // the bitmap's own size
        QCOMPARE(about.GetDlgItem(IDC_MAILLINK)->pos(), QPoint(338, 85));
    }

    void tabOrderStackingAndRadioGroups()
    {
        CDialog game(IDD_PUZZLE_DIALOG);
        QCOMPARE(game.GetDlgItem(1034)->nextInFocusChain(), game.GetDlgItem(1000));
        QCOMPARE(game.GetDlgItem(1000)->nextInFocusChain(), game.GetDlgItem(1001));
        QCOMPARE(game.GetDlgItem(1001)->nextInFocusChain(), game.GetDlgItem(1035));

        // The edit box lies above the later group box that surrounds it.
        CDialog setup(IDD_SETUP);
        QWidget* edit = setup.GetDlgItem(IDC_FIELDX);
        QCOMPARE(setup.childAt(edit->geometry().center()), edit);
        QVERIFY(setup.GetDlgItem(IDC_GROUP_FIELD)->testAttribute(Qt::WA_TransparentForMouseEvents));

        setup.CheckRadioButton(IDC_PIC1, IDC_PIC4, IDC_PIC3);
        QCOMPARE(setup.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC3);
        QTest::mouseClick(setup.GetDlgItem(IDC_PIC2), Qt::LeftButton);
        QCOMPARE(setup.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), IDC_PIC2);
        QCOMPARE(setup.IsDlgButtonChecked(IDC_PIC3), 0);
        setup.CheckRadioButton(IDC_PIC1, IDC_PIC4, 0);
        QCOMPARE(setup.GetCheckedRadioButton(IDC_PIC1, IDC_PIC4), 0);
    }

    void replacingAControlKeepsItsPlace()
    {
        CDialog about(IDD_ABOUTBOX);
        const QRect place = about.GetDlgItem(IDC_CREDITS)->geometry();
        auto* mine = new QWidget;
        QCOMPARE(about.ReplaceDlgItem(IDC_CREDITS, mine), mine);
        QCOMPARE(about.GetDlgItem(IDC_CREDITS), mine);
        QCOMPARE(mine->geometry(), place);
        QCOMPARE(about.Controls()[1].widget, mine);
        QVERIFY(!about.ReplaceDlgItem(4711, new QWidget(&about)));
    }

    void menuBarMovesTheClientArea()
    {
        RecordingDialog game(IDD_PUZZLE_DIALOG);
        const QPoint before = game.GetDlgItem(IDC_SCRAMBLE)->pos();
        auto* menu = new QMenuBar;
        menu->addMenu(QStringLiteral("&Game"));
        game.SetMenuBar(menu);
        const int h = game.ClientOrigin().y();
        QVERIFY(h > 0);
        QCOMPARE(game.GetDlgItem(IDC_SCRAMBLE)->pos(), before + QPoint(0, h));
        QCOMPARE(game.GetClientRect(), QRect(0, 0, 482, 334));
        QCOMPARE(game.height(), 334 + h);
        QVERIFY(game.SetBitmap(9001, 0));
        const QImage shot = Grab(game);
        QCOMPARE(shot.pixel(0, h), Pattern(1, 1).pixel(0, 0)); // the tiles start below the menu
    }

    // --- commands, keys, initialisation, timers -----------------------------

    void keysAndCloseBecomeCommands()
    {
        RecordingDialog game(IDD_PUZZLE_DIALOG);
        game.show();
        QVERIFY(QTest::qWaitForWindowExposed(&game));
        game.GetDlgItem(IDC_SHOW_GRID)->setFocus();
        QTest::keyClick(&game, Qt::Key_Return);
        QCOMPARE(game.commands, std::vector<int>{IDC_SCRAMBLE}); // the default push button
        QTest::mouseClick(game.GetDlgItem(IDC_UNSCRAMBLE), Qt::LeftButton);
        QCOMPARE(game.commands.back(), IDC_UNSCRAMBLE);
        QTest::keyClick(&game, Qt::Key_Escape);
        QCOMPARE(game.commands.back(), IDCANCEL);
        QVERIFY(!game.isVisible());
        QCOMPARE(game.result(), IDCANCEL);

        RecordingDialog setup(IDD_SETUP);
        setup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&setup));
        QTest::keyClick(&setup, Qt::Key_Enter);
        QCOMPARE(setup.commands, std::vector<int>{IDOK}); // no default push button: OK
        QCOMPARE(setup.result(), IDOK);
        setup.show();
        setup.close();
        QCOMPARE(setup.commands.back(), IDCANCEL);
    }

    void initDialogRunsOncePerShowingAndFocusesFirstTabStop()
    {
        RecordingDialog congrats(IDD_CONGRATS);
        QTimer::singleShot(0, &congrats, [&] {
            QCOMPARE(QApplication::focusWidget() == congrats.GetDlgItem(IDOK) ||
                         congrats.focusWidget() == congrats.GetDlgItem(IDOK),
                     true);
            QTest::mouseClick(congrats.GetDlgItem(IDCANCEL), Qt::LeftButton);
        });
        QCOMPARE(congrats.DoModal(), IDCANCEL);
        QCOMPARE(congrats.inits, 1);
        QTimer::singleShot(0, &congrats, [&] { congrats.EndDialog(IDOK); });
        QCOMPARE(congrats.DoModal(), IDOK);
        QCOMPARE(congrats.inits, 2);
    }

    void timersRestartStopAndTickUnderAModalDialog()
    {
        RecordingDialog owner;
        owner.SetTimer(1, 5000);
        QCOMPARE(owner.Timers().GetInterval(1), 5000);
        owner.SetTimer(1, 20); // restarts with the new interval
        QCOMPARE(owner.Timers().GetInterval(1), 20);
        QVERIFY(!owner.KillTimer(2)); // never started: nothing happens
        owner.SetTimer(2, 0);
        QCOMPARE(owner.Timers().GetInterval(2), CWindowTimers::kMinimumInterval);
        QVERIFY(owner.KillTimer(2));
        QVERIFY(!owner.KillTimer(2));

        RecordingDialog modal;
        QTimer::singleShot(300, &modal, [&] { modal.EndDialog(IDOK); });
        modal.DoModal();
        const auto ones = std::count(owner.ticks.begin(), owner.ticks.end(), 1);
        QVERIFY2(ones >= 5, qPrintable(QString::number(ones)));
        QCOMPARE(std::count(owner.ticks.begin(), owner.ticks.end(), 2), 0);

        owner.show();
        owner.EndDialog(IDOK); // ending a dialog ends its timers
        QVERIFY(!owner.Timers().IsTimerRunning(1));
        const auto count = owner.ticks.size();
        QTest::qWait(60);
        QCOMPARE(owner.ticks.size(), count);
    }

    // --- data exchange ----------------------------------------------------

    void exchangeMovesValuesBothWays()
    {
        ExchangeDialog dlg;
        QVERIFY(dlg.UpdateData(false));
        QCOMPARE(dlg.Edit(IDC_DIFFICULT)->text(), QStringLiteral("20"));
        QCOMPARE(dlg.IsDlgButtonChecked(IDC_SOUND), 1);
        dlg.Edit(IDC_DIFFICULT)->setText(QStringLiteral("500")); // above the arrows' 100, still accepted
        dlg.Edit(IDC_SPEED)->setText(QStringLiteral(" 10 "));
        dlg.CheckDlgButton(IDC_MIDI, 1);
        dlg.CheckDlgButton(IDC_SOUND, 0);
        QVERIFY(dlg.UpdateData(true));
        QCOMPARE(dlg.m_nDifficult, 500);
        QCOMPARE(dlg.m_nSpeed, 10);
        QCOMPARE(dlg.m_bMidi, 1);
        QCOMPARE(dlg.m_bSound, 0);
        QVERIFY(m_messages.empty());

        dlg.m_bSound = 5; // not a check state: shown unchecked, and the field follows
        QVERIFY(dlg.UpdateData(false));
        QCOMPARE(dlg.IsDlgButtonChecked(IDC_SOUND), 0);
        QCOMPARE(dlg.m_bSound, 0);
    }

    void firstFailingFieldStopsWithItsMessageAndFocus()
    {
        ExchangeDialog dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.Edit(IDC_DIFFICULT)->setText(QStringLiteral("30"));
        dlg.Edit(IDC_FIELDX)->setText(QStringLiteral("1"));
        dlg.Edit(IDC_FIELDY)->setText(QStringLiteral("77")); // also wrong, never reached
        QVERIFY(!dlg.UpdateData(true));
        QCOMPARE(int(m_messages.size()), 1);
        QCOMPARE(m_messages[0].text,
                 QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 2 und 10 ein."));
        QCOMPARE(m_messages[0].type, unsigned(MB_ICONEXCLAMATION));
        QCOMPARE(dlg.focusWidget(), dlg.GetDlgItem(IDC_FIELDX));
        QCOMPARE(dlg.Edit(IDC_FIELDX)->selectedText(), QStringLiteral("1"));
        QCOMPARE(dlg.m_nDifficult, 30); // fields before the failing one were taken
        QCOMPARE(dlg.m_nFieldY, 3);

        m_messages.clear();
        dlg.Edit(IDC_FIELDX)->setText(QStringLiteral("4"));
        dlg.Edit(IDC_SPEED)->clear();
        QVERIFY(!dlg.UpdateData(true));
        QCOMPARE(int(m_messages.size()), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Geben Sie bitte eine ganze Zahl ein."));
        QCOMPARE(m_messages[0].type, unsigned(MB_OK));
        QCOMPARE(dlg.focusWidget(), dlg.GetDlgItem(IDC_SPEED));

        // Start with a bad field keeps the dialog open.
        m_messages.clear();
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(int(m_messages.size()), 1);
        dlg.Edit(IDC_SPEED)->setText(QStringLiteral("10000"));
        dlg.Edit(IDC_FIELDY)->setText(QStringLiteral("10"));
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), IDOK);
        QCOMPARE(dlg.m_nSpeed, 10000);
    }

    void integerTextIsReadLikeTheFramework()
    {
        int v = 0;
        QVERIFY(CDataExchange::ParseInt(QStringLiteral("42"), v));
        QCOMPARE(v, 42);
        QVERIFY(CDataExchange::ParseInt(QStringLiteral("  -7 "), v));
        QCOMPARE(v, -7);
        QVERIFY(CDataExchange::ParseInt(QStringLiteral("+8"), v));
        QCOMPARE(v, 8);
        for (const char* bad : {"", " ", "-", "12abc", "abc", "1 2", "0x10"}) {
            QVERIFY2(!CDataExchange::ParseInt(QString::fromLatin1(bad), v), bad);
        }
        QVERIFY(CDataExchange::ParseInt(QStringLiteral("99999999999999"), v));
        QCOMPARE(v, INT_MAX);
        QVERIFY(CDataExchange::ParseInt(QStringLiteral("-99999999999999"), v));
        QCOMPARE(v, INT_MIN);
        // Only the first 31 characters count.
        QVERIFY(CDataExchange::ParseInt(QString(30, u' ') + QStringLiteral("5x"), v));
        QCOMPARE(v, 5);
        QVERIFY(!CDataExchange::ParseInt(QString(29, u' ') + QStringLiteral("5x"), v));
        QCOMPARE(CDataExchange::RangeMessage(10, 10000),
                 QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 10 und 10000 ein."));
    }

    // --- controls ---------------------------------------------------------

    void spinButtonsKeepToTheirRange()
    {
        CDialog setup(IDD_SETUP);
        auto* spin = setup.GetDlgItemAs<CSpinButtonCtrl>(IDC_SPIN_DIFFICULT);
        QLineEdit* edit = setup.GetDlgItemAs<QLineEdit>(IDC_DIFFICULT);
        spin->SetRange(1, 100);
        edit->setText(QStringLiteral("500"));
        spin->Step(+1);
        QCOMPARE(edit->text(), QStringLiteral("100"));
        spin->Step(-1);
        QCOMPARE(edit->text(), QStringLiteral("99"));
        edit->setText(QStringLiteral("1"));
        spin->Step(-1);
        QCOMPARE(edit->text(), QStringLiteral("1"));
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("2"));
        // A click on the upper half steps up.
        setup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&setup));
        QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));
        QCOMPARE(edit->text(), QStringLiteral("3"));
        QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 2));
        QCOMPARE(edit->text(), QStringLiteral("2"));

        CSpinButtonCtrl plain; // the platform default range 100..0: up moves towards 0
        plain.SetPos(50);
        plain.Step(+1);
        QCOMPARE(plain.GetPos(), 49);
    }

    void bitmapButtonShowsItsPictures()
    {
        CBitmapButton button;
        QVERIFY(button.LoadBitmaps(9010, 9011, 9010));
        button.SizeToContent();
        QCOMPARE(button.size(), QSize(130, 44));
        QCOMPARE(button.CurrentBitmap().pixel(3, 3), Pattern(130, 44).pixel(3, 3));
        button.setDown(true);
        QCOMPARE(button.CurrentBitmap().pixel(3, 3), qRgb(255, 0, 0));
        const QImage shot = Grab(button);
        QCOMPARE(shot.pixel(120, 40), qRgb(255, 255, 0));
        button.setDown(false);
        QCOMPARE(Grab(button).pixel(7, 9), Pattern(130, 44).pixel(7, 9));

        CBitmapButton none;
        QVERIFY(!none.LoadBitmaps(4711));
        QVERIFY(none.CurrentBitmap().isNull());
    }

    void fontsMapToTheSystemsFonts()
    {
        QCOMPARE(CPointFont::Substitute(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
        QCOMPARE(CPointFont::Substitute(QStringLiteral("comic sans ms")), QStringLiteral("Comic Neue"));
        QCOMPARE(CPointFont::PixelSize(80), 11);
        QCOMPARE(CPointFont::PixelSize(140), 19);
        QCOMPARE(CPointFont::PixelSize(180), 24);
        const QFont comic = CPointFont::CreatePointFont(110, QStringLiteral("Comic Sans MS"));
        QCOMPARE(comic.pixelSize(), 15);
        QCOMPARE(QFontInfo(comic).family(), QStringLiteral("Comic Neue"));
        QCOMPARE(QFontInfo(CPointFont::CreatePointFont(140, QStringLiteral("Arial"))).family(),
                 QStringLiteral("Liberation Sans"));
        CDialog setup(IDD_SETUP);
        QCOMPARE(setup.GetDlgItem(IDC_DIFFICULT)->font().pixelSize(), 11);
        CDialog game(IDD_PUZZLE_DIALOG);
        QCOMPARE(game.GetDlgItem(IDC_SCRAMBLE)->font().pixelSize(), 13);
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"

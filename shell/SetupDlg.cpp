#include "shell/SetupDlg.h"

#include "engine/PuzzleBoard.h"
#include "imaging/PictureFile.h"
#include "platform/BitmapButton.h"
#include "platform/DataExchange.h"
#include "platform/MessageBox.h"
#include "platform/PointFont.h"
#include "platform/SpinButtonCtrl.h"
#include "res/Colors.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "shell/PathMap.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

CSetupDlg::FileDialogHook& FileDialogHookRef()
{
    static CSetupDlg::FileDialogHook hook;
    return hook;
}

// The profile and reason of the failed save the player was last told about.
std::string& UnsavedToldFor()
{
    static std::string told;
    return told;
}

// A picture file scaled to size × size logical pixels for a screen of the
// given device pixel ratio; null when it does not load.
QImage LoadButtonPicture(const std::string& path, int size, qreal devicePixelRatio)
{
    const int pixels = qRound(size * std::max<qreal>(devicePixelRatio, 1));
    QImage image = CPictureFile::Load(ToNativePath(path), QSize(pixels, pixels));
    if (!image.isNull()) {
        image.setDevicePixelRatio(qreal(pixels) / size);
    }
    return image;
}

struct ToolTip {
    int id;
    const char* text;
};

// In the order they are registered.
constexpr ToolTip kToolTips[] = {
    {IDC_SOUND, "Turn on/off the sound"},
    {IDC_MIDI, "Turn on/off the midi music"},
    {IDC_DIFFICULT, "Set the number, how often the puzzle will be mixed"},
    {IDC_SPEED, "Set the speed of the scrambling process (smaller is fater!)"},
    {IDC_FIELDX, "Here you can set the puzzle pices in the x-axis"},
    {IDC_FIELDY, "Here you can set the puzzle pices in the y-axis"},
    {IDC_SPIN_DIFFICULT, "Set the number, how often the puzzle will be mixed"},
    {IDC_SPIN_SPEED, "Set the speed of the scrambling process (smaller is fater!)"},
    {IDC_SPIN_FIELDX, "Here you can set the puzzle pices in the x-axis"},
    {IDC_SPIN_FIELDY, "Here you can set the puzzle pices in the y-axis"},
    {IDC_PIC1, "Click here to choose picture one"},
    {IDC_PIC2, "Click here to choose picture two"},
    {IDC_PIC3, "Click here to choose picture three"},
    {IDC_PIC4, "Click here to choose picture four"},
    {IDC_CUSTOMIZE, "... change the standard bitmaps.  (the size of the bitmap doesn't matter)"},
    {IDC_STANDARD, "This will restore the standart settings"},
    {IDOK, "Start the game"},
};

} // namespace

CSetupDlg::CSetupDlg(QWidget* pParentWnd) : CBitmapDialog(IDD_SETUP, pParentWnd)
{
    m_btnStart = GetDlgItemAs<CBitmapButton>(IDC_START);
    m_btnStandard = GetDlgItemAs<CBitmapButton>(IDC_STANDARD);
    m_btnDefault = GetDlgItemAs<QPushButton>(IDOK);
    m_spinDifficult = GetDlgItemAs<CSpinButtonCtrl>(IDC_SPIN_DIFFICULT);

    // The short labels beside the number boxes stay on one line, even where
    // the substitute font runs wider than the template's.
    for (const auto& control : Controls()) {
        auto* label = qobject_cast<QLabel*>(control.widget);
        if (label && control.item->id == -1 && control.item->kind == DialogItemKind::Static) {
            label->setWordWrap(false);
            label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
        }
    }
}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::SetFileDialogHook(FileDialogHook hook)
{
    FileDialogHookRef() = std::move(hook);
}

bool CSetupDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SetBitmap(IDB_BACKGROUND, BITMAP_TILE);

    if (m_btnStart) {
        m_btnStart->LoadBitmaps(IDB_START_UP, IDB_START_DOWN, IDB_START_UP, 0);
        m_btnStart->SizeToContent();
    }
    if (m_btnStandard) {
        m_btnStandard->LoadBitmaps(IDB_STANDARD_UP, IDB_STANDARD_DOWN, IDB_STANDARD_UP, 0);
        m_btnStandard->SizeToContent();
    }

    SetPictureImages();

    m_fontCaption = CPointFont::CreatePointFont(140, QStringLiteral("Arial"));
    if (QWidget* caption = GetDlgItem(IDC_CHOOSE_CAPTION)) {
        caption->setFont(m_fontCaption);
        caption->update();
    }

    // The boxes show what the flags do: sound effects play only when the flag
    // is exactly 1, music whenever it is not 0. A hand-edited profile may hold
    // other values; the boxes are never left half checked by them.
    m_bMidi = g_bMidi != 0 ? 1 : 0;
    m_bSound = g_bSound == 1 ? 1 : 0;

    if (g_nPicture >= kMinPicture && g_nPicture <= kMaxPicture) {
        CheckRadioButton(IDC_PIC1, IDC_PIC4, IDC_PIC1 + g_nPicture - 1);
    }

    const struct {
        int id, lower, upper;
    } ranges[] = {
        {IDC_SPIN_DIFFICULT, kMinDifficult, kSpinMaxDifficult},
        {IDC_SPIN_SPEED, kMinSpeed, kMaxSpeed},
        {IDC_SPIN_FIELDX, kMinField, kMaxField},
        {IDC_SPIN_FIELDY, kMinField, kMaxField},
    };
    for (const auto& range : ranges) {
        if (auto* spin = GetDlgItemAs<CSpinButtonCtrl>(range.id)) {
            spin->SetRange(range.lower, range.upper);
        }
    }

    // The hidden Start button holds the focus, so that Enter starts at once.
    if (m_btnDefault) {
        m_btnDefault->setFocus(Qt::OtherFocusReason);
    }

    UpdateData(false);
    SetToolTips();
    return false;
}

void CSetupDlg::SetPictureImages()
{
    for (int n = 1; n <= 4; ++n) {
        const int id = IDC_PIC1 + n - 1;
        auto* button = GetDlgItemAs<QAbstractButton>(id);
        if (!button) {
            continue;
        }
        const QImage image =
            LoadButtonPicture(g_strPicPath[n - 1], kPictureSize, button->devicePixelRatioF());
        if (image.isNull()) {
            // Without its picture the button shows its name.
            button->setIcon(QIcon());
            for (const auto& control : Controls()) {
                if (control.widget == button) {
                    button->setText(QString::fromUtf8(control.item->text).trimmed());
                }
            }
        } else {
            button->setText(QString());
            button->setIcon(QIcon(QPixmap::fromImage(image)));
            button->setIconSize(QSize(kPictureSize, kPictureSize));
        }
    }
}

void CSetupDlg::SetToolTips()
{
    for (const ToolTip& tip : kToolTips) {
        if (QWidget* control = GetDlgItem(tip.id)) {
            control->setToolTip(QString::fromUtf8(tip.text));
        }
    }
}

void CSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CBitmapDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DIFFICULT, m_nDifficult);
    DDV_MinMaxInt(pDX, m_nDifficult, kMinDifficult, kMaxDifficult);
    DDX_Text(pDX, IDC_SPEED, m_nSpeed);
    DDV_MinMaxInt(pDX, m_nSpeed, kMinSpeed, kMaxSpeed);
    DDX_Text(pDX, IDC_FIELDX, m_nFieldX);
    DDV_MinMaxInt(pDX, m_nFieldX, kMinField, kMaxField);
    DDX_Text(pDX, IDC_FIELDY, m_nFieldY);
    DDV_MinMaxInt(pDX, m_nFieldY, kMinField, kMaxField);
    DDX_Check(pDX, IDC_MIDI, m_bMidi);
    DDX_Check(pDX, IDC_SOUND, m_bSound);
}

bool CSetupDlg::OnCommand(int nID)
{
    switch (nID) {
    case IDC_START:
        OnOK();
        return true;
    case IDC_PIC1:
    case IDC_PIC2:
    case IDC_PIC3:
    case IDC_PIC4:
        OnPictureClicked(nID);
        return true;
    case IDC_SOUND:
        OnSoundToggle();
        return true;
    case IDC_MIDI:
        OnMidiToggle();
        return true;
    case IDC_CUSTOMIZE:
        CustomizePicture();
        return true;
    default:
        // 1 (the hidden button, Enter) is Start; 2 (the standard-settings
        // button, Escape, closing) is Cancel.
        return CBitmapDialog::OnCommand(nID);
    }
}

void CSetupDlg::OnOK()
{
    if (!UpdateData(true)) {
        return;
    }
    if (const int checked = GetCheckedRadioButton(IDC_PIC1, IDC_PIC4); checked != 0) {
        g_nPicture = checked - IDC_PIC1 + 1;
        m_strBild = g_strPicPath[g_nPicture - 1];
    }
    // The flags take the states of their boxes, so Start stores 0 or 1.
    g_bSound = m_bSound == 1 ? 1 : 0;
    g_bMidi = m_bMidi == 1 ? 1 : 0;
    if (g_bSound != 0) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundOk);
    }
    if (SaveSettings()) {
        UnsavedToldFor().clear();
    } else {
        // Told once: the same failure again at a later Start stays quiet.
        const std::string told = ProfilePath() + '\n' + SaveError();
        if (UnsavedToldFor() != told) {
            UnsavedToldFor() = told;
            AfxMessageBox(QStringLiteral("The settings could not be saved to %1: %2.\n"
                                         "They stay in force until the game is closed.")
                              .arg(QFile::decodeName(QByteArray::fromStdString(ProfilePath())),
                                   QString::fromStdString(SaveError())),
                          MB_OK | MB_ICONEXCLAMATION);
        }
    }
    CBitmapDialog::OnOK();
}

void CSetupDlg::OnCancel()
{
    RestoreStandardSettings();
}

void CSetupDlg::RestoreStandardSettings()
{
    if (g_bSound != 0) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    }
    g_nPicture = kStdPicture;
    CheckRadioButton(IDC_PIC1, IDC_PIC4, IDC_PIC1);
    g_bSound = kStdSound;
    g_bMidi = kStdMidi;
    m_nSpeed = kStdSpeed;
    m_nDifficult = kStdDifficult;
    m_nFieldX = kStdFieldX;
    m_nFieldY = kStdFieldY;
    for (int i = 0; i < 4; ++i) {
        g_strPicPath[i] = kStdPicPath[i];
    }
    OnInitDialog();
    UpdateData(false);
}

bool CSetupDlg::CustomizePicture()
{
    // The picture checked now, which the button's "selected" names.
    const int checked = GetCheckedRadioButton(IDC_PIC1, IDC_PIC4);
    const int n = checked != 0 ? checked - IDC_PIC1 + 1 : g_nPicture;

    QFileDialog dialog(this, QStringLiteral("Open"), QString(), QString::fromLatin1(kFileFilter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const FileDialogHook& hook = FileDialogHookRef();
    const QString path = hook ? hook(dialog) : RunFileDialog(dialog);
    if (path.isEmpty()) {
        return false;
    }

    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    if (extension != QLatin1String("bmp") || n < kMinPicture || n > kMaxPicture) {
        AfxMessageBox(QStringLiteral("Please choose a bitmap"), MB_OK);
        return false;
    }
    // A file that does not load as a picture would leave numbered tiles and
    // an empty preview: the player hears of it and keeps the old picture.
    const std::string file = QFile::encodeName(path).toStdString();
    CPictureFile::Status status;
    if (CPictureFile::Load(file, QSize(kPictureSize, kPictureSize), &status).isNull()) {
        AfxMessageBox(QStringLiteral("\"%1\" cannot be used as a picture: %2.")
                          .arg(path, QString::fromUtf8(CPictureFile::Describe(status))),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    g_strPicPath[n - 1] = file;
    OnInitDialog();
    // The picture just replaced stays the checked one.
    CheckRadioButton(IDC_PIC1, IDC_PIC4, IDC_PIC1 + n - 1);
    return true;
}

QString CSetupDlg::RunFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
}

void CSetupDlg::OnPictureClicked(int)
{
    // The button group has already checked the clicked button.
    if (g_bSound != 0) {
        CPuzzleBoard::PlaySoundEffect(CPuzzleBoard::kSoundBlip);
    }
}

void CSetupDlg::OnSoundToggle()
{
    // The flag follows the box, so the two cannot disagree even when the
    // profile held a value other than 0 or 1.
    g_bSound = IsDlgButtonChecked(IDC_SOUND) == 1 ? 1 : 0;
}

void CSetupDlg::OnMidiToggle()
{
    g_bMidi = IsDlgButtonChecked(IDC_MIDI) == 1 ? 1 : 0;
}

std::optional<QBrush> CSetupDlg::OnCtlColor(CtlColorContext& dc, QWidget* pWnd, int nCtlColor)
{
    std::optional<QBrush> brush = CBitmapDialog::OnCtlColor(dc, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC) {
        const int id = CDialogBuilder::GetDlgCtrlID(pWnd);
        if (id == IDC_GROUP_SCRAMBLING || id == IDC_GROUP_FIELD) {
            dc.SetBkMode(OPAQUE);
            dc.SetBkColor(QColor::fromRgb(kGoldenFace));
        }
    }
    return brush;
}

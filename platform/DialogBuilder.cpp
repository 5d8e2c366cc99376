#include "platform/DialogBuilder.h"

#include "imaging/DIBitmap.h"
#include "platform/BitmapButton.h"
#include "platform/DialogUnits.h"
#include "platform/GroupBox.h"
#include "platform/PictureButton.h"
#include "platform/SpinButtonCtrl.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

Qt::Alignment TextAlignment(unsigned style, Qt::Alignment vertical)
{
    if (style & kCenter) {
        return Qt::AlignHCenter | vertical;
    }
    if (style & kRight) {
        return Qt::AlignRight | vertical;
    }
    return Qt::AlignLeft | vertical;
}

QWidget* MakeControl(QWidget* parent, const DialogItem& item, QWidget* previous)
{
    const QString text = QString::fromUtf8(item.text);
    switch (item.kind) {
    case DialogItemKind::PushButton:
    case DialogItemKind::DefPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(item.kind == DialogItemKind::DefPushButton);
        return button;
    }
    case DialogItemKind::OwnerDrawButton: {
        auto* button = new CBitmapButton(parent);
        button->setText(text);
        return button;
    }
    case DialogItemKind::CheckBox: {
        auto* box = new QCheckBox(text, parent);
        box->setLayoutDirection((item.style & kLeftText) ? Qt::RightToLeft : Qt::LeftToRight);
        return box;
    }
    case DialogItemKind::RadioButton: {
        QAbstractButton* button = nullptr;
        if (item.style & kPushLike) {
            auto* push =
                (item.style & kBitmap) ? new CPictureButton(text, parent) : new QPushButton(text, parent);
            push->setAutoDefault(false);
            push->setCheckable(true);
            button = push;
        } else {
            auto* radio = new QRadioButton(text, parent);
            radio->setLayoutDirection((item.style & kLeftText) ? Qt::RightToLeft : Qt::LeftToRight);
            button = radio;
        }
        // Automatic radio buttons that follow one another form one group.
        if (auto* before = qobject_cast<QAbstractButton*>(previous); before && before->group()) {
            before->group()->addButton(button);
        } else {
            auto* group = new QButtonGroup(parent);
            group->setExclusive(true);
            group->addButton(button);
        }
        return button;
    }
    case DialogItemKind::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(item.style & kReadOnly);
        edit->setFrame(item.style & kBorder);
        edit->setAlignment(TextAlignment(item.style, Qt::AlignVCenter));
        if (item.style & kNumber) {
            edit->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
        return edit;
    }
    case DialogItemKind::Static: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(TextAlignment(item.style, Qt::AlignTop));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case DialogItemKind::StaticBitmap: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (item.bitmap > 0) {
            CDIBitmap dib;
            if (dib.LoadResourceBitmap(item.bitmap)) {
                label->setPixmap(QPixmap::fromImage(dib.ToImage(label->devicePixelRatioF())));
            }
        }
        return label;
    }
    case DialogItemKind::BlackFrame: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette pal = frame->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(pal);
        frame->setLineWidth(1);
        return frame;
    }
    case DialogItemKind::EtchedFrame: // a group box without a caption
        return new CGroupBox(QString(), parent);
    case DialogItemKind::GroupBox:
        return new CGroupBox(text, parent);
    case DialogItemKind::UpDown: {
        auto* spin = new CSpinButtonCtrl(parent);
        spin->SetBuddyInt(item.style & kSetBuddyInt);
        spin->SetArrowKeys(item.style & kArrowKeys);
        if (item.style & kAutoBuddy) {
            spin->SetBuddy(qobject_cast<QLineEdit*>(previous));
        }
        return spin;
    }
    }
    return new QWidget(parent);
}

} // namespace

std::vector<CDialogBuilder::Control> CDialogBuilder::Build(QWidget* parent, const DialogTemplate& t,
                                                           int yOffset)
{
    std::vector<Control> controls;
    QWidget* previous = nullptr;
    QWidget* lastTabStop = nullptr;
    for (const DialogItem& item : t.items) {
        QWidget* w = MakeControl(parent, item, previous);
        w->setProperty(kIdProperty, item.id);
        if (item.id != -1) {
            w->setObjectName(QStringLiteral("IDC_%1").arg(item.id));
        }
        QRect r = CDialogUnits::ToPixels(t, item);
        r.translate(0, yOffset);
        w->setGeometry(r);
        // A bitmap static takes the size of its bitmap.
        if (auto* label = qobject_cast<QLabel*>(w); label && item.kind == DialogItemKind::StaticBitmap) {
            if (!label->pixmap().isNull()) {
                w->resize(label->pixmap().deviceIndependentSize().toSize());
            }
        }
        switch (item.kind) {
        case DialogItemKind::Static:
        case DialogItemKind::StaticBitmap:
        case DialogItemKind::BlackFrame:
        case DialogItemKind::EtchedFrame:
        case DialogItemKind::GroupBox:
            w->setFocusPolicy(Qt::NoFocus);
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
            break;
        case DialogItemKind::UpDown:
            w->setFocusPolicy(Qt::NoFocus);
            break;
        default:
            w->setFocusPolicy((item.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
            break;
        }
        if (item.style & kTabStop) {
            if (lastTabStop) {
                QWidget::setTabOrder(lastTabStop, w);
            }
            lastTabStop = w;
        }
        w->setVisible(!(item.style & kHidden));
        controls.push_back(Control{&item, w});
        previous = w;
    }
    // Earlier controls lie on top.
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        it->widget->raise();
    }
    return controls;
}

int CDialogBuilder::GetDlgCtrlID(const QWidget* widget)
{
    if (!widget) {
        return 0;
    }
    const QVariant id = widget->property(kIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

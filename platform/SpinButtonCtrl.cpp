#include "platform/SpinButtonCtrl.h"

#include "platform/DataExchange.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <algorithm>

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent) : QWidget(parent), m_pRepeat(new QTimer(this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_pRepeat, &QTimer::timeout, this, [this] {
        m_pRepeat->setInterval(60);
        if (m_nPressed != 0) {
            Step(m_nPressed);
        }
    });
}

CSpinButtonCtrl::~CSpinButtonCtrl() = default;

void CSpinButtonCtrl::SetBuddy(QLineEdit* pBuddy)
{
    if (m_pBuddy) {
        m_pBuddy->removeEventFilter(this);
    }
    m_pBuddy = pBuddy;
    if (m_pBuddy) {
        m_pBuddy->installEventFilter(this);
    }
}

void CSpinButtonCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPos = std::clamp(m_nPos, std::min(nLower, nUpper), std::max(nLower, nUpper));
}

void CSpinButtonCtrl::GetRange(int& nLower, int& nUpper) const
{
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CSpinButtonCtrl::GetPos() const
{
    int pos = m_nPos;
    if (m_bSetBuddyInt && m_pBuddy) {
        int typed = 0;
        if (CDataExchange::ParseInt(m_pBuddy->text(), typed)) {
            pos = typed;
        }
    }
    return std::clamp(pos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
}

void CSpinButtonCtrl::SetPos(int nPos)
{
    m_nPos = std::clamp(nPos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
    if (m_bSetBuddyInt && m_pBuddy) {
        m_pBuddy->setText(QString::number(m_nPos));
    }
}

void CSpinButtonCtrl::Step(int direction)
{
    const int towardsUpper = m_nUpper >= m_nLower ? 1 : -1;
    const int delta = direction * towardsUpper;
    const int old = GetPos();
    SetPos(old + delta);
    if (m_bSetBuddyInt && m_pBuddy) {
        m_pBuddy->selectAll();
    }
    emit deltaPos(m_nPos, m_nPos - old);
}

void CSpinButtonCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = halves[i];
        const bool pressed = (i == 0 && m_nPressed > 0) || (i == 1 && m_nPressed < 0);
        option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &p, this);
        QStyleOptionButton arrow = option;
        const int side = std::max(3, std::min(halves[i].width(), halves[i].height()) - 6);
        arrow.rect = QRect(0, 0, side, side);
        arrow.rect.moveCenter(halves[i].center());
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow,
                               &p, this);
    }
}

void CSpinButtonCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        return;
    }
    m_nPressed = event->position().y() < height() / 2 ? 1 : -1;
    Step(m_nPressed);
    m_pRepeat->start(400);
    update();
}

void CSpinButtonCtrl::mouseReleaseEvent(QMouseEvent*)
{
    m_nPressed = 0;
    m_pRepeat->stop();
    update();
}

bool CSpinButtonCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pBuddy && m_bArrowKeys && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

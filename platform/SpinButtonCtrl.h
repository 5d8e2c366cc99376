#pragma once

#include <QWidget>

class QLineEdit;
class QTimer;

// Up and down arrows bound to a buddy edit box. With "set buddy integer" the
// arrows read the number in the buddy, step it by one within the range and
// write it back; with "arrow keys" the Up and Down keys in the buddy do the
// same. The buddy itself accepts any number typed: only the arrows keep to the
// range. Holding an arrow repeats it.
class CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr);
    ~CSpinButtonCtrl() override;

    void SetBuddy(QLineEdit* pBuddy);
    QLineEdit* GetBuddy() const { return m_pBuddy; }
    void SetBuddyInt(bool on) { m_bSetBuddyInt = on; }
    void SetArrowKeys(bool on) { m_bArrowKeys = on; }

    // The range as lower and upper; the up arrow moves towards upper, also
    // when upper is the smaller one.
    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;

    // The position, taken from the buddy's number when it has one.
    int GetPos() const;
    void SetPos(int nPos);

    // One step of the up (+1) or down (-1) arrow.
    void Step(int direction);

    QSize sizeHint() const override { return {16, 24}; }

signals:
    void deltaPos(int pos, int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_pBuddy = nullptr;
    bool m_bSetBuddyInt = true;
    bool m_bArrowKeys = true;
    // The platform's default range runs from 100 down to 0.
    int m_nLower = 100;
    int m_nUpper = 0;
    int m_nPos = 0;
    int m_nPressed = 0; // +1 up arrow held, -1 down arrow held
    QTimer* m_pRepeat;
};

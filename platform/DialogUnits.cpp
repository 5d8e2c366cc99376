#include "platform/DialogUnits.h"

#include <cstdint>

int CDialogUnits::MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = std::int64_t{number} * numerator;
    const std::int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t result = magnitude / (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -result : result);
}

QRect CDialogUnits::ToPixels(const DialogTemplate& t, const DialogItem& item)
{
    return QRect(ToPixelsX(t, item.x), ToPixelsY(t, item.y), ToPixelsX(t, item.cx), ToPixelsY(t, item.cy));
}

QSize CDialogUnits::ClientSize(const DialogTemplate& t)
{
    return QSize(ToPixelsX(t, t.cx), ToPixelsY(t, t.cy));
}

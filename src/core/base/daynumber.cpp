#include "core/base/daynumber.h"

#include <cmath>

namespace {
const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}
} // namespace

double DayNumber(const QDate &date)
{
    return static_cast<double>(dayZero().daysTo(date));
}

QDate DateOfDayNumber(double dayNumber)
{
    return dayZero().addDays(static_cast<qint64>(std::floor(dayNumber)));
}

#pragma once

#include <QtGlobal>

#include <algorithm>
#include <limits>

// A 64-bit count (a file size, a frame count) in a 32-bit member of the
// collection's record: past the limits it stays at the limit instead of
// wrapping round to a small or negative number.
inline qint32 clampToInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

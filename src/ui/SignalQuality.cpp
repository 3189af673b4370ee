#include "ui/SignalQuality.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace SignalQuality {

int litBars(int quality)
{
    // Integer ceiling; negative qualities fall to the clamp instead of rounding toward zero.
    const int lit = quality > 0 ? (quality + 24) / 25 : 0;
    return std::clamp(lit, 1, barCount);
}

QString badgeText(int quality)
{
    return QString::number(quality) + u"%"_s;
}

} // namespace SignalQuality

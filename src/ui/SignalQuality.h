#pragma once

#include <QLocale>
#include <QString>

// The signal bars and quality badge drawn beside a network.
namespace SignalQuality {

inline constexpr int barCount = 4;
inline constexpr int barWidth = 4; // pt
// Bar i (0-based) is (i + 1) x 4 pt tall.
inline constexpr int barHeight(int index) { return (index + 1) * 4; }

// quality / 25 rounded up, clamped to 1...4: even a dead signal lights one bar.
int litBars(int quality);

// "72%".
QString badgeText(int quality);

} // namespace SignalQuality

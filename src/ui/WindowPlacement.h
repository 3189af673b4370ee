#pragma once

#include <QRect>
#include <QSize>

// Where a window of fixed purpose opens: centred on the screen's free area (without panels), never
// larger than that area less a margin on each side, never smaller than its minimum unless the screen
// itself is smaller. Window managers place a new window wherever they like otherwise, and a tall one
// can open with its buttons below the screen.
namespace WindowPlacement {

inline constexpr int screenMargin = 32;

QRect centredFrame(QSize wanted, QSize minimum, const QRect& available);

} // namespace WindowPlacement

#include "ui/WindowPlacement.h"

#include <algorithm>

namespace {

int fitted(int wanted, int minimum, int room)
{
    return std::max(std::min(wanted, room), std::min(minimum, room));
}

} // namespace

QRect WindowPlacement::centredFrame(QSize wanted, QSize minimum, const QRect& available)
{
    const int roomWidth = std::max(1, available.width() - 2 * screenMargin);
    const int roomHeight = std::max(1, available.height() - 2 * screenMargin);
    const QSize size(fitted(wanted.width(), minimum.width(), roomWidth), fitted(wanted.height(), minimum.height(), roomHeight));
    const QPoint topLeft(available.x() + (available.width() - size.width()) / 2,
                         available.y() + (available.height() - size.height()) / 2);
    return QRect(topLeft, size);
}

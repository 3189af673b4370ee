#pragma once

#include <QWindow>

// How every window comes forward: restored if minimised, shown, raised and given the focus.
inline void bringForward(QWindow& window)
{
    if (window.windowStates() & Qt::WindowMinimized)
        window.setWindowStates(window.windowStates() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.requestActivate();
}

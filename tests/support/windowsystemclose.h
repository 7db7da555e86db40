#pragma once

#include <QWidget>
#include <QWindow>

// Closes a shown window as the window system does (Alt+F4, a panel's or a
// window manager's close): the close comes from the platform window, not
// from the program.
inline void closeByWindowSystem(QWidget* window) {
    window->windowHandle()->close();
}

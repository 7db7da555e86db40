#pragma once

#include <QPoint>

class QMenu;
class QMenuBar;
class QWidget;

// Input as the window system delivers it: through the platform window, so
// that Qt's modal blocking applies to a test as it does to the learner's
// mouse and window manager. A window that a modal window blocks takes none.

// Moves the mouse over the widget and clicks it, at its centre unless a spot
// of its own is given; the test fails when the widget is not shown.
void clickThroughWindow(QWidget* widget, Qt::MouseButton button = Qt::LeftButton,
                        QPoint spot = QPoint());
// Clicks the menu's title in the menu bar through the window, as the learner
// opens a menu; whether the menu opened (it is closed again).
bool menuOpensThroughWindow(QMenuBar* bar, QMenu* menu);
// A click (clicks 1) or a double-click (clicks 2) near the widget's top
// left corner that waits in the window system's queue while the program is
// busy: events then run once, and the program meets the whole queue at its
// first pump.
void queueClicksWhileBusy(QWidget* widget, int clicks);
// Closes a shown window as Alt+F4, a panel or a window manager does.
void closeByWindowSystem(QWidget* window);

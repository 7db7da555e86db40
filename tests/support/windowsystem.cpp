#include "tests/support/windowsystem.h"

#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWidget>
#include <QWindow>

void clickThroughWindow(QWidget* widget, Qt::MouseButton button, QPoint spot) {
    if (!widget || !widget->isVisible() || !widget->window()->windowHandle()) {
        ADD_FAILURE() << "no shown widget to click";
        return;
    }
    QWindow* window = widget->window()->windowHandle();
    const QPoint local = spot.isNull() ? widget->rect().center() : spot;
    const QPoint inWindow = widget->mapTo(widget->window(), local);
    QTest::mouseMove(window, inWindow);
    QTest::mouseClick(window, button, Qt::NoModifier, inWindow);
}

bool menuOpensThroughWindow(QMenuBar* bar, QMenu* menu) {
    clickThroughWindow(bar, Qt::LeftButton, bar->actionGeometry(menu->menuAction()).center());
    QWidget* popup = QApplication::activePopupWidget();
    if (popup) {
        popup->close();
    }
    return popup;
}

void queueClicksWhileBusy(QWidget* widget, int clicks) {
    QWindow* window = widget->window()->windowHandle();
    const QPoint place = widget->mapTo(widget->window(), QPoint(3, 3));
    // The pointer rests on the widget before the program gets busy.
    QTest::mouseMove(window, place);
    // Apart from earlier clicks, and close enough to pair as a double-click.
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    for (int click = 0; click < clicks; ++click) {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, ulong(QTest::lastMouseTimestamp), QPointF(place),
                window->mapToGlobal(QPointF(place)), held, Qt::LeftButton, type);
        }
    }
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    QCoreApplication::processEvents();
}

void closeByWindowSystem(QWidget* window) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        window->windowHandle());
}

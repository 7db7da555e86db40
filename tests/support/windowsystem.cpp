#include "tests/support/windowsystem.h"

#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>
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

void closeByWindowSystem(QWidget* window) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        window->windowHandle());
}

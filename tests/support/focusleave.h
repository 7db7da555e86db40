#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

// Takes the focus from the box as Tab does: the sign-in forms act on what was
// typed when the learner leaves a box.
inline void leave(QWidget* box) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &focusOut);
}

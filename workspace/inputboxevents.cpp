#include "workspace/inputboxevents.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

#include "workspace/frmMain.h"
#include "workspace/windowskeys.h"

InputBoxEvents::InputBoxEvents(frmMain* window, QObject* inputBox)
    : QObject(inputBox), m_window(window) {
    inputBox->installEventFilter(this);
}

bool InputBoxEvents::eventFilter(QObject* watched, QEvent* event) {
    if (!m_window) {
        return false;
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            return leaveToExitShortcut(static_cast<QKeyEvent*>(event));
        case QEvent::KeyPress:
            return keyPress(static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonRelease: {
            const auto* release = static_cast<QMouseEvent*>(event);
            m_window->txtInput_MouseUp(release->button(), release->globalPosition().toPoint());
            return false;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

// The box would claim Ctrl+X for cutting; the exit command's shortcut comes
// first, and cutting stays on the box's own edit menu. Kept from the box and
// not accepted, the key goes to the window's shortcuts.
bool InputBoxEvents::leaveToExitShortcut(QKeyEvent* event) const {
    if (QKeySequence(event->keyCombination()) != m_window->mnuExit->shortcut()) {
        return false;
    }
    event->ignore();
    return true;
}

// The handlers may run a whole sentence check, during which the window can
// go away.
bool InputBoxEvents::keyPress(QKeyEvent* event) {
    const QPointer<frmMain> window = m_window;
    int keyCode = windowsKeyCode(event->key(), event->modifiers());
    window->txtInput_KeyDown(keyCode);
    if (!window) {
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        return keyCode == 0;
    }
    int keyAscii = text.at(0).unicode();
    window->txtInput_KeyPress(keyAscii);
    return keyAscii == 0;
}

#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class frmMain;

// Hands the input box's keys and mouse releases to the main window's
// handlers in the form that they take: a key first as a Windows key code
// (key down), then as the character it types (key press). A key that the key
// down drops does nothing unless it types a character: the character still
// comes to the key press, which alone may swallow it.
class InputBoxEvents : public QObject {
    Q_OBJECT

public:
    InputBoxEvents(frmMain* window, QObject* inputBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool leaveToExitShortcut(QKeyEvent* event) const;
    bool keyPress(QKeyEvent* event);

    QPointer<frmMain> m_window;
};

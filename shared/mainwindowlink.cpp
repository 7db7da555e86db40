#include "shared/mainwindowlink.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/forminstance.h"

namespace {

QPointer<QWidget>& mainWindow() {
    static QPointer<QWidget> window;
    return window;
}

QList<QPointer<QWidget>>& holders() {
    static QList<QPointer<QWidget>> list;
    return list;
}

// A holder that is unloaded (and so hidden) without releasing the main
// window, e.g. at the end of the program, lets go of it all the same.
class UnloadWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* holder = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Hide && forms::isUnloaded(holder)) {
            ReleaseMainWindow(holder);
        }
        return false;
    }
};

// Made once and kept for the life of the process, so that it outlives
// every window that it watches.
UnloadWatch& unloadWatch() {
    static auto* watch = new UnloadWatch;
    return *watch;
}

bool isHeld() {
    holders().removeIf([](const QPointer<QWidget>& holder) {
        return !holder || forms::isUnloaded(holder);
    });
    return !holders().isEmpty();
}

}  // namespace

void RegisterMainWindow(QWidget* window) {
    mainWindow() = window;
}

void SetMainWindowEnabled(bool enabled) {
    if (mainWindow() && (!enabled || !isHeld())) {
        mainWindow()->setEnabled(enabled);
    }
}

// A dialog that is gone, but whose handler runs on, holds nothing.
void HoldMainWindow(QWidget* holder) {
    if (forms::isUnloaded(holder)) {
        return;
    }
    if (!holders().contains(holder)) {
        holders().append(holder);
        holder->installEventFilter(&unloadWatch());
    }
    SetMainWindowEnabled(false);
}

void ReleaseMainWindow(QWidget* holder) {
    if (holders().removeAll(holder) > 0) {
        holder->removeEventFilter(&unloadWatch());
    }
    SetMainWindowEnabled(true);
}

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

QList<QPointer<QObject>>& holders() {
    static QList<QPointer<QObject>> list;
    return list;
}

// A dialog that is gone, but whose handler runs on, holds nothing.
bool isUnloadedDialog(const QObject* holder) {
    const auto* dialog = qobject_cast<const QWidget*>(holder);
    return dialog && forms::isUnloaded(dialog);
}

// A dialog that is unloaded (and so hidden) without releasing the main
// window, e.g. at the end of the program, lets go of it all the same.
class UnloadWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && isUnloadedDialog(watched)) {
            ReleaseMainWindow(watched);
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
    holders().removeIf(
        [](const QPointer<QObject>& holder) { return !holder || isUnloadedDialog(holder); });
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

void HoldMainWindow(QObject* holder) {
    if (isUnloadedDialog(holder)) {
        return;
    }
    if (!holders().contains(holder)) {
        holders().append(holder);
        holder->installEventFilter(&unloadWatch());
    }
    SetMainWindowEnabled(false);
}

void ReleaseMainWindow(QObject* holder) {
    if (holders().removeAll(holder) > 0) {
        holder->removeEventFilter(&unloadWatch());
    }
    SetMainWindowEnabled(true);
}

MainWindowHold::MainWindowHold() {
    HoldMainWindow(&mToken);
}

MainWindowHold::~MainWindowHold() {
    ReleaseMainWindow(&mToken);
}

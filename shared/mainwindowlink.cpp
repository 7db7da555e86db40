#include "shared/mainwindowlink.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& mainWindow() {
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

void RegisterMainWindow(QWidget* window) {
    mainWindow() = window;
}

void SetMainWindowEnabled(bool enabled) {
    if (mainWindow()) {
        mainWindow()->setEnabled(enabled);
    }
}

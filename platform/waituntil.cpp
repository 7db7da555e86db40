#include "platform/waituntil.h"

#include <atomic>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

namespace waits {
namespace {

// Set from any thread; read by the waits of the GUI thread.
std::atomic<bool> endingFlag{false};

}  // namespace

void doEvents() {
    QCoreApplication::processEvents();
}

bool waitUntil(const std::function<bool()>& done) {
    for (;;) {
        if (done()) {
            return true;
        }
        // Without an application no event can ever arrive to change done().
        if (ending() || !QCoreApplication::instance()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(timeoutMs);
    waitUntil([&] { return done() || !deadline.isActive(); });
    return done();
}

void endAll() {
    endingFlag = true;
    if (QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher()) {
        dispatcher->wakeUp();
    }
}

bool ending() {
    return endingFlag;
}

}  // namespace waits

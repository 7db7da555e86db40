#include "platform/waituntil.h"

#include <atomic>
#include <cstdlib>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <utility>

namespace waits {
namespace {

// Set from any thread; read by the waits of the GUI thread.
std::atomic<bool> endingFlag{false};

int runningWaits = 0;
int workToFinish = 0;
bool exitAfterWork = false;

QList<QPointer<QObject>>& deletionsAfterWaits() {
    static QList<QPointer<QObject>> objects;
    return objects;
}

}  // namespace

RunningWait::RunningWait() {
    ++runningWaits;
}

// The last wait to return hands the objects kept for it to the event loop,
// which deletes them once the handler that waited has returned too.
RunningWait::~RunningWait() {
    if (--runningWaits > 0) {
        return;
    }
    const QList<QPointer<QObject>> objects = std::exchange(deletionsAfterWaits(), {});
    for (const QPointer<QObject>& object : objects) {
        if (object) {
            object->deleteLater();
        }
    }
}

FinishBeforeExit::FinishBeforeExit() {
    ++workToFinish;
}

FinishBeforeExit::~FinishBeforeExit() {
    if (--workToFinish == 0 && exitAfterWork) {
        std::_Exit(EXIT_SUCCESS);
    }
}

void endProcess() {
    if (workToFinish > 0) {
        exitAfterWork = true;
        return;
    }
    std::_Exit(EXIT_SUCCESS);
}

void doEvents() {
    const RunningWait running;
    QCoreApplication::processEvents();
}

bool waitUntil(const std::function<bool()>& done) {
    const RunningWait running;
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
    const RunningWait running;
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

bool running() {
    return runningWaits > 0;
}

void deleteAfterWaits(QObject* object) {
    if (running()) {
        deletionsAfterWaits().append(object);
    } else {
        object->deleteLater();
    }
}

}  // namespace waits

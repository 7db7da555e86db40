#pragma once

#include <functional>

#include "platform/httpdeadline.h"

class QObject;

// Waits that keep the window system's events running, as the program's long
// waits do: other handlers may run while a caller waits.
namespace waits {

// Pumps pending events once.
void doEvents();

// Processes events (sleeping while none arrive) until done() holds. Returns
// false without waiting further once endAll() was called, so a program that
// is ending never hangs in a wait.
bool waitUntil(const std::function<bool()>& done);

// The same, giving up after timeoutMs: whether done() holds at the end.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

// Ends every wait, now and later.
void endAll();
bool ending();

// Whether a wait (or doEvents) is running: a handler further up the stack
// then carries on when it returns.
bool running();

// Counts the scope as a wait: for the loops that a handler runs without
// waitUntil (a modal dialog's, a pause's), where events run as they do in a
// wait.
// The handlers that it runs are no part of the code that waits: a request
// deadline of that code does not hold for them.
class RunningWait {
public:
    RunningWait();
    ~RunningWait();
    RunningWait(const RunningWait&) = delete;
    RunningWait& operator=(const RunningWait&) = delete;

private:
    HttpDeadline::Lifted m_ownDeadlines;
};

// Work that an exit confirmed meanwhile (in a wait inside it) lets finish:
// endProcess() then ends the process when the work is done, not at once.
// It counts as a wait, so the handler that runs it is known to carry on.
class FinishBeforeExit {
public:
    FinishBeforeExit();
    ~FinishBeforeExit();
    FinishBeforeExit(const FinishBeforeExit&) = delete;
    FinishBeforeExit& operator=(const FinishBeforeExit&) = delete;

private:
    RunningWait m_running;
};

// Ends the process (successfully: the learner chose it), at once or, while
// a FinishBeforeExit runs, as soon as it is done.
void endProcess();

// Deletes the object once no wait is running any more, as the handler that
// waits may belong to it and must find it there when its wait returns.
void deleteAfterWaits(QObject* object);

}  // namespace waits

using waits::doEvents;
using waits::waitUntil;

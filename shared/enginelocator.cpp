#include "shared/enginelocator.h"

#include <cstdlib>
#include <QEventLoop>
#include <QTimer>

#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/request.h"

namespace {

constexpr int kTriesBeforeAsking = 10;

// A dead server refuses at once: without a pause the ten tries would hammer
// it in a tight loop. Timers and painting go on meanwhile, but the learner's
// input waits, so no second check can start inside this one.
bool pauseBeforeNextTry() {
    QEventLoop loop;
    QTimer::singleShot(kPauseBetweenEngineTries, &loop, &QEventLoop::quit);
    const waits::RunningWait waiting;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !waits::ending();
}

// False when the question went unanswered: the program was already ending
// while it waited, or its window went away. A learner who gives up ends the
// program at once: no exit question, no clean-up, and the sentence check
// goes no further. The learner chose it, so it is no failure.
bool learnerGoesOnTrying() {
    const QString answer = MessageBoxAndWait("16001", 2, "OK_CANCEL", "2");
    if (answer.isEmpty()) {
        return false;
    }
    if (answer != "OK") {
        std::_Exit(EXIT_SUCCESS);
    }
    return true;
}

}  // namespace

std::optional<QString> GetWebEngineServer(const QString& pLookupURL) {
    const std::optional<QString> reply =
        PostRequest(pLookupURL + "p_all_webengine_get.asp", RequestForm());
    if (!reply) {
        return std::nullopt;
    }
    if (reply->left(2) != "OK") {
        return QString();
    }
    return Trim(QString(*reply).remove("OK_"));
}

bool ConnectWebEngine() {
    int tries = 0;
    for (;;) {
        const std::optional<QString> engine = GetWebEngineServer(gWebEngineLookupURL);
        if (!engine) {
            return false;
        }
        gWebEngineURL = *engine;
        ++tries;
        if (!gWebEngineURL.isEmpty() && CheckWebEngineConn(false)) {
            return true;
        }
        if (tries < kTriesBeforeAsking) {
            if (!pauseBeforeNextTry()) {
                return false;
            }
            continue;
        }
        if (!learnerGoesOnTrying()) {
            return false;
        }
        tries = 0;
    }
}

bool CheckWebEngineConn(bool pReconnect) {
    if (pReconnect && !ConnectWebEngine()) {
        return false;
    }
    const std::optional<QString> reply =
        PostRequest(gWebEngineURL + "p_passWebEngine_conn.asp", RequestForm());
    return reply && reply->left(6) == "ONLINE";
}
